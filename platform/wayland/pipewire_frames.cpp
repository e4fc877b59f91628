#include "platform/wayland/pipewire_frames.h"

#include <pipewire/pipewire.h>
#include <spa/buffer/meta.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace qel {
namespace {

// Mutter offers pointer metadata of a fixed size, with room for a 384 x 384 cursor image; a
// stream that asks for less gets no pointer at all.
constexpr std::size_t kCursorMetaSize =
    sizeof(spa_meta_cursor) + sizeof(spa_meta_bitmap) + std::size_t{384} * 384 * 4;

const spa_pod* VideoFormats(spa_pod_builder& builder) {
  spa_rectangle defaultSize{1920, 1080};
  spa_rectangle smallest{1, 1};
  spa_rectangle largest{16384, 16384};
  spa_fraction defaultRate{0, 1};
  spa_fraction slowest{0, 1};
  spa_fraction fastest{1000, 1};
  return static_cast<const spa_pod*>(spa_pod_builder_add_object(
      &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
      SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw),
      SPA_FORMAT_VIDEO_format,
      SPA_POD_CHOICE_ENUM_Id(5, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                             SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA),
      SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&defaultSize, &smallest, &largest),
      SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&defaultRate, &slowest, &fastest)));
}

}  // namespace

struct PipeWireFrames::Connection {
  PipeWireFrames& owner;
  pw_loop* loop = nullptr;
  pw_context* context = nullptr;
  pw_core* core = nullptr;
  pw_stream* stream = nullptr;
  spa_hook listener{};
  spa_video_info_raw format{};
  bool failed = false;

  static void OnStateChanged(void* data, pw_stream_state, pw_stream_state state, const char*) {
    if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED) {
      static_cast<Connection*>(data)->failed = true;
    }
  }

  // Once the format is settled: buffers in memory the process can read (not GPU buffers), and
  // the header and pointer metadata.
  static void OnParamChanged(void* data, std::uint32_t id, const spa_pod* param) {
    auto* self = static_cast<Connection*>(data);
    if (param == nullptr || id != SPA_PARAM_Format) return;
    spa_video_info info{};
    if (spa_format_parse(param, &info.media_type, &info.media_subtype) < 0 ||
        spa_format_video_raw_parse(param, &self->format) < 0) {
      self->failed = true;
      return;
    }
    std::uint8_t room[1024];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
    const spa_pod* params[] = {
        static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd)))),
        static_cast<const spa_pod*>(
            spa_pod_builder_add_object(&builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta,
                                       SPA_PARAM_META_type, SPA_POD_Id(SPA_META_Header),
                                       SPA_PARAM_META_size, SPA_POD_Int(sizeof(spa_meta_header)))),
        static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &builder, SPA_TYPE_OBJECT_ParamMeta, SPA_PARAM_Meta, SPA_PARAM_META_type,
            SPA_POD_Id(SPA_META_Cursor), SPA_PARAM_META_size,
            SPA_POD_Int(static_cast<int>(kCursorMetaSize)))),
    };
    pw_stream_update_params(self->stream, params, 3);
  }

  static void OnProcess(void* data) {
    auto* self = static_cast<Connection*>(data);
    pw_buffer* buffer = pw_stream_dequeue_buffer(self->stream);
    if (buffer == nullptr) return;
    self->Take(*buffer->buffer);
    pw_stream_queue_buffer(self->stream, buffer);
  }

  void Take(const spa_buffer& buffer) {
    // Id 0 means the pointer has no position now (it left the monitor): the last one stays.
    if (const auto* cursor = static_cast<const spa_meta_cursor*>(
            spa_buffer_find_meta_data(&buffer, SPA_META_Cursor, sizeof(spa_meta_cursor)));
        cursor != nullptr && spa_meta_cursor_is_valid(cursor)) {
      owner.pointer_ = ScreenPoint{cursor->position.x, cursor->position.y};
    }
    const auto* header = static_cast<const spa_meta_header*>(
        spa_buffer_find_meta_data(&buffer, SPA_META_Header, sizeof(spa_meta_header)));
    if (header != nullptr && (header->flags & SPA_META_HEADER_FLAG_CORRUPTED) != 0) return;
    // A buffer that carries only the pointer comes with no pixels.
    const spa_data& rows = buffer.datas[0];
    if (buffer.n_datas == 0 || rows.data == nullptr || rows.chunk->size == 0) return;
    const auto width = static_cast<int>(format.size.width);
    const auto height = static_cast<int>(format.size.height);
    const int stride = rows.chunk->stride;
    if (width <= 0 || height <= 0 || stride < width * 4 ||
        std::size_t{rows.chunk->offset} + std::size_t(stride) * height > rows.maxsize) {
      return;
    }
    const auto* start = static_cast<const std::uint8_t*>(rows.data) + rows.chunk->offset;
    owner.bytes_.assign(start, start + static_cast<std::ptrdiff_t>(stride) * height);
    owner.width_ = width;
    owner.height_ = height;
    owner.stride_ = stride;
    owner.redFirst_ =
        format.format == SPA_VIDEO_FORMAT_RGBx || format.format == SPA_VIDEO_FORMAT_RGBA;
  }
};

