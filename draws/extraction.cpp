// draws/extraction.cpp -- marker extraction and the number matches of the results page.
#include "draws/extraction.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>

#include "base/text.h"

namespace {

// The compiled number pattern, shared by every thread. A compiled PCRE2 pattern (and its
// JIT code) is read-only once built; each search brings its own match data.
class NumberPattern {
 public:
  NumberPattern() {
    int error = 0;
    PCRE2_SIZE offset = 0;
    // No UTF mode: the page is GBK bytes, and \d means the ASCII digits only.
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(">\\d{5,5}<"), PCRE2_ZERO_TERMINATED, 0,
                          &error, &offset, nullptr);
    if (code_ != nullptr) jit_ = pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE) == 0;
  }
  ~NumberPattern() { pcre2_code_free(code_); }
  NumberPattern(const NumberPattern&) = delete;
  NumberPattern& operator=(const NumberPattern&) = delete;

  std::vector<std::string> FindAll(const std::string& text) const {
    std::vector<std::string> matches;
    if (code_ == nullptr) return matches;
    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
        pcre2_match_data_create_from_pattern(code_, nullptr), &pcre2_match_data_free);
    auto subject = reinterpret_cast<PCRE2_SPTR>(text.data());
    PCRE2_SIZE from = 0;
    while (from < text.size()) {
      int rc = jit_ ? pcre2_jit_match(code_, subject, text.size(), from, 0, data.get(), nullptr)
                    : pcre2_match(code_, subject, text.size(), from, 0, data.get(), nullptr);
      if (rc < 0) break;
      const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
      matches.emplace_back(text, ovector[0], ovector[1] - ovector[0]);
      // A match is never empty, so resuming at its end always moves forward.
      from = ovector[1];
    }
    return matches;
  }

 private:
  pcre2_code* code_ = nullptr;
  bool jit_ = false;
};

const NumberPattern& ThePattern() {
  static const NumberPattern pattern;
  return pattern;
}

}  // namespace

int ExtractBetween(const std::string& source, const std::string& left, const std::string& right,
                   std::vector<std::string>& items, bool caseSensitive, int maxLength,
                   const std::string& prefix, const std::string& suffix, bool withLeft,
                   bool withRight, long long start) {
  const bool ignoreCase = !caseSensitive;
  bool added = false;
  // walkFrom is a 0-based index known to start a character at or before the next search,
  // so that each search walks only the text it has not seen: the extraction stays linear.
  std::size_t walkFrom = 0;
  long long searchFrom = start < 1 ? 1 : start;
  while (true) {
    std::size_t leftAt = FindText(source, left, searchFrom, ignoreCase, walkFrom);
    if (leftAt == 0) break;
    std::size_t itemAt = leftAt + left.size();  // 1-based position of the item's first byte
    // The right marker is searched from one byte past the item's first byte, so an empty
    // cell right after the left marker does not end at once: the item runs on to the next
    // right marker and is then judged by its length.
    std::size_t rightAt =
        FindText(source, right, static_cast<long long>(itemAt) + 1, ignoreCase, leftAt - 1);
    if (rightAt == 0) break;
    std::string item = TrimSpaces(source.substr(itemAt - 1, rightAt - itemAt));
    if (item.empty()) break;
    if (maxLength > 0 && item.size() > static_cast<std::size_t>(maxLength)) break;
    std::string stored = prefix + item + suffix;
    if (withLeft) stored = left + stored;
    if (withRight) stored += right;
    items.push_back(std::move(stored));
    added = true;
    searchFrom = static_cast<long long>(rightAt);
    walkFrom = rightAt - 1;
  }
  return added ? static_cast<int>(items.size()) : 0;
}

std::string RemoveDigitSeparators(const std::string& page) {
  return ReplaceText(page, "</td><td class='redball'>", "");
}

std::vector<std::string> FindNumberMatches(const std::string& text) {
  return ThePattern().FindAll(text);
}

std::vector<std::string> ExtractPeriodIds(const std::string& cleanedPage) {
  std::vector<std::string> ids;
  ExtractBetween(cleanedPage, "center'><td>", "</td><td>", ids, true, 11, "", "", false, false);
  return ids;
}
