// The bitmap classes over the system's GDI and over the software one, side by side on the same
// desktop: every scenario gives the same packed DIBs, BMP bytes and search answers over both.
//
// One case is kept out, as Wine's GDI differs there from Windows' documented rule, which the
// software one follows: mapping a colour to the 2- or 16-colour table, Wine measures from the
// exact colour rather than from the centre of its 5-5-5 bin (see gdi_conversion_test.cpp), so
// 1- and 4-bit images are compared on colours of the tables themselves.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_images.h"
#include "platform/win32/win32_screen.h"
#include "qel/searches.h"
#include "tests/win32/desktop_user.h"

// The class's methods, not the system's macros.
#undef CreateFont
#undef TextOut

namespace qel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Where the painted window of the capture scenarios lies, and its colour (0x00RRGGBB).
constexpr RECT kWindowRect{40, 30, 140, 90};
constexpr std::uint32_t kWindowRgb = 0x3C8AD2;

void Append(Bytes& to, std::span<const std::uint8_t> bytes) {
  to.insert(to.end(), bytes.begin(), bytes.end());
}

void AppendText(Bytes& to, const std::string& text) {
  Append(to, {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
}

void AppendValue(Bytes& to, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    to.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A 24-bit BMP file of `width` x `height` whose pixel (x, y) is rgb(x, y), 0x00RRGGBB.
Bytes Bmp24(int width, int height, const std::function<std::uint32_t(int, int)>& rgb) {
  const int rowBytes = (width * 3 + 3) / 4 * 4;
  const auto size = static_cast<std::uint32_t>(54 + rowBytes * height);
  Bytes file{'B', 'M'};
  AppendValue(file, size);
  AppendValue(file, 0);
  AppendValue(file, 54);
  for (const std::uint32_t field :
       {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 0x180001u, 0u,
        0u, 0u, 0u, 0u, 0u}) {
    AppendValue(file, field);
  }
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t pixel = rgb(x, y);
      file.insert(file.end(),
                  {static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 8),
                   static_cast<std::uint8_t>(pixel >> 16)});
    }
    file.resize(file.size() + static_cast<std::size_t>(rowBytes - width * 3));
  }
  return file;
}

// Every channel stepping at its own pace, so that each depth's conversion has work to do.
Bytes ColourfulBmp() {
  return Bmp24(37, 23, [](int x, int y) {
    return static_cast<std::uint32_t>((x * 7 + y * 3) % 256) << 16 |
           static_cast<std::uint32_t>((x * 13 + y * 29) % 256) << 8 |
           static_cast<std::uint32_t>((x * y * 5 + 17) % 256);
  });
}

// The 16-colour table's own colours in stripes: every depth's rule maps each to itself.
Bytes TableColoursBmp() {
  static constexpr std::uint32_t kColours[] = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
      0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  return Bmp24(16, 4, [](int x, int y) { return kColours[(x + y) % 16]; });
}

// A failed step is part of the answer, so that both GDIs must fail alike.
void Note(Bytes& to, bool succeeded) { to.push_back(succeeded ? 1 : 0); }

Bytes FileOf(ScreenBitmap& bitmap) { return bitmap.FileBytes(); }

Bytes Loaded(const BitmapContext& context, const Bytes& bmp, int bitsPerPixel) {
  ScreenBitmap bitmap(context);
  Bytes result;
  Note(result, bitmap.LoadBmpBytesViaFile(bmp));
  Note(result, bitmap.ConvertDepth(bitsPerPixel));
  Append(result, FileOf(bitmap));
  return result;
}

Bytes ConvertedToEveryDepth(const BitmapContext& context) {
  Bytes result;
  for (const int depth : {8, 16, 24, 32}) Append(result, Loaded(context, ColourfulBmp(), depth));
  return result;
}

Bytes TableColoursAtOneAndFourBits(const BitmapContext& context) {
  Bytes result;
  for (const int depth : {1, 4}) Append(result, Loaded(context, TableColoursBmp(), depth));
  return result;
}

Bytes TakenAsTheyAre(const BitmapContext& context) {
  ScreenBitmap bitmap(context);
  Bytes result;
  Note(result, bitmap.LoadBmpBytes(ColourfulBmp()));
  Note(result, bitmap.ConvertDepth(8));
  Bytes eightBits = FileOf(bitmap);
  Note(result, bitmap.LoadBmpBytes(eightBits));
  Append(result, FileOf(bitmap));
  return result;
}

