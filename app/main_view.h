// app/main_view.h -- the operations through which the logic acts on the main window.
//
// Every operation may be called from any thread and completes before it returns. Callers
// never hold a lock while calling one. Texts are GBK; rows and columns count from 0.
#pragma once

#include <optional>
#include <string>

#include "app/controls.h"
#include "base/text.h"

struct ControlSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const ControlSize&, const ControlSize&) = default;
};

// Message box styles.
inline constexpr int kMessageStylePlain = 0;   // one OK button, no icon
inline constexpr int kMessageStyleError = 16;  // one OK button, the error icon

class MainView {
 public:
  virtual ~MainView() = default;

  virtual void ShowMainWindow() = 0;
  virtual void SetButtonEnabled(Control button, bool enabled) = 0;
  // Replaces the label's text and redraws it.
  virtual void SetLabelText(Control label, const std::string& text) = 0;
  virtual void SetLabelVisible(Control label, bool visible) = 0;
  // Current width and height; for Control::主窗口 the outer size, frame included.
  virtual ControlSize GetControlSize(Control control) = 0;
  // Changes the size, keeps the position; a missing dimension stays as it is.
  virtual void SetControlSize(Control control, std::optional<int> width,
                              std::optional<int> height) = 0;
  virtual void ListClear(Control list) = 0;
  // Inserts a row with caption in column 0; a position at or past the end, or a negative
  // one, appends. Returns the new row's index.
  virtual int ListInsertRow(Control list, int position, const std::string& caption) = 0;
  virtual void ListSetCell(Control list, int row, int column, const std::string& text) = 0;
  virtual int ListRowCount(Control list) = 0;
  // Replaces the picture (PNG bytes) of the template 动画物体1; existing objects keep theirs.
  virtual void SetTemplatePicture(const Bytes& png) = 0;
  // Creates an object in 动画框1 from the template, with a copy of its current picture,
  // drawn over all earlier objects. Returns its identifier, greater than 0.
  virtual int CreateBoxObject(int left, int top, bool visible) = 0;
  // Removes the object; an identifier of no object (0 included) changes nothing.
  virtual void DestroyBoxObject(int id) = 0;
  virtual void SetBoxObjectVisible(int id, bool visible) = 0;
  // A message box without owner window; returns when the user has closed it.
  virtual void ShowMessage(const std::string& text, int style, const std::string& caption) = 0;

  // Convenience forms with the defaults the operations have.
  int CreateBoxObject(int left, int top) { return CreateBoxObject(left, top, true); }
  void ShowMessage(const std::string& text, int style);
};

// The program's one view. The window installs itself at start; tests install a recording
// view. Returns a view that does nothing when none is installed.
MainView& View();
void SetMainView(MainView* view);

// The default caption of message boxes, "信息：".
const std::string& DefaultMessageCaption();

// The no-data message, shown by the latest-draw display and by plan evaluation: the fixed
// sentence followed by the domain configured at build time.
std::string NoDataMessage();
