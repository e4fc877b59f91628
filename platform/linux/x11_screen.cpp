#include "platform/linux/x11_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>

#include <optional>
#include <stdexcept>
#include <utility>

#include "platform/linux/x11_error_trap.h"
#include "platform/linux/x11_pixels.h"

namespace qel {
namespace {

// Small reads cost one round trip either way; only large ones gain from shared memory.
constexpr long kSharedMemoryFromPixels = 64 * 64;

}  // namespace

struct X11Screen::State {
  Display* display = nullptr;
  int screen = 0;
  Window root = 0;
  bool shmAvailable = false;
  XImage* shmImage = nullptr;  // sized for the whole screen once made
  XShmSegmentInfo segment{};

  ~State() {
    if (shmImage != nullptr) {
      XShmDetach(display, &segment);
      XDestroyImage(shmImage);
      shmdt(segment.shmaddr);
    }
    if (display != nullptr) XCloseDisplay(display);
  }

  // Reads a large rectangle into the start of the screen-sized shared segment; the image as read,
  // laid out at the rectangle's stride, not the whole screen's. Nullopt when shared memory is not
  // to be had or the rectangle is small enough for one plain request.
  std::optional<XImage> ReadShared(int x, int y, int width, int height) {
    if (!shmAvailable || static_cast<long>(width) * height < kSharedMemoryFromPixels ||
        !EnsureSharedImage()) {
      return std::nullopt;
    }
    XImage& image = *shmImage;
    const XImage whole = image;
    image.width = width;
    image.height = height;
    image.bytes_per_line = (width * image.bits_per_pixel + image.bitmap_pad - 1) /
                           image.bitmap_pad * (image.bitmap_pad / 8);
    const bool read = XShmGetImage(display, root, &image, x, y, AllPlanes) == True;
    const XImage readImage = image;
    image.width = whole.width;
    image.height = whole.height;
    image.bytes_per_line = whole.bytes_per_line;
    if (!read) return std::nullopt;
    return readImage;
  }

  XPixelFormat FormatOf(const XImage& image) const {
    return {image.bits_per_pixel, image.byte_order == MSBFirst,
            static_cast<std::uint32_t>(image.red_mask),
            static_cast<std::uint32_t>(image.green_mask),
            static_cast<std::uint32_t>(image.blue_mask)};
  }

  bool Copy(const XImage& image, int width, int height, std::uint32_t* pixels,
            std::ptrdiff_t rowStride) const {
    return ConvertXImage(FormatOf(image), reinterpret_cast<const std::uint8_t*>(image.data),
                         image.bytes_per_line, width, height, pixels, rowStride);
  }

  // A shared segment as large as the screen, made on first use; a private key and removal right
  // after attaching leave nothing behind for another process to find.
  bool EnsureSharedImage() {
    if (shmImage != nullptr) return true;
    Visual* visual = DefaultVisual(display, screen);
    const int depth = DefaultDepth(display, screen);
    XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr,
                                    &segment, static_cast<unsigned>(DisplayWidth(display, screen)),
                                    static_cast<unsigned>(DisplayHeight(display, screen)));
    if (image == nullptr) return false;
    segment.shmid = shmget(
        IPC_PRIVATE,
        static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(image->height),
        IPC_CREAT | 0600);
    if (segment.shmid < 0) {
      XDestroyImage(image);
      return false;
    }
    segment.shmaddr = image->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    segment.readOnly = False;
    bool attached = false;
    if (segment.shmaddr != reinterpret_cast<char*>(-1)) {
      // A server on another machine cannot see the segment and refuses it.
      ErrorTrap trap(display);
      attached = XShmAttach(display, &segment) != 0 && !trap.Failed();
    }
    shmctl(segment.shmid, IPC_RMID, nullptr);
    if (!attached) {
      if (segment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(segment.shmaddr);
      image->data = nullptr;
      XDestroyImage(image);
      return false;
    }
    PopulatePages(segment.shmaddr, static_cast<std::size_t>(image->bytes_per_line) *
                                       static_cast<std::size_t>(image->height));
    shmImage = image;
    return true;
  }

  // Maps every page of the new segment at once. Left to faults, the first read of a whole screen
  // takes one fault per page here and another in the server, which costs more than the copy.
  static void PopulatePages(char* address, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    madvise(address, size, MADV_POPULATE_WRITE);  // a hint: older kernels refuse it
#else
    static_cast<void>(address);
    static_cast<void>(size);
#endif
  }
};

X11Screen::X11Screen() = default;

// The connection is made at the first read, so that starting the program does not wait for it.
X11Screen::State& X11Screen::S() const {
  if (state_) return *state_;
  auto state = std::make_unique<State>();
  state->display = XOpenDisplay(nullptr);
  if (state->display == nullptr) throw std::runtime_error("cannot open the X display");
  state->screen = DefaultScreen(state->display);
  state->root = RootWindow(state->display, state->screen);
  int major = 0, minor = 0;
  Bool pixmaps = False;
  state->shmAvailable = XShmQueryVersion(state->display, &major, &minor, &pixmaps) == True;
  state_ = std::move(state);
  return *state_;
}

X11Screen::~X11Screen() = default;

int X11Screen::Width() const { return DisplayWidth(S().display, S().screen); }

int X11Screen::Height() const { return DisplayHeight(S().display, S().screen); }

int X11Screen::BitsPerPixel() const {
  return DibDepthOfVisual(DefaultDepth(S().display, S().screen));
}

bool X11Screen::UsesSharedMemory() const { return S().shmImage != nullptr; }

bool X11Screen::CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                            std::ptrdiff_t rowStride) {
  if (!Inside(x, y, width, height)) return false;
  State& s = S();
  if (const std::optional<XImage> read = s.ReadShared(x, y, width, height)) {
    return s.Copy(*read, width, height, pixels, rowStride);
  }
  XImage* image = XGetImage(s.display, s.root, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const bool converted = s.Copy(*image, width, height, pixels, rowStride);
  XDestroyImage(image);
  return converted;
}

bool X11Screen::VisitRows(int x, int y, int width, int height, std::vector<std::uint32_t>& scratch,
                          const RowsVisitor& visit) {
  if (!Inside(x, y, width, height)) return false;
  State& s = S();
  const std::optional<XImage> read = s.ReadShared(x, y, width, height);
  if (!read || !IsPlainXrgb(s.FormatOf(*read))) {
    return ScreenSource::VisitRows(x, y, width, height, scratch, visit);
  }
  visit(reinterpret_cast<const std::uint32_t*>(read->data), read->bytes_per_line / 4);
  return true;
}

bool X11Screen::Inside(int x, int y, int width, int height) const {
  return width > 0 && height > 0 && x >= 0 && y >= 0 && x <= Width() - width &&
         y <= Height() - height;
}

}  // namespace qel
