// Image-in-image search written the direct way: the small image's bottom row sought by a plain byte
// search over the large image's padded rows as one sequence, the rows above it compared one by one:
// the reference the fast searches are held to.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "finder/image_search.h"
#include "finder/palette_rows.h"

namespace qel::plain {

// The rows the bytes hold in full; the rest are not there.
inline std::int64_t HeldRows(const PaletteRows& image) {
  if (image.width <= 0 || image.height <= 0) return 0;
  return std::min<std::int64_t>(image.height,
                                static_cast<std::int64_t>(image.pixels.size()) / image.Stride());
}

// The places in search order, stopping after the `most` first.
inline std::vector<ImagePlace> FindAllImages(const PaletteRows& large, const PaletteRows& small,
                                             std::size_t most = SIZE_MAX) {
  std::vector<ImagePlace> places;
  const std::int64_t largeRows = HeldRows(large);
  const std::int64_t smallRows = HeldRows(small);
  if (largeRows == 0 || smallRows == 0) return places;
  const std::int64_t stride = large.Stride();
  const auto sequence = large.pixels.first(static_cast<std::size_t>(largeRows * stride));
  const auto bottomRow = small.pixels.first(static_cast<std::size_t>(small.width));
  for (auto at = std::search(sequence.begin(), sequence.end(), bottomRow.begin(), bottomRow.end());
       at != sequence.end() && places.size() < most;
       at = std::search(at + 1, sequence.end(), bottomRow.begin(), bottomRow.end())) {
    const std::int64_t row = (at - sequence.begin()) / stride;
    const std::int64_t x = (at - sequence.begin()) % stride;
    // Across the end of a row, or over the top of the image.
    if (x + small.width > large.width || row + smallRows > largeRows) continue;
    std::int64_t above = 1;
    for (; above < smallRows; ++above) {
      const auto smallRow = small.pixels.begin() + above * small.Stride();
      if (!std::equal(smallRow, smallRow + small.width, at + above * stride)) break;
    }
    if (above == smallRows) {
      places.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(row)});
    }
  }
  return places;
}

}  // namespace qel::plain