Bytes PixelsWrittenAndRead(const BitmapContext& context) {
  Bytes result;
  for (const int depth : {1, 4, 8, 16, 24, 32}) {
    ScreenBitmap bitmap(context);
    Note(result, bitmap.CreateImage(5, 3, depth));
    // On the 16-colour table, and so also on the 2- and 256-colour ones where they can be.
    const ColorValue colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x800080, 0xFFFFFF, 0x808080};
    for (int i = 0; i < 6; ++i) Note(result, bitmap.WritePixel(i % 5, i % 3, colours[i]));
    Note(result, bitmap.WritePixel(5, 0, 0));  // outside
    for (int y = -1; y <= 3; ++y) {
      for (int x = -1; x <= 5; ++x) AppendValue(result, bitmap.ReadPixel(x, y));
    }
    Append(result, FileOf(bitmap));
  }
  return result;
}

// Large sections are made again from memory the GDI kept: a new image is still black.
Bytes LargeImagesMadeAgain(const BitmapContext& context) {
  Bytes result;
  ScreenBitmap bitmap(context);
  for (int round = 0; round < 3; ++round) {
    Note(result, bitmap.CreateImage(700, 500, 32));
    Append(result, bitmap.PixelBytes());
    for (int i = 0; i < 50; ++i) Note(result, bitmap.WritePixel(i * 13, i * 9, 0xFFFFFF));
    Note(result, bitmap.SyncPacked());
  }
  return result;
}

Bytes DrawnAcrossDepths(const BitmapContext& context) {
  Bytes result;
  ScreenBitmap source(context);
  Note(result, source.LoadBmpBytesViaFile(ColourfulBmp()));
  for (const int depth : {8, 16, 24}) {
    ScreenBitmap target(context);
    Note(result, target.CreateImage(30, 20, depth));
    Note(result, source.DrawTo(target, 3, 2, 0, 0, -4, 5));  // clipped on three sides
    Append(result, FileOf(target));
  }
  return result;
}

Bytes TextDrawnIntoTheMemoryDc(const BitmapContext& context) {
  Bytes result;
  for (const int mode : {kOpaque, kTransparent}) {
    ScreenBitmap bitmap(context);
    Note(result, bitmap.CreateImage(90, 24, 24));
    Gdi& gdi = context.gdi;
    const GdiRect all{0, 0, 90, 24};
    Note(result, gdi.FillRect(bitmap.MemoryDC(), all, 0x00C0FF));
    const GdiHandle font = gdi.CreateFont({.height = -13, .weight = 700, .face = "Tahoma"});
    const GdiHandle previous = gdi.SelectObject(bitmap.MemoryDC(), font);
    gdi.SetBkMode(bitmap.MemoryDC(), mode);
    gdi.SetBkColor(bitmap.MemoryDC(), 0x202020);
    gdi.SetTextColor(bitmap.MemoryDC(), 0x10F030);
    Note(result, gdi.TextOut(bitmap.MemoryDC(), 3, 4, "Qel 0123"));
    gdi.SelectObject(bitmap.MemoryDC(), previous);
    gdi.DeleteObject(font);
    Note(result, bitmap.SyncPacked());
    Append(result, FileOf(bitmap));
  }
  return result;
}

Bytes IconsOverWhite(const BitmapContext& context) {
  ArgbImage image{16, 16, {}};
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      // Alpha from clear to opaque across, a colour down.
      image.pixels.push_back(static_cast<std::uint32_t>(x * 17) << 24 |
                             static_cast<std::uint32_t>(y * 16) << 16 | 0x3080);
    }
  }
  Bytes result;
  const GdiHandle icon = context.gdi.CreateIcon(image);
  Note(result, icon != 0);
  for (const int size : {16, 32}) {
    ScreenBitmap bitmap(context);
    Note(result, bitmap.FromIcon(icon, size, size, 24));
    Append(result, FileOf(bitmap));
  }
  context.gdi.DestroyIcon(icon);
  return result;
}

