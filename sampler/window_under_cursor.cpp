#include "sampler/window_under_cursor.h"

#include <cstdint>

namespace qel {
namespace {

// Windows come and go while the walk runs; a sibling chain that loops must not hang the tick.
constexpr int kMostSiblings = 1 << 16;

std::int64_t Area(const WindowRect& rect) {
  return static_cast<std::int64_t>(rect.bottom - rect.top) * (rect.right - rect.left);
}

}  // namespace

WindowHandle WindowUnderCursor(Desktop& desktop) {
  const ScreenPoint point = desktop.CursorPosition();
  const WindowHandle hit = desktop.WindowFromPoint(point);
  if (hit == 0) return 0;
  WindowHandle best = hit;
  WindowRect bestRect = desktop.WindowRectOf(hit).value_or(WindowRect{});
  const WindowHandle parent = desktop.Parent(hit);
  if (parent == 0) return hit;
  int visited = 0;
  for (WindowHandle sibling = desktop.NextSibling(hit); sibling != 0 && visited < kMostSiblings;
       sibling = desktop.NextSibling(sibling), ++visited) {
    const auto rect = desktop.WindowRectOf(sibling);
    if (rect && Contains(*rect, point) && desktop.Parent(sibling) == parent &&
        desktop.IsVisible(sibling) && Area(*rect) < Area(bestRect)) {
      best = sibling;
      bestRect = *rect;
    }
  }
  return best;
}

}  // namespace qel