PipeWireFrames::PipeWireFrames(int remoteFd, std::uint32_t node)
    : connection_(std::make_unique<Connection>(Connection{.owner = *this})) {
  pw_init(nullptr, nullptr);
  Connection& c = *connection_;
  c.loop = pw_loop_new(nullptr);
  c.context = c.loop != nullptr ? pw_context_new(c.loop, nullptr, 0) : nullptr;
  c.core = c.context != nullptr ? pw_context_connect_fd(c.context, remoteFd, nullptr, 0) : nullptr;
  if (c.core == nullptr) {
    if (c.context == nullptr && remoteFd >= 0) ::close(remoteFd);
    c.failed = true;
    return;
  }
  c.stream = pw_stream_new(c.core, "qel",
                           pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY,
                                             "Capture", PW_KEY_MEDIA_ROLE, "Screen", nullptr));
  static const pw_stream_events events = [] {
    pw_stream_events e{};
    e.version = PW_VERSION_STREAM_EVENTS;
    e.state_changed = &Connection::OnStateChanged;
    e.param_changed = &Connection::OnParamChanged;
    e.process = &Connection::OnProcess;
    return e;
  }();
  pw_stream_add_listener(c.stream, &c.listener, &events, &c);
  std::uint8_t room[1024];
  spa_pod_builder builder = SPA_POD_BUILDER_INIT(room, sizeof room);
  const spa_pod* formats[] = {VideoFormats(builder)};
  if (pw_stream_connect(
          c.stream, PW_DIRECTION_INPUT, node,
          static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS),
          formats, 1) < 0) {
    c.failed = true;
  }
}

PipeWireFrames::~PipeWireFrames() {
  Connection& c = *connection_;
  if (c.stream != nullptr) pw_stream_destroy(c.stream);
  if (c.core != nullptr) pw_core_disconnect(c.core);
  if (c.context != nullptr) pw_context_destroy(c.context);
  if (c.loop != nullptr) pw_loop_destroy(c.loop);
}

void PipeWireFrames::Dispatch(std::chrono::milliseconds timeout) {
  Connection& c = *connection_;
  if (c.loop == nullptr) return;
  pw_loop_enter(c.loop);
  pw_loop_iterate(c.loop, static_cast<int>(timeout.count()));
  pw_loop_leave(c.loop);
}

int PipeWireFrames::EventFd() const {
  return connection_->loop != nullptr ? pw_loop_get_fd(connection_->loop) : -1;
}

bool PipeWireFrames::Streaming() const { return !connection_->failed; }

bool PipeWireFrames::ReadPixels(int x, int y, int width, int height, std::uint32_t* pixels,
                                std::ptrdiff_t rowStride) const {
  if (x < 0 || y < 0 || width <= 0 || height <= 0 || x > width_ - width || y > height_ - height) {
    return false;
  }
  for (int row = 0; row < height; ++row) {
    const std::uint8_t* from =
        bytes_.data() + static_cast<std::ptrdiff_t>(y + row) * stride_ + x * 4;
    std::uint32_t* to = pixels + row * rowStride;
    for (int column = 0; column < width; ++column, from += 4) {
      const std::uint32_t red = redFirst_ ? from[0] : from[2];
      const std::uint32_t blue = redFirst_ ? from[2] : from[0];
      to[column] = red << 16 | std::uint32_t{from[1]} << 8 | blue;
    }
  }
  return true;
}

}  // namespace qel