Bytes BitmapsFromTheLoader(const BitmapContext& context) {
  Bytes result;
  const Bytes bmp = ColourfulBmp();
  for (const int depth : {0, 8, 24}) {
    const GdiHandle loaded = context.gdi.LoadImageFromMemory(bmp, ImageType::Bitmap, 0, 0);
    ScreenBitmap bitmap(context);
    Note(result, bitmap.FromBitmapHandle(loaded, depth));
    Append(result, FileOf(bitmap));
    context.gdi.DeleteObject(loaded);
  }
  return result;
}

// Files of many headers, depths and compressions through LoadImage and through the software
// GDI's decoder. The files Wine's LoadImage reads otherwise than the format says are named in
// bmp_load_image_test.cpp and left out here. The images are compared at 24 bits: Wine keeps an
// alpha file's alpha in the fourth byte of the 32-bit image, where the software decoder leaves 0.
Bytes FilesLoaded(const BitmapContext& context) {
  Bytes result;
  // The last declares an image over the decode limit, which both refuse before making it.
  for (const char* name : {"bmp2_1.bmp", "bmp3_4.bmp", "bmp3_rle8.bmp", "bmp5_565.bmp",
                           "bmp5_argb.bmp", "rle4_delta.bmp", "rle8_delta.bmp", "v4_argb.bmp",
                           "../fuzz/seeds/rle8-16000x16000-ends-at-once.bmp"}) {
    ScreenBitmap bitmap(context);
    Note(result, bitmap.LoadBmpFile(std::string(QEL_BMP_SAMPLES_PATH "/") + name));
    Note(result, bitmap.ConvertDepth(24));
    Append(result, FileOf(bitmap));
  }
  return result;
}

Bytes ThroughTheClipboard(const BitmapContext& context) {
  Bytes result;
  ScreenBitmap copied(context);
  Note(result, copied.LoadBmpBytesViaFile(ColourfulBmp()));
  Note(result, copied.CopyToClipboard());
  ScreenBitmap pasted(context);
  Note(result, pasted.FromClipboard(24));
  Append(result, FileOf(pasted));
  return result;
}

Bytes ScreenAndWindowCaptures(const BitmapContext& context) {
  Bytes result;
  // Across the window's edge, so that its surroundings are read too.
  for (const int depth : {8, 24, 32}) {
    ScreenBitmap bitmap(context);
    Note(result, bitmap.CaptureScreen(kWindowRect.left - 5, kWindowRect.top - 5, 20, 15, depth));
    Append(result, FileOf(bitmap));
  }
  // Partly off the screen, after a capture of the whole screen whose memory may be used again:
  // the part off the screen is black. (Past the right and bottom edges: Wine's BitBlt moves an
  // area that starts left of or above the screen to the image's corner.)
  for (const int depth : {32, 8}) {
    ScreenBitmap bitmap(context);
    Note(result, bitmap.CaptureScreen(0, 0, 0, 0, depth));
    const int width = bitmap.Width();
    const int height = bitmap.Height();
    Note(result, bitmap.CaptureScreen(kWindowRect.left, kWindowRect.top, width, height, depth));
    Append(result, FileOf(bitmap));
  }
  const WindowHandle window =
      context.desktop.WindowFromPoint({kWindowRect.left + 10, kWindowRect.top + 10});
  ScreenBitmap drawn(context);
  Note(result, drawn.CaptureWindow(window, 2, 3, 30, 20, 24));
  Append(result, FileOf(drawn));
  const GdiHandle windowDc = context.gdi.GetDC(window);
  ScreenBitmap shown(context);
  Note(result, shown.CaptureDC(windowDc, {0, 0, 12, 7}, 16));
  context.gdi.ReleaseDC(window, windowDc);
  Append(result, FileOf(shown));
  return result;
}

// Drawn onto the painted window through its DC, then read back off the screen.
Bytes DrawnOntoAWindow(const BitmapContext& context) {
  Bytes result;
  const WindowHandle window =
      context.desktop.WindowFromPoint({kWindowRect.left + 10, kWindowRect.top + 10});
  for (const int depth : {8, 24}) {
    ScreenBitmap drawn(context);
    Note(result, drawn.LoadBmpBytesViaFile(ColourfulBmp()));
    Note(result, drawn.ConvertDepth(depth));
    Note(result, drawn.DrawToWindow(window));
    ScreenBitmap shown(context);
    Note(result, shown.CaptureScreen(kWindowRect.left, kWindowRect.top, 40, 25, 24));
    Append(result, FileOf(shown));
  }
  return result;
}

