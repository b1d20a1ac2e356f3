// plans/plan_eval.cpp -- plan evaluation: symbols by period number, hits, score, plan table.
#include "plans/plan_eval.h"

#include <string_view>

#include "app/main_view.h"
#include "app/shared_state.h"
#include "base/text.h"
#include "platform/codepage.h"

namespace {

constexpr Control kPlanTable = Control::超级列表框4;
constexpr int kStatsColumn = 1;  // "预测统计"
constexpr int kHitsForScore = 31;
constexpr std::size_t kPeriodLabelChars = 3;

// Byte index where the last three characters of text begin (0 when it has fewer), found
// by walking characters from its first byte.
std::size_t LastThreeCharactersStart(const std::string& text) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t starts[kPeriodLabelChars] = {};
  std::size_t count = 0;
  for (std::size_t i = 0; i < size; i += (bytes[i] >= 0x80 && i + 1 < size) ? 2 : 1) {
    starts[count++ % kPeriodLabelChars] = i;
  }
  return count <= kPeriodLabelChars ? 0 : starts[count % kPeriodLabelChars];
}

const std::string& PositionName(int position) {
  static const std::string* const names[] = {&Gbk("万位"), &Gbk("千位"), &Gbk("百位"), &Gbk("十位"),
                                             &Gbk("个位")};
  static const std::string none;
  return (position >= 1 && position <= 5) ? *names[position - 1] : none;
}

// The digit at the 1-based byte position of a draw number; 0 when missing or not a digit.
int DigitAt(const std::string& drawNumber, int position) {
  if (position < 1 || static_cast<std::size_t>(position) > drawNumber.size()) return 0;
  char c = drawNumber[static_cast<std::size_t>(position) - 1];
  return (c >= '0' && c <= '9') ? c - '0' : 0;
}

// Runs 50 times per evaluation: the four symbols are looked up once.
const std::string& ActualSymbol(int digit, int attribute) {
  static const std::string& big = Gbk("大");
  static const std::string& small = Gbk("小");
  static const std::string& odd = Gbk("单");
  static const std::string& even = Gbk("双");
  if (attribute == 1) return digit >= 5 ? big : small;
  return digit % 2 != 0 ? odd : even;
}

// True when some character of text starts with 0xA1 or 0xA3, the only lead bytes whose
// characters have a half-width form; generated patterns have none, so the copy is skipped.
bool HasFullWidthForms(const std::string& text) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; i += (bytes[i] >= 0x80 && i + 1 < size) ? 2 : 1) {
    if (bytes[i] == 0xA1 || bytes[i] == 0xA3) return true;
  }
  return false;
}

// The characters of a text already in half-width form, as views into it.
std::vector<std::string_view> SymbolViews(const std::string& halfWidth) {
  std::vector<std::string_view> symbols;
  symbols.reserve(halfWidth.size());
  for (std::size_t i = 0; i < halfWidth.size();) {
    std::size_t length = CharLengthAt(halfWidth, i);
    symbols.emplace_back(halfWidth.data() + i, length);
    i += length;
  }
  return symbols;
}

// S[(n mod L) + 1]; an empty pattern predicts nothing, so it never hits.
std::string_view SymbolForPeriod(const std::vector<std::string_view>& symbols, int periodNumber) {
  if (symbols.empty()) return {};
  return symbols[static_cast<std::size_t>(periodNumber) % symbols.size()];
}

// The label of the next period: at least three digits, and 120 (the last period of a day)
// is followed by 001.
std::string NextPeriodLabel(int next) {
  std::string label = IntToText(next);
  if (TextToInt(label) < 100) label = "0" + IntToText(next);
  if (TextToInt(label) < 10) label = "00" + IntToText(next);
  if (TextToInt(label) == 120) label = "001";
  return label;
}

void AppendPlanRow(int number, const std::string& text) {
  MainView& view = View();
  int row = view.ListInsertRow(kPlanTable, -1, IntToText(number));
  view.ListSetCell(kPlanTable, row, kStatsColumn, text);
}

