// Which desktop a Linux program talks to: an X server or a Wayland compositor. Most desktops now
// start Wayland sessions, where an X client (through XWayland) sees neither other programs'
// pixels nor their windows.
#pragma once

#include <optional>
#include <string_view>

namespace qel {

enum class DesktopSessionKind { kX11, kWayland };

// The session asked for by name ("x11" or "wayland", from the command line or QEL_SESSION) when
// one is given; otherwise Wayland when the login says so (XDG_SESSION_TYPE) or only a Wayland
// display is there, else X11. Nullopt for a name that is neither.
std::optional<DesktopSessionKind> ChooseDesktopSession(std::string_view asked,
                                                       std::string_view sessionType,
                                                       std::string_view waylandDisplay,
                                                       std::string_view display);

// The same from this process's environment, QEL_SESSION first.
std::optional<DesktopSessionKind> DesktopSessionOfEnvironment();

}  // namespace qel
