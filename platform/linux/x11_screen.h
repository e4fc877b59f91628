// The screen on X11 as a source of pixels: the root window read through a shared-memory image
// where the server offers one (one copy, no socket traffic), else through a plain image request.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace qel {

class X11Screen final : public ScreenSource {
 public:
  // Connects to DISPLAY at the first use; that use throws std::runtime_error when there is none.
  X11Screen();
  ~X11Screen() override;
  X11Screen(const X11Screen&) = delete;
  X11Screen& operator=(const X11Screen&) = delete;

  int Width() const override;
  int Height() const override;
  int BitsPerPixel() const override;
  bool CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                   std::ptrdiff_t rowStride) override;
  // Large reads in the usual pixel layout are lent straight from the shared segment.
  bool VisitRows(int x, int y, int width, int height, std::vector<std::uint32_t>& scratch,
                 const RowsVisitor& visit) override;

  // Whether large reads went through shared memory; known after the first one.
  bool UsesSharedMemory() const;

 private:
  struct State;
  State& S() const;
  // Whether the rectangle is non-empty and wholly on the screen.
  bool Inside(int x, int y, int width, int height) const;
  mutable std::unique_ptr<State> state_;
};

}  // namespace qel
