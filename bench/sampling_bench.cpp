// Sampling and capture speed on a 1920 x 1080 private X server, each figure beside its floor in the
// same run:
//   GetPixelColor        within 1.2 x of a bare 1 x 1 image request (one round trip);
//   one sampling tick    under 1 ms, on the real window;
//   CaptureScreen, 32    within 1.15 x of the least a capture holding the image twice, bottom-up,
//                        can do (the grab, its rows copied in reverse order, one block copy of
//                        those), shown beside the bare shared-memory grab and the grab with one
//                        block copy of it;
//   CaptureScreen, 8     within 1.2 x of the grab, one pass converting it straight into bottom-up
//                        8-bit rows, and one block copy of those;
//   32 to 8 bits         at most 2 ms for the whole screen, index for index the platform's rule;
//   FindColorInArea      over the whole screen, capture included, within 1.2 x of the 8-bit
//                        capture alone;
//   FindNextColorInImage its search over a kept 1080p 8-bit image in at most 0.1 ms.
// The screen shows a noise pattern, so that no conversion gains from repeated colours.
#include <benchmark/benchmark.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <vector>

#include "app/layout_table.h"
#include "bench/bench_main.h"
#include "bitmap/color_table.h"
#include "bitmap/row_split.h"
#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "finder/color_finder.h"
#include "platform/fake/fake_form.h"
#include "platform/linux/qt_image_services.h"
#include "platform/linux/qt_window_system.h"
#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_screen.h"
#include "sampler/sampling_tick.h"
#include "tests/bitmap/test_palettes.h"

// Last: X's macros (Bool, Status, Button1) clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

std::uint32_t NoiseAt(std::minstd_rand& random) { return random() & 0xFFFFFF; }
// Pure red, found once on the noisy screen: at its top-right pixel.
constexpr std::uint32_t kRarePixel = 0xFF0000;
constexpr qel::ColorValue kRareColor = 0x0000FF;

// The bench's own client: a full-screen window showing noise, and the floors measured through it.
class Floors {
 public:
  Floors() : display_(XOpenDisplay(nullptr)) {
    if (display_ == nullptr) throw std::runtime_error("cannot open the X display");
    root_ = DefaultRootWindow(display_);
    ShowNoise();
  }
  ~Floors() {
    if (shmImage_ != nullptr) {
      XShmDetach(display_, &segment_);
      XDestroyImage(shmImage_);
      shmdt(segment_.shmaddr);
    }
    XCloseDisplay(display_);
  }

  void GetOnePixel(int x, int y) {
    XImage* image = XGetImage(display_, root_, x, y, 1, 1, AllPlanes, ZPixmap);
    benchmark::DoNotOptimize(image->data[0]);
    XDestroyImage(image);
  }

  bool GrabScreenThroughSharedMemory() {
    if (shmImage_ == nullptr && !AttachSegment()) return false;
    return XShmGetImage(display_, root_, shmImage_, 0, 0, AllPlanes) == True;
  }

  // The grab and one block copy of it into a buffer kept between rounds: what any capture costs
  // that hands over its image once more after the grab, whatever the row order.
  bool GrabAndOneBlockCopy() {
    if (!GrabScreenThroughSharedMemory()) return false;
    const auto size = static_cast<std::size_t>(shmImage_->bytes_per_line) * kHeight;
    packed_.resize(size);
    std::memcpy(packed_.data(), shmImage_->data, size);
    benchmark::ClobberMemory();
    return true;
  }

  // The grab, then its rows in reverse order into one buffer and that buffer into another, both
  // kept between rounds: plain copies, nothing converted, nothing allocated.
  bool GrabIntoTwoBottomUpCopies() {
    if (!GrabScreenThroughSharedMemory()) return false;
    const auto rowBytes = static_cast<std::size_t>(shmImage_->bytes_per_line);
    section_.resize(rowBytes * kHeight);
    packed_.resize(rowBytes * kHeight);
    for (std::size_t y = 0; y < std::size_t{kHeight}; ++y) {
      std::memcpy(section_.data() + (kHeight - 1 - y) * rowBytes, shmImage_->data + y * rowBytes,
                  rowBytes);
    }
    std::memcpy(packed_.data(), section_.data(), packed_.size());
    benchmark::ClobberMemory();
    return true;
  }

