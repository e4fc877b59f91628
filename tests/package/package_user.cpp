// Captures, saves, loads and searches through Qel's installed bitmap library, on a screen in
// memory with a known picture and on the desktop it runs on, whatever that shows. Prints what
// failed and exits 1, or exits 0.
// A Windows program has the system's headers, and their macros, in before the library's.
#ifdef _WIN32
#include <windows.h>
#endif

#include <qel/desktop.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const std::string& what) {
  if (!ok) {
    std::fprintf(stderr, "package user: %s\n", what.c_str());
    ++failures;
  }
}

std::string Where(const qel::FoundPoint& point) {
  return "(" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")";
}

bool Save(const std::vector<std::uint8_t>& bytes, const std::string& path) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

std::vector<std::uint8_t> Load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A red dot with a green one two pixels right of it, on grey: the colour, pattern and image
// searches must all find it where it was put.
void SearchAScreenInMemory() {
  qel::InMemoryDesktop desktop(64, 48);
  desktop.Screen().Fill(0x808080);
  desktop.Screen().SetPixel(40, 30, 0xFF0000);
  desktop.Screen().SetPixel(42, 30, 0x00FF00);
  const qel::BitmapContext& context = desktop.Context();
  qel::ColorFinder finder;

  qel::SearchArea area;
  const qel::FoundPoint red = finder.FindColorInArea(context, 0, 0x0000FF, area);
  Check(red == qel::FoundPoint{40, 30}, "the red pixel was found at " + Where(red));

  qel::ScreenBitmap screen(context);
  Check(screen.CaptureScreen(0, 0, 0, 0, 24), "the screen in memory was not captured");
  const std::vector<std::uint8_t> screenBmp = screen.FileBytes();
  Check(Save(screenBmp, "package_user_memory.bmp"), "the capture was not saved");

  qel::ScreenBitmap loaded(context);
  Check(loaded.LoadBmpFile("package_user_memory.bmp"), "the saved capture was not loaded");
  Check(loaded.Width() == 64 && loaded.Height() == 48, "the loaded capture has the wrong size");
  Check(loaded.ReadPixel(42, 30) == 0x00FF00, "the loaded capture lost the green pixel");

  qel::ScreenBitmap piece(context);
  Check(piece.CreateImage(3, 1, 24), "no image was made for the piece");
  Check(screen.DrawTo(piece, 40, 30, 3, 1), "the piece was not cut out");
  const qel::FoundPoint centre =
      finder.FindImageInImage(context, Load("package_user_memory.bmp"), piece.FileBytes());
  Check(centre == qel::FoundPoint{41, 30}, "the piece was found at " + Where(centre));
}

// Whatever the desktop shows: a capture saved and loaded again is the same picture, a pixel read
// alone agrees with it, and a piece cut from it is found where it was cut.
void SearchTheRunningDesktop() {
  const auto session = qel::OpenRunningDesktop();
  const qel::BitmapContext& context = session->Context();
  qel::ColorFinder finder;

  qel::ScreenBitmap screen(context);
  Check(screen.CaptureScreen(0, 0, 200, 120, 24), "the desktop was not captured");
  Check(Save(screen.FileBytes(), "package_user_desktop.bmp"), "the capture was not saved");
  qel::ScreenBitmap loaded(context);
  Check(loaded.LoadBmpFile("package_user_desktop.bmp"), "the saved capture was not loaded");
  // The file loader gives 32 bits a pixel, whatever the file's depth.
  Check(loaded.ConvertDepth(24) && loaded.PixelBytes() == screen.PixelBytes(),
        "the loaded capture differs from the saved one");

  const qel::ColorValue pixel = finder.GetPixelColor(context, 0, 150, 90);
  Check(pixel == screen.ReadPixel(150, 90), "a pixel read alone differs from the capture's");

  qel::ScreenBitmap piece(context);
  Check(piece.CreateImage(20, 10, 24) && screen.DrawTo(piece, 60, 40, 20, 10),
        "the piece was not cut out");
  std::vector<qel::FoundPoint> found;
  finder.FindAllImagesInImage(context, screen.FileBytes(), piece.FileBytes(), found);
  bool foundWhereCut = false;
  for (const qel::FoundPoint& place : found) foundWhereCut |= place == qel::FoundPoint{70, 44};
  Check(foundWhereCut, "the piece was not found where it was cut, among " +
                           std::to_string(found.size()) + " places");
}

}  // namespace

int main() {
  SearchAScreenInMemory();
  try {
    SearchTheRunningDesktop();
  } catch (const std::exception& error) {
    Check(false, std::string("no desktop: ") + error.what());
  }
  if (failures == 0) std::puts("package user: every check passed");
  return failures == 0 ? 0 : 1;
}
