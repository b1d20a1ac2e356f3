// app/main_view.cpp -- the installed view, and an inert one for when none is installed.
#include "app/main_view.h"

#include <atomic>

#include "build_config.h"
#include "platform/codepage.h"

namespace {

// Does nothing and returns neutral values.
class InertView final : public MainView {
 public:
  using MainView::CreateBoxObject;
  using MainView::ShowMessage;
  void ShowMainWindow() override {}
  void SetButtonEnabled(Control, bool) override {}
  void SetLabelText(Control, const std::string&) override {}
  void SetLabelVisible(Control, bool) override {}
  ControlSize GetControlSize(Control) override { return {}; }
  void SetControlSize(Control, std::optional<int>, std::optional<int>) override {}
  void ListClear(Control) override {}
  int ListInsertRow(Control, int, const std::string&) override { return 0; }
  void ListSetCell(Control, int, int, const std::string&) override {}
  int ListRowCount(Control) override { return 0; }
  void SetTemplatePicture(const Bytes&) override {}
  int CreateBoxObject(int, int, bool) override { return 0; }
  void DestroyBoxObject(int) override {}
  void SetBoxObjectVisible(int, bool) override {}
  void ShowMessage(const std::string&, int, const std::string&) override {}
};

InertView inertView;
std::atomic<MainView*> installedView{nullptr};

}  // namespace

void MainView::ShowMessage(const std::string& text, int style) {
  ShowMessage(text, style, DefaultMessageCaption());
}

MainView& View() {
  MainView* view = installedView.load(std::memory_order_acquire);
  return view ? *view : inertView;
}

void SetMainView(MainView* view) {
  installedView.store(view, std::memory_order_release);
}

const std::string& DefaultMessageCaption() {
  return Gbk("信息：");
}

std::string NoDataMessage() {
  return Gbk("开奖数据未成功获取，请确保能联网") + build_config::kNoDataDomain;
}
