// tests/support/recording_view.cpp -- the recording MainView of the tests.
#include "tests/support/recording_view.h"

#include "platform/codepage.h"

namespace {
std::string Utf8(const std::string& gbk) { return GbkToUtf8(gbk); }
std::string B(bool value) { return value ? "1" : "0"; }
}  // namespace

void RecordingView::Append(std::string line) { log_.push_back(std::move(line)); }

void RecordingView::ShowMainWindow() {
  std::lock_guard<std::mutex> lock(mutex_);
  Append("ShowMainWindow");
}

void RecordingView::SetButtonEnabled(Control button, bool enabled) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("SetButtonEnabled ") + ControlName(button) + " " + B(enabled));
  if (enabled) {
    disabledButtons_.erase(button);
  } else {
    disabledButtons_.insert(button);
  }
}

void RecordingView::SetLabelText(Control label, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("SetLabelText ") + ControlName(label) + " " + Utf8(text));
  labelTexts_[label] = text;
}

void RecordingView::SetLabelVisible(Control label, bool visible) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("SetLabelVisible ") + ControlName(label) + " " + B(visible));
  if (visible) {
    hiddenLabels_.erase(label);
  } else {
    hiddenLabels_.insert(label);
  }
}

ControlSize RecordingView::GetControlSize(Control control) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("GetControlSize ") + ControlName(control));
  auto it = sizes_.find(control);
  return it == sizes_.end() ? ControlSize{} : it->second;
}

void RecordingView::SetControlSize(Control control, std::optional<int> width,
                                   std::optional<int> height) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("SetControlSize ") + ControlName(control) + " " +
         (width ? std::to_string(*width) : "-") + " " + (height ? std::to_string(*height) : "-"));
  ControlSize& size = sizes_[control];
  if (width) size.width = *width;
  if (height) size.height = *height;
}

void RecordingView::ListClear(Control list) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("ListClear ") + ControlName(list));
  lists_[list].clear();
}

int RecordingView::ListInsertRow(Control list, int position, const std::string& caption) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("ListInsertRow ") + ControlName(list) + " " + std::to_string(position) +
         " " + Utf8(caption));
  auto& rows = lists_[list];
  std::size_t at = (position < 0 || static_cast<std::size_t>(position) >= rows.size())
                       ? rows.size()
                       : static_cast<std::size_t>(position);
  rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), std::vector<std::string>{caption});
  return static_cast<int>(at);
}

void RecordingView::ListSetCell(Control list, int row, int column, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("ListSetCell ") + ControlName(list) + " " + std::to_string(row) + " " +
         std::to_string(column) + " " + Utf8(text));
  auto& rows = lists_[list];
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size() || column < 0) return;
  auto& cells = rows[static_cast<std::size_t>(row)];
  if (cells.size() <= static_cast<std::size_t>(column)) cells.resize(column + 1);
  cells[static_cast<std::size_t>(column)] = text;
}

int RecordingView::ListRowCount(Control list) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append(std::string("ListRowCount ") + ControlName(list));
  return static_cast<int>(lists_[list].size());
}

void RecordingView::SetTemplatePicture(const Bytes& png) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append("SetTemplatePicture " + std::to_string(png.size()));
  template_ = png;
}

int RecordingView::CreateBoxObject(int left, int top, bool visible) {
  std::lock_guard<std::mutex> lock(mutex_);
  int id = nextObjectId_++;
  Append("CreateBoxObject " + std::to_string(left) + " " + std::to_string(top) + " " + B(visible) +
         " -> " + std::to_string(id));
  objects_[id] = BoxObject{left, top, visible, template_};
  return id;
}

void RecordingView::DestroyBoxObject(int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append("DestroyBoxObject " + std::to_string(id));
  objects_.erase(id);
}

void RecordingView::SetBoxObjectVisible(int id, bool visible) {
  std::lock_guard<std::mutex> lock(mutex_);
  Append("SetBoxObjectVisible " + std::to_string(id) + " " + B(visible));
  auto it = objects_.find(id);
  if (it != objects_.end()) it->second.visible = visible;
}

void RecordingView::ShowMessage(const std::string& text, int style, const std::string& caption) {
  Message message{text, style, caption};
  std::function<void(const Message&)> hook;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Append("ShowMessage " + std::to_string(style) + " " + Utf8(caption) + " " + Utf8(text));
    messages_.push_back(message);
    hook = messageHook_;
  }
  if (hook) hook(message);
}

std::vector<std::string> RecordingView::Log() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return log_;
}

std::vector<std::string> RecordingView::LogStartingWith(const std::string& prefix) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> out;
  for (const auto& line : log_) {
    if (line.rfind(prefix, 0) == 0) out.push_back(line);
  }
  return out;
}

void RecordingView::ClearLog() {
  std::lock_guard<std::mutex> lock(mutex_);
  log_.clear();
}

std::vector<std::vector<std::string>> RecordingView::Rows(Control list) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = lists_.find(list);
  return it == lists_.end() ? std::vector<std::vector<std::string>>{} : it->second;
}

std::string RecordingView::Cell(Control list, int row, int column) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = lists_.find(list);
  if (it == lists_.end() || row < 0 || static_cast<std::size_t>(row) >= it->second.size()) {
    return {};
  }
  const auto& cells = it->second[static_cast<std::size_t>(row)];
  return column >= 0 && static_cast<std::size_t>(column) < cells.size()
             ? cells[static_cast<std::size_t>(column)]
             : std::string{};
}

std::string RecordingView::LabelText(Control label) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = labelTexts_.find(label);
  return it == labelTexts_.end() ? std::string{} : it->second;
}

bool RecordingView::LabelVisible(Control label) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hiddenLabels_.count(label) == 0;
}

bool RecordingView::ButtonEnabled(Control button) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return disabledButtons_.count(button) == 0;
}

std::vector<RecordingView::Message> RecordingView::Messages() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messages_;
}

std::map<int, RecordingView::BoxObject> RecordingView::BoxObjects() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return objects_;
}

Bytes RecordingView::TemplatePicture() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return template_;
}

void RecordingView::SetSize(Control control, ControlSize size) {
  std::lock_guard<std::mutex> lock(mutex_);
  sizes_[control] = size;
}

void RecordingView::OnMessage(std::function<void(const Message&)> hook) {
  std::lock_guard<std::mutex> lock(mutex_);
  messageHook_ = std::move(hook);
}