  // The same with the rows' fourth bytes cleared on their way into the first copy, as a 32-bit
  // DIB's reserved bytes must be zero whatever the server leaves in them.
  bool GrabIntoTwoBottomUpCopiesClearingTheFourthByte() {
    if (!GrabScreenThroughSharedMemory()) return false;
    const auto rowBytes = static_cast<std::size_t>(shmImage_->bytes_per_line);
    section_.resize(rowBytes * kHeight);
    packed_.resize(rowBytes * kHeight);
    for (std::size_t y = 0; y < std::size_t{kHeight}; ++y) {
      auto* to = reinterpret_cast<std::uint32_t*>(section_.data() + (kHeight - 1 - y) * rowBytes);
      const auto* from = reinterpret_cast<const std::uint32_t*>(shmImage_->data + y * rowBytes);
      for (std::size_t x = 0; x < std::size_t{kWidth}; ++x) to[x] = from[x] & 0xFFFFFF;
    }
    std::memcpy(packed_.data(), section_.data(), packed_.size());
    benchmark::ClobberMemory();
    return true;
  }

  // The grab, one pass converting its rows to colour-table indices straight into bottom-up rows
  // (the same kernel and the same two-thread split as the library's), and one block copy of those:
  // the least an 8-bit capture holding the image twice can do.
  bool GrabConvertTo8AndOneBlockCopy() {
    if (!GrabScreenThroughSharedMemory()) return false;
    const std::size_t stride = (kWidth + 3) & ~3;
    section_.resize(stride * kHeight);
    packed_.resize(stride * kHeight);
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(shmImage_->data);
    const std::ptrdiff_t pixelStride = shmImage_->bytes_per_line / 4;
    qel::ForRowRanges(0, kHeight, kWidth, [&](long long first, long long last) {
      for (long long y = first; y < last; ++y) {
        index_.NearestPixels(
            {pixels + y * pixelStride, std::size_t{kWidth}},
            reinterpret_cast<std::uint8_t*>(section_.data()) + (kHeight - 1 - y) * stride);
      }
    });
    std::memcpy(packed_.data(), section_.data(), packed_.size());
    benchmark::ClobberMemory();
    return true;
  }

 private:
  void ShowNoise() {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    const Window window =
        XCreateWindow(display_, root_, 0, 0, kWidth, kHeight, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect, &attributes);
    XMapWindow(display_, window);
    std::vector<std::uint32_t> noise(static_cast<std::size_t>(kWidth) * kHeight);
    std::minstd_rand random(7);
    for (auto& pixel : noise) {
      do {
        pixel = NoiseAt(random);
      } while (index_.NearestPixel(pixel) == RareIndex());
    }
    // The one pixel of the rare colour is the last in a bottom-up search.
    noise[kWidth - 1] = kRarePixel;
    XImage* image =
        XCreateImage(display_, DefaultVisual(display_, DefaultScreen(display_)), 24, ZPixmap, 0,
                     reinterpret_cast<char*>(noise.data()), kWidth, kHeight, 32, 0);
    XPutImage(display_, window, DefaultGC(display_, DefaultScreen(display_)), image, 0, 0, 0, 0,
              kWidth, kHeight);
    image->data = nullptr;  // the vector owns the pixels
    XDestroyImage(image);
    // The pointer rests on the noise, away from Qel's window, as when a user samples another
    // program's window.
    XRaiseWindow(display_, window);
    XWarpPointer(display_, None, root_, 0, 0, 0, 0, 100, 100);
    XSync(display_, False);
  }

  std::uint8_t RareIndex() const { return index_.NearestPixel(kRarePixel); }

  bool AttachSegment() {
    const int screen = DefaultScreen(display_);
    shmImage_ = XShmCreateImage(display_, DefaultVisual(display_, screen),
                                static_cast<unsigned>(DefaultDepth(display_, screen)), ZPixmap,
                                nullptr, &segment_, kWidth, kHeight);
    segment_.shmid =
        shmget(IPC_PRIVATE, static_cast<std::size_t>(shmImage_->bytes_per_line) * kHeight,
               IPC_CREAT | 0600);
    segment_.shmaddr = shmImage_->data = static_cast<char*>(shmat(segment_.shmid, nullptr, 0));
    segment_.readOnly = False;
    XShmAttach(display_, &segment_);
    XSync(display_, False);
    shmctl(segment_.shmid, IPC_RMID, nullptr);
    return true;
  }

  Display* display_;
  Window root_ = 0;
  XImage* shmImage_ = nullptr;
  XShmSegmentInfo segment_{};
  std::vector<char> section_;
  std::vector<char> packed_;
  const std::vector<qel::RgbQuad> table_ = qel::testing_palettes::Table256();
  const qel::ColorTableIndex index_{table_};
};

