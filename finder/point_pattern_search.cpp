#include "finder/point_pattern_search.h"

#include <algorithm>
#include <optional>

#include "finder/tolerant_bytes.h"

namespace qel {
namespace {

// One search's query made ready. Candidates whose points all lie in the picture and the given
// bytes pass exactly when enough points match, whatever their order, so a kernel counts them
// many at a time; the others, near the picture's edges and the end of the bytes, are tested one
// by one in list order, as there a point outside can fail a candidate before enough have matched.
class PointSearch {
 public:
  PointSearch(const PaletteRows& rows, const PointPatternQuery& query)
      : query_(query),
        bytes_(rows.pixels),
        width_(rows.width),
        height_(rows.height),
        stride_(rows.Stride()),
        reach_(stride_) {
    const auto count = static_cast<std::int64_t>(query.points.size());
    const std::int64_t threshold = query.similarity == 0 ? count : count * query.similarity / 100;
    // Matching is counted after each point, so a threshold of 0 is reached by the first match.
    needed_ = std::max<std::int64_t>(threshold, 1);
    const std::optional<ByteBounds> anchor = BoundsAround(query.anchor, query.tolerance);
    if (width_ <= 0 || height_ <= 0 || bytes_.empty() || !anchor) return;
    lastDataRow_ = static_cast<std::int64_t>(bytes_.size() - 1) / stride_;

    tests_.reserve(query.points.size());
    for (const PatternPoint& point : query.points) {
      reach_.Include(point.dx, point.dy);
      // A point no byte can match only counts for lying in the picture or not.
      if (const std::optional<ByteBounds> bounds = BoundsAround(point.index, query.tolerance)) {
        tests_.push_back({reach_.OffsetOf(point.dx, point.dy), *bounds});
      }
    }
    possible_ = needed_ <= static_cast<std::int64_t>(tests_.size());
    plan_ = {*anchor, tests_, needed_, {}, 0};
  }
  // The plan points into the search's own tests.
  PointSearch(const PointSearch&) = delete;
  PointSearch& operator=(const PointSearch&) = delete;

  // Calls onPlace(row, column) at each place from candidate `from` on, in search order, until it
  // returns false.
  template <class OnPlace>
  void Walk(std::int64_t from, EventHandOff& handOff, OffsetMatchKernel kernel,
            OnPlace onPlace) const {
    const std::int64_t start = std::max<std::int64_t>(from, 0);
    if (!possible_ || start >= width_ * height_) return;
    const auto size = static_cast<std::int64_t>(bytes_.size());
    for (std::int64_t row = start / width_; row < height_; ++row) {
      handOff.Poll();
      const std::int64_t rowStart = row * stride_;
      if (rowStart >= size) return;
      const OffsetReach::Columns interior = reach_.InteriorColumns(row, width_, size);
      // A candidate needs its anchor's byte, so the work ends with the bytes given, however wide
      // the rows are said to be.
      const std::int64_t columnsPresent = std::min(width_, size - rowStart);
      std::int64_t column = row == start / width_ ? start % width_ : 0;
      while (column < columnsPresent) {
        if (column < interior.first || column > interior.last) {
          if (PassesOneByOne(row, column) && !onPlace(row, column)) return;
          ++column;
          continue;
        }
        if (!ForEachPassingCandidate(kernel, plan_, bytes_.data() + rowStart + column,
                                     interior.last - column + 1,
                                     [&](std::int64_t i) { return onPlace(row, column + i); })) {
          return;
        }
        column = interior.last + 1;
      }
    }
  }

 private:
  bool PassesOneByOne(std::int64_t row, std::int64_t column) const {
    const std::int64_t at = row * stride_ + column;
    if (at >= static_cast<std::int64_t>(bytes_.size())) return false;
    if (!plan_.anchor.Holds(bytes_[static_cast<std::size_t>(at)])) return false;
    std::int64_t matched = 0;
    for (const PatternPoint& point : query_.points) {
      const std::int64_t x = column + point.dx;
      const std::int64_t y = row + point.dy;
      // Rows past the last one with any byte are refused before their position could overflow.
      if (x < 0 || x >= width_ || y < 0 || y > lastDataRow_) return false;
      const std::int64_t pointAt = y * stride_ + x;
      if (pointAt >= static_cast<std::int64_t>(bytes_.size())) return false;
      if (WithinTolerance(bytes_[static_cast<std::size_t>(pointAt)], point.index,
                          query_.tolerance) &&
          ++matched >= needed_) {
        return true;
      }
    }
    return false;
  }

  const PointPatternQuery& query_;
  std::span<const std::uint8_t> bytes_;
  std::int64_t width_;
  std::int64_t height_;
  std::int64_t stride_;
  std::int64_t lastDataRow_ = 0;
  std::int64_t needed_ = 1;
  bool possible_ = false;
  OffsetReach reach_;
  std::vector<OffsetTest> tests_;
  OffsetPlan plan_;
};

}  // namespace

PatternPlace FindPointPatternFrom(const PaletteRows& rows, const PointPatternQuery& query,
                                  std::int64_t from, EventHandOff& handOff) {
  return FindPointPatternFrom(rows, query, from, handOff, FastestOffsetMatchKernel());
}

void FindAllPointPatterns(const PaletteRows& rows, const PointPatternQuery& query,
                          std::vector<FoundPoint>& found, EventHandOff& handOff) {
  FindAllPointPatterns(rows, query, found, handOff, FastestOffsetMatchKernel());
}

PatternPlace FindPointPatternFrom(const PaletteRows& rows, const PointPatternQuery& query,
                                  std::int64_t from, EventHandOff& handOff,
                                  OffsetMatchKernel kernel) {
  PatternPlace place;
  PointSearch(rows, query).Walk(from, handOff, kernel, [&](std::int64_t row, std::int64_t column) {
    place = {{static_cast<std::int32_t>(column), static_cast<std::int32_t>(rows.height - 1 - row)},
             row * rows.width + column};
    return false;
  });
  return place;
}

void FindAllPointPatterns(const PaletteRows& rows, const PointPatternQuery& query,
                          std::vector<FoundPoint>& found, EventHandOff& handOff,
                          OffsetMatchKernel kernel) {
  found.clear();
  PointSearch(rows, query).Walk(0, handOff, kernel, [&](std::int64_t row, std::int64_t column) {
    found.push_back(
        {static_cast<std::int32_t>(column), static_cast<std::int32_t>(rows.height - 1 - row)});
    return true;
  });
}

}  // namespace qel
