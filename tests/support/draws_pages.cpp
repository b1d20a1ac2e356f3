// tests/support/draws_pages.cpp -- results pages in the endpoint's row shape.
#include "tests/support/draws_pages.h"

#include <cstdio>

std::string DrawsResultsPage(const std::vector<std::pair<std::string, std::string>>& rows) {
  std::string page =
      "<!DOCTYPE html>\n<html><head><title>Draw results</title></head><body>\n"
      "<table><tr class='head'><th>Period</th><th>Time</th><th>Number</th></tr>\n";
  for (const auto& [id, number] : rows) {
    page += "<tr align='center'><td>" + id + "</td><td>10:00</td><td class='redball first'>";
    for (std::size_t i = 0; i < number.size(); ++i) {
      if (i > 0) page += "</td><td class='redball'>";
      page += number[i];
    }
    page += "</td></tr>\n";
  }
  page += "</table></body></html>\n";
  return page;
}

std::string DrawsSyntheticPage(int count) {
  std::vector<std::pair<std::string, std::string>> rows;
  rows.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    char id[24];
    char number[16];
    std::snprintf(id, sizeof id, "2024%07d", 9999999 - i);
    std::snprintf(number, sizeof number, "%05d", (i * 7919) % 100000);
    rows.emplace_back(id, number);
  }
  return DrawsResultsPage(rows);
}
