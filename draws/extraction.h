// draws/extraction.h -- pulling period ids and draw numbers out of the results page.
#pragma once

#include <string>
#include <vector>

// Collects every text that stands between a left and a right marker, in order, appending
// to items. Each item is trimmed of blanks (space and full-width space); an empty item, or
// one longer than maxLength bytes when maxLength is above 0, ends the extraction there.
// The stored text is prefix + item + suffix, with left before it when withLeft and right
// after it when withRight. Searches start at the 1-based byte position start (below 1
// counts as 1), never begin on the second byte of a two-byte character, and match the
// markers byte for byte when caseSensitive, else with ASCII letters folded. Returns the
// number of elements in items when at least one was added, else 0.
int ExtractBetween(const std::string& source, const std::string& left, const std::string& right,
                   std::vector<std::string>& items, bool caseSensitive, int maxLength,
                   const std::string& prefix, const std::string& suffix, bool withLeft,
                   bool withRight, long long start = 1);

// The results page with every "</td><td class='redball'>" removed in one left-to-right
// pass (case-sensitive), so that the five digit cells of a draw stand together.
std::string RemoveDigitSeparators(const std::string& page);

// Every match of ">\d{5,5}<" (seven bytes: '>', five ASCII digits, '<'), left to right, each
// search resuming after the previous match. Linear in the length of the text.
std::vector<std::string> FindNumberMatches(const std::string& text);

// The period ids of a cleaned page, as the refresh extracts them: the items between
// "center'><td>" and "</td><td>", at most 11 bytes each.
std::vector<std::string> ExtractPeriodIds(const std::string& cleanedPage);
