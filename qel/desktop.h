// The way into the bitmap library for other programs: a desktop to capture and search, either the
// one this process runs on or one held in memory for tests. Make ScreenBitmap objects and call
// ColorFinder's searches with the session's Context().
#pragma once

#include <memory>

#include "bitmap/screen_bitmap.h"
#include "bitmap/software_gdi.h"
#include "finder/color_finder.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_screen.h"
#include "platform/platform.h"

namespace qel {

// The screen, windows, clipboard and GDI behind a BitmapContext, kept alive together. Bitmaps
// made with the context must not outlive the session. A session serves one thread at a time.
class DesktopSession {
 public:
  virtual ~DesktopSession() = default;
  virtual const BitmapContext& Context() const = 0;
};

// The desktop this process runs on: the X server DISPLAY names on Linux, the interactive desktop
// on Windows. Throws std::runtime_error, saying why, when there is none to reach. Needs no window
// system of the caller's: the clipboard and text drawing are served without an event loop.
// (Not OpenDesktop: <windows.h> makes that name a macro.)
std::unique_ptr<DesktopSession> OpenRunningDesktop();

// A black screen of width x height pixels in memory at the depth given, a desktop with no windows
// until some are added, and a clipboard inside the process, for testing code that uses the
// library. Its text drawing is a font of stripes (platform/fake/fake_images.h), not real glyphs,
// and it decodes no PNG.
class InMemoryDesktop final : public DesktopSession {
 public:
  InMemoryDesktop(int width, int height, int bitsPerPixel = 32);
  InMemoryDesktop(const InMemoryDesktop&) = delete;
  InMemoryDesktop& operator=(const InMemoryDesktop&) = delete;

  const BitmapContext& Context() const override { return context_; }
  FakeScreen& Screen() { return screen_; }
  FakeDesktop& Windows() { return windows_; }
  FakeImageServices& Images() { return images_; }

 private:
  FakeScreen screen_;
  FakeDesktop windows_;
  FakeImageServices images_;
  SoftwareGdi gdi_{screen_, windows_, images_};
  BitmapContext context_{gdi_, screen_, windows_};
};

}  // namespace qel
