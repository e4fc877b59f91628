// libFuzzer target over sequences of ScreenBitmap operations on two bitmaps: a program may call
// them in any order, on bitmaps holding anything. After every operation the DIB section and the
// packed copy must describe the same image, and ASan watches every read and write of their rows.
//
// Input: operation records one after another (see Operation).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"

namespace qel {
namespace {

constexpr int kDepths[] = {1, 4, 8, 16, 24, 32, 0, 7};

// One operation's record: which bitmap and operation, six extents, a depth and a colour.
struct Operation {
  bool onFirst = true;
  int choice = 0;
  int extents[6] = {};  // -8 to 503: sizes up to a few hundred pixels, places just off the image
  int depth = 0;
  ColorValue color = 0;
};

class Input {
 public:
  explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Done() const { return at_ >= bytes_.size(); }
  Operation Next() {
    Operation operation;
    const std::uint8_t chosen = Byte();
    operation.onFirst = chosen < 128;
    operation.choice = chosen % 128;
    for (int& extent : operation.extents) {
      const int high = Byte();
      extent = (high << 8 | Byte()) % 512 - 8;
    }
    operation.depth = kDepths[Byte() % std::size(kDepths)];
    for (int shift : {0, 8, 16}) operation.color |= ColorValue{Byte()} << shift;
    return operation;
  }

 private:
  std::uint8_t Byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }

  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

struct FuzzDesktop {
  FuzzDesktop() {
    for (int y = 0; y < screen.Height(); ++y) {
      for (int x = 0; x < screen.Width(); ++x) screen.SetPixel(x, y, 0x010203u * (x ^ y));
    }
  }
  FakeScreen screen{64, 48, 32};
  FakeDesktop desktop;
  FakeImageServices images;
  SoftwareGdi gdi{screen, desktop, images};
  BitmapContext context{gdi, screen, desktop};
};

void Apply(const Operation& o, ScreenBitmap& bitmap, ScreenBitmap& other) {
  const int* e = o.extents;
  switch (o.choice % 12) {
    case 0:
      bitmap.CreateImage(e[0], e[1], o.depth);
      break;
    case 1:
      bitmap.CreateBlank(e[0], e[1], o.depth);
      break;
    case 2:
      bitmap.CaptureScreen(e[0], e[1], e[2], e[3], o.depth);
      break;
    case 3:
      bitmap.WritePixel(e[0], e[1], o.color);
      break;
    case 4:
      bitmap.ReadPixel(e[0], e[1]);
      break;
    case 5:
      bitmap.SyncPacked();
      break;
    case 6:
      bitmap.DrawTo(other, e[0], e[1], e[2], e[3], e[4], e[5]);
      break;
    case 7:
      bitmap.ConvertDepth(o.depth);
      break;
    case 8:
      other.LoadBmpBytes(bitmap.FileBytes());
      break;
    case 9:
      other.LoadBmpBytesViaFile(bitmap.FileBytes());
      break;
    case 10:
      bitmap.PixelBytes();
      break;
    default:
      bitmap.Clear();
      break;
  }
}

// The section, when there is one, is the image the packed copy describes.
void CheckFormsAgree(const ScreenBitmap& bitmap) {
  if (bitmap.DibHandle() == 0) return;
  if (bitmap.BitmapWidth() != bitmap.Width() || bitmap.BitmapHeight() != bitmap.Height() ||
      bitmap.BitmapBitCount() != bitmap.BitCount()) {
    std::abort();
  }
}

}  // namespace
}  // namespace qel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qel;
  static FuzzDesktop desktop;
  ScreenBitmap first(desktop.context);
  ScreenBitmap second(desktop.context);
  Input input({data, size});
  while (!input.Done()) {
    const Operation operation = input.Next();
    Apply(operation, operation.onFirst ? first : second, operation.onFirst ? second : first);
    CheckFormsAgree(first);
    CheckFormsAgree(second);
  }
  return 0;
}
