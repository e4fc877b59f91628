// Draws the scene the qel-find and Python module tests search, through the library on the running
// desktop (so that its text is drawn by the fonts the text searches use): scene.bmp with a block
// of one colour, a two-coloured piece, three points and a line of text on white; small.bmp, the
// piece alone; pattern.bmp, the three points alone; number.bmp, a number in the same font; and
// scene.env, the places the tests expect, as shell assignments.
//
//   qel_scene_picture FOLDER
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "qel/desktop.h"

namespace {

// Colours of the 6 x 6 x 6 cube in the library's 8-bit palette, so that each has an index of its
// own there and the searches, which compare indices, find each colour alone.
constexpr qel::ColorValue Rgb(unsigned r, unsigned g, unsigned b) { return r | g << 8 | b << 16; }
constexpr qel::ColorValue kWhite = Rgb(0xFF, 0xFF, 0xFF);
constexpr qel::ColorValue kBlock = Rgb(0xCC, 0x33, 0x00);
constexpr qel::ColorValue kPieceLeft = Rgb(0x33, 0x66, 0xCC);
constexpr qel::ColorValue kPieceRight = Rgb(0x33, 0x99, 0x33);
constexpr qel::ColorValue kPoints = Rgb(0x66, 0x33, 0x99);
constexpr qel::ColorValue kText = Rgb(0x00, 0x00, 0xCC);

constexpr int kWidth = 240;
constexpr int kHeight = 120;
constexpr qel::GdiRect kBlockRect{20, 30, 32, 38};    // 12 x 8
constexpr qel::GdiRect kPieceRect{120, 20, 130, 26};  // 10 x 6, left half one colour
constexpr qel::FoundPoint kPointPlaces[] = {{60, 94}, {62, 92}, {64, 90}};
constexpr int kTextX = 100;
constexpr int kTextY = 60;
constexpr int kTextPoints = 12;
const char* const kFace = "WenQuanYi Micro Hei";
const char* const kTextLine = "Qel 2026";
const char* const kNumber = "12345";

bool Save(qel::ScreenBitmap& bitmap, const std::string& path) {
  // What GDI drew in the image reaches its file bytes once synced.
  if (!bitmap.SyncPacked()) return false;
  const std::vector<std::uint8_t> bytes = bitmap.FileBytes();
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return !bytes.empty() && static_cast<bool>(file);
}

bool WhitePicture(qel::ScreenBitmap& bitmap, const qel::BitmapContext& context, int width,
                  int height) {
  return bitmap.CreateImage(width, height, 24) &&
         context.gdi.FillRect(bitmap.MemoryDC(), {0, 0, width, height}, kWhite);
}

// The text in the font the text searches make of a face and a size in points.
bool DrawText(const qel::BitmapContext& context, qel::ScreenBitmap& bitmap, int x, int y,
              const char* text) {
  qel::Gdi& gdi = context.gdi;
  const qel::GdiHandle screen = gdi.GetDC(0);
  const int height = kTextPoints * gdi.GetDeviceCaps(screen, qel::kLogPixelsY) / 72;
  gdi.ReleaseDC(0, screen);
  const qel::GdiHandle font = gdi.CreateFont({.height = height, .charSet = 134, .face = kFace});
  const qel::GdiHandle previous = gdi.SelectObject(bitmap.MemoryDC(), font);
  gdi.SetBkMode(bitmap.MemoryDC(), qel::kTransparent);
  gdi.SetTextColor(bitmap.MemoryDC(), kText);
  const bool drawn = gdi.TextOut(bitmap.MemoryDC(), x, y, text);
  gdi.SelectObject(bitmap.MemoryDC(), previous);
  gdi.DeleteObject(font);
  return drawn;
}

std::string Hex(qel::ColorValue color) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X%02X%02X", color & 0xFF, color >> 8 & 0xFF,
                color >> 16 & 0xFF);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: qel_scene_picture FOLDER\n", stderr);
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  const auto session = qel::OpenRunningDesktop();
  const qel::BitmapContext& context = session->Context();
  qel::Gdi& gdi = context.gdi;

  qel::ScreenBitmap scene(context);
  bool ok = WhitePicture(scene, context, kWidth, kHeight) &&
            gdi.FillRect(scene.MemoryDC(), kBlockRect, kBlock) &&
            gdi.FillRect(scene.MemoryDC(),
                         {kPieceRect.left, kPieceRect.top, 125, kPieceRect.bottom}, kPieceLeft) &&
            gdi.FillRect(scene.MemoryDC(),
                         {125, kPieceRect.top, kPieceRect.right, kPieceRect.bottom}, kPieceRight) &&
            DrawText(context, scene, kTextX, kTextY, kTextLine);
  for (const qel::FoundPoint point : kPointPlaces)
    ok &= scene.WritePixel(point.x, point.y, kPoints);

  const int pieceWidth = kPieceRect.right - kPieceRect.left;
  const int pieceHeight = kPieceRect.bottom - kPieceRect.top;
  qel::ScreenBitmap piece(context);
  ok &= piece.CreateImage(pieceWidth, pieceHeight, 24) &&
        scene.DrawTo(piece, kPieceRect.left, kPieceRect.top, pieceWidth, pieceHeight);

  // The points with the lowest at the pattern's bottom-left corner.
  const qel::FoundPoint lowest = kPointPlaces[0];
  qel::ScreenBitmap pattern(context);
  ok &= WhitePicture(pattern, context, 5, 5);
  for (const qel::FoundPoint point : kPointPlaces) {
    ok &= pattern.WritePixel(point.x - lowest.x, 4 - (lowest.y - point.y), kPoints);
  }

  qel::ScreenBitmap number(context);
  ok &= WhitePicture(number, context, 120, 30) && DrawText(context, number, 10, 5, kNumber);

  ok &= Save(scene, folder + "scene.bmp") && Save(piece, folder + "small.bmp") &&
        Save(pattern, folder + "pattern.bmp") && Save(number, folder + "number.bmp");
  if (!ok) {
    std::fputs("qel_scene_picture: the scene could not be drawn or saved\n", stderr);
    return 1;
  }

  // Places in the scene's own coordinates. A colour is found first at the left end of its block's
  // bottom row, an image at its centre (half its width right of its left edge, half its height
  // above its bottom row), a pattern at its lowest point.
  std::ofstream env(folder + "scene.env");
  env << "SCENE_WIDTH=" << kWidth << "\nSCENE_HEIGHT=" << kHeight << "\n"
      << "BLOCK_COLOR=" << Hex(kBlock) << "\nBLOCK_DECIMAL=" << kBlock << "\n"
      << "BLOCK_FIRST_X=" << kBlockRect.left << "\nBLOCK_FIRST_Y=" << kBlockRect.bottom - 1 << "\n"
      << "BLOCK_PIXELS="
      << (kBlockRect.right - kBlockRect.left) * (kBlockRect.bottom - kBlockRect.top) << "\n"
      << "IMAGE_X=" << kPieceRect.left + pieceWidth / 2 << "\n"
      << "IMAGE_Y=" << kPieceRect.bottom - 1 - pieceHeight / 2 << "\n"
      << "PATTERN_X=" << lowest.x << "\nPATTERN_Y=" << lowest.y << "\n"
      << "TEXT='" << kTextLine << "'\nTEXT_FONT='" << kFace << "'\nTEXT_SIZE=" << kTextPoints
      << "\nTEXT_COLOR=" << Hex(kText) << "\n"
      << "TEXT_LEFT=" << kTextX << "\nTEXT_TOP=" << kTextY << "\n"
      << "TEXT_RIGHT=" << kWidth << "\nTEXT_BOTTOM=" << kTextY + 2 * kTextPoints << "\n"
      << "NUMBER=" << kNumber << "\n";
  return env ? 0 : 1;
}
