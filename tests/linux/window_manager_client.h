// The one connection that makes every window of the window-manager tests. A connection closed and
// another opened may be handed the same window ids, and a manager still busy with the closed one's
// windows then takes a new window for an old one, giving it the old one's size and place.
#pragma once

#include "tests/support/x11_client.h"

namespace qel {

// Never closed: the process ends after the server its main started has gone, and closing a
// connection to a server that has gone ends the process with an error.
inline test::X11Client& WindowManagerClient() {
  static auto* const client = new test::X11Client;
  return *client;
}

}  // namespace qel
