// The colour tables the bitmap classes use (2, 16 and 256 entries), and a slow, obviously right
// model of how a colour is stored in each pixel format, for tests to check the engine against.
#pragma once

#include <cstddef>
#include <vector>

#include "bitmap/color_table.h"

namespace qel::testing_palettes {

inline RgbQuad Quad(unsigned rgb) {
  return {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb >> 16), 0};
}

inline std::vector<RgbQuad> Table2() { return {Quad(0x000000), Quad(0xFFFFFF)}; }

inline std::vector<RgbQuad> Table16() {
  std::vector<RgbQuad> table;
  for (unsigned rgb :
       {0x000000u, 0x800000u, 0x008000u, 0x808000u, 0x000080u, 0x800080u, 0x008080u, 0x808080u,
        0xC0C0C0u, 0xFF0000u, 0x00FF00u, 0xFFFF00u, 0x0000FFu, 0xFF00FFu, 0x00FFFFu, 0xFFFFFFu}) {
    table.push_back(Quad(rgb));
  }
  return table;
}

inline std::vector<RgbQuad> Table256() {
  std::vector<RgbQuad> table;
  for (unsigned rgb : {0x000000u, 0x800000u, 0x008000u, 0x808000u, 0x000080u, 0x800080u, 0x008080u,
                       0xC0C0C0u, 0xC0DCC0u, 0xA6CAF0u}) {
    table.push_back(Quad(rgb));
  }
  for (unsigned i = 10; i <= 245; ++i) {
    table.push_back(Quad((32 * (i % 8)) << 16 | (32 * ((i / 8) % 8)) << 8 | 64 * (i / 64)));
  }
  for (unsigned rgb : {0xFFFBF0u, 0xA0A0A4u, 0x808080u, 0xFF0000u, 0x00FF00u, 0xFFFF00u, 0x0000FFu,
                       0xFF00FFu, 0x00FFFFu, 0xFFFFFFu}) {
    table.push_back(Quad(rgb));
  }
  return table;
}

// The rule written out the long way: channels to c & ~7 then + 4, smallest squared distance,
// first index on a tie.
inline std::size_t NearestByBruteForce(const std::vector<RgbQuad>& table, ColorValue color) {
  const int red = static_cast<int>(color & 0xF8) + 4;
  const int green = static_cast<int>(color >> 8 & 0xF8) + 4;
  const int blue = static_cast<int>(color >> 16 & 0xF8) + 4;
  std::size_t best = 0;
  int bestDistance = 1 << 30;
  // An index is one byte: entries past 256 are never chosen.
  for (std::size_t i = 0; i < table.size() && i < 256; ++i) {
    const int distance = (red - table[i].red) * (red - table[i].red) +
                         (green - table[i].green) * (green - table[i].green) +
                         (blue - table[i].blue) * (blue - table[i].blue);
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return best;
}

// The colour a pixel of the given format reads back after `color` was stored in it.
inline ColorValue StoredColor(ColorValue color, int bitCount) {
  switch (bitCount) {
    case 24:
    case 32:
      return color;
    case 16: {
      ColorValue result = 0;
      for (int shift : {0, 8, 16}) {
        const unsigned five = (color >> shift & 0xFF) >> 3;
        result |= (five << 3 | five >> 2) << shift;
      }
      return result;
    }
    default: {
      const std::vector<RgbQuad> table = bitCount == 1   ? Table2()
                                         : bitCount == 4 ? Table16()
                                                         : Table256();
      return ColorOf(table[NearestByBruteForce(table, color)]);
    }
  }
}

inline std::vector<RgbQuad> TableFor(int bitCount) {
  return bitCount == 1   ? Table2()
         : bitCount == 4 ? Table16()
         : bitCount == 8 ? Table256()
                         : std::vector<RgbQuad>{};
}

}  // namespace qel::testing_palettes
