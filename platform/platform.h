// Everything the portable program needs from the world, as interfaces with no OS type in them.
// The backends (fake/, linux/, win32/) implement them; `main` picks one and injects it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/control_id.h"
#include "platform/layout.h"

namespace qel {

// 0x00BBGGRR: red in the lowest byte.
using ColorValue = std::uint32_t;
inline constexpr ColorValue kClrInvalid = 0xFFFFFFFFu;

// The program's window handles are 32-bit.
using WindowHandle = std::uint32_t;

// Copy is the user's copy keys (Ctrl+C) pressed in the window where the ordinary copy has nothing
// to take, as no edit box with selected text has the focus; the tab control raises it.
enum class Event : std::uint8_t { Created, Click, Notify, Tick, GotFocus, Copy };

// Where a view sends what happens on its controls. Notify carries two integers.
class EventSink {
 public:
  virtual void Deliver(ControlId control, Event event, std::int32_t a = 0, std::int32_t b = 0) = 0;

 protected:
  ~EventSink() = default;
};

// The control operations the handlers use. Texts are GBK bytes. `Text`/`SetText` cover an edit
// box's text, a button's caption and the window caption.
class Form {
 public:
  virtual ~Form() = default;
  virtual std::string Text(ControlId control) const = 0;
  virtual void SetText(ControlId control, std::string_view text) = 0;
  virtual bool IsChecked(ControlId radio) const = 0;
  virtual int TimerInterval(ControlId timer) const = 0;
  virtual void SetTimerInterval(ControlId timer, int milliseconds) = 0;
  virtual void SetPanelColor(ControlId panel, ColorValue color) = 0;
  virtual void SetPickerColor(ControlId picker, ColorValue color) = 0;
  virtual WindowHandle NativeHandle(ControlId control) = 0;
  // The page the tab control shows, counted from 0.
  virtual int SelectedPage(ControlId tabs) const = 0;
};

// A periodic timer of the platform. The timer rules sit on top of it (ruled_timer.h).
class PlatformTimer {
 public:
  virtual ~PlatformTimer() = default;
  // Starts anew: the first tick comes one full period from now.
  virtual void Start(int periodMs) = 0;
  virtual void Stop() = 0;
};

// Message box styles the program uses, as the platform's style bits.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbIconError = 0x10;
inline constexpr std::uint32_t kMbTaskModal = 0x2000;

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal: events keep arriving while it is open. Owner 0 means no owner window.
  virtual int MessageBox(WindowHandle owner, std::string_view text, std::string_view title,
                         std::uint32_t style) = 0;
};

class Process {
 public:
  virtual ~Process() = default;
  virtual std::string ExecutablePath() const = 0;
  virtual char PathSeparator() const = 0;
  virtual bool SetCurrentDirectory(std::string_view path) = 0;
  // Ends the process at once: no exit routine runs.
  [[noreturn]] virtual void Exit(int code) = 0;
};

// The files of the program's own folder. Paths are GBK, whole and in the platform's form.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Whether anything at all is at the path, a file, a folder or a symbolic link, even one that
  // leads nowhere: links are not followed. An entry that cannot be looked at counts as present.
  virtual bool EntryExists(std::string_view path) = 0;
  // Puts a new file with these bytes at the path, so that the path never names a partial file:
  // the bytes go to a fresh temporary file in the same folder, and only once they are all on disk
  // is it renamed to the path, and only if nothing is there. False on any failure, which leaves
  // no temporary file behind.
  virtual bool WriteNewFile(std::string_view path, std::span<const std::uint8_t> bytes) = 0;
  // Makes hidden the only attribute of the file. False where that cannot be done, or the platform
  // has no such attribute.
  virtual bool SetHiddenAttribute(std::string_view path) = 0;
};

// A loaded shared library; 0 is none.
using LibraryHandle = std::uintptr_t;
// What a library exports, before it is turned into the function type it really has.
using ExportedFunction = void (*)();

