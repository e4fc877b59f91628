#include "platform/linux/x11_window_cache.h"

#include <X11/Xatom.h>

namespace qel {
namespace {

constexpr long kWatchedEvents = StructureNotifyMask | SubstructureNotifyMask | PropertyChangeMask;

}  // namespace

X11WindowCache::X11WindowCache(Display* display, Window root, Atom wmState, Atom wmName,
                               Atom netWmName)
    : display_(display), wmState_(wmState), wmName_(wmName), netWmName_(netWmName) {
  Watch(root);  // the root cannot be gone
}

X11WindowCache::Entry& X11WindowCache::Watch(Window window) {
  if (const auto found = entries_.find(window); found != entries_.end()) return found->second;
  if (entries_.size() >= kMostEntries) entries_.clear();
  XSelectInput(display_, window, kWatchedEvents);
  return entries_[window];
}

void X11WindowCache::ReadEvents() { ForgetQueued(QueuedAfterFlush); }

void X11WindowCache::TakeReadEvents() { ForgetQueued(QueuedAlready); }

void X11WindowCache::ForgetQueued(int mode) {
  while (XEventsQueued(display_, mode) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    Forget(event);
  }
}

void X11WindowCache::MoveTo(int x, int y) {
  if (childAtPoint_ == std::make_pair(x, y)) return;
  childAt_.clear();
  childAtPoint_ = {x, y};
}

void X11WindowCache::Forget(const XEvent& event) {
  if (event.type == PropertyNotify) {
    const auto found = entries_.find(event.xproperty.window);
    if (found == entries_.end()) return;
    const Atom atom = event.xproperty.atom;
    if (atom == wmState_) found->second.wmState.reset();
    if (atom == wmName_ || atom == netWmName_) found->second.title.reset();
    if (atom == XA_WM_CLASS) found->second.className.reset();
    return;
  }
  switch (event.type) {
    case CreateNotify:
    case DestroyNotify:
    case UnmapNotify:
    case MapNotify:
    case ReparentNotify:
    case ConfigureNotify:
    case GravityNotify:
    case CirculateNotify: {
      // Windows keep the selection; only the answers go. A window that is gone is not asked
      // about again, so its entry goes too.
      for (auto& [window, entry] : entries_) {
        entry.tree.reset();
        entry.attributes.reset();
        entry.wmState.reset();
        entry.rootRect.reset();
      }
      if (event.type == DestroyNotify) entries_.erase(event.xdestroywindow.window);
      childAt_.clear();
      break;
    }
    default:
      break;
  }
}

}  // namespace qel
