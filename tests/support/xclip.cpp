#include "tests/support/xclip.h"

#include <X11/Xlib.h>

#include <chrono>
#include <memory>
#include <thread>

#include "tests/support/child_process.h"

namespace qel::test {
namespace {

using namespace std::chrono_literals;

std::string Xclip(const std::string& target, const std::string& direction) {
  return "exec xclip -selection clipboard -t '" + target + "' " + direction;
}

struct CloseDisplay {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

}  // namespace

bool XclipOut(const std::string& target, const std::string& path,
              const std::function<void()>& idle) {
  ChildProcess xclip("/bin/sh", {"-c", Xclip(target, "-o > '" + path + "'")});
  for (auto deadline = std::chrono::steady_clock::now() + 30s;
       std::chrono::steady_clock::now() < deadline;) {
    if (const auto code = xclip.Wait(5ms)) return *code == 0;
    idle();
  }
  return false;
}

bool XclipIn(const std::string& target, const std::string& path) {
  const std::unique_ptr<Display, CloseDisplay> display(XOpenDisplay(nullptr));
  if (!display) return false;
  const Atom clipboard = XInternAtom(display.get(), "CLIPBOARD", False);
  const Window before = XGetSelectionOwner(display.get(), clipboard);
  // xclip returns at once and leaves a copy of itself behind that takes the clipboard.
  ChildProcess xclip("/bin/sh", {"-c", Xclip(target, "-i '" + path + "'")});
  if (xclip.Wait(10s) != 0) return false;
  for (auto deadline = std::chrono::steady_clock::now() + 10s;
       std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(5ms)) {
    const Window owner = XGetSelectionOwner(display.get(), clipboard);
    if (owner != None && owner != before) return true;
  }
  return false;
}

std::uint32_t ClipboardOwner() {
  const std::unique_ptr<Display, CloseDisplay> display(XOpenDisplay(nullptr));
  if (!display) return 0;
  return static_cast<std::uint32_t>(
      XGetSelectionOwner(display.get(), XInternAtom(display.get(), "CLIPBOARD", False)));
}

}  // namespace qel::test
