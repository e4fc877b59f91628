// The Win32 image services under Wine: packed DIBs of every common header and depth read as the
// system writes them and refused when forged, the clipboard shared with this process and another,
// and PNG decoded by the system's WIC without premultiplying.
#include "platform/win32/win32_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_packed_dib.h"
#include "tests/win32/other_program.h"
#include "tests/win32/peer_process.h"
#include "tests/win32/peer_program.h"

namespace qel {
namespace {

using namespace std::chrono_literals;

// A packed DIB written field by field: a header of `headerSize` bytes, then `extra` (masks or a
// colour table), then the rows as given. A header longer than BITMAPINFOHEADER holds `extra` from
// its 41st byte on instead, as a V5 header holds its masks.
struct DibCase {
  const char* name;
  std::uint32_t headerSize;
  std::int32_t width;
  std::int32_t height;
  std::uint16_t bitCount;
  std::uint32_t compression;
  std::uint32_t colorsUsed;
  std::vector<std::uint8_t> extra;
  std::vector<std::uint8_t> rows;
  std::vector<std::uint32_t> expected;  // top-down; empty when the bytes are refused
};

std::vector<std::uint8_t> Bytes(const DibCase& c) {
  std::vector<std::uint8_t> out(c.headerSize, 0);
  const auto put = [&out](std::size_t at, std::uint32_t value, int size) {
    for (int i = 0; i < size && at + i < out.size(); ++i) {
      out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
  };
  put(0, c.headerSize, 4);
  if (c.headerSize == 12) {
    put(4, static_cast<std::uint32_t>(c.width), 2);
    put(6, static_cast<std::uint32_t>(c.height), 2);
    put(8, 1, 2);
    put(10, c.bitCount, 2);
  } else {
    put(4, static_cast<std::uint32_t>(c.width), 4);
    put(8, static_cast<std::uint32_t>(c.height), 4);
    put(12, 1, 2);
    put(14, c.bitCount, 2);
    put(16, c.compression, 4);
    put(32, c.colorsUsed, 4);
  }
  if (c.headerSize > 40) {
    std::copy(c.extra.begin(), c.extra.end(), out.begin() + 40);
  } else {
    out.insert(out.end(), c.extra.begin(), c.extra.end());
  }
  out.insert(out.end(), c.rows.begin(), c.rows.end());
  return out;
}

std::vector<std::uint8_t> Le32(std::initializer_list<std::uint32_t> values) {
  std::vector<std::uint8_t> out;
  for (const std::uint32_t value : values) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  }
  return out;
}

const DibCase kReadable[] = {
    {"core 1-bit, colour table of triples",
     12,
     2,
     2,
     1,
     0,
     0,
     {0, 0, 0, 255, 255, 255},
     {0x80, 0, 0, 0, 0x40, 0, 0, 0},
     {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000}},
    {"4-bit, two colours used",
     40,
     3,
     1,
     4,
     0,
     2,
     {0x56, 0x34, 0x12, 0, 0xFF, 0xFF, 0xFF, 0},
     {0x01, 0x00, 0, 0},
     {0xFF123456, 0xFFFFFFFF, 0xFF123456}},
    {"8-bit top-down",
     40,
     1,
     -2,
     8,
     0,
     2,
     {1, 2, 3, 0, 4, 5, 6, 0},
     {1, 0, 0, 0, 0, 0, 0, 0},
     {0xFF060504, 0xFF030201}},
    {"16-bit, five bits a channel",
     40,
     2,
     1,
     16,
     0,
     0,
     {},
     {0x00, 0x7C, 0x1F, 0x00},
     {0xFFFF0000, 0xFF0000FF}},
    {"16-bit, 5-6-5 masks after the header",
     40,
     2,
     1,
     16,
     3,
     0,
     Le32({0xF800, 0x07E0, 0x001F}),
     {0x00, 0xF8, 0xE0, 0x07},
     {0xFFFF0000, 0xFF00FF00}},
    {"24-bit, rows padded to four bytes, a table to skip",
     40,
     1,
     2,
     24,
     0,
     1,
     {9, 9, 9, 0},
     {0x30, 0x20, 0x10, 0, 0x03, 0x02, 0x01, 0},
     {0xFF010203, 0xFF102030}},
    {"32-bit, the top byte not alpha",
     40,
     1,
     1,
     32,
     0,
     0,
     {},
     {0x33, 0x22, 0x11, 0x7F},
     {0xFF112233}},
    {"V5 with alpha",
     124,
     2,
     1,
     32,
     3,
     0,
     Le32({0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}),
     {0x33, 0x22, 0x11, 0x80, 0x00, 0x00, 0xFF, 0x00},
     {0x80112233, 0x00FF0000}},
    {"V5 whose alpha is 0 everywhere",
     124,
     1,
     1,
     32,
     3,
     0,
     Le32({0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}),
     {0x33, 0x22, 0x11, 0x00},
     {0xFF112233}},
};

const DibCase kRefused[] = {
    {"rows cut short", 40, 2, 2, 24, 0, 0, {}, std::vector<std::uint8_t>(12, 0), {}},
    {"header of no known size", 20, 1, 1, 24, 0, 0, {}, {1, 2, 3, 0}, {}},
    {"no width", 40, 0, 1, 24, 0, 0, {}, {1, 2, 3, 0}, {}},
    {"no height", 40, 1, 0, 24, 0, 0, {}, {1, 2, 3, 0}, {}},
    {"2 bits a pixel", 40, 1, 1, 2, 0, 0, {}, {0, 0, 0, 0}, {}},
    {"run-length encoded", 40, 1, 1, 8, 1, 0, std::vector<std::uint8_t>(1024, 0), {0, 0, 0, 0}, {}},
    {"more colours than the depth holds",
     40,
     1,
     1,
     1,
     0,
     3,
     std::vector<std::uint8_t>(12, 0),
     {0, 0, 0, 0},
     {}},
    {"masks missing", 40, 1, 1, 32, 3, 0, {}, {}, {}},
    {"bit fields at 24 bits", 40, 1, 1, 24, 3, 0, Le32({0xFF0000, 0xFF00, 0xFF}), {1, 2, 3, 0}, {}},
    {"a billion pixels asked for",
     40,
     32768,
     32768,
     1,
     0,
     0,
     std::vector<std::uint8_t>(8, 0),
     std::vector<std::uint8_t>(64, 0),
     {}},
};

TEST(PackedDib, ReadsEveryCommonHeaderAndDepth) {
  for (const DibCase& c : kReadable) {
    const std::optional<ArgbImage> image = UnpackDib(Bytes(c));
    ASSERT_TRUE(image) << c.name;
    EXPECT_EQ(image->width, c.width) << c.name;
    EXPECT_EQ(image->height, std::abs(c.height)) << c.name;
    EXPECT_EQ(image->pixels, c.expected) << c.name;
  }
}

TEST(PackedDib, RefusesWhatCannotBeReadWhole) {
  for (const DibCase& c : kRefused) {
    EXPECT_EQ(UnpackDib(Bytes(c)), std::nullopt) << c.name;
  }
  EXPECT_EQ(UnpackDib({}), std::nullopt);
}

TEST(PackedDib, WhatIsPackedReadsBack) {
  // An odd width, so that the 24-bit rows are padded.
  const ArgbImage image{
      3, 2, {0x80FF0000, 0x00000000, 0xFF00FF00, 0x400000FF, 0xFF123456, 0x01ABCDEF}};
  const std::optional<ArgbImage> withAlpha = UnpackDib(PackDibV5(image));
  ASSERT_TRUE(withAlpha);
  EXPECT_EQ(withAlpha->pixels, image.pixels);
  const std::optional<ArgbImage> plain = UnpackDib(PackDib24(image));
  ASSERT_TRUE(plain);
  std::vector<std::uint32_t> opaque = image.pixels;
  for (std::uint32_t& pixel : opaque) pixel |= 0xFF000000u;
  EXPECT_EQ(plain->pixels, opaque);
  EXPECT_TRUE(PackDibV5(ArgbImage{2, 2, {1, 2, 3}}).empty()) << "pixels missing";
}

std::wstring Hex(std::uint32_t value) {
  std::wstring hex;
  for (int shift = 20; shift >= 0; shift -= 4) hex += L"0123456789ABCDEF"[(value >> shift) & 0xF];
  return hex;
}

ArgbImage PeerImage() {
  ArgbImage image{test::kPeerImageWidth, test::kPeerImageHeight, {}};
  for (const auto& row : test::kPeerImage) {
    for (const std::uint32_t rgb : row) image.pixels.push_back(0xFF000000u | rgb);
  }
  return image;
}

TEST(Win32Clipboard, AnImageCopiedReadsBackWithItsAlpha) {
  Win32ImageServices images;
  const ArgbImage image{2, 1, {0x80FF8000, 0x00000000}};
  ASSERT_TRUE(images.SetClipboardImage(image));
  const std::optional<ArgbImage> pasted = images.ClipboardImage();
  ASSERT_TRUE(pasted);
  EXPECT_EQ(pasted->width, 2);
  EXPECT_EQ(pasted->pixels, image.pixels);
}

TEST(Win32Clipboard, AnotherProcessPastesWhatWasCopied) {
  Win32ImageServices images;
  ASSERT_TRUE(images.SetClipboardImage(PeerImage()));
  std::wstring arguments = L"paste 3 2";
  for (const auto& row : test::kPeerImage) {
    for (const std::uint32_t rgb : row) arguments += L" " + Hex(rgb);
  }
  test::PeerProcess peer(arguments);
  EXPECT_EQ(peer.WaitForExit(20s), test::kPeerPasted)
      << "the peer pastes the bitmap the system makes of the copied image";
}

TEST(Win32Clipboard, ReadsTheBitmapAnotherProcessCopied) {
  test::PeerProcess peer(L"copy QelPeerCopied");
  ASSERT_NE(peer.WaitForWindow(L"QelPeerCopied"), nullptr);
  Win32ImageServices images;
  const std::optional<ArgbImage> pasted = images.ClipboardImage();
  ASSERT_TRUE(pasted) << "a device bitmap alone is offered as a DIB too";
  EXPECT_EQ(pasted->width, test::kPeerImageWidth);
  EXPECT_EQ(pasted->height, test::kPeerImageHeight);
  EXPECT_EQ(pasted->pixels, PeerImage().pixels);
}

TEST(Win32Clipboard, AClipboardHeldOpenOrWithoutAnImageGivesNothing) {
  Win32ImageServices images;
  test::OtherProgram other;
  other.Run([] { ASSERT_NE(OpenClipboard(nullptr), 0); });
  EXPECT_FALSE(images.SetClipboardImage(PeerImage()));
  EXPECT_EQ(images.ClipboardImage(), std::nullopt);
  other.Run([] {
    EmptyClipboard();
    CloseClipboard();
  });
  EXPECT_EQ(images.ClipboardImage(), std::nullopt);
  EXPECT_TRUE(images.SetClipboardImage(PeerImage())) << "once the other program lets it go";
}

// 3 x 2 RGBA: red, green at alpha 128, blue at alpha 0; #123456, white at alpha 64, black.
const std::vector<std::uint8_t> kRgbaPng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x9D, 0x74, 0x66, 0x1A, 0x00, 0x00, 0x00, 0x1B, 0x49, 0x44, 0x41, 0x54, 0x78,
    0x9C, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x08, 0x1B, 0x40, 0x14, 0x83, 0x90, 0x49,
    0xD8, 0x7F, 0x20, 0x70, 0x60, 0x00, 0xF2, 0x00, 0x81, 0x59, 0x0A, 0x54, 0x7E, 0x5F,
    0x61, 0x56, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
// 2 x 2 with a palette of three and their alphas 255, 100, 0: indices 0 1 / 1 2.
const std::vector<std::uint8_t> kPalettePng = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x03, 0x00, 0x00, 0x00, 0x45, 0x68, 0xFD,
    0x16, 0x00, 0x00, 0x00, 0x09, 0x50, 0x4C, 0x54, 0x45, 0x0A, 0x14, 0x1E, 0xC8, 0x64, 0x32, 0x00,
    0x00, 0x00, 0x12, 0x76, 0xC6, 0x62, 0x00, 0x00, 0x00, 0x03, 0x74, 0x52, 0x4E, 0x53, 0xFF, 0x64,
    0x00, 0x45, 0x7F, 0x5E, 0x90, 0x00, 0x00, 0x00, 0x0E, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63,
    0x60, 0x60, 0x64, 0x60, 0x64, 0x02, 0x00, 0x00, 0x0E, 0x00, 0x05, 0x9F, 0x97, 0xD8, 0x5F, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

TEST(Win32Png, DecodesWithoutPremultiplying) {
  struct Case {
    const char* name;
    const std::vector<std::uint8_t>& bytes;
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
  };
  const Case cases[] = {
      {"RGBA",
       kRgbaPng,
       3,
       2,
       {0xFFFF0000, 0x8000FF00, 0x000000FF, 0xFF123456, 0x40FFFFFF, 0xFF000000}},
      {"palette", kPalettePng, 2, 2, {0xFF0A141E, 0x64C86432, 0x64C86432, 0x00000000}},
  };
  Win32ImageServices images;
  for (const Case& c : cases) {
    const std::optional<ArgbImage> image = images.DecodePng(c.bytes);
    ASSERT_TRUE(image) << c.name;
    EXPECT_EQ(image->width, c.width) << c.name;
    EXPECT_EQ(image->height, c.height) << c.name;
    EXPECT_EQ(image->pixels, c.pixels) << c.name;
  }
}

TEST(Win32Png, RefusesWhatIsNoPng) {
  Win32ImageServices images;
  const std::vector<std::uint8_t> cut(kRgbaPng.begin(), kRgbaPng.begin() + 40);
  const std::vector<std::uint8_t> bmp = PackDib24(ArgbImage{1, 1, {0xFF000000}});
  for (const std::vector<std::uint8_t>& bytes : {cut, bmp, std::vector<std::uint8_t>{}}) {
    EXPECT_EQ(images.DecodePng(bytes), std::nullopt) << bytes.size() << " bytes";
  }
}

// The system's font mapper picks a face for any request; the text comes back aliased, as tall as
// the cell asked for, wider for more characters, and nothing covered past its end.
TEST(Win32Text, DrawsAliasedTextInACellOfTheHeightAsked) {
  Win32ImageServices images;
  FontRequest font;
  font.height = 16;
  font.face = "Tahoma";
  const std::optional<TextCoverage> one = images.RenderText(font, "4");
  const std::optional<TextCoverage> four = images.RenderText(font, "4071");
  ASSERT_TRUE(one && four);
  EXPECT_EQ(one->height, 16);
  EXPECT_EQ(four->height, 16);
  EXPECT_GT(four->width, 3 * one->width);
  ASSERT_EQ(four->coverage.size(), static_cast<std::size_t>(four->width) * 16);
  EXPECT_TRUE(std::all_of(four->coverage.begin(), four->coverage.end(),
                          [](std::uint8_t c) { return c == 0 || c == 255; }));
  EXPECT_GT(std::count(four->coverage.begin(), four->coverage.end(), 255), 20);
}

}  // namespace
}  // namespace qel
