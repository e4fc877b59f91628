#include "tests/support/x11_client.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <poll.h>

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

namespace qel::test {
namespace {

Display* D(void* display) { return static_cast<Display*>(display); }

std::string StringProperty(Display* display, Window window, const char* name, Atom type) {
  Atom actualType;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 16, False,
                         type, &actualType, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    value.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data != nullptr) XFree(data);
  return value;
}

}  // namespace

X11Client::X11Client() : display_(XOpenDisplay(nullptr)) {
  if (display_ == nullptr) throw std::runtime_error("cannot open the X display");
  Display* display = D(display_);
  helperWindow_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
}

X11Client::~X11Client() {
  XDestroyWindow(D(display_), helperWindow_);
  XCloseDisplay(D(display_));
}

std::string X11Client::Title(std::uint32_t window) {
  Display* display = D(display_);
  std::string title =
      StringProperty(display, window, "_NET_WM_NAME", XInternAtom(display, "UTF8_STRING", False));
  return title.empty() ? StringProperty(display, window, "WM_NAME", AnyPropertyType) : title;
}

std::optional<std::uint32_t> X11Client::WaitForWindow(const std::string& title,
                                                      std::chrono::milliseconds timeout) {
  Display* display = D(display_);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    std::optional<std::uint32_t> found;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable && Title(children[i]) == title) {
          found = static_cast<std::uint32_t>(children[i]);
        }
      }
      if (children != nullptr) XFree(children);
    }
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

void X11Client::WatchMaps() {
  Display* display = D(display_);
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  Sync();
}

std::optional<std::uint32_t> X11Client::WaitForMap(const std::string& title,
                                                   std::chrono::milliseconds timeout) {
  Display* display = D(display_);
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  pollfd connection{ConnectionNumber(display), POLLIN, 0};
  while (std::chrono::steady_clock::now() < deadline) {
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && Title(event.xmap.window) == title) {
        return static_cast<std::uint32_t>(event.xmap.window);
      }
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    poll(&connection, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
  }
  return std::nullopt;
}

ScreenRect X11Client::Geometry(std::uint32_t window) {
  Display* display = D(display_);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, window, &attributes);
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
  return {x, y, attributes.width, attributes.height};
}

WindowFacts X11Client::Facts(std::uint32_t window) {
  Display* display = D(display_);
  WindowFacts facts;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  XWindowAttributes attributes;
  // A window that is gone answers with an error, which is an answer here.
  XSync(display, False);
  const auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  const bool exists = XGetWindowAttributes(display, window, &attributes) != 0 &&
                      XQueryTree(display, window, &root, &parent, &children, &count) != 0;
  XSync(display, False);
  XSetErrorHandler(previous);
  if (children != nullptr) XFree(children);
  if (!exists) return facts;
  facts.exists = true;
  facts.mapped = attributes.map_state != IsUnmapped;
  facts.inputOnly = attributes.c_class == InputOnly;
  facts.parent = static_cast<std::uint32_t>(parent);
  facts.root = static_cast<std::uint32_t>(root);
  return facts;
}

bool X11Client::HasNetWmState(std::uint32_t window, const char* state) {
  Display* display = D(display_);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  bool found = false;
  if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), 0, 64,
                         False, XA_ATOM, &type, &format, &count, &after, &data) == Success &&
      data != nullptr) {
    const Atom wanted = XInternAtom(display, state, False);
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) found = found || atoms[i] == wanted;
  }
  if (data != nullptr) XFree(data);
  return found;
}

SizeLimits X11Client::NormalHints(std::uint32_t window) {
  XSizeHints hints{};
  long supplied = 0;
  SizeLimits limits;
  if (!XGetWMNormalHints(D(display_), window, &hints, &supplied)) return limits;
  limits.hasMin = (hints.flags & PMinSize) != 0;
  limits.hasMax = (hints.flags & PMaxSize) != 0;
  limits.minWidth = hints.min_width;
  limits.minHeight = hints.min_height;
  limits.maxWidth = hints.max_width;
  limits.maxHeight = hints.max_height;
  return limits;
}

std::uint32_t X11Client::PixelAt(int x, int y) {
  Display* display = D(display_);
  XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
  if (image == nullptr) return 0xFFFFFFFFu;
  const unsigned long pixel = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return static_cast<std::uint32_t>(pixel & 0xFFFFFF);
}

void X11Client::Click(int x, int y) {
  Display* display = D(display_);
  XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  Sync();
}

void X11Client::PressKey(const char* keysymName) {
  Display* display = D(display_);
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  Sync();
}

void X11Client::TypeText(const std::string& ascii) {
  Display* display = D(display_);
  const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
  for (const char c : ascii) {
    const KeySym sym = static_cast<unsigned char>(c);  // Latin-1 keysyms equal their codes
    const KeyCode code = XKeysymToKeycode(display, sym);
    const bool shifted = XkbKeycodeToKeysym(display, code, 0, 0) != sym;
    if (shifted) XTestFakeKeyEvent(display, shift, True, CurrentTime);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (shifted) XTestFakeKeyEvent(display, shift, False, CurrentTime);
  }
  Sync();
}

