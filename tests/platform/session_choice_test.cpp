#include "platform/session_choice.h"

#include <gtest/gtest.h>

namespace qel {
namespace {

TEST(ChooseDesktopSession, AskedForByNameElseAsTheLoginSays) {
  using enum DesktopSessionKind;
  const struct {
    const char *asked, *sessionType, *waylandDisplay, *display;
    std::optional<DesktopSessionKind> chosen;
  } cases[] = {
      {"x11", "wayland", "wayland-0", ":0", kX11},
      {"wayland", "x11", "", ":0", kWayland},
      {"mir", "", "", ":0", std::nullopt},
      {"", "wayland", "wayland-0", ":0", kWayland},  // XWayland's DISPLAY does not count
      {"", "x11", "wayland-0", ":0", kX11},
      {"", "", "wayland-0", "", kWayland},
      {"", "", "wayland-0", ":0", kX11},
      {"", "tty", "", ":10", kX11},  // over ssh -X
      {"", "", "", "", kX11},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChooseDesktopSession(c.asked, c.sessionType, c.waylandDisplay, c.display), c.chosen)
        << c.asked << " | " << c.sessionType << " | " << c.waylandDisplay << " | " << c.display;
  }
}

}  // namespace
}  // namespace qel
