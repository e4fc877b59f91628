#include "platform/session_choice.h"

#include <cstdlib>

namespace qel {
namespace {

std::string_view Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::optional<DesktopSessionKind> ChooseDesktopSession(std::string_view asked,
                                                       std::string_view sessionType,
                                                       std::string_view waylandDisplay,
                                                       std::string_view display) {
  if (asked == "x11") return DesktopSessionKind::kX11;
  if (asked == "wayland") return DesktopSessionKind::kWayland;
  if (!asked.empty()) return std::nullopt;
  if (sessionType == "wayland") return DesktopSessionKind::kWayland;
  if (sessionType.empty() && !waylandDisplay.empty() && display.empty()) {
    return DesktopSessionKind::kWayland;
  }
  return DesktopSessionKind::kX11;
}

std::optional<DesktopSessionKind> DesktopSessionOfEnvironment() {
  return ChooseDesktopSession(Variable("QEL_SESSION"), Variable("XDG_SESSION_TYPE"),
                              Variable("WAYLAND_DISPLAY"), Variable("DISPLAY"));
}

}  // namespace qel
