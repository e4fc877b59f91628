#include "platform/fake/fake_desktop.h"

#include <algorithm>
#include <stdexcept>

namespace qel {
WindowHandle FakeDesktop::Add(const FakeWindow& window) {
  windows_.push_back({nextHandle_, window});
  return nextHandle_++;
}

FakeDesktop::Entry* FakeDesktop::Find(WindowHandle handle) {
  const auto found = std::ranges::find(windows_, handle, &Entry::handle);
  return found == windows_.end() ? nullptr : &*found;
}

FakeWindow& FakeDesktop::Window(WindowHandle handle) {
  Entry* entry = Find(handle);
  if (entry == nullptr) throw std::out_of_range("no such fake window");
  return entry->window;
}

void FakeDesktop::Raise(WindowHandle handle) {
  const auto found = std::ranges::find(windows_, handle, &Entry::handle);
  if (found != windows_.end()) std::rotate(windows_.begin(), found, found + 1);
}

WindowHandle FakeDesktop::ChildFromPoint(WindowHandle parent, ScreenPoint point) {
  for (const Entry& entry : windows_) {
    const FakeWindow& window = entry.window;
    if (window.parent == parent && window.visible && !window.iconic &&
        Contains(window.rect, point)) {
      const WindowHandle deeper = ChildFromPoint(entry.handle, point);
      return deeper != 0 ? deeper : entry.handle;
    }
  }
  return 0;
}

WindowHandle FakeDesktop::WindowFromPoint(ScreenPoint point) { return ChildFromPoint(0, point); }

WindowHandle FakeDesktop::Parent(WindowHandle window) {
  const Entry* entry = Find(window);
  return entry == nullptr ? 0 : entry->window.parent;
}

WindowHandle FakeDesktop::NextSibling(WindowHandle window) {
  const auto found = std::ranges::find(windows_, window, &Entry::handle);
  if (found == windows_.end()) return 0;
  const auto next = std::find_if(found + 1, windows_.end(), [&](const Entry& entry) {
    return entry.window.parent == found->window.parent;
  });
  return next == windows_.end() ? 0 : next->handle;
}

bool FakeDesktop::IsVisible(WindowHandle window) {
  const Entry* entry = Find(window);
  return entry != nullptr && entry->window.visible;
}

bool FakeDesktop::IsIconic(WindowHandle window) {
  const Entry* entry = Find(window);
  return entry != nullptr && entry->window.iconic;
}

std::optional<WindowRect> FakeDesktop::WindowRectOf(WindowHandle window) {
  const Entry* entry = Find(window);
  if (entry == nullptr) return std::nullopt;
  return entry->window.rect;
}

std::optional<WindowRect> FakeDesktop::ClientRectOf(WindowHandle window) {
  const Entry* entry = Find(window);
  if (entry == nullptr) return std::nullopt;
  const FakeWindow& w = entry->window;
  return WindowRect{0, 0, w.rect.right - w.rect.left - w.frameLeft - w.frameRight,
                    w.rect.bottom - w.rect.top - w.frameTop - w.frameBottom};
}

std::optional<ScreenPoint> FakeDesktop::ClientToScreen(WindowHandle window, ScreenPoint point) {
  const Entry* entry = Find(window);
  if (entry == nullptr) return std::nullopt;
  const FakeWindow& w = entry->window;
  return ScreenPoint{w.rect.left + w.frameLeft + point.x, w.rect.top + w.frameTop + point.y};
}

std::string FakeDesktop::Title(WindowHandle window) {
  const Entry* entry = Find(window);
  return entry == nullptr ? std::string() : entry->window.title;
}

std::optional<std::string> FakeDesktop::ClassName(WindowHandle window) {
  const Entry* entry = Find(window);
  if (entry == nullptr) return std::nullopt;
  return entry->window.className;
}

bool FakeDesktop::PrintWindow(WindowHandle window, int width, int height, std::uint32_t* pixels) {
  const Entry* entry = Find(window);
  if (entry == nullptr || !entry->window.canPrint) return false;
  const FakeWindow& w = entry->window;
  const int clientRight = w.rect.right - w.rect.left - w.frameRight;
  const int clientBottom = w.rect.bottom - w.rect.top - w.frameBottom;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool client =
          x >= w.frameLeft && x < clientRight && y >= w.frameTop && y < clientBottom;
      pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
             static_cast<std::size_t>(x)] = client ? w.clientRgb : w.frameRgb;
    }
  }
  return true;
}

bool FakeDesktop::DrawToWindow(WindowHandle window, int x, int y, int width, int height,
                               const std::uint32_t* pixels) {
  Entry* entry = Find(window);
  const std::optional<WindowRect> client = ClientRectOf(window);
  if (entry == nullptr || !client || !entry->window.visible) return false;
  std::vector<std::uint32_t>& drawn = entry->window.drawn;
  drawn.resize(static_cast<std::size_t>(client->right) * static_cast<std::size_t>(client->bottom),
               entry->window.clientRgb);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const long long targetX = static_cast<long long>(x) + column;
      const long long targetY = static_cast<long long>(y) + row;
      if (targetX < 0 || targetY < 0 || targetX >= client->right || targetY >= client->bottom) {
        continue;
      }
      drawn[static_cast<std::size_t>(targetY * client->right + targetX)] =
          pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                 static_cast<std::size_t>(column)];
    }
  }
  return true;
}

std::vector<ArgbImage> FakeDesktop::WindowIcons(WindowHandle window) {
  const Entry* entry = Find(window);
  return entry == nullptr ? std::vector<ArgbImage>{} : entry->window.icons;
}

}  // namespace qel
