#include "bitmap/decode_limit.h"

#include <atomic>

namespace qel {
namespace {

std::atomic<std::int64_t> limitBytes{kDefaultDecodeLimitBytes};

}  // namespace

std::int64_t DecodeLimitBytes() { return limitBytes.load(std::memory_order_relaxed); }

void SetDecodeLimitBytes(std::int64_t bytes) { limitBytes.store(bytes, std::memory_order_relaxed); }

bool WithinDecodeLimit(std::int64_t width, std::int64_t height) {
  const std::int64_t limit = DecodeLimitBytes();
  // Divided, not multiplied: two declared extents of 2^31 overflow nothing this way.
  return limit <= 0 || width <= limit / 4 / height;
}

}  // namespace qel
