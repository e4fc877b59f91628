// Owning wrappers and small steps over XCB for the clipboard's own connections, which run outside
// the toolkit and, unlike Xlib, report errors to the caller instead of a process-wide handler.
#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace qel {

struct XcbDisconnect {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using XcbConnection = std::unique_ptr<xcb_connection_t, XcbDisconnect>;

struct XcbFree {
  void operator()(void* memory) const { std::free(memory); }
};
template <typename Reply>
using XcbReply = std::unique_ptr<Reply, XcbFree>;
using XcbEvent = std::unique_ptr<xcb_generic_event_t, XcbFree>;

// A connection to DISPLAY; null when it cannot be made.
XcbConnection Connect();
xcb_atom_t InternAtom(xcb_connection_t* connection, std::string_view name);
// An unmapped window on the first screen that reports the events of `eventMask`.
xcb_window_t MakeWindow(xcb_connection_t* connection, std::uint32_t eventMask);
// The first event `wanted` accepts, the others dropped; null when none comes by the deadline or
// the connection breaks.
XcbEvent WaitForEvent(xcb_connection_t* connection,
                      const std::function<bool(const xcb_generic_event_t&)>& wanted,
                      std::chrono::steady_clock::time_point deadline);
// The server's current time, learnt from a property change on `window`, which must report
// property changes.
std::optional<xcb_timestamp_t> ServerTime(xcb_connection_t* connection, xcb_window_t window);

}  // namespace qel
