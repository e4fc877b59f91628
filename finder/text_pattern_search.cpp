#include "finder/text_pattern_search.h"

#include <algorithm>
#include <optional>

namespace qel {
namespace {

// How many of `count` pixels must match: `percentage` of them, rounded down, where 0 or anything
// outside 1 to 100 asks for all.
std::int64_t NeededOf(std::size_t count, std::int32_t percentage) {
  const auto all = static_cast<std::int64_t>(count);
  return percentage <= 0 || percentage >= 100 ? all : all * percentage / 100;
}

// One search's query made ready. A place's pixels must all lie in the picture and the given
// bytes, so only the candidates of the rows and columns where they do are scanned, all through a
// kernel.
class TextSearch {
 public:
  TextSearch(const PaletteRows& rows, const TextPatternQuery& query)
      : bytes_(rows.pixels),
        width_(rows.width),
        height_(rows.height),
        stride_(rows.Stride()),
        reach_(stride_) {
    const TextPattern& pattern = query.pattern;
    const std::optional<ByteBounds> target = BoundsAround(query.target, query.tolerance);
    if (width_ <= 0 || height_ <= 0 || bytes_.empty() || !target) return;
    tests_.reserve(pattern.drawn.size() + pattern.undrawn.size());
    for (const auto* offsets : {&pattern.drawn, &pattern.undrawn}) {
      for (const PixelOffset& offset : *offsets) {
        reach_.Include(offset.dx, offset.dy);
        tests_.push_back({reach_.OffsetOf(offset.dx, offset.dy), *target});
      }
    }
    const std::span<const OffsetTest> tests = tests_;
    plan_ = {*target, tests.first(pattern.drawn.size()),
             NeededOf(pattern.drawn.size(), query.percentage), tests.subspan(pattern.drawn.size()),
             NeededOf(pattern.undrawn.size(), query.percentage)};
    possible_ = true;
  }
  // The plan points into the search's own tests.
  TextSearch(const TextSearch&) = delete;
  TextSearch& operator=(const TextSearch&) = delete;

  // Calls onPlace(row, column) at each place in search order until it returns false.
  template <class OnPlace>
  void Walk(EventHandOff& handOff, OffsetMatchKernel kernel, OnPlace onPlace) const {
    if (!possible_) return;
    const auto size = static_cast<std::int64_t>(bytes_.size());
    const std::int64_t lastRow = height_ - 1 - reach_.HighestDy();
    for (std::int64_t row = std::max<std::int64_t>(0, -reach_.LowestDy()); row <= lastRow; ++row) {
      handOff.Poll();
      const std::int64_t rowStart = row * stride_;
      if (rowStart >= size) return;
      const OffsetReach::Columns interior = reach_.InteriorColumns(row, width_, size);
      if (!ForEachPassingCandidate(kernel, plan_, bytes_.data() + rowStart + interior.first,
                                   interior.last - interior.first + 1, [&](std::int64_t i) {
                                     return onPlace(row, interior.first + i);
                                   })) {
        return;
      }
    }
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::int64_t width_;
  std::int64_t height_;
  std::int64_t stride_;
  bool possible_ = false;
  OffsetReach reach_;
  std::vector<OffsetTest> tests_;
  OffsetPlan plan_;
};

}  // namespace

FoundPoint FindTextPattern(const PaletteRows& rows, const TextPatternQuery& query,
                           EventHandOff& handOff) {
  return FindTextPattern(rows, query, handOff, FastestOffsetMatchKernel());
}

void FindAllTextPatterns(const PaletteRows& rows, const TextPatternQuery& query,
                         std::vector<FoundPoint>& found, EventHandOff& handOff) {
  FindAllTextPatterns(rows, query, found, handOff, FastestOffsetMatchKernel());
}

FoundPoint FindTextPattern(const PaletteRows& rows, const TextPatternQuery& query,
                           EventHandOff& handOff, OffsetMatchKernel kernel) {
  FoundPoint place;
  TextSearch(rows, query).Walk(handOff, kernel, [&](std::int64_t row, std::int64_t column) {
    place = {static_cast<std::int32_t>(column), static_cast<std::int32_t>(rows.height - 1 - row)};
    return false;
  });
  return place;
}

void FindAllTextPatterns(const PaletteRows& rows, const TextPatternQuery& query,
                         std::vector<FoundPoint>& found, EventHandOff& handOff,
                         OffsetMatchKernel kernel) {
  found.clear();
  TextSearch(rows, query).Walk(handOff, kernel, [&](std::int64_t row, std::int64_t column) {
    found.push_back(
        {static_cast<std::int32_t>(column), static_cast<std::int32_t>(rows.height - 1 - row)});
    return true;
  });
}

}  // namespace qel
