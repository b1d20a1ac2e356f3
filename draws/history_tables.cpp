// draws/history_tables.cpp -- the rows of the three history tables and the refresh's close.
#include "draws/history_tables.h"

#include <cmath>

#include "app/main_view.h"
#include "base/text.h"
#include "plans/plan_buttons.h"
#include "platform/codepage.h"

namespace {

// 大 from the threshold up, 小 below it: 5 for a digit, 23 for the digit sum.
const std::string& SizeText(long long value, long long threshold) {
  return value >= threshold ? Gbk("大") : Gbk("小");
}

// The remainder is taken in floating point, and anything above 1e-7 counts as odd, so the
// rule reads the same as it would for a fractional value.
const std::string& ParityText(long long value) {
  double remainder = std::fmod(static_cast<double>(value), 2.0);
  return std::fabs(remainder) > 1e-7 ? Gbk("单") : Gbk("双");
}

// 龙 when the 万位 digit is greater than the 个位 digit, 和 when equal, 虎 when smaller.
const std::string& DragonTigerText(long long first, long long last) {
  if (first > last) return Gbk("龙");
  if (first == last) return Gbk("和");
  return Gbk("虎");
}

}  // namespace

void ClearHistoryTables() {
  MainView& view = View();
  view.ListClear(Control::超级列表框1);
  view.ListClear(Control::超级列表框2);
  view.ListClear(Control::超级列表框3);
}

void FillHistoryRow(int k, const std::string& periodId, const std::array<std::string, 5>& digits) {
  std::array<long long, 5> values{};
  long long sum = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    values[i] = TextToInt(digits[i]);
    sum += values[i];
  }
  const std::string sumText = IntToText(sum);
  const int position = k - 1;
  MainView& view = View();

  const Control drawList = Control::超级列表框1;
  int row = view.ListInsertRow(drawList, position, periodId);
  view.ListSetCell(drawList, row, 1,
                   digits[0] + digits[1] + digits[2] + digits[3] + digits[4] + "  T  " + sumText);
  for (int i = 0; i < 5; ++i) view.ListSetCell(drawList, row, 2 + i, digits[i]);
  view.ListSetCell(drawList, row, 7, SizeText(sum, 23));
  view.ListSetCell(drawList, row, 8, ParityText(sum));
  view.ListSetCell(drawList, row, 9, DragonTigerText(values[0], values[4]));

  const Control sizeTable = Control::超级列表框2;
  row = view.ListInsertRow(sizeTable, position, periodId);
  for (int i = 0; i < 5; ++i) {
    view.ListSetCell(sizeTable, row, 1 + i, digits[i] + "  " + SizeText(values[i], 5));
  }
  view.ListSetCell(sizeTable, row, 6, sumText + "  " + SizeText(sum, 23));

  const Control parityTable = Control::超级列表框3;
  row = view.ListInsertRow(parityTable, position, periodId);
  for (int i = 0; i < 5; ++i) {
    view.ListSetCell(parityTable, row, 1 + i, digits[i] + "  " + ParityText(values[i]));
  }
  view.ListSetCell(parityTable, row, 6, sumText + "  " + ParityText(sum));
}

void FinishRefresh() {
  // A refresh can end inside a plan run (a timer tick handled between generation tries, or
  // the start-up refresh ending while a click's plan runs). Enabling the buttons then would
  // let a second plan start inside the first and interleave the plan table.
  if (!PlanRunInProgress()) {
    MainView& view = View();
    // The four the refresh disabled first, then the other six: the lock order.
    for (Control button : kPlanButtonLockOrder) view.SetButtonEnabled(button, true);
  }
  RunCurrentPlan();
}