void X11Client::ControlKey(char letter) {
  Display* display = D(display_);
  const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
  const KeyCode code = XKeysymToKeycode(display, static_cast<KeySym>(letter));
  XTestFakeKeyEvent(display, control, True, CurrentTime);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  XTestFakeKeyEvent(display, control, False, CurrentTime);
  Sync();
}

void X11Client::Sync() { XSync(D(display_), False); }

std::uint32_t X11Client::CreateWindow(const ScreenRect& rect, std::uint32_t rgb,
                                      const std::string& title, const std::string& className,
                                      std::uint32_t parent) {
  Display* display = D(display_);
  const Window parentWindow = parent != 0 ? parent : DefaultRootWindow(display);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = rgb;
  attributes.override_redirect = False;
  const Window window =
      XCreateWindow(display, parentWindow, rect.x, rect.y, static_cast<unsigned>(rect.width),
                    static_cast<unsigned>(rect.height), 0, CopyFromParent, InputOutput,
                    CopyFromParent, CWBackPixel, &attributes);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
  std::string name = className;
  XClassHint hint{name.data(), name.data()};
  XSetClassHint(display, window, &hint);
  if (parent == 0) {
    // Placed where asked, also by a window manager, as a user-placed window is.
    XSizeHints placement{};
    placement.flags = USPosition | USSize;
    placement.x = rect.x;
    placement.y = rect.y;
    placement.width = rect.width;
    placement.height = rect.height;
    XSetWMNormalHints(display, window, &placement);
    const long normal[2] = {1, 0};  // NormalState, as a window manager marks a managed window
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(normal), 2);
  }
  XMapWindow(display, window);
  Sync();
  return static_cast<std::uint32_t>(window);
}

void X11Client::DestroyWindow(std::uint32_t window) {
  XDestroyWindow(D(display_), window);
  Sync();
}

void X11Client::RaiseWindow(std::uint32_t window) {
  XRaiseWindow(D(display_), window);
  Sync();
}

void X11Client::MoveWindow(std::uint32_t window, int x, int y) {
  XMoveWindow(D(display_), window, x, y);
  Sync();
}

void X11Client::SetTitle(std::uint32_t window, const std::string& title) {
  Display* display = D(display_);
  XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                  XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()),
                  static_cast<int>(title.size()));
  Sync();
}

void X11Client::MarkIconic(std::uint32_t window) {
  Display* display = D(display_);
  XUnmapWindow(display, window);
  const long iconic[2] = {3, 0};
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  XChangeProperty(display, window, wmState, wmState, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(iconic), 2);
  Sync();
}

void X11Client::RequestIconic(std::uint32_t window) {
  Display* display = D(display_);
  XIconifyWindow(display, window, DefaultScreen(display));
  Sync();
}

bool X11Client::WindowManagerRuns() {
  // A window manager that follows the freedesktop.org hints names a window of its own on the
  // root once it has taken over. Only looked at: trying to take the root over to find out would
  // race with a manager that is starting.
  Display* display = D(display_);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool named =
      XGetWindowProperty(display, DefaultRootWindow(display),
                         XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                         XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
      data != nullptr && count == 1 && format == 32;
  if (data != nullptr) XFree(data);
  return named;
}

void X11Client::Focus(std::uint32_t window) {
  XSetInputFocus(D(display_), window, RevertToParent, CurrentTime);
  Sync();
}

bool X11Client::GrabKey(const char* keysymName) {
  Display* display = D(display_);
  const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName));
  static bool refused = false;
  refused = false;
  const auto previous = XSetErrorHandler([](Display*, XErrorEvent*) {
    refused = true;
    return 0;
  });
  XGrabKey(display, code, AnyModifier, DefaultRootWindow(display), True, GrabModeAsync,
           GrabModeAsync);
  Sync();
  XSetErrorHandler(previous);
  return !refused;
}

void X11Client::MovePointer(int x, int y) {
  XTestFakeMotionEvent(D(display_), -1, x, y, CurrentTime);
  Sync();
}

void X11Client::RequestClose(std::uint32_t window) {
  Display* display = D(display_);
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  Sync();
}

void X11Client::ClearClipboardOwner() {
  Display* display = D(display_);
  XSetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False), None, CurrentTime);
  Sync();
}

std::string X11Client::ReadClipboard(std::chrono::milliseconds timeout) {
  Display* display = D(display_);
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom property = XInternAtom(display, "QEL_TEST_CLIPBOARD", False);
  if (XGetSelectionOwner(display, clipboard) == None) return {};
  XConvertSelection(display, clipboard, utf8, property, helperWindow_, CurrentTime);
  Sync();
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    XEvent event;
    if (XCheckTypedWindowEvent(display, helperWindow_, SelectionNotify, &event)) {
      if (event.xselection.property == None) return {};
      std::string text = StringProperty(display, helperWindow_, "QEL_TEST_CLIPBOARD", utf8);
      XDeleteProperty(display, helperWindow_, property);
      return text;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

}  // namespace qel::test