// Shared libraries, loaded at run time.
class LibraryLoader {
 public:
  virtual ~LibraryLoader() = default;
  // A path with a separator loads that very file; a bare name goes through the platform's own
  // library search. 0 when nothing can be loaded.
  virtual LibraryHandle Load(std::string_view pathOrName) = 0;
  // The function the library exports under the name, or null.
  virtual ExportedFunction Find(LibraryHandle library, std::string_view name) = 0;
  virtual void Unload(LibraryHandle library) = 0;
};

// The windowing system: loads the main window from the layout and runs the message loop.
class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // Creates the window and every control, all hidden; null when the window cannot be made.
  virtual Form* LoadMainWindow(const Layout& layout, EventSink& events) = 0;
  virtual void ShowMainWindow() = 0;
  // Returns when no window of the program remains.
  virtual void RunMessageLoop() = 0;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// Left/top inclusive, right/bottom exclusive, as the platform's rectangles are.
struct WindowRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

inline bool Contains(const WindowRect& rect, ScreenPoint point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

// An image exchanged with the platform's image services: rows top-down, pixels 0xAARRGGBB
// (alpha 255 is opaque, colours not premultiplied).
struct ArgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// The screen as a source of pixels, and its current display mode.
class ScreenSource {
 public:
  virtual ~ScreenSource() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int BitsPerPixel() const = 0;
  // Fills width x height pixels as 0x00RRGGBB for a rectangle that lies inside the screen: the
  // top row at `pixels`, each further row `rowStride` pixels after the one above it (negative for
  // the rows of a bottom-up bitmap). False when the screen cannot be read.
  virtual bool CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                           std::ptrdiff_t rowStride) = 0;
  // Lends the pixels of a rectangle inside Bounds() to `visit`, without a copy where the screen
  // can: 0x??RRGGBB (the top byte means nothing), the top row at `pixels`, rows `rowStride`
  // pixels apart, valid during the call only. Where it must copy, it copies into `scratch`. False
  // when the screen cannot be read.
  using RowsVisitor = std::function<void(const std::uint32_t* pixels, std::ptrdiff_t rowStride)>;
  virtual bool VisitRows(int x, int y, int width, int height, std::vector<std::uint32_t>& scratch,
                         const RowsVisitor& visit) {
    scratch.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (!CaptureRows(x, y, width, height, scratch.data(), width)) return false;
    visit(scratch.data(), width);
    return true;
  }
  // Where the screen's pixels lie: the whole desktop over every monitor, which may start left of
  // or above the primary display's origin. Width and Height above are the primary display's.
  virtual WindowRect Bounds() const { return {0, 0, Width(), Height()}; }
  // The dots per inch that font sizes in points are turned into pixels with.
  virtual int LogicalDotsPerInch() const { return 96; }
  // The same into rows that follow one another.
  bool Capture(int x, int y, int width, int height, std::uint32_t* pixels) {
    return CaptureRows(x, y, width, height, pixels, width);
  }
};

// The desktop's cursor and windows, as the sampler and window capture query them. Titles and class
// names are GBK. A handle that is not a window gives 0, false or nothing.
class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual ScreenPoint CursorPosition() = 0;
  // The deepest visible window under the point, or 0.
  virtual WindowHandle WindowFromPoint(ScreenPoint point) = 0;
  virtual WindowHandle Parent(WindowHandle window) = 0;
  // The next window in the sibling order (below this one), or 0.
  virtual WindowHandle NextSibling(WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  virtual bool IsVisible(WindowHandle window) = 0;
  virtual bool IsIconic(WindowHandle window) = 0;
  // Screen coordinates, frame included.
  virtual std::optional<WindowRect> WindowRectOf(WindowHandle window) = 0;
  // Client coordinates: left and top are 0.
  virtual std::optional<WindowRect> ClientRectOf(WindowHandle window) = 0;
  virtual std::optional<ScreenPoint> ClientToScreen(WindowHandle window, ScreenPoint point) = 0;
  virtual std::string Title(WindowHandle window) = 0;
  virtual std::optional<std::string> ClassName(WindowHandle window) = 0;
  // The window's own drawing, frame included, whatever covers it: width x height pixels of its
  // window rectangle as 0x00RRGGBB, rows top-down. False when the window cannot draw itself.
  virtual bool PrintWindow(WindowHandle window, int width, int height, std::uint32_t* pixels) = 0;
  // Draws width x height pixels (0x00RRGGBB, rows top-down) at (x, y) of the window's client area,
  // clipped to it, as drawing into the window's DC does. False when the window cannot be drawn on.
  virtual bool DrawToWindow(WindowHandle window, int x, int y, int width, int height,
                            const std::uint32_t* pixels) = 0;
  // Every icon the window offers for itself, largest first; empty when it offers none.
  virtual std::vector<ArgbImage> WindowIcons(WindowHandle window) = 0;
};

