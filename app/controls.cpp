// app/controls.cpp -- names of the controls for messages and logs.
#include "app/controls.h"

const char* ControlName(Control control) {
  switch (control) {
    case Control::主窗口: return "主窗口";
    case Control::动画框1: return "动画框1";
    case Control::透明标签1: return "透明标签1";
    case Control::透明标签2: return "透明标签2";
    case Control::透明标签3: return "透明标签3";
    case Control::超文本浏览框1: return "超文本浏览框1";
    case Control::选择夹1: return "选择夹1";
    case Control::超级列表框1: return "超级列表框1";
    case Control::超级列表框2: return "超级列表框2";
    case Control::超级列表框3: return "超级列表框3";
    case Control::超级列表框4: return "超级列表框4";
    case Control::分组框1: return "分组框1";
    case Control::按钮_个位大小: return "按钮_个位大小";
    case Control::按钮_个位单双: return "按钮_个位单双";
    case Control::按钮_十位大小: return "按钮_十位大小";
    case Control::按钮_十位单双: return "按钮_十位单双";
    case Control::按钮_百位大小: return "按钮_百位大小";
    case Control::按钮_百位单双: return "按钮_百位单双";
    case Control::按钮_千位大小: return "按钮_千位大小";
    case Control::按钮_千位单双: return "按钮_千位单双";
    case Control::按钮_万位大小: return "按钮_万位大小";
    case Control::按钮_万位单双: return "按钮_万位单双";
    case Control::按钮3: return "按钮3";
  }
  return "?";
}
