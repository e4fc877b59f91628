#include "platform/wayland/wayland_screen.h"

#include <QCoreApplication>
#include <QDBusConnection>

#include "platform/linux/private_qt_application.h"
#include "platform/wayland/pipewire_frames.h"
#include "platform/wayland/restore_token_file.h"
#include "platform/wayland/screencast_portal.h"

namespace qel {
namespace {

using namespace std::chrono_literals;

// How long the first frame may take once the cast is open.
constexpr auto kFirstFrameTime = 3s;

}  // namespace

struct WaylandScreen::Cast {
  ScreenCastPortal portal{QDBusConnection::sessionBus()};
  std::unique_ptr<PipeWireFrames> frames;

  // Handles what has come, waiting up to `time` for a first frame.
  void Catch(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    do {
      frames->Dispatch(frames->HasFrame() ? 0ms : 20ms);
      QCoreApplication::processEvents();
    } while (!frames->HasFrame() && frames->Streaming() && std::chrono::steady_clock::now() < end);
  }
};

WaylandScreen::WaylandScreen(std::chrono::milliseconds answerTime) : answerTime_(answerTime) {}

WaylandScreen::~WaylandScreen() = default;

WaylandScreen::Cast* WaylandScreen::Current() const {
  if (cast_ && cast_->frames->Streaming()) {
    cast_->Catch(0ms);
    return cast_->frames->HasFrame() ? cast_.get() : nullptr;
  }
  cast_.reset();
  // The portal is reached over D-Bus, which needs a Qt application.
  if (refused_ || !HaveQtApplication()) return nullptr;
  auto cast = std::make_unique<Cast>();
  if (!cast->portal.Open(LoadRestoreToken(), answerTime_)) {
    refused_ = true;
    return nullptr;
  }
  if (!cast->portal.RestoreToken().isEmpty()) SaveRestoreToken(cast->portal.RestoreToken());
  cast->frames = std::make_unique<PipeWireFrames>(cast->portal.OpenPipeWireRemote(),
                                                  cast->portal.Stream()->node);
  cast->Catch(kFirstFrameTime);
  if (!cast->frames->HasFrame()) return nullptr;
  cast_ = std::move(cast);
  return cast_.get();
}

int WaylandScreen::Width() const {
  const Cast* cast = Current();
  return cast != nullptr ? cast->frames->Width() : 0;
}

int WaylandScreen::Height() const {
  const Cast* cast = Current();
  return cast != nullptr ? cast->frames->Height() : 0;
}

WindowRect WaylandScreen::Bounds() const {
  const Cast* cast = Current();
  return cast != nullptr ? WindowRect{0, 0, cast->frames->Width(), cast->frames->Height()}
                         : WindowRect{};
}

bool WaylandScreen::CaptureRows(int x, int y, int width, int height, std::uint32_t* pixels,
                                std::ptrdiff_t rowStride) {
  const Cast* cast = Current();
  return cast != nullptr && cast->frames->ReadPixels(x, y, width, height, pixels, rowStride);
}

std::optional<ScreenPoint> WaylandScreen::Pointer() const {
  const Cast* cast = Current();
  return cast != nullptr ? cast->frames->Pointer() : std::nullopt;
}

}  // namespace qel
