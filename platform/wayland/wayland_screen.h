// The screen of a Wayland desktop as the bitmap library reads it: the monitor's latest frame from
// the desktop portal's screen cast. The cast opens at the first read, without asking when the
// user's earlier grant is kept, and again if the desktop ends it.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "platform/platform.h"

namespace qel {

class WaylandScreen final : public ScreenSource {
 public:
  // `answerTime`: how long the user has to answer the desktop's dialog the first time.
  explicit WaylandScreen(std::chrono::milliseconds answerTime = std::chrono::seconds(60));
  WaylandScreen(const WaylandScreen&) = delete;
  WaylandScreen& operator=(const WaylandScreen&) = delete;
  ~WaylandScreen() override;

  // The monitor's size; 0 when the cast cannot be opened.
  int Width() const override;
  int Height() const override;
  int BitsPerPixel() const override { return 32; }
  bool CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                   std::ptrdiff_t rowStride) override;
  WindowRect Bounds() const override;

  // Where the pointer is on the monitor, as the cast last showed it; nullopt before it has.
  std::optional<ScreenPoint> Pointer() const;

 private:
  struct Cast;
  // The cast with its latest frame, opened if need be; null when it cannot be.
  Cast* Current() const;

  std::chrono::milliseconds answerTime_;
  mutable std::unique_ptr<Cast> cast_;
  // The user refused, or there is no portal: asked once, not at every read.
  mutable bool refused_ = false;
};

}  // namespace qel
