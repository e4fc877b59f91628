#include "platform/linux/x11_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xcomposite.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/linux/gbk.h"
#include "platform/linux/x11_error_trap.h"
#include "platform/linux/x11_icon_property.h"
#include "platform/linux/x11_pixels.h"
#include "platform/linux/x11_window_cache.h"
#include "platform/linux/x11_window_drawing.h"

namespace qel {
namespace {

constexpr long kIconicState = 3;
// Room for several icons of the largest size a window may offer, in 32-bit items.
constexpr long kMaxIconItems = 4 * (2 + kMaxIconSide * kMaxIconSide);

// An image whose pixel bytes the caller owns: Xlib must not free them with the image.
struct BorrowedImageDeleter {
  void operator()(XImage* image) const {
    image->data = nullptr;
    XDestroyImage(image);
  }
};
using BorrowedImage = std::unique_ptr<XImage, BorrowedImageDeleter>;

class GraphicsContext {
 public:
  GraphicsContext(Display* display, Drawable drawable)
      : display_(display), gc_(XCreateGC(display, drawable, 0, nullptr)) {}
  ~GraphicsContext() { XFreeGC(display_, gc_); }
  GraphicsContext(const GraphicsContext&) = delete;
  GraphicsContext& operator=(const GraphicsContext&) = delete;
  GC Get() const { return gc_; }

 private:
  Display* display_;
  GC gc_;
};

struct PropertyDataDeleter {
  void operator()(unsigned char* data) const { XFree(data); }
};

}  // namespace

struct X11Desktop::State {
  Display* display = nullptr;
  Window root = 0;
  Atom wmState = 0;
  Atom netWmName = 0;
  Atom netWmIcon = 0;
  Atom utf8String = 0;
  bool composite = false;
  mutable std::optional<X11WindowCache> cache;  // made once the atoms are known

  ~State() {
    if (display != nullptr) XCloseDisplay(display);
  }

  std::optional<X11Tree> QueryTree(Window window) const {
    return cache->Remember(window, &X11WindowCache::Entry::tree, [&] { return LoadTree(window); });
  }
  std::optional<X11Tree> LoadTree(Window window) const {
    ErrorTrap trap(display);
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    const Status ok = XQueryTree(display, window, &rootReturn, &parent, &children, &count);
    std::optional<X11Tree> tree;
    if (ok != 0 && !trap.Failed())
      tree = X11Tree{parent, std::vector<Window>(children, children + count)};
    if (children != nullptr) XFree(children);
    return tree;
  }

  std::optional<XWindowAttributes> Attributes(Window window) const {
    if (window == 0) return std::nullopt;
    return cache->Remember(window, &X11WindowCache::Entry::attributes,
                           [&] { return LoadAttributes(window); });
  }
  std::optional<XWindowAttributes> LoadAttributes(Window window) const {
    ErrorTrap trap(display);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 || trap.Failed()) {
      return std::nullopt;
    }
    return attributes;
  }

  std::optional<long> WmState(Window window) const {
    return cache->Remember(window, &X11WindowCache::Entry::wmState,
                           [&] { return LoadWmState(window); });
  }
  std::optional<long> LoadWmState(Window window) const {
    ErrorTrap trap(display);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<long> state;
    if (XGetWindowProperty(display, window, wmState, 0, 2, False, wmState, &type, &format, &count,
                           &after, &data) == Success &&
        !trap.Failed() && data != nullptr && count > 0 && format == 32) {
      state = reinterpret_cast<const long*>(data)[0];
    }
    if (data != nullptr) XFree(data);
    return state;
  }

  bool IsClient(Window window) const { return WmState(window).has_value(); }

  // The ancestor that is a child of the root: the window manager's frame, or the window itself.
  Window TopLevelOf(Window window) const {
    for (Window current = window;;) {
      const auto tree = QueryTree(current);
      if (!tree || tree->parent == 0) return current;
      if (tree->parent == root) return current;
      current = tree->parent;
    }
  }

  // The application's window inside a top-level frame: the first one carrying WM_STATE.
  Window ClientOf(Window topLevel) const {
    if (IsClient(topLevel)) return topLevel;
    std::vector<Window> pending{topLevel};
    for (std::size_t i = 0; i < pending.size() && i < 4096; ++i) {
      const auto tree = QueryTree(pending[i]);
      if (!tree) continue;
      for (auto child = tree->children.rbegin(); child != tree->children.rend(); ++child) {
        if (IsClient(*child)) return *child;
        pending.push_back(*child);
      }
    }
    return topLevel;
  }

  bool IsTopLevel(Window window) const {
    if (IsClient(window)) return true;
    const auto tree = QueryTree(window);
    return tree && tree->parent == root;
  }

