// tests/support/recording_view.h -- a MainView that logs every call and keeps a model.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/main_view.h"

// Records every operation in order as one line of UTF-8 text, for example
// "SetButtonEnabled 按钮_个位大小 0" or "ListSetCell 超级列表框1 0 1 12345  T  15", and keeps
// enough state (rows, cells, labels, buttons, box objects) for tests to inspect the result.
// Safe to call from any thread.
class RecordingView final : public MainView {
 public:
  using MainView::CreateBoxObject;
  using MainView::ShowMessage;

  struct BoxObject {
    int left = 0;
    int top = 0;
    bool visible = false;
    Bytes picture;
  };
  struct Message {
    std::string text;     // GBK
    int style = 0;
    std::string caption;  // GBK
  };

  void ShowMainWindow() override;
  void SetButtonEnabled(Control button, bool enabled) override;
  void SetLabelText(Control label, const std::string& text) override;
  void SetLabelVisible(Control label, bool visible) override;
  ControlSize GetControlSize(Control control) override;
  void SetControlSize(Control control, std::optional<int> width,
                      std::optional<int> height) override;
  void ListClear(Control list) override;
  int ListInsertRow(Control list, int position, const std::string& caption) override;
  void ListSetCell(Control list, int row, int column, const std::string& text) override;
  int ListRowCount(Control list) override;
  void SetTemplatePicture(const Bytes& png) override;
  int CreateBoxObject(int left, int top, bool visible) override;
  void DestroyBoxObject(int id) override;
  void SetBoxObjectVisible(int id, bool visible) override;
  void ShowMessage(const std::string& text, int style, const std::string& caption) override;

  // The log so far (UTF-8 lines), and the lines that start with a prefix.
  std::vector<std::string> Log() const;
  std::vector<std::string> LogStartingWith(const std::string& prefix) const;
  void ClearLog();

  // Model state. Texts are GBK as given.
  std::vector<std::vector<std::string>> Rows(Control list) const;  // column 0 is the caption
  std::string Cell(Control list, int row, int column) const;
  std::string LabelText(Control label) const;
  bool LabelVisible(Control label) const;  // labels start visible
  bool ButtonEnabled(Control button) const;  // buttons start enabled
  std::vector<Message> Messages() const;
  std::map<int, BoxObject> BoxObjects() const;  // by identifier, in creation order
  Bytes TemplatePicture() const;

  // Sizes GetControlSize reports; SetControlSize updates them.
  void SetSize(Control control, ControlSize size);

  // Called (outside the view's lock) for every ShowMessage before it returns.
  void OnMessage(std::function<void(const Message&)> hook);

 private:
  void Append(std::string line);

  mutable std::mutex mutex_;
  std::vector<std::string> log_;
  std::map<Control, std::vector<std::vector<std::string>>> lists_;
  std::map<Control, std::string> labelTexts_;
  std::set<Control> hiddenLabels_;
  std::set<Control> disabledButtons_;
  std::map<Control, ControlSize> sizes_;
  std::vector<Message> messages_;
  std::map<int, BoxObject> objects_;
  Bytes template_;
  int nextObjectId_ = 1;
  std::function<void(const Message&)> messageHook_;
};
