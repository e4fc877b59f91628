// Finding one 8-bit image inside another, pixel for pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "finder/byte_range_scan.h"
#include "finder/event_hand_off.h"
#include "finder/palette_rows.h"

namespace qel {

// Where the small image lies in the large one: the column of its left edge and the stored row
// (0 = the large image's bottom row) of its own bottom row.
struct ImagePlace {
  std::int32_t x = 0;
  std::int32_t row = 0;
  friend bool operator==(const ImagePlace&, const ImagePlace&) = default;
};

// The first place in search order (lowest bottom row first, then leftmost) where every pixel of
// `small` equals the large image's pixel under it; places lie wholly inside the large image.
// False when there is none, or either image is empty.
bool FindImage(const PaletteRows& large, const PaletteRows& small, ImagePlace& place,
               EventHandOff& handOff);

// Every place, in search order, replacing what `places` held.
void FindAllImages(const PaletteRows& large, const PaletteRows& small,
                   std::vector<ImagePlace>& places, EventHandOff& handOff);

// How to look. A filter scans the large image with `scan` for the pixel of the small image whose
// value is rarest there and compares the places it points to; once it has compared more than
// `filterBudget` bytes, a sweep that reads each row of the large image once takes over from where
// the filter got to, so that the search stays linear in the large image whatever the pixels. A
// negative budget sweeps from the start.
struct ImageSearchMethod {
  ByteRangeKernel scan = nullptr;
  std::int64_t filterBudget = 0;
};

// What FindImage and FindAllImages above use: the fastest kernel, and a budget of a few times the
// large image's bytes.
ImageSearchMethod DefaultImageSearchMethod(const PaletteRows& large);

// The same searches done a given way, for tests and benchmarks that hold each way to the others.
bool FindImage(const PaletteRows& large, const PaletteRows& small, ImagePlace& place,
               EventHandOff& handOff, const ImageSearchMethod& method);
void FindAllImages(const PaletteRows& large, const PaletteRows& small,
                   std::vector<ImagePlace>& places, EventHandOff& handOff,
                   const ImageSearchMethod& method);

}  // namespace qel