  // The child of `window` holding the root point (x, y), 0 for none; nullopt when it is gone.
  std::optional<Window> ChildAt(Window window, ScreenPoint point) const {
    return cache->ChildAt(window, point.x, point.y, [&]() -> std::optional<Window> {
      ErrorTrap trap(display);
      int x = 0, y = 0;
      Window child = 0;
      XTranslateCoordinates(display, root, window, point.x, point.y, &x, &y, &child);
      if (trap.Failed()) return std::nullopt;
      return child;
    });
  }

  std::string LoadTitle(Window window);
  std::optional<std::string> LoadClassName(Window window);

  // A window's place on the root moves with any of its ancestors: walking up to the top level
  // first has every ancestor watched, so the remembered place is forgotten when one moves.
  std::optional<WindowRect> RootRect(Window window) const {
    TopLevelOf(window);
    return cache->Remember(window, &X11WindowCache::Entry::rootRect,
                           [&] { return LoadRootRect(window); });
  }
  std::optional<WindowRect> LoadRootRect(Window window) const {
    const auto attributes = Attributes(window);
    if (!attributes) return std::nullopt;
    ErrorTrap trap(display);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, root, -attributes->border_width,
                          -attributes->border_width, &x, &y, &child);
    if (trap.Failed()) return std::nullopt;
    const int border = 2 * attributes->border_width;
    return WindowRect{x, y, x + attributes->width + border, y + attributes->height + border};
  }
};

X11Desktop::X11Desktop() = default;

// The connection is made at the first query, so that starting the program does not wait for it.
X11Desktop::State& X11Desktop::Connection() {
  if (state_) return *state_;
  auto state = std::make_unique<State>();
  State& s = *state;
  s.display = XOpenDisplay(nullptr);
  if (s.display == nullptr) throw std::runtime_error("cannot open the X display");
  s.root = DefaultRootWindow(s.display);
  s.wmState = XInternAtom(s.display, "WM_STATE", False);
  s.netWmName = XInternAtom(s.display, "_NET_WM_NAME", False);
  s.netWmIcon = XInternAtom(s.display, "_NET_WM_ICON", False);
  s.utf8String = XInternAtom(s.display, "UTF8_STRING", False);
  int event = 0, error = 0;
  s.composite = XCompositeQueryExtension(s.display, &event, &error) != 0;
  // The server keeps every top-level window's drawing in a pixmap of its own from now on, so a
  // covered window can still be read.
  if (s.composite) XCompositeRedirectSubwindows(s.display, s.root, CompositeRedirectAutomatic);
  s.cache.emplace(s.display, s.root, s.wmState, XInternAtom(s.display, "WM_NAME", False),
                  s.netWmName);
  XSync(s.display, False);
  state_ = std::move(state);
  if (connected_) connected_(ConnectionNumber(state_->display));
  return *state_;
}

// Sampling asks a few dozen questions a tick; a look at the socket for each would cost a system
// call each time.
X11Desktop::State& X11Desktop::S() {
  State& s = Connection();
  if (connected_) {
    s.cache->TakeReadEvents();
  } else {
    s.cache->ReadEvents();
  }
  return s;
}

void X11Desktop::ReadEvents() {
  if (state_) state_->cache->ReadEvents();
}

X11Desktop::~X11Desktop() = default;

// Nothing remembered is used here, so the news can wait for the next question that needs it. The
// root's child under the pointer comes with the answer, which spares the question for the window
// under the cursor, asked next, one round trip.
ScreenPoint X11Desktop::CursorPosition() {
  State& s = Connection();
  Window rootReturn = 0, child = 0;
  int x = 0, y = 0, windowX = 0, windowY = 0;
  unsigned int mask = 0;
  if (XQueryPointer(s.display, s.root, &rootReturn, &child, &x, &y, &windowX, &windowY, &mask)) {
    s.cache->KnowChildAt(s.root, x, y, child);
  }
  return {x, y};
}

WindowHandle X11Desktop::WindowFromPoint(ScreenPoint point) {
  State& s = S();
  const auto top = s.ChildAt(s.root, point);
  if (!top || *top == 0) return 0;
  Window current = s.ClientOf(*top);
  const auto clientRect = s.RootRect(current);
  // On the frame's own decorations the application's window stands for the frame.
  if (clientRect && Contains(*clientRect, point)) {
    while (const auto child = s.ChildAt(current, point)) {
      if (*child == 0) break;
      current = *child;
    }
  }
  return static_cast<WindowHandle>(current);
}

WindowHandle X11Desktop::Parent(WindowHandle window) {
  State& s = S();
  if (window == 0 || s.IsTopLevel(window)) return 0;
  const auto tree = s.QueryTree(window);
  return tree ? static_cast<WindowHandle>(tree->parent) : 0;
}

