// Tolerant byte matching: the worked cases, the edges of start and tolerance, and the wildcard.
#include "finder/tolerant_bytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace qel {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(TolerantBytesTest, FindToleratedByte) {
  struct Case {
    std::string name;
    Bytes data;
    std::int32_t value, tolerance, start, want;
  };
  const Bytes tens{10, 20, 30};
  for (const Case& c : {
           Case{"one short of reaching", tens, 22, 1, 1, -1},
           Case{"just within", tens, 22, 2, 1, 2},
           Case{"from a later start", tens, 22, 10, 3, 3},
           Case{"equality", tens, 20, 0, 1, 2},
           Case{"negative tolerance", tens, 20, -1, 1, -1},
           Case{"start below 1", tens, 10, 0, INT_MIN, 1},
           Case{"start past the end", tens, 30, 255, 4, -1},
           Case{"value outside a byte", tens, -5, 15, 1, 1},
           Case{"tolerance that cannot overflow", tens, INT_MIN, INT_MAX, 1, -1},
           Case{"empty data", {}, 0, 255, 1, -1},
       }) {
    EXPECT_EQ(FindToleratedByte(c.data, c.value, c.tolerance, c.start), c.want) << c.name;
  }
}

TEST(TolerantBytesTest, FindToleratedPattern) {
  struct Case {
    std::string name;
    Bytes data, pattern;
    std::int32_t start, wildcard, tolerance, want;
  };
  const Bytes repeated{10, 20, 30, 20, 30};
  for (const Case& c : {
           Case{"first occurrence", repeated, {20, 30}, 1, kNoWildcard, 0, 2},
           Case{"from start 3", repeated, {20, 30}, 3, kNoWildcard, 0, 4},
           Case{"no candidate left", repeated, {20, 30}, 5, kNoWildcard, 0, -1},
           Case{"start below 1", repeated, {10}, -7, kNoWildcard, 0, 1},
           Case{"within tolerance", {10, 20, 30}, {22, 28}, 1, kNoWildcard, 5, 2},
           Case{"outside tolerance", {10, 20, 30}, {22, 28}, 1, kNoWildcard, 1, -1},
           Case{"wildcard before a fixed byte", {7, 30, 9, 30}, {0, 30}, 2, 0, 0, 3},
           Case{"wildcard alone matches at start", {7, 8, 9}, {0}, 2, 0, 0, 2},
           Case{"wildcard outside a byte is none", {1, 2}, {0}, 1, 256, 0, -1},
           Case{"mismatch at the last byte", {1, 2, 3, 1, 2, 4}, {1, 2, 4}, 1, kNoWildcard, 0, 4},
           Case{"pattern at the very end", {1, 2, 3}, {2, 3}, 1, kNoWildcard, 0, 2},
           Case{"empty pattern", {1, 2}, {}, 1, kNoWildcard, 255, -1},
           Case{"pattern longer than data", {1}, {1, 1}, 1, 1, 255, -1},
           Case{"negative tolerance", {1, 2}, {1}, 1, kNoWildcard, -1, -1},
       }) {
    EXPECT_EQ(FindToleratedPattern(c.data, c.pattern, c.start, c.wildcard, c.tolerance), c.want)
        << c.name;
  }
}

TEST(TolerantBytesTest, MatchToleratedPattern) {
  struct Case {
    std::string name;
    Bytes data, pattern;
    std::int32_t wildcard, tolerance;
    bool want;
  };
  for (const Case& c : {
           Case{"lengths differ", {1, 2, 3}, {1, 2, 3, 4}, kNoWildcard, 255, false},
           Case{"within 2", {10, 20, 30}, {12, 20, 29}, kNoWildcard, 2, true},
           Case{"not within 1", {10, 20, 30}, {12, 20, 29}, kNoWildcard, 1, false},
           Case{"all wildcards", {0, 128, 7}, {255, 255, 255}, 255, 0, true},
           Case{"both empty", {}, {}, kNoWildcard, -1, true},
       }) {
    EXPECT_EQ(MatchToleratedPattern(c.data, c.pattern, c.wildcard, c.tolerance), c.want) << c.name;
  }
}

}  // namespace
}  // namespace qel