std::string PlacesOf(const std::vector<FoundPoint>& places) {
  std::string text;
  for (const FoundPoint& place : places) {
    text += std::to_string(place.x) + ',' + std::to_string(place.y) + ' ';
  }
  return text + '|';
}

Bytes SearchAnswers(const BitmapContext& context) {
  // The picture: the colourful image with a copy of its corner and text drawn on it.
  ScreenBitmap picture(context);
  Bytes result;
  Note(result, picture.LoadBmpBytesViaFile(ColourfulBmp()));
  ScreenBitmap corner(context);
  Note(result, corner.CreateImage(6, 5, 24));
  Note(result, picture.DrawTo(corner, 0, 0, 6, 5));
  const ImageFile file{FileOf(picture)};
  const TextLook look{.face = "Tahoma", .size = 9, .color = 0x000000};
  AppendText(result, PlacesOf(FindColors(context, file, 0x1D1191, 3, Matches::kAll)));
  AppendText(result, PlacesOf(FindImages(context, file, FileOf(corner), Matches::kAll)));
  AppendText(result, PlacesOf(FindPatterns(context, file, FileOf(corner), std::nullopt, 10, 80,
                                           Matches::kAll)));
  AppendText(result, PlacesOf(FindTexts(context, file, "Q", look, 0, 0, Matches::kAll)));
  return result;
}

struct Scenario {
  std::string name;
  std::function<Bytes(const BitmapContext&)> run;
  friend void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }
};

class GdiParity : public testing::TestWithParam<Scenario> {
 protected:
  static void SetUpTestSuite() {
    window_ = test::CreatePaintedWindow(L"QelParityWindow", L"parity", kWindowRect, kWindowRgb);
    test::Pump();
  }
  static void TearDownTestSuite() { DestroyWindow(window_); }

  Win32Screen screen;
  Win32Desktop desktop;
  Win32ImageServices images;
  SoftwareGdi softwareGdi{screen, desktop, images};
  Win32Gdi systemGdi{images};
  BitmapContext software{softwareGdi, screen, desktop};
  BitmapContext system{systemGdi, screen, desktop};

 private:
  static inline HWND window_ = nullptr;
};

TEST_P(GdiParity, BothGdisGiveTheSameBytes) {
  const Bytes bySoftware = GetParam().run(software);
  const Bytes bySystem = GetParam().run(system);
  ASSERT_EQ(bySoftware.size(), bySystem.size());
  std::size_t firstDifference = 0;
  while (firstDifference < bySoftware.size() &&
         bySoftware[firstDifference] == bySystem[firstDifference]) {
    ++firstDifference;
  }
  EXPECT_EQ(firstDifference, bySoftware.size())
      << "first different byte at " << firstDifference << ": software "
      << int{bySoftware[firstDifference]} << ", system " << int{bySystem[firstDifference]};
}

INSTANTIATE_TEST_SUITE_P(
    Scenarios, GdiParity,
    testing::Values(Scenario{"ConvertedToEveryDepth", ConvertedToEveryDepth},
                    Scenario{"TableColoursAtOneAndFourBits", TableColoursAtOneAndFourBits},
                    Scenario{"TakenAsTheyAre", TakenAsTheyAre},
                    Scenario{"PixelsWrittenAndRead", PixelsWrittenAndRead},
                    Scenario{"LargeImagesMadeAgain", LargeImagesMadeAgain},
                    Scenario{"DrawnAcrossDepths", DrawnAcrossDepths},
                    Scenario{"TextDrawnIntoTheMemoryDc", TextDrawnIntoTheMemoryDc},
                    Scenario{"IconsOverWhite", IconsOverWhite},
                    Scenario{"BitmapsFromTheLoader", BitmapsFromTheLoader},
                    Scenario{"FilesLoaded", FilesLoaded},
                    Scenario{"ThroughTheClipboard", ThroughTheClipboard},
                    Scenario{"ScreenAndWindowCaptures", ScreenAndWindowCaptures},
                    Scenario{"DrawnOntoAWindow", DrawnOntoAWindow},
                    Scenario{"SearchAnswers", SearchAnswers}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace qel