WindowHandle X11Desktop::NextSibling(WindowHandle window) {
  State& s = S();
  const bool topLevel = s.IsTopLevel(window);
  const Window self = topLevel ? s.TopLevelOf(window) : window;
  const auto tree = s.QueryTree(self);
  if (!tree) return 0;
  const auto parent = s.QueryTree(tree->parent);
  if (!parent) return 0;
  const auto& children = parent->children;
  for (std::size_t i = 1; i < children.size(); ++i) {
    if (children[i] == self) {
      const Window below = children[i - 1];
      return static_cast<WindowHandle>(topLevel ? s.ClientOf(below) : below);
    }
  }
  return 0;
}

bool X11Desktop::IsWindow(WindowHandle window) { return S().Attributes(window).has_value(); }

bool X11Desktop::IsVisible(WindowHandle window) {
  const auto attributes = S().Attributes(window);
  return attributes && attributes->map_state == IsViewable;
}

bool X11Desktop::IsIconic(WindowHandle window) {
  return S().WmState(window).value_or(0) == kIconicState;
}

std::optional<WindowRect> X11Desktop::WindowRectOf(WindowHandle window) {
  State& s = S();
  if (!s.Attributes(window)) return std::nullopt;
  return s.RootRect(s.IsTopLevel(window) ? s.TopLevelOf(window) : window);
}

std::optional<WindowRect> X11Desktop::ClientRectOf(WindowHandle window) {
  const auto attributes = S().Attributes(window);
  if (!attributes) return std::nullopt;
  return WindowRect{0, 0, attributes->width, attributes->height};
}

std::optional<ScreenPoint> X11Desktop::ClientToScreen(WindowHandle window, ScreenPoint point) {
  State& s = S();
  if (!s.Attributes(window)) return std::nullopt;
  ErrorTrap trap(s.display);
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(s.display, window, s.root, point.x, point.y, &x, &y, &child);
  if (trap.Failed()) return std::nullopt;
  return ScreenPoint{x, y};
}

std::string X11Desktop::Title(WindowHandle window) {
  State& s = S();
  if (window == 0) return {};
  return s.cache->Remember(window, &X11WindowCache::Entry::title,
                           [&] { return s.LoadTitle(window); });
}

