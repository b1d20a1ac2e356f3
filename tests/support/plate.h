// tests/support/plate.h -- reading the five tiles of the plate back in order.
#pragma once

#include <map>
#include <vector>

// The numerals of the tiles, left to right, given each tile's left edge and numeral;
// checks that the tiles stand 60 pixels apart from x = 2.
std::vector<int> DigitsLeftToRight(const std::map<int, int>& numeralByLeft);
