#include "finder/image_search.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "finder/image_rows.h"
#include "finder/image_sweep.h"

namespace qel {
namespace {

// The filter may compare this many bytes per byte of the large image before the sweep, which reads
// each of them once, is surely the cheaper; and at least this many in all.
constexpr std::int64_t kBudgetPerLargeByte = 2;
constexpr std::int64_t kLeastBudget = 1 << 16;
// What finding a candidate and starting to compare it costs, in bytes compared.
constexpr std::int64_t kCandidateCost = 16;
constexpr std::int32_t kCandidatesPerPoll = 64;
// Rows of the large image, spread over it, on which its pixel values are counted.
constexpr std::int32_t kCountedRows = 64;

// A pixel of the small image: the filter's candidates are the places that agree with it.
struct Anchor {
  std::int32_t x = 0;
  std::int32_t row = 0;
  std::uint8_t value = 0;
};

// The small image's pixel whose value is rarest in the large image, to give the fewest candidates.
Anchor RarestPixel(const ImageRows& large, const ImageRows& small) {
  // Four tables, so that a run of one value does not wait on its own count again and again.
  std::array<std::array<std::uint32_t, 256>, 4> tables{};
  const std::int32_t step = std::max(1, large.height / kCountedRows);
  for (std::int32_t row = 0; row < large.height; row += step) {
    const std::uint8_t* pixels = large.Row(row);
    std::int32_t x = 0;
    for (; x + 4 <= large.width; x += 4) {
      ++tables[0][pixels[x]];
      ++tables[1][pixels[x + 1]];
      ++tables[2][pixels[x + 2]];
      ++tables[3][pixels[x + 3]];
    }
    for (; x < large.width; ++x) ++tables[0][pixels[x]];
  }
  std::array<std::uint32_t, 256> counts{};
  for (std::size_t value = 0; value < counts.size(); ++value) {
    counts[value] = tables[0][value] + tables[1][value] + tables[2][value] + tables[3][value];
  }

  Anchor rarest{0, 0, small.Row(0)[0]};
  std::array<bool, 256> seen{};
  for (std::int32_t row = 0; row < small.height; ++row) {
    const std::uint8_t* pixels = small.Row(row);
    for (std::int32_t x = 0; x < small.width; ++x) {
      const std::uint8_t value = pixels[x];
      if (seen[value]) continue;
      seen[value] = true;
      if (counts[value] < counts[rarest.value]) rarest = {x, row, value};
      if (counts[value] == 0) return rarest;
    }
  }
  return rarest;
}

// The rows of the small image compared first: the anchor's, as it already agrees there in one
// pixel, then the one that last told a candidate apart, as places close by tend to differ in the
// same row.
struct RowsFirst {
  std::int32_t anchor = 0;
  std::int32_t lastDifferent = 0;
};

// Whether the small image lies with its bottom-left pixel on (x, bottom); each row compared is
// taken from `budget`.
bool Holds(const ImageRows& large, const ImageRows& small, std::int32_t x, std::int32_t bottom,
           RowsFirst& first, std::int64_t& budget) {
  const auto differs = [&](std::int32_t row) {
    budget -= small.width;
    if (RowMatches(large, small, x, bottom, row)) return false;
    if (row != first.anchor) first.lastDifferent = row;
    return true;
  };
  if (differs(first.anchor)) return false;
  const std::int32_t second = first.lastDifferent;
  if (second != first.anchor && differs(second)) return false;
  for (std::int32_t row = 0; row < small.height; ++row) {
    if (row != first.anchor && row != second && differs(row)) return false;
  }
  return true;
}

// Compares the places the anchor points to, in search order, into `sink`. Gives the bottom row
// from which the sweep is to look when the budget runs out, or -1 when the filter got through.
std::int32_t Filter(const ImageRows& large, const ImageRows& small, const ImageSearchMethod& method,
                    PlaceSink& sink, EventHandOff& handOff) {
  const Anchor anchor = RarestPixel(large, small);
  RowsFirst rowsFirst{anchor.row, anchor.row};
  const std::uint8_t value = anchor.value;
  // Scanning only where a place's left edge can be keeps the candidates inside the large image.
  const auto columns = static_cast<std::size_t>(large.width - small.width + 1);
  std::int64_t budget = method.filterBudget;
  std::int32_t candidatesSincePoll = 0;
  for (std::int32_t bottom = 0; bottom + small.height <= large.height; ++bottom) {
    handOff.Poll();
    const std::uint8_t* line = large.Row(bottom + anchor.row) + anchor.x;
    for (std::size_t x = method.scan(line, columns, value, value); x < columns;
         x += 1 + method.scan(line + x + 1, columns - x - 1, value, value)) {
      if (budget < 0) return bottom;
      budget -= kCandidateCost;
      if (++candidatesSincePoll == kCandidatesPerPoll) {
        candidatesSincePoll = 0;
        handOff.Poll();
      }
      const auto left = static_cast<std::int32_t>(x);
      if (Holds(large, small, left, bottom, rowsFirst, budget) && sink.Take({left, bottom})) {
        return -1;
      }
    }
  }
  return -1;
}

void Search(const PaletteRows& largeRows, const PaletteRows& smallRows, PlaceSink& sink,
            EventHandOff& handOff, const ImageSearchMethod& method) {
  const ImageRows large = CompleteRows(largeRows);
  const ImageRows small = CompleteRows(smallRows);
  if (large.height == 0 || small.height == 0 || small.width > large.width ||
      small.height > large.height) {
    return;
  }
  std::int32_t sweepFrom = 0;
  if (method.filterBudget >= 0) {
    sweepFrom = Filter(large, small, method, sink, handOff);
    if (sweepFrom < 0) return;
    sink.ForgetFrom(sweepFrom);
  }
  SweepForImage(large, small, sweepFrom, sink, handOff);
}

}  // namespace

ImageSearchMethod DefaultImageSearchMethod(const PaletteRows& large) {
  const ImageRows rows = CompleteRows(large);
  return {FastestByteRangeKernel(),
          std::max(kLeastBudget, kBudgetPerLargeByte * rows.stride * rows.height)};
}

bool FindImage(const PaletteRows& large, const PaletteRows& small, ImagePlace& place,
               EventHandOff& handOff) {
  return FindImage(large, small, place, handOff, DefaultImageSearchMethod(large));
}

void FindAllImages(const PaletteRows& large, const PaletteRows& small,
                   std::vector<ImagePlace>& places, EventHandOff& handOff) {
  FindAllImages(large, small, places, handOff, DefaultImageSearchMethod(large));
}

bool FindImage(const PaletteRows& large, const PaletteRows& small, ImagePlace& place,
               EventHandOff& handOff, const ImageSearchMethod& method) {
  PlaceSink sink(nullptr);
  Search(large, small, sink, handOff, method);
  if (sink.Found()) place = sink.First();
  return sink.Found();
}

void FindAllImages(const PaletteRows& large, const PaletteRows& small,
                   std::vector<ImagePlace>& places, EventHandOff& handOff,
                   const ImageSearchMethod& method) {
  PlaceSink sink(&places);
  Search(large, small, sink, handOff, method);
}

}  // namespace qel
