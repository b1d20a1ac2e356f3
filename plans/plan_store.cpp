// plans/plan_store.cpp -- reading, generating and storing plan patterns; clearing the store.
#include "plans/plan_store.h"

#include <atomic>
#include <optional>

#include "plans/plan_eval.h"
#include "plans/plan_kinds.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/event_wait.h"
#include "platform/profile.h"

namespace {

// Grows with every draw; see RandomDraw.
std::atomic<std::uint32_t> drawCounter{0};

// The kinds whose keys the clear button empties, in the order it writes them: the 单双
// plans from 万位 to 个位, then the 大小 plans likewise.
constexpr int kClearOrder[] = {10, 8, 6, 4, 2, 9, 7, 5, 3, 1};

// The generator's first output after seeding: state × 214013 + 2531011, bits 16 to 30.
int GeneratorOutput(std::uint32_t seed) {
  std::uint32_t state = seed * 214013u + 2531011u;
  return static_cast<int>((state >> 16) & 0x7FFF);
}

const std::string& SymbolForDraw(int draw, int attribute) {
  static const std::string& big = Gbk("大");
  static const std::string& small = Gbk("小");
  static const std::string& even = Gbk("双");
  static const std::string& odd = Gbk("单");
  bool high = draw >= 11;
  if (attribute == kAttributeBigSmall) return high ? big : small;
  return high ? even : odd;
}

// Every symbol is one two-byte character, so the pattern is filled in place.
std::string RandomPattern(int attribute) {
  std::string pattern(2 * kPatternSymbols, '\0');
  for (int i = 0; i < kPatternSymbols; ++i) {
    SymbolForDraw(RandomDraw(), attribute).copy(&pattern[2 * static_cast<std::size_t>(i)], 2);
  }
  return pattern;
}

// Tries random patterns until one is accepted, and stores it. Nothing is stored when the
// evaluation reports missing data or when the tries run out.
std::atomic<int> generationTryLimit{kMaxGenerationTries};

std::optional<std::string> GeneratePattern(const std::string& key, int position, int attribute) {
  const int limit = generationTryLimit.load();
  for (int tries = 0; tries < limit; ++tries) {
    std::string pattern = RandomPattern(attribute);
    bool dataMissing = false;
    int score = EvaluatePlan(pattern, false, position, attribute, &dataMissing);
    if (dataMissing) return std::nullopt;  // the evaluation has shown its message once
    bool accepted = score <= kAcceptedScore;
    if (accepted) WriteProfileString(PlanStorePath(), PlanSection(), key, pattern);
    LetEventsRun();
    if (accepted) return pattern;
  }
  return std::nullopt;
}

}  // namespace

std::string PlanStorePath() {
  std::string folder = SettingsFolder();
  if (folder.empty()) return "syst.tb";
  if (folder.back() != '/') folder += '/';
  return folder + "syst.tb";
}

const std::string& PlanSection() {
  return Gbk("计划");
}

void RunPlan(const std::string& key, int position, int attribute) {
  std::string stored = ReadProfileString(PlanStorePath(), PlanSection(), key);
  if (!stored.empty()) {
    // A stored pattern is shown whatever it scores today; it is never replaced here.
    EvaluatePlan(stored, true, position, attribute);
    return;
  }
  if (std::optional<std::string> accepted = GeneratePattern(key, position, attribute)) {
    EvaluatePlan(*accepted, true, position, attribute);
  }
}

void SetGenerationTryLimitForTest(int tries) {
  generationTryLimit = tries > 0 ? tries : kMaxGenerationTries;
}

int RandomDraw() {
  std::uint32_t ticks = TickCount();
  std::uint32_t counter = drawCounter.load();
  std::uint32_t seed = 0;
  do {
    seed = ticks + counter;  // unsigned: wraps at 2^32
  } while (!drawCounter.compare_exchange_weak(counter, counter + 100u + seed % 256u));
  return 1 + GeneratorOutput(seed) % 20;
}

void SetDrawCounterForTest(std::uint32_t value) {
  drawCounter.store(value);
}
std::uint32_t DrawCounterForTest() {
  return drawCounter.load();
}

void OnClearPlansClick() {
  const std::string path = PlanStorePath();
  for (int kind : kClearOrder) {
    WriteProfileString(path, PlanSection(), Gbk(FindPlanKind(kind)->key), "");
  }
}
