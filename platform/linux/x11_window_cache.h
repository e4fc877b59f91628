// What the desktop has learnt about windows, kept until the server says it changed. Every window
// asked about is watched (its own changes, its children's, its properties), and the events that
// arrive are read before each use: a change of structure or geometry anywhere forgets everything,
// a changed title or class forgets only that. Sampling asks the same questions ten times a second,
// so most of them are answered without a round trip to the server.
#pragma once

// First: X's macros (Button1, Bool, Status) clash with names in it.
#include "platform/platform.h"

#include <X11/Xlib.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/x11_error_trap.h"

namespace qel {

struct X11Tree {
  Window parent = 0;
  std::vector<Window> children;  // bottom to top
};

class X11WindowCache {
 public:
  struct Entry {
    std::optional<std::optional<X11Tree>> tree;
    std::optional<std::optional<XWindowAttributes>> attributes;
    std::optional<std::optional<long>> wmState;
    std::optional<std::string> title;
    std::optional<std::optional<std::string>> className;
    // Where the window lies on the root, border included.
    std::optional<std::optional<WindowRect>> rootRect;
  };

  X11WindowCache(Display* display, Window root, Atom wmState, Atom wmName, Atom netWmName);

  // Reads the events that have arrived and forgets what they may have changed.
  void ReadEvents();
  // The same for the events Xlib holds already, without looking at the socket: each reply comes
  // after every event the server sent before it, so these are the news up to the latest reply.
  void TakeReadEvents();

  // The remembered answer for `window`, or `load()`'s, remembered from now on.
  template <typename T, typename Load>
  T Remember(Window window, std::optional<T> Entry::*field, Load load) {
    // One trap for the selection and the question, so that a gone window costs no extra wait.
    ErrorTrap trap(display_);
    if (const auto& known = Watch(window).*field) return *known;
    T value = load();
    entries_[window].*field = value;
    return value;
  }

  // The child of `window` at (x, y), in root coordinates, as `load` finds it. Only the answers
  // for the latest point are kept: the pointer moves on, and a sampling tick asks about one point.
  template <typename Load>
  std::optional<Window> ChildAt(Window window, int x, int y, Load load) {
    ErrorTrap trap(display_);
    Watch(window);
    MoveTo(x, y);
    if (const auto found = childAt_.find(window); found != childAt_.end()) return found->second;
    const std::optional<Window> child = load();
    childAt_[window] = child;
    return child;
  }

  // The child of `window` at (x, y) as the server gave it along with another answer: the pointer's
  // position comes with the root's child under it. `window` is watched already, as the root is.
  void KnowChildAt(Window window, int x, int y, Window child) {
    MoveTo(x, y);
    childAt_[window] = child;
  }

 private:
  static constexpr std::size_t kMostEntries = 4096;

  // Selects the window's events the first time; the caller traps the error of a gone window.
  Entry& Watch(Window window);
  void Forget(const XEvent& event);
  void ForgetQueued(int mode);
  // Keeps the answers about children only while they are for this point.
  void MoveTo(int x, int y);

  Display* display_;
  Atom wmState_;
  Atom wmName_;
  Atom netWmName_;
  std::map<Window, Entry> entries_;
  std::pair<int, int> childAtPoint_;
  std::map<Window, std::optional<Window>> childAt_;
};

}  // namespace qel
