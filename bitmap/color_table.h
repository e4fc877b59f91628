// Colour tables of palette DIBs, and the lookup that maps any colour to a table index by the
// platform's own rule, so that converted images match what Windows produces.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/platform.h"

namespace qel {

// One colour-table entry as it lies in memory: blue, green, red, reserved.
struct RgbQuad {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
  friend bool operator==(const RgbQuad&, const RgbQuad&) = default;
};

inline constexpr ColorValue ColorOf(RgbQuad entry) {
  return ColorValue{entry.red} | ColorValue{entry.green} << 8 | ColorValue{entry.blue} << 16;
}

// Maps a colour to the nearest entry. Each channel is first reduced to five bits of precision,
// so the answer depends only on the colour's 5-5-5 bin and a table of 32,768 bins is exact.
class ColorTableIndex {
 public:
  static constexpr int kBinCount = 1 << 15;

  // Searches only the entries given (at most 256); an empty table maps every colour to index 0.
  explicit ColorTableIndex(std::span<const RgbQuad> colors);

  std::uint8_t Nearest(ColorValue color) const { return bins_[BinOf(color)]; }
  // The same for a pixel stored as 0x??RRGGBB, as screens and 32-bit DIB rows hold them.
  std::uint8_t NearestPixel(std::uint32_t pixel) const { return bins_[BinOfPixel(pixel)]; }
  // The same for a run of pixels, an index byte each.
  void NearestPixels(std::span<const std::uint32_t> pixels, std::uint8_t* out) const;

  static constexpr std::uint32_t BinOfPixel(std::uint32_t pixel) {
    return (pixel >> 19 & 0x1F) << 10 | (pixel >> 11 & 0x1F) << 5 | (pixel >> 3 & 0x1F);
  }
  static constexpr int BinOf(ColorValue color) {
    return static_cast<int>((color >> 3 & 0x1F) << 10 | (color >> 11 & 0x1F) << 5 |
                            (color >> 19 & 0x1F));
  }

 private:
  std::vector<std::uint8_t> bins_;
};

}  // namespace qel
