// libFuzzer target over every reader of image bytes from outside the program: the BMP decoder, the
// icon reader and ScreenBitmap's two BMP loaders. Each input goes through all of them, so the
// sample files serve as seeds as they are.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "bitmap/bmp_decoder.h"
#include "bitmap/decode_limit.h"
#include "bitmap/icon_file.h"
#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"

namespace qel {
namespace {

// Images a file may rightly ask for reach the decode limit; the fuzzer would only spend its time
// and memory filling them, so it decodes up to a megabyte, and the unit tests take the default.
constexpr std::int64_t kFuzzDecodeLimitBytes = std::int64_t{1} << 20;

std::int64_t PixelsOf(const BmpDimensions& size) { return std::int64_t{size.width} * size.height; }

struct Bitmaps {
  FakeScreen screen{16, 16, 32};
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  BitmapContext context{gdi, screen, desktop};
  ScreenBitmap bitmap{context};
};

void DecodeAsBmp(std::span<const std::uint8_t> file, std::vector<std::uint32_t>& pixels) {
  const std::optional<BmpDimensions> size = ReadBmpDimensions(file);
  if (!size) return;
  pixels.assign(static_cast<std::size_t>(PixelsOf(*size)), 0);
  // Bottom-up into the buffer, as the GDI's sections are, so negative strides are covered too.
  DecodeBmp(file, pixels.data() + PixelsOf(*size) - size->width, -size->width);
}

}  // namespace
}  // namespace qel

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qel::SetDecodeLimitBytes(qel::kFuzzDecodeLimitBytes);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qel;
  static Bitmaps bitmaps;
  static std::vector<std::uint32_t> pixels;
  const std::span<const std::uint8_t> file(data, size);

  DecodeAsBmp(file, pixels);

  const int sizes[][2] = {{0, 0}, {16, 16}, {256, 256}};
  for (const auto& request : sizes) ReadIconFile(file, request[0], request[1], bitmaps.images);

  bitmaps.bitmap.LoadBmpBytes(file);
  bitmaps.bitmap.LoadBmpBytesViaFile(file);
  return 0;
}
