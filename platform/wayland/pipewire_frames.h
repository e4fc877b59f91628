// The frames of one PipeWire video stream of the screen, and the pointer's position that comes
// beside them as metadata. The latest frame is kept: frames come only when the screen changes.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/platform.h"

namespace qel {

class PipeWireFrames {
 public:
  // Connects to the stream `node` of the remote behind `remoteFd`, which it takes over.
  PipeWireFrames(int remoteFd, std::uint32_t node);
  PipeWireFrames(const PipeWireFrames&) = delete;
  PipeWireFrames& operator=(const PipeWireFrames&) = delete;
  ~PipeWireFrames();

  // Handles what PipeWire has sent, waiting up to `timeout` for something to come.
  void Dispatch(std::chrono::milliseconds timeout);
  // Readable when there is something to dispatch, for the window system's event loop.
  int EventFd() const;
  // False once the stream cannot go on (the connection lost, the format refused).
  bool Streaming() const;

  bool HasFrame() const { return width_ > 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Copies width x height pixels at (x, y) of the latest frame as 0x00RRGGBB, rows `rowStride`
  // pixels apart; false when the rectangle does not lie inside it.
  bool ReadPixels(int x, int y, int width, int height, std::uint32_t* pixels,
                  std::ptrdiff_t rowStride) const;
  // Where the pointer was last seen on the stream, in the frame's pixels; nullopt before then.
  std::optional<ScreenPoint> Pointer() const { return pointer_; }

  struct Connection;

 private:
  friend struct Connection;
  std::unique_ptr<Connection> connection_;
  std::vector<std::uint8_t> bytes_;
  int width_ = 0;
  int height_ = 0;
  int stride_ = 0;
  bool redFirst_ = false;  // RGBx rather than BGRx
  std::optional<ScreenPoint> pointer_;
};

}  // namespace qel
