// Tolerant byte matching: the worked cases, the edges of start and tolerance, and the wildcard.
#include "finder/tolerant_bytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "finder/byte_range_scan.h"
#include "tests/finder/plain_tolerant_bytes.h"

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

// Random and adversarial inputs through every kernel the processor runs, answer for answer the
// direct search: few distinct bytes so that anchors hit everywhere, flat data, patterns cut from
// the data with their last byte nudged, lengths across the vector widths, starts at every edge.
TEST(TolerantBytesTest, EveryKernelAnswersAsTheDirectSearch) {
  std::mt19937 random(20261209);
  const auto pick = [&random](std::int64_t low, std::int64_t high) {
    return static_cast<std::int32_t>(
        std::uniform_int_distribution<std::int64_t>(low, high)(random));
  };
  for (const NamedByteRangeKernel& kernel : RunnableByteRangeKernels()) {
    SCOPED_TRACE(kernel.name);
    for (int round = 0; round < 3000; ++round) {
      const int alphabet = std::vector{1, 2, 4, 256}[static_cast<std::size_t>(round % 4)];
      Bytes data(static_cast<std::size_t>(pick(0, 100)));
      for (auto& byte : data) byte = static_cast<std::uint8_t>(pick(0, alphabet - 1) * 7);
      Bytes pattern;
      if (!data.empty() && round % 3 != 0) {
        const auto from =
            static_cast<std::size_t>(pick(0, static_cast<std::int64_t>(data.size()) - 1));
        const auto length =
            static_cast<std::size_t>(pick(1, static_cast<std::int64_t>(data.size() - from)));
        pattern.assign(data.begin() + static_cast<std::ptrdiff_t>(from),
                       data.begin() + static_cast<std::ptrdiff_t>(from + length));
        pattern.back() = static_cast<std::uint8_t>(pattern.back() + pick(-2, 2));
      } else {
        pattern.resize(static_cast<std::size_t>(pick(0, 4)));
        for (auto& byte : pattern) byte = static_cast<std::uint8_t>(pick(0, 255));
      }
      const std::int32_t tolerance =
          std::vector{-1, 0, 1, 2, 255, pick(0, 40)}[static_cast<std::size_t>(round % 6)];
      const std::int32_t wildcard =
          std::vector{-1, 0, 7, 300,
                      pattern.empty() ? -1 : pattern.front()}[static_cast<std::size_t>(round % 5)];
      const std::int32_t start =
          std::vector{INT_MIN, 0, 1, pick(1, 110)}[static_cast<std::size_t>(round % 4)];
      const std::int32_t value =
          std::vector{pick(-10, 265), pick(0, 255), INT_MIN}[static_cast<std::size_t>(round % 3)];

      ASSERT_EQ(FindToleratedByte(data, value, tolerance, start, kernel.scan),
                plain::FindToleratedByte(data, value, tolerance, start))
          << "round " << round;
      ASSERT_EQ(FindToleratedPattern(data, pattern, start, wildcard, tolerance, kernel.scan),
                plain::FindToleratedPattern(data, pattern, start, wildcard, tolerance))
          << "round " << round;
    }
  }
}

TEST(TolerantBytesTest, TheProcessorsKernelsIncludeTheVectorOnes) {
  const auto kernels = RunnableByteRangeKernels();
  ASSERT_FALSE(kernels.empty());
  EXPECT_STREQ(kernels.front().name, "plain");
#if defined(__x86_64__)
  EXPECT_GE(kernels.size(), 2u) << "SSE2 is on every x86-64 processor";
#endif
}

}  // namespace
}  // namespace qel
