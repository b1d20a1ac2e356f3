// plans/plan_kinds.h -- the ten plan kinds: button, caption, stored key, position, attribute.
#pragma once

#include <array>

#include "app/controls.h"

// Attribute values passed to the plan routines.
inline constexpr int kAttributeBigSmall = 1;  // 大小: digit 5-9 大, 0-4 小
inline constexpr int kAttributeOddEven = 0;   // 单双: odd 单, even 双

// One plan kind. Texts are UTF-8 literals; take them through Gbk().
struct PlanKind {
  int kind;             // 1-10, the buttons' order from top to bottom
  Control button;       // its plan button
  const char* caption;  // the button's caption
  const char* key;      // its key in the settings file
  int position;         // DigitPosition: 1 万位 .. 5 个位
  int attribute;        // kAttributeBigSmall or kAttributeOddEven
};

inline constexpr std::array<PlanKind, 10> kPlanKinds = {{
    {1, Control::按钮_个位大小, "个位大小正则计划", "个位正则大小", 5, kAttributeBigSmall},
    {2, Control::按钮_个位单双, "个位单双正则计划", "个位正则单双", 5, kAttributeOddEven},
    {3, Control::按钮_十位大小, "十位大小正则计划", "十位正则大小", 4, kAttributeBigSmall},
    {4, Control::按钮_十位单双, "十位单双正则计划", "十位正则单双", 4, kAttributeOddEven},
    {5, Control::按钮_百位大小, "百位大小正则计划", "百位正则大小", 3, kAttributeBigSmall},
    {6, Control::按钮_百位单双, "百位单双正则计划", "百位正则单双", 3, kAttributeOddEven},
    {7, Control::按钮_千位大小, "千位大小正则计划", "千位正则大小", 2, kAttributeBigSmall},
    {8, Control::按钮_千位单双, "千位单双正则计划", "千位正则单双", 2, kAttributeOddEven},
    {9, Control::按钮_万位大小, "万位大小正则计划", "万位正则大小", 1, kAttributeBigSmall},
    {10, Control::按钮_万位单双, "万位单双正则计划", "万位正则单双", 1, kAttributeOddEven},
}};

// The row of kind, or nullptr for a number outside 1-10.
inline constexpr const PlanKind* FindPlanKind(int kind) {
  return (kind >= 1 && kind <= static_cast<int>(kPlanKinds.size())) ? &kPlanKinds[kind - 1]
                                                                    : nullptr;
}
