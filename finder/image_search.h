// Finding one 8-bit image inside another, pixel for pixel.
#pragma once

#include <cstdint>
#include <vector>

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

}  // namespace qel