// What the program reads the screen and desktop through.
struct Backend {
  qel::X11Screen screen;
  qel::X11Desktop desktop;
  qel::QtImageServices images;
  qel::SoftwareGdi gdi{screen, desktop, images};
  qel::BitmapContext context{gdi, screen, desktop};
  qel::ColorFinder finder;
};

Floors* floors = nullptr;
Backend* backend = nullptr;
qel::Form* mainWindow = nullptr;

void BM_Floor_BareOnePixelImage(benchmark::State& state) {
  int x = 0;
  for (auto _ : state) floors->GetOnePixel(x = (x + 7) % kWidth, 500);
}

void BM_GetPixelColor(benchmark::State& state) {
  int x = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        backend->finder.GetPixelColor(backend->context, 0, x = (x + 7) % kWidth, 500));
  }
}

void BM_SamplingTickOnTheRealWindow(benchmark::State& state) {
  std::optional<std::vector<std::uint8_t>> lastColorBytes;
  const qel::PixelReader reader = [](std::int32_t x, std::int32_t y) {
    return backend->finder.GetPixelColor(backend->context, 0, x, y);
  };
  for (auto _ : state) {
    qel::OnSampleTick(*mainWindow, backend->desktop, reader, 1.25f, lastColorBytes);
    // Between two ticks the program's event loop repaints what the tick changed.
    state.PauseTiming();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}

// The shared-memory floors, each one member of Floors run once a round.
void RunGrabFloor(benchmark::State& state, bool (Floors::*grab)()) {
  for (auto _ : state) {
    if (!(floors->*grab)()) {
      state.SkipWithError("the server offers no shared memory");
      break;
    }
  }
}
void BM_Floor_BareSharedMemoryGrab(benchmark::State& state) {
  RunGrabFloor(state, &Floors::GrabScreenThroughSharedMemory);
}
void BM_Floor_GrabAndOneBlockCopy(benchmark::State& state) {
  RunGrabFloor(state, &Floors::GrabAndOneBlockCopy);
}
void BM_Floor_GrabAndTwoBottomUpCopies(benchmark::State& state) {
  RunGrabFloor(state, &Floors::GrabIntoTwoBottomUpCopies);
}
void BM_Floor_GrabAndTwoBottomUpCopiesClearingTheFourthByte(benchmark::State& state) {
  RunGrabFloor(state, &Floors::GrabIntoTwoBottomUpCopiesClearingTheFourthByte);
}
void BM_Floor_GrabConvertTo8AndOneBlockCopy(benchmark::State& state) {
  RunGrabFloor(state, &Floors::GrabConvertTo8AndOneBlockCopy);
}

void CaptureWholeScreen(benchmark::State& state, int bitsPerPixel) {
  qel::ScreenBitmap bitmap(backend->context);
  for (auto _ : state) {
    if (!bitmap.CaptureScreen(0, 0, 0, 0, bitsPerPixel)) {
      state.SkipWithError("the capture failed");
      break;
    }
  }
}
void BM_CaptureScreen32(benchmark::State& state) { CaptureWholeScreen(state, 32); }
void BM_CaptureScreen8(benchmark::State& state) { CaptureWholeScreen(state, 8); }

// The colour searched over the whole screen, capture included: the colour is found only at the
// last pixel searched, so every pixel is looked at.
void BM_FindColorInAreaOnTheWholeScreen(benchmark::State& state) {
  for (auto _ : state) {
    qel::ColorFinder::SearchArea area{0, 0, kWidth, kHeight};
    const qel::FoundPoint found =
        backend->finder.FindColorInArea(backend->context, 0, kRareColor, area);
    if (found != qel::FoundPoint{kWidth - 1, 0}) {
      state.SkipWithError("the colour was not found where it is");
      break;
    }
  }
}

// The walk's search over a kept 1080p 8-bit image in which the colour does not occur.
void BM_FindNextColorInImageSearch(benchmark::State& state) {
  qel::ScreenBitmap black(backend->context);
  black.CreateImage(kWidth, kHeight, 24);
  const std::vector<std::uint8_t> image = black.FileBytes();
  backend->finder.FindNextColorInImage(backend->context, image, kRareColor, true);
  for (auto _ : state) {
    benchmark::DoNotOptimize(backend->finder.FindNextColorInImage(backend->context, {}, 0, false));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight);
}

// The conversion alone: a 32-bit section of noise copied into an 8-bit section.
void BM_Convert32To8(benchmark::State& state) {
  using namespace qel;
  Gdi& gdi = backend->gdi;
  const std::vector<RgbQuad> table = testing_palettes::Table256();
  std::uint8_t* sourceBits = nullptr;
  std::uint8_t* targetBits = nullptr;
  const GdiHandle sourceDc = gdi.CreateCompatibleDC(0);
  const GdiHandle targetDc = gdi.CreateCompatibleDC(0);
  const GdiHandle source = gdi.CreateDIBSection(sourceDc, {kWidth, -kHeight, 32, {}}, &sourceBits);
  const GdiHandle target =
      gdi.CreateDIBSection(targetDc, {kWidth, -kHeight, 8, table}, &targetBits);
  gdi.SelectObject(sourceDc, source);
  gdi.SelectObject(targetDc, target);
  auto* sourcePixels = reinterpret_cast<std::uint32_t*>(sourceBits);
  std::minstd_rand random(11);
  for (int i = 0; i < kWidth * kHeight; ++i) sourcePixels[i] = NoiseAt(random);

  for (auto _ : state) {
    gdi.BitBlt(targetDc, 0, 0, kWidth, kHeight, sourceDc, 0, 0, kSrcCopy);
    benchmark::ClobberMemory();
  }

  const int stride = (kWidth + 3) & ~3;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t rgb = sourcePixels[y * kWidth + x];
      const ColorValue color = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
      if (targetBits[y * stride + x] != testing_palettes::NearestByBruteForce(table, color)) {
        state.SkipWithError("the converted image differs from the rule");
        y = kHeight;
        break;
      }
    }
  }
  for (const GdiHandle dc : {sourceDc, targetDc}) gdi.DeleteDC(dc);
  for (const GdiHandle bitmap : {source, target}) gdi.DeleteObject(bitmap);
}

