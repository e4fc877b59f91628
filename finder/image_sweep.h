// The image search that reads each row of the large image once whatever its pixels: every window of
// a large row is named by the small image's row it equals, and a string search up each column over
// those names finds the places.
#pragma once

#include <cstdint>

#include "finder/event_hand_off.h"
#include "finder/image_rows.h"

namespace qel {

// Every place whose bottom row is `firstRow` or above, in search order, into `sink` until it has
// what it wants. Neither image is empty and the small one fits in the large one. Row hashes of
// fewer than 64 bits let windows that differ from a row pass for it often, which tests use to see
// that every place is still compared in full.
void SweepForImage(const ImageRows& large, const ImageRows& small, std::int32_t firstRow,
                   PlaceSink& sink, EventHandOff& handOff, std::int32_t hashBits = 64);

}  // namespace qel