// A font as GDI's CreateFont asks for one.
struct FontRequest {
  std::int32_t height = 0;    // above 0: cell height (ascent + descent) in pixels; below 0: the
                              // characters' own height; 0: a default size
  std::int32_t weight = 400;  // 400 regular, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = 0;  // 134: the face should have the GB2312 characters
  std::string face;          // GBK; a face the system lacks is replaced by its nearest one
};

// Text as a font draws it: how much of each pixel the glyphs cover, 0 (none) to 255 (all), rows
// top-down, `width` bytes each. The text's cell starts at (0, 0) and is `height` rows high.
struct TextCoverage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;
};

// The desktop's clipboard, and the images that only the platform makes: decoded PNG, drawn text.
class ImageServices {
 public:
  virtual ~ImageServices() = default;
  // Offers the image to every other program in the usual image formats; false when the clipboard
  // cannot be taken.
  virtual bool SetClipboardImage(const ArgbImage& image) = 0;
  // The image another program offers, in whichever image format it offers; nullopt when there is
  // none.
  virtual std::optional<ArgbImage> ClipboardImage() = 0;
  // Offers the GBK text to every other program as plain Unicode text, in place of whatever the
  // clipboard held; false when the clipboard cannot be taken.
  virtual bool SetClipboardText(std::string_view text) = 0;
  // A PNG image, as icon files embed them; nullopt when the bytes are not one.
  virtual std::optional<ArgbImage> DecodePng(std::span<const std::uint8_t> bytes) = 0;
  // GBK text in the font, aliased (every pixel covered fully or not at all), so that the same
  // text in the same font is the same pixels wherever it is drawn. nullopt when no font can be
  // had here.
  virtual std::optional<TextCoverage> RenderText(const FontRequest& font,
                                                 std::string_view text) = 0;
};

inline constexpr std::uint32_t kWmHotkey = 0x0312;
// A label that receives this message raises its notification event with the message's numbers.
inline constexpr std::uint32_t kLabelNotifyMessage = 0x8075;

// System-wide hotkeys and window messages, the way the platform delivers them to a window.
class HotkeyService {
 public:
  // Sees one message of a hooked window before the window's own processing does.
  using MessageHook = std::function<void(WindowHandle window, std::uint32_t message,
                                         std::uintptr_t wParam, std::intptr_t lParam)>;

  virtual ~HotkeyService() = default;
  // From now on every message of `window` passes through `hook` first, then goes on as before.
  virtual bool HookWindowMessages(WindowHandle window, MessageHook hook) = 0;
  // False when the key is not to be had, for instance because another program holds it.
  virtual bool RegisterHotKey(WindowHandle window, std::int32_t id, std::uint32_t modifiers,
                              std::uint32_t virtualKey) = 0;
  // Delivers a message to a window synchronously.
  virtual void SendMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam) = 0;
};

// Lets the window system handle what waits on the calling thread (repaints, timers, input) in the
// middle of a long computation there, so a window on that thread stays responsive.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void ProcessPendingEvents() = 0;
};

// Where there is no window system to keep responsive: command-line tools, script modules.
class NoEventPump final : public EventPump {
 public:
  void ProcessPendingEvents() override {}
};

struct Platform {
  Process& process;
  Dialogs& dialogs;
  WindowSystem& windows;
  Desktop& desktop;
  ScreenSource& screen;
  HotkeyService& hotkeys;
  ImageServices& images;
  EventPump& events;
  FileSystem& files;
  LibraryLoader& libraries;
};

}  // namespace qel
