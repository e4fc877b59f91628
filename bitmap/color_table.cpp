#include "bitmap/color_table.h"

#include <algorithm>
#include <cstddef>

namespace qel {

ColorTableIndex::ColorTableIndex(std::span<const RgbQuad> colors) : bins_(kBinCount, 0) {
  // An index is one byte: a longer table has no reachable entries past 256.
  const std::size_t entryCount = std::min<std::size_t>(colors.size(), 256);
  for (int bin = 0; bin < kBinCount; ++bin) {
    // The bin's representative: each channel c & ~7, then + 4.
    const int red = (bin >> 10 & 0x1F) << 3 | 4;
    const int green = (bin >> 5 & 0x1F) << 3 | 4;
    const int blue = (bin & 0x1F) << 3 | 4;
    int best = 0;
    int bestDistance = 0;
    for (std::size_t i = 0; i < entryCount; ++i) {
      const int dr = red - colors[i].red;
      const int dg = green - colors[i].green;
      const int db = blue - colors[i].blue;
      const int distance = dr * dr + dg * dg + db * db;
      // Strictly smaller: on a tie the lower index stays.
      if (i == 0 || distance < bestDistance) {
        best = static_cast<int>(i);
        bestDistance = distance;
      }
    }
    bins_[static_cast<std::size_t>(bin)] = static_cast<std::uint8_t>(best);
  }
}

void ColorTableIndex::NearestPixels(std::span<const std::uint32_t> pixels,
                                    std::uint8_t* out) const {
  // The table's address in a local: stores through `out` could otherwise change it, as far as
  // the compiler knows, and it would be read again for every pixel.
  const std::uint8_t* bins = bins_.data();
  for (std::size_t i = 0; i < pixels.size(); ++i) out[i] = bins[BinOfPixel(pixels[i])];
}

}  // namespace qel
