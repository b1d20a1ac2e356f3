// tests/support/draws_pages.h -- results pages in the endpoint's row shape, for feeding a
// refresh through its page seam.
#pragma once

#include <string>
#include <utility>
#include <vector>

// One row per (period id, five-digit number), in the given order, inside a small HTML
// document; the id cell holds the id exactly as given (blanks included).
std::string DrawsResultsPage(const std::vector<std::pair<std::string, std::string>>& rows);

// count rows with ids "20240305" + a three-digit counter going down and numbers made from
// the row index, newest first; long enough pages for benchmarks.
std::string DrawsSyntheticPage(int count);
