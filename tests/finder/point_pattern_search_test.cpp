// Point patterns: the threshold, points outside the picture before and after it is reached, and
// every kernel held to the direct search on random and adversarial pictures.
#include "finder/point_pattern_search.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

#include "platform/fake/fake_system.h"
#include "tests/finder/plain_pattern_search.h"

namespace qel {
namespace {

using Points = std::vector<PatternPoint>;

// Three rows of four, all 0 but a 7 and a 9 at the end of the bottom row: the 7 is the only
// anchor, at (2, 2) from the top.
const std::vector<std::uint8_t> kSmall{0, 0, 7, 9, 0, 0, 0, 0, 0, 0, 0, 0};

// `matching` points on the 9 right of the anchor, after `missing` on it that do not match.
Points OnTheNine(int matching, int missing) {
  Points points(static_cast<std::size_t>(missing), PatternPoint{1, 0, 50});
  points.insert(points.end(), static_cast<std::size_t>(matching), PatternPoint{1, 0, 9});
  return points;
}

PatternPlace Find(std::span<const std::uint8_t> pixels, const Points& points,
                  std::int32_t similarity, std::int32_t tolerance = 0, std::int64_t from = 0) {
  FakeEventPump pump;
  EventHandOff handOff(pump);
  return FindPointPatternFrom({pixels, 4, 3}, {points, 7, tolerance, similarity}, from, handOff);
}

TEST(PointPatternSearchTest, ThresholdAndEdges) {
  struct Case {
    std::string name;
    Points points;
    std::int32_t similarity, tolerance;
    std::int64_t from;
    FoundPoint want;
  };
  const FoundPoint none{};
  const FoundPoint anchor{2, 2};
  for (const Case& c : {
           Case{"one point", {{1, 0, 9}}, 0, 0, 0, anchor},
           Case{"from the anchor's candidate", {{1, 0, 9}}, 0, 0, 2, anchor},
           Case{"from past it", {{1, 0, 9}}, 0, 0, 3, none},
           Case{"from below 0", {{1, 0, 9}}, 0, 0, INT_MIN, anchor},
           Case{"all of 10 need 10", OnTheNine(9, 1), 0, 0, 0, none},
           Case{"10 of 10", OnTheNine(10, 0), 0, 0, 0, anchor},
           Case{"75 per cent need 7", OnTheNine(7, 3), 75, 0, 0, anchor},
           Case{"6 are not 7", OnTheNine(6, 4), 75, 0, 0, none},
           Case{"a threshold of 0 takes one match", OnTheNine(1, 9), 5, 0, 0, anchor},
           Case{"but not none", OnTheNine(0, 10), 5, 0, 0, none},
           Case{"over 100 per cent", OnTheNine(2, 0), 150, 0, 0, none},
           Case{"negative similarity", OnTheNine(1, 3), -40, 0, 0, anchor},
           Case{"no points", {}, 0, 255, 0, none},
           Case{"within tolerance", {{1, 0, 11}}, 0, 4, 0, anchor},
           Case{"negative tolerance", {{0, 0, 7}}, 0, -1, 0, none},
           Case{"an index outside a byte", {{1, 0, -3}}, 0, 12, 0, {0, 2}},
           Case{"a point past the right edge", {{2, 0, 0}}, 0, 0, 0, none},
           Case{"a point below the bottom row", {{0, -1, 7}}, 0, 0, 0, none},
           Case{"above the top row", {{0, 3, 0}}, 0, 0, 0, none},
           Case{"a point past the bytes", {{1, INT_MAX, 0}}, 0, 0, 0, none},
       }) {
    const PatternPlace place = Find(kSmall, c.points, c.similarity, c.tolerance, c.from);
    EXPECT_EQ(place.point, c.want) << c.name;
    EXPECT_EQ(place.candidate, c.want.x < 0 ? -1 : (2 - c.want.y) * 4 + c.want.x) << c.name;
  }
}

// A point outside the picture fails its candidate only while the threshold is not yet reached.
TEST(PointPatternSearchTest, APointOutsideCountsOnlyBeforeTheThreshold) {
  EXPECT_EQ(Find(kSmall, {{2, 0, 0}, {1, 0, 9}}, 50).point, FoundPoint{});
  EXPECT_EQ(Find(kSmall, {{1, 0, 9}, {2, 0, 0}}, 50).point, (FoundPoint{2, 2}));
  const std::vector<std::uint8_t> cut(kSmall.begin(), kSmall.begin() + 3);
  EXPECT_EQ(Find(cut, {{1, 0, 9}}, 0).point, FoundPoint{}) << "the 9 lies past the bytes";
}

TEST(PointPatternSearchTest, ALongSearchHandsOffToTheWindowSystem) {
  const std::vector<std::uint8_t> flat(4 * 200, 1);
  const Points points{{0, 0, 2}};
  FakeEventPump pump;
  EventHandOff handOff(pump, std::chrono::nanoseconds(0));
  EXPECT_EQ(FindPointPatternFrom({flat, 4, 200}, {points, 1, 0, 0}, 0, handOff).candidate, -1);
  EXPECT_GE(pump.handOffs, 10);
}

// Rows said to be far wider or higher than the bytes given are searched as far as the bytes go:
// the work is bounded by the data, not by the declared size.
TEST(PointPatternSearchTest, DeclaredSizesBeyondTheBytesCostOnlyTheBytes) {
  std::vector<std::uint8_t> bytes(64, 0);
  bytes[10] = bytes[40] = 7;
  bytes[11] = bytes[41] = 9;
  const Points points{{1, 0, 9}};
  FakeEventPump pump;
  EventHandOff handOff(pump);
  for (const auto& [width, height] : {std::pair{INT_MAX, 1}, std::pair{INT_MAX, INT_MAX},
                                      std::pair{INT_MAX - 3, 2}, std::pair{64, INT_MAX}}) {
    std::vector<FoundPoint> found;
    FindAllPointPatterns({bytes, width, height}, {points, 7, 0, 0}, found, handOff);
    EXPECT_EQ(found, (std::vector<FoundPoint>{{10, height - 1}, {40, height - 1}}))
        << width << " x " << height;
  }
}

TEST(PointPatternSearchTest, CountsPastSixteenBitsStayExact) {
  const std::vector<std::uint8_t> flat(40, 1);
  Points points(65537, PatternPoint{0, 0, 1});
  points.back().index = 2;
  FakeEventPump pump;
  EventHandOff handOff(pump);
  std::vector<FoundPoint> found;
  for (const NamedOffsetMatchKernel& kernel : RunnableOffsetMatchKernels()) {
    FindAllPointPatterns({flat, 40, 1}, {points, 1, 0, 0}, found, handOff, kernel.scan);
    EXPECT_TRUE(found.empty()) << kernel.name;
    FindAllPointPatterns({flat, 40, 1}, {points, 1, 0, 99}, found, handOff, kernel.scan);
    EXPECT_EQ(found.size(), 40u) << kernel.name;
  }
}

// Random and adversarial pictures through every kernel, place for place the direct search: few
// distinct bytes or flat pictures so anchors hit everywhere, points read off the picture with the
// last one nudged, points reaching past every edge, bytes cut short or running past the rows.
TEST(PointPatternSearchTest, EveryKernelAnswersAsTheDirectSearch) {
  std::mt19937 random(20261210);
  const auto pick = [&random](std::int64_t low, std::int64_t high) {
    return static_cast<std::int32_t>(
        std::uniform_int_distribution<std::int64_t>(low, high)(random));
  };
  FakeEventPump pump;
  EventHandOff handOff(pump);
  std::vector<FoundPoint> found;
  for (const NamedOffsetMatchKernel& kernel : RunnableOffsetMatchKernels()) {
    SCOPED_TRACE(kernel.name);
    for (int round = 0; round < 2500; ++round) {
      const std::int32_t width = round % 7 == 0 ? 1 : pick(1, 75);
      const std::int32_t height = round % 5 == 0 ? 1 : pick(1, 9);
      const std::int64_t full = PaletteStride(width) * height;
      const std::int64_t size = std::vector<std::int64_t>{
          full, full, pick(0, full), full + pick(1, 9), 0}[static_cast<std::size_t>(round % 5)];
      const int alphabet = std::vector{1, 2, 3, 256}[static_cast<std::size_t>(round % 4)];
      std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size));
      for (auto& byte : pixels) byte = static_cast<std::uint8_t>(pick(0, alphabet - 1) * 9);
      const auto at = [&](std::int64_t x, std::int64_t y) {
        const std::int64_t i = y * PaletteStride(width) + x;
        return i >= 0 && i < size ? pixels[static_cast<std::size_t>(i)] : pick(0, 255);
      };

      const std::int32_t tolerance =
          std::vector{0, 0, -1, 255, 1, pick(0, 30)}[static_cast<std::size_t>(round % 6)];
      const std::int32_t x0 = pick(0, width - 1), y0 = pick(0, height - 1);
      // Now and then more points than an 8-bit count holds, close enough to leave an interior.
      const bool many = round % 41 == 0;
      const std::int32_t reachX = many ? 3 : width / 2 + 2, reachY = many ? 1 : height / 2 + 2;
      Points points(static_cast<std::size_t>(many ? pick(256, 300) : pick(0, 12)));
      for (PatternPoint& point : points) {
        point.dx = pick(-reachX, reachX);
        point.dy = pick(-reachY, reachY);
        point.index = at(x0 + point.dx, y0 + point.dy);
      }
      if (!points.empty()) points.back().index += tolerance + 1;
      const std::int32_t anchor = round % 3 == 0 ? pick(-5, 260) : at(x0, y0);
      const std::int32_t similarity =
          std::vector{0, 90, 100, pick(1, 99), 130, -10}[static_cast<std::size_t>(round % 6)];
      const PointPatternQuery query{points, anchor, tolerance, similarity};
      const PaletteRows rows{pixels, width, height};
      const plain::Picture picture{pixels, width, height};

      const auto all = plain::FindPointPatterns(picture, query, 0, false);
      FindAllPointPatterns(rows, query, found, handOff, kernel.scan);
      ASSERT_EQ(found.size(), all.size()) << "round " << round;
      const std::int64_t from = pick(-3, std::int64_t{width} * height + 2);
      const auto first = plain::FindPointPatterns(picture, query, from, true);
      ASSERT_EQ(FindPointPatternFrom(rows, query, from, handOff, kernel.scan),
                first.empty() ? PatternPlace{} : first.front())
          << "round " << round;
      // Finding the next place from the one after the last walks the whole list.
      PatternPlace place = FindPointPatternFrom(rows, query, 0, handOff, kernel.scan);
      for (const PatternPlace& want : all) {
        ASSERT_EQ(place, want) << "round " << round;
        place = FindPointPatternFrom(rows, query, place.candidate + 1, handOff, kernel.scan);
      }
      ASSERT_EQ(place, PatternPlace{}) << "round " << round;
      for (std::size_t i = 0; i < all.size(); ++i) ASSERT_EQ(found[i], all[i].point);
    }
  }
}

}  // namespace
}  // namespace qel
