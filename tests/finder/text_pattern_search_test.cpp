// Text patterns: the shares of drawn and undrawn pixels, a text wholly inside the picture and
// the bytes, and every kernel held to the direct search on random and adversarial pictures.
#include "finder/text_pattern_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/fake/fake_system.h"
#include "tests/finder/plain_pattern_search.h"

namespace qel {
namespace {

using Offsets = std::vector<PixelOffset>;

TEST(TextPatternSearchTest, SharesAndEdges) {
  // Rows of four, bottom first: 5 5 0 0 / 5 0 0 0 / 0 0 0 0, then a row of 5s past the picture.
  const std::vector<std::uint8_t> bytes{5, 5, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 5};
  const std::span<const std::uint8_t> picture = std::span(bytes).first(12);
  struct Case {
    std::string name;
    std::span<const std::uint8_t> pixels;
    Offsets drawn, undrawn;
    std::int32_t tolerance, percentage;
    FoundPoint want;
  };
  const Offsets corner{{1, 0}, {0, 1}};
  const Offsets three{{1, 0}, {0, 1}, {2, 0}};
  for (const Case& c : {
           Case{"drawn and free as drawn", picture, corner, {{1, 1}}, 0, 0, {0, 2}},
           Case{"a drawn pixel missing", picture, three, {}, 0, 0, {}},
           Case{"99 per cent of 3 rounds down to 2", picture, three, {}, 0, 99, {0, 2}},
           Case{"over 100 per cent asks for all", picture, three, {}, 0, 150, {}},
           Case{"below 0 asks for all", picture, three, {}, 0, -5, {}},
           Case{"a free pixel like the anchor's", picture, {}, {{1, 0}}, 0, 0, {1, 2}},
           Case{"tolerance reaches the drawn", picture, {{2, 0}}, {}, 5, 0, {0, 2}},
           Case{"negative tolerance", picture, {}, {}, -1, 0, {}},
           Case{"no offsets", picture, {}, {}, 0, 0, {0, 2}},
           Case{"a pixel above the top row, bytes or not", bytes, {{0, 3}}, {}, 0, 0, {}},
           Case{"half of two", picture, {{0, 1}, {1, 1}}, {}, 0, 50, {0, 2}},
           Case{"half of two, one past the bytes",
                picture.first(5),
                {{0, 1}, {1, 1}},
                {},
                0,
                50,
                {}},
       }) {
    const TextPattern pattern{c.drawn, c.undrawn, 3, 2, 0};
    FakeEventPump pump;
    EventHandOff handOff(pump);
    EXPECT_EQ(FindTextPattern({c.pixels, 4, 3}, {pattern, 5, c.tolerance, c.percentage}, handOff),
              c.want)
        << c.name;
  }
}

// As for point patterns: few distinct bytes or flat pictures, patterns read off the picture with
// one pixel put in the wrong list, offsets past every edge, bytes cut short or running past.
TEST(TextPatternSearchTest, EveryKernelAnswersAsTheDirectSearch) {
  std::mt19937 random(20261211);
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
      const auto target = static_cast<std::uint8_t>(round % 3 == 0 ? pick(0, 255) : at(x0, y0));
      TextPattern pattern;
      const bool many = round % 41 == 0;
      const std::int32_t reachX = many ? 3 : width / 2 + 1, reachY = many ? 1 : height / 2 + 1;
      const int count = many ? pick(256, 400) : pick(0, 14);
      for (int k = 0; k < count; ++k) {
        const PixelOffset offset{pick(-reachX, reachX), pick(-reachY, reachY)};
        const bool drawn = plain::Within(at(x0 + offset.dx, y0 + offset.dy), target, tolerance);
        (drawn != (k == count - 1) ? pattern.drawn : pattern.undrawn).push_back(offset);
      }
      const std::int32_t percentage =
          std::vector{0, 90, 100, pick(1, 99), 150, -5}[static_cast<std::size_t>(round % 6)];
      const TextPatternQuery query{pattern, target, tolerance, percentage};
      const PaletteRows rows{pixels, width, height};

      const auto all = plain::FindTextPatterns({pixels, width, height}, query, false);
      FindAllTextPatterns(rows, query, found, handOff, kernel.scan);
      ASSERT_EQ(found, all) << "round " << round;
      ASSERT_EQ(FindTextPattern(rows, query, handOff, kernel.scan),
                all.empty() ? FoundPoint{} : all.front())
          << "round " << round;
    }
  }
}

}  // namespace
}  // namespace qel
