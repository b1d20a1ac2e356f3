// app/controls.h -- the names of the main window's controls, as the logic refers to them.
#pragma once

// Every control of the main window that a MainView operation can address. The names are
// the window's own: a kind word with a number, or with an underscore and a role.
enum class Control {
  主窗口,  // the main window itself (GetControlSize gives its outer size)
  动画框1,
  透明标签1,
  透明标签2,
  透明标签3,
  超文本浏览框1,
  选择夹1,
  超级列表框1,
  超级列表框2,
  超级列表框3,
  超级列表框4,
  分组框1,
  按钮_个位大小,
  按钮_个位单双,
  按钮_十位大小,
  按钮_十位单双,
  按钮_百位大小,
  按钮_百位单双,
  按钮_千位大小,
  按钮_千位单双,
  按钮_万位大小,
  按钮_万位单双,
  按钮3,
};

// The control's identifier as UTF-8, for test messages.
const char* ControlName(Control control);
