#include "platform/linux/xcb_support.h"

#include <poll.h>

#include <cerrno>

namespace qel {

XcbConnection Connect() {
  XcbConnection connection(xcb_connect(nullptr, nullptr));
  if (xcb_connection_has_error(connection.get()) != 0) return nullptr;
  return connection;
}

xcb_atom_t InternAtom(xcb_connection_t* connection, std::string_view name) {
  const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection,
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
      nullptr));
  return reply ? reply->atom : XCB_NONE;
}

xcb_window_t MakeWindow(xcb_connection_t* connection, std::uint32_t eventMask) {
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const xcb_window_t window = xcb_generate_id(connection);
  xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                    &eventMask);
  return window;
}

XcbEvent WaitForEvent(xcb_connection_t* connection,
                      const std::function<bool(const xcb_generic_event_t&)>& wanted,
                      std::chrono::steady_clock::time_point deadline) {
  xcb_flush(connection);
  pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
  for (;;) {
    while (XcbEvent event{xcb_poll_for_event(connection)}) {
      if (wanted(*event)) return event;
    }
    if (xcb_connection_has_error(connection) != 0) return nullptr;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return nullptr;
    if (poll(&watched, 1, static_cast<int>(left.count())) < 0 && errno != EINTR) return nullptr;
  }
}

std::optional<xcb_timestamp_t> ServerTime(xcb_connection_t* connection, xcb_window_t window) {
  // Appending nothing changes no data but still stamps a property notification.
  xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                      8, 0, nullptr);
  const XcbEvent event = WaitForEvent(
      connection,
      [&](const xcb_generic_event_t& e) {
        return (e.response_type & 0x7F) == XCB_PROPERTY_NOTIFY &&
               reinterpret_cast<const xcb_property_notify_event_t&>(e).window == window;
      },
      std::chrono::steady_clock::now() + std::chrono::seconds(5));
  if (!event) return std::nullopt;
  return reinterpret_cast<const xcb_property_notify_event_t&>(*event).time;
}

}  // namespace qel