std::string HitText(const std::string& periodId, const std::string& drawNumber, int position,
                    const std::string& actual, int run) {
  return Gbk("【第") + periodId.substr(LastThreeCharactersStart(periodId)) + Gbk("期】 ") +
         drawNumber + "  " + PositionName(position) + Gbk("【") + actual + Gbk("】 ") +
         IntToText(run) + Gbk("期中");
}

std::string PredictionText(const std::string& label, std::string_view predicted) {
  return Gbk("【第") + label + Gbk("期】 预测【") + std::string(predicted) + Gbk("】  ");
}

// Ids and numbers describe the same draws only when the refresh paired them; a history
// whose lengths differ holds empty numbers, not draws.
bool HoldsEnoughPairedDraws(const DrawHistory& history) {
  return history.drawNumbers.size() >= static_cast<std::size_t>(kEvaluatedDraws) &&
         history.periodIds.size() == history.drawNumbers.size();
}

}  // namespace

std::vector<std::string> SplitSymbols(const std::string& text) {
  const std::string halfWidth = HalfWidth(text);
  std::vector<std::string> symbols;
  for (std::string_view symbol : SymbolViews(halfWidth)) symbols.emplace_back(symbol);
  return symbols;
}

int PeriodNumber(const std::string& periodId) {
  // Reads the digits of the half-width form in place: evaluations call this for every draw
  // and generation evaluates hundreds of times, so it neither copies nor allocates.
  const unsigned char* text = reinterpret_cast<const unsigned char*>(periodId.data());
  const std::size_t size = periodId.size();
  std::size_t i = LastThreeCharactersStart(periodId);
  for (;;) {
    if (i < size && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
      ++i;
    } else if (i + 1 < size && text[i] == 0xA1 && text[i + 1] == 0xA1) {  // ideographic space
      i += 2;
    } else {
      break;
    }
  }
  int number = 0;
  for (;;) {
    if (i < size && text[i] >= '0' && text[i] <= '9') {
      number = number * 10 + (text[i] - '0');
      ++i;
    } else if (i + 1 < size && text[i] == 0xA3 && text[i + 1] >= 0xB0 && text[i + 1] <= 0xB9) {
      number = number * 10 + (text[i + 1] - 0xB0);  // a full-width digit
      i += 2;
    } else {
      return number;
    }
  }
}

int EvaluatePlan(const std::string& pattern, bool display, int position, int attribute,
                 bool* dataMissing) {
  std::shared_ptr<const DrawHistory> history = LoadDrawHistory();
  bool missing = !HoldsEnoughPairedDraws(*history);
  if (dataMissing) *dataMissing = missing;
  if (missing) {
    View().ShowMessage(NoDataMessage(), kMessageStylePlain);
    return kFailingScore;
  }

  const std::string halfWidth = HasFullWidthForms(pattern) ? HalfWidth(pattern) : pattern;
  const std::vector<std::string_view> symbols = SymbolViews(halfWidth);
  View().ListClear(kPlanTable);
  int run = 0;
  int hits = 0;
  int longest = 0;
  for (int k = kEvaluatedDraws; k >= 1; --k) {  // from the 50th newest draw to the newest
    const std::string& periodId = history->periodIds[static_cast<std::size_t>(k) - 1];
    const std::string& drawNumber = history->drawNumbers[static_cast<std::size_t>(k) - 1];
    ++run;
    const std::string& actual = ActualSymbol(DigitAt(drawNumber, position), attribute);
    if (SymbolForPeriod(symbols, PeriodNumber(periodId)) != actual) continue;
    ++hits;
    if (run > longest) longest = run;
    if (display) AppendPlanRow(hits, HitText(periodId, drawNumber, position, actual, run));
    run = 0;
  }

  ++hits;  // the number of the prediction row
  int next = PeriodNumber(history->periodIds[0]) + 1;
  AppendPlanRow(hits, PredictionText(NextPeriodLabel(next), SymbolForPeriod(symbols, next)));
  return hits >= kHitsForScore + 1 ? longest : kFailingScore;
}
