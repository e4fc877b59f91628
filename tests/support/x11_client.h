// A test's own connection to the X server: finds windows, reads their properties and pixels, and
// drives them the way a user does (XTest pointer and keys, the clipboard). No X header leaks out.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace qel::test {

struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// How a window stands in the server's tree.
struct WindowFacts {
  bool exists = false;
  bool mapped = false;
  bool inputOnly = false;
  std::uint32_t parent = 0;
  std::uint32_t root = 0;
};

struct SizeLimits {
  bool hasMin = false;
  bool hasMax = false;
  int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
};

class X11Client {
 public:
  X11Client();  // connects to DISPLAY; throws std::runtime_error when it cannot
  ~X11Client();
  X11Client(const X11Client&) = delete;
  X11Client& operator=(const X11Client&) = delete;

  // A top-level window whose title (UTF-8) is `title`, waiting for it to be mapped.
  std::optional<std::uint32_t> WaitForWindow(const std::string& title,
                                             std::chrono::milliseconds timeout);
  // Event-driven form of WaitForWindow for timing: call WatchMaps before starting the program, then
  // WaitForMap returns as soon as the server maps a top-level window with that title.
  void WatchMaps();
  std::optional<std::uint32_t> WaitForMap(const std::string& title,
                                          std::chrono::milliseconds timeout);
  // The window's area in root coordinates, frame excluded.
  ScreenRect Geometry(std::uint32_t window);
  WindowFacts Facts(std::uint32_t window);
  std::string Title(std::uint32_t window);
  bool HasNetWmState(std::uint32_t window, const char* state);
  SizeLimits NormalHints(std::uint32_t window);

  // 0x00RRGGBB of the screen pixel at (x, y).
  std::uint32_t PixelAt(int x, int y);

  void Click(int x, int y);
  void TypeText(const std::string& ascii);
  // A key with Control held, as for select-all and copy.
  void ControlKey(char letter);
  void PressKey(const char* keysymName);
  void Sync();
  // A plain window filled by the server with `rgb`; mapped, with a title (UTF-8) and class.
  std::uint32_t CreateWindow(const ScreenRect& rect, std::uint32_t rgb, const std::string& title,
                             const std::string& className, std::uint32_t parent = 0);
  void DestroyWindow(std::uint32_t window);
  void RaiseWindow(std::uint32_t window);
  void MoveWindow(std::uint32_t window, int x, int y);
  void SetTitle(std::uint32_t window, const std::string& title);
  // What a window manager does to minimise a window: unmap it and mark it iconic.
  void MarkIconic(std::uint32_t window);
  // Asks the window manager to minimise the window, as its minimise button does.
  void RequestIconic(std::uint32_t window);
  // Whether a window manager runs on the display.
  bool WindowManagerRuns();
  void MovePointer(int x, int y);
  void Focus(std::uint32_t window);
  // Holds a key system-wide, as another program that registered it would; false if it is taken.
  bool GrabKey(const char* keysymName);

  // Asks the window to close, as the close button of its frame does.
  void RequestClose(std::uint32_t window);

  // The clipboard's text (UTF-8); empty when nobody owns the clipboard or it has no text.
  std::string ReadClipboard(std::chrono::milliseconds timeout);
  // Takes the clipboard over with a known text, so that a later read tells whether it changed.
  void ClearClipboardOwner();

 private:
  void* display_;  // Display*
  unsigned long helperWindow_ = 0;
};

}  // namespace qel::test
