// The Windows side of win32_gdi_bench: runs one library call at a time, as told on standard input,
// over the software GDI or the system's, and answers with the seconds it took, measured inside the
// process. Lines in: "<call> <gdi>", call one of pixel, capture32, capture24, capture8,
// findcolor; gdi software or system. Lines out: the seconds, or "failed".
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "finder/color_finder.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_images.h"
#include "platform/win32/win32_screen.h"

namespace {

// Absent from the screen, so that a search looks at every pixel: green, whose colour-table entry
// nothing on Wine's empty desktop maps to.
constexpr qel::ColorValue kAbsentColor = 0x00FF00;

class Backend {
 public:
  explicit Backend(const qel::BitmapContext& context) : context_(context), bitmap_(context_) {}

  // Whether the call did its work; `x` steps the pixel read across the screen.
  bool Run(const std::string& call, int x) {
    if (call == "pixel") {
      return finder_.GetPixelColor(context_, 0, x, 500) != qel::kClrInvalid;
    }
    if (call == "capture32") return bitmap_.CaptureScreen(0, 0, 0, 0, 32);
    if (call == "capture24") return bitmap_.CaptureScreen(0, 0, 0, 0, 24);
    if (call == "capture8") return bitmap_.CaptureScreen(0, 0, 0, 0, 8);
    if (call == "findcolor") {
      qel::ColorFinder::SearchArea area{0, 0, context_.screen.Width(), context_.screen.Height()};
      return finder_.FindColorInArea(context_, 0, kAbsentColor, area) == qel::FoundPoint{};
    }
    return false;
  }

 private:
  qel::BitmapContext context_;
  qel::ScreenBitmap bitmap_;  // kept between captures, as a caller capturing again keeps it
  qel::ColorFinder finder_;
};

}  // namespace

int main() {
  qel::Win32Screen screen;
  qel::Win32Desktop desktop;
  qel::Win32ImageServices images;
  qel::SoftwareGdi softwareGdi(screen, desktop, images);
  qel::Win32Gdi systemGdi(images);
  Backend software({softwareGdi, screen, desktop});
  Backend system({systemGdi, screen, desktop});
  int x = 0;
  std::string call;
  std::string gdi;
  while (std::cin >> call >> gdi) {
    Backend& backend = gdi == "system" ? system : software;
    x = (x + 7) % 1920;
    const auto start = std::chrono::steady_clock::now();
    const bool done = backend.Run(call, x);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (done) {
      std::printf("%.9f\n", took.count());
    } else {
      std::printf("failed\n");
    }
    std::fflush(stdout);
  }
  return 0;
}
