// The mini-GDI's colour-table rule against the platform's own GDI: an image holding every five-bit
// colour bin, copied by BitBlt from a 32-bit into a 1- and an 8-bit DIB section with the standard
// colour tables, must come out with the indices the mini-GDI chooses. (Wine's GDI picks other
// entries than the rule for 1,540 bins of the 16-colour table, where it seems to measure the
// distance from the exact colour; which of the two Windows does is still to be settled there.)
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bitmap/color_table.h"
#include "bitmap/packed_dib.h"
#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

constexpr int kWidth = 256;
constexpr int kHeight = 128;  // 32,768 pixels: one per bin

// A colour of bin `bin` whose low three bits differ from bin to bin, so that they are seen to
// make no difference. 0x00RRGGBB, as a 32-bit DIB pixel reads.
std::uint32_t PixelOfBin(std::uint32_t bin) {
  const std::uint32_t low = bin * 5 % 8;
  const std::uint32_t red = (bin >> 10 & 31) << 3 | low;
  const std::uint32_t green = (bin >> 5 & 31) << 3 | (7 - low);
  const std::uint32_t blue = (bin & 31) << 3 | low;
  return red << 16 | green << 8 | blue;
}

ColorValue ColorOfPixel(std::uint32_t pixel) {
  return (pixel >> 16 & 0xFF) | (pixel & 0xFF00) | (pixel & 0xFF) << 16;
}

// A BITMAPINFO with room for a whole colour table.
struct DibHeader {
  BITMAPINFOHEADER header;
  RGBQUAD colors[256];
};

class GdiConversionTest : public testing::TestWithParam<int> {};

TEST_P(GdiConversionTest, EveryBinGetsTheIndexThePlatformChooses) {
  const int bitCount = GetParam();
  const std::vector<std::uint8_t> tableBytes = StandardColorTable(bitCount);
  std::vector<RgbQuad> table(tableBytes.size() / 4);
  std::memcpy(table.data(), tableBytes.data(), tableBytes.size());

  DibHeader source{};
  source.header = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  DibHeader target = source;
  target.header.biBitCount = static_cast<WORD>(bitCount);
  target.header.biClrUsed = static_cast<DWORD>(table.size());
  std::memcpy(target.colors, tableBytes.data(), tableBytes.size());

  void* sourceBits = nullptr;
  void* targetBits = nullptr;
  HBITMAP sourceBitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&source),
                                          DIB_RGB_COLORS, &sourceBits, nullptr, 0);
  HBITMAP targetBitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&target),
                                          DIB_RGB_COLORS, &targetBits, nullptr, 0);
  ASSERT_TRUE(sourceBitmap && targetBitmap) << "CreateDIBSection failed: " << GetLastError();
  auto* pixels = static_cast<std::uint32_t*>(sourceBits);
  for (std::uint32_t bin = 0; bin < kWidth * kHeight; ++bin) pixels[bin] = PixelOfBin(bin);

  HDC sourceDc = CreateCompatibleDC(nullptr);
  HDC targetDc = CreateCompatibleDC(nullptr);
  HGDIOBJ oldSource = SelectObject(sourceDc, sourceBitmap);
  HGDIOBJ oldTarget = SelectObject(targetDc, targetBitmap);
  ASSERT_TRUE(BitBlt(targetDc, 0, 0, kWidth, kHeight, sourceDc, 0, 0, SRCCOPY));
  GdiFlush();

  const ColorTableIndex index(table);
  const int stride = ((kWidth * bitCount + 31) / 32) * 4;
  const auto* rows = static_cast<const std::uint8_t*>(targetBits);
  int mismatches = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const int bit = x * bitCount;
      const unsigned byte = rows[y * stride + bit / 8];
      const unsigned platform = (byte >> (8 - bitCount - bit % 8)) & ((1u << bitCount) - 1);
      const std::uint32_t pixel = pixels[y * kWidth + x];
      const unsigned ours = index.Nearest(ColorOfPixel(pixel));
      if (platform != ours && ++mismatches <= 5) {
        ADD_FAILURE() << std::hex << "pixel 0x" << pixel << ": the platform chose " << std::dec
                      << platform << ", the mini-GDI " << ours;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);

  SelectObject(sourceDc, oldSource);
  SelectObject(targetDc, oldTarget);
  DeleteDC(sourceDc);
  DeleteDC(targetDc);
  DeleteObject(sourceBitmap);
  DeleteObject(targetBitmap);
}

INSTANTIATE_TEST_SUITE_P(StandardTables, GdiConversionTest, testing::Values(1, 8),
                         [](const auto& info) { return "Bits" + std::to_string(info.param); });

}  // namespace
}  // namespace qel
