// tests/support/plate.cpp -- reading the five tiles of the plate back in order.
#include "tests/support/plate.h"

#include <gtest/gtest.h>

std::vector<int> DigitsLeftToRight(const std::map<int, int>& numeralByLeft) {
  std::vector<int> digits;
  int expectedLeft = 2;
  for (const auto& [left, numeral] : numeralByLeft) {
    EXPECT_EQ(left, expectedLeft);
    expectedLeft += 60;
    digits.push_back(numeral);
  }
  return digits;
}