// Each figure is the median of several rounds, floors and peers in the same run.
void Register(const char* name, void (*function)(benchmark::State&), benchmark::TimeUnit unit) {
  benchmark::RegisterBenchmark(name, function)
      ->Unit(unit)
      ->Repetitions(5)
      ->ReportAggregatesOnly(true);
}

void RegisterAll() {
  Register("Floor_BareOnePixelImage", BM_Floor_BareOnePixelImage, benchmark::kMicrosecond);
  Register("GetPixelColor", BM_GetPixelColor, benchmark::kMicrosecond);
  Register("SamplingTickOnTheRealWindow", BM_SamplingTickOnTheRealWindow, benchmark::kMicrosecond);
  Register("Floor_BareSharedMemoryGrab", BM_Floor_BareSharedMemoryGrab, benchmark::kMillisecond);
  Register("Floor_GrabAndOneBlockCopy", BM_Floor_GrabAndOneBlockCopy, benchmark::kMillisecond);
  Register("Floor_GrabAndTwoBottomUpCopies", BM_Floor_GrabAndTwoBottomUpCopies,
           benchmark::kMillisecond);
  Register("Floor_GrabAndTwoBottomUpCopiesClearingTheFourthByte",
           BM_Floor_GrabAndTwoBottomUpCopiesClearingTheFourthByte, benchmark::kMillisecond);
  Register("CaptureScreen32", BM_CaptureScreen32, benchmark::kMillisecond);
  Register("Floor_GrabConvertTo8AndOneBlockCopy", BM_Floor_GrabConvertTo8AndOneBlockCopy,
           benchmark::kMillisecond);
  Register("CaptureScreen8", BM_CaptureScreen8, benchmark::kMillisecond);
  Register("Convert32To8", BM_Convert32To8, benchmark::kMillisecond);
  Register("FindColorInAreaOnTheWholeScreen", BM_FindColorInAreaOnTheWholeScreen,
           benchmark::kMillisecond);
  Register("FindNextColorInImageSearch", BM_FindNextColorInImageSearch, benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const std::unique_ptr<qel::test::Xvfb> server = qel::bench::StartXvfb("sampling");
  if (!server) return 1;
  qputenv("QT_QPA_PLATFORM", "xcb");
  qel::QtWindowSystem windows(argc, argv);
  qel::NullEventSink events;
  mainWindow = windows.LoadMainWindow(qel::MainWindowLayout(), events);
  windows.ShowMainWindow();
  QCoreApplication::processEvents();  // Qel's window is mapped before the noise goes above it
  Floors floorClient;
  Backend realBackend;
  floors = &floorClient;
  backend = &realBackend;
  RegisterAll();
  return qel::bench::RunRegistered();
}