std::string X11Desktop::State::LoadTitle(Window window) {
  State& s = *this;
  ErrorTrap trap(s.display);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  std::string utf8;
  if (XGetWindowProperty(s.display, window, s.netWmName, 0, 1 << 16, False, s.utf8String, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && format == 8) {
    utf8.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data != nullptr) XFree(data);
  if (utf8.empty()) {
    XTextProperty property{};
    if (XGetWMName(s.display, window, &property) != 0 && property.value != nullptr) {
      char** list = nullptr;
      int items = 0;
      if (Xutf8TextPropertyToTextList(s.display, &property, &list, &items) >= Success &&
          items > 0 && list != nullptr) {
        utf8 = list[0];
      }
      if (list != nullptr) XFreeStringList(list);
      XFree(property.value);
    }
  }
  if (trap.Failed()) return {};
  return Utf8ToGbk(utf8);
}

std::optional<std::string> X11Desktop::ClassName(WindowHandle window) {
  State& s = S();
  if (window == 0) return std::nullopt;
  return s.cache->Remember(window, &X11WindowCache::Entry::className,
                           [&] { return s.LoadClassName(window); });
}

std::optional<std::string> X11Desktop::State::LoadClassName(Window window) {
  State& s = *this;
  ErrorTrap trap(s.display);
  XClassHint hint{};
  std::optional<std::string> name;
  if (XGetClassHint(s.display, window, &hint) != 0) {
    name = hint.res_class != nullptr ? Utf8ToGbk(hint.res_class) : std::string();
    if (hint.res_name != nullptr) XFree(hint.res_name);
    if (hint.res_class != nullptr) XFree(hint.res_class);
  } else if (!trap.Failed()) {
    name = std::string();  // a window without a class hint still has a class, an empty one
  }
  if (trap.Failed()) return std::nullopt;
  return name;
}

bool X11Desktop::PrintWindow(WindowHandle window, int width, int height, std::uint32_t* pixels) {
  State& s = S();
  if (!s.composite || width <= 0 || height <= 0) return false;
  const Window drawn = s.IsTopLevel(window) ? s.TopLevelOf(window) : window;
  const auto attributes = s.Attributes(drawn);
  if (!attributes || attributes->map_state != IsViewable) return false;
  ErrorTrap trap(s.display);
  const Pixmap pixmap = XCompositeNameWindowPixmap(s.display, drawn);
  XImage* image = trap.Failed()
                      ? nullptr
                      : XGetImage(s.display, pixmap, 0, 0,
                                  static_cast<unsigned>(std::min(width, attributes->width)),
                                  static_cast<unsigned>(std::min(height, attributes->height)),
                                  AllPlanes, ZPixmap);
  bool drawnOk = image != nullptr && !trap.Failed();
  if (drawnOk) {
    // An image of a pixmap carries no colour masks: the window's visual has them.
    const Visual& visual = *attributes->visual;
    const XPixelFormat format{image->bits_per_pixel, image->byte_order == MSBFirst,
                              static_cast<std::uint32_t>(visual.red_mask),
                              static_cast<std::uint32_t>(visual.green_mask),
                              static_cast<std::uint32_t>(visual.blue_mask)};
    std::fill(pixels, pixels + static_cast<std::ptrdiff_t>(width) * height, 0u);
    drawnOk = ConvertXImage(format, reinterpret_cast<const std::uint8_t*>(image->data),
                            image->bytes_per_line, image->width, image->height, pixels, width);
  }
  if (image != nullptr) XDestroyImage(image);
  if (pixmap != 0) XFreePixmap(s.display, pixmap);
  return drawnOk;
}

// The window's own area is its client area (see ClientRectOf), so the pixels go straight onto it.
bool X11Desktop::DrawToWindow(WindowHandle window, int x, int y, int width, int height,
                              const std::uint32_t* pixels) {
  State& s = S();
  const auto attributes = s.Attributes(window);
  if (!attributes || attributes->c_class != InputOutput || width < 0 || height < 0) return false;
  const Visual& visual = *attributes->visual;
  if (visual.c_class != TrueColor || (attributes->depth != 24 && attributes->depth != 32)) {
    return false;
  }
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int right = std::min(static_cast<long>(attributes->width), static_cast<long>(x) + width);
  const int bottom = std::min(static_cast<long>(attributes->height), static_cast<long>(y) + height);
  if (left >= right || top >= bottom) return true;  // nothing of it falls inside

  const int drawnWidth = right - left, drawnHeight = bottom - top;
  BorrowedImage image(XCreateImage(
      s.display, attributes->visual, static_cast<unsigned>(attributes->depth), ZPixmap, 0, nullptr,
      static_cast<unsigned>(drawnWidth), static_cast<unsigned>(drawnHeight), 32, 0));
  if (!image) return false;
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(image->bytes_per_line) * drawnHeight);
  image->data = reinterpret_cast<char*>(bytes.data());
  const XPixelFormat format{image->bits_per_pixel, image->byte_order == MSBFirst,
                            static_cast<std::uint32_t>(visual.red_mask),
                            static_cast<std::uint32_t>(visual.green_mask),
                            static_cast<std::uint32_t>(visual.blue_mask)};
  // The bits no colour uses are a 32-bit visual's alpha, which must say opaque.
  const std::uint32_t colourBits = format.redMask | format.greenMask | format.blueMask;
  const std::uint32_t alphaBits = attributes->depth == 32 ? ~colourBits : 0;
  const std::uint32_t* first = pixels + static_cast<std::ptrdiff_t>(top - y) * width + (left - x);
  if (!PackXImage(format, alphaBits, first, width, drawnWidth, drawnHeight, bytes.data(),
                  image->bytes_per_line)) {
    return false;
  }
  ErrorTrap trap(s.display);
  GraphicsContext gc(s.display, window);
  XPutImage(s.display, window, gc.Get(), image.get(), 0, 0, left, top,
            static_cast<unsigned>(drawnWidth), static_cast<unsigned>(drawnHeight));
  // Waiting for the server makes the drawing visible to whoever looks next.
  XSync(s.display, False);
  return !trap.Failed();
}

std::vector<ArgbImage> X11Desktop::WindowIcons(WindowHandle window) {
  State& s = S();
  if (!s.Attributes(window)) return {};
  // A frame carries no icon of its own: the application's window inside it does.
  const Window owner = s.IsTopLevel(window) ? s.ClientOf(s.TopLevelOf(window)) : window;
  ErrorTrap trap(s.display);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* raw = nullptr;
  const int status = XGetWindowProperty(s.display, owner, s.netWmIcon, 0, kMaxIconItems, False,
                                        XA_CARDINAL, &type, &format, &count, &after, &raw);
  const std::unique_ptr<unsigned char, PropertyDataDeleter> data(raw);
  if (status != Success || trap.Failed() || data == nullptr || type != XA_CARDINAL ||
      format != 32) {
    return {};
  }
  return ParseNetWmIcon({reinterpret_cast<const unsigned long*>(data.get()), count});
}

}  // namespace qel
