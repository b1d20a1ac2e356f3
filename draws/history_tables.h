// draws/history_tables.h -- the draw list, the big/small table and the odd/even table.
#pragma once

#include <array>
#include <string>

// Removes every row of 超级列表框1, 超级列表框2 and 超级列表框3, in this order.
void ClearHistoryTables();

// Fills row k (1 for the newest draw) of the three tables from the period id and the five
// digit texts, 万位 first; each digit text is one character "0" to "9". Rows come in
// order after ClearHistoryTables, so each insertion appends.
void FillHistoryRow(int k, const std::string& periodId, const std::array<std::string, 5>& digits);

// The closing step of a refresh: enables the ten plan buttons (the four the refresh
// disabled first) and re-runs the current plan. While a plan run is in progress the
// buttons are left as they are: that run enables them when it ends.
void FinishRefresh();
