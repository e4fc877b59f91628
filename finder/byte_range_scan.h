// Finding the first byte that lies in a range, the inner loop of the tolerant byte searches, with
// one kernel per instruction set; the fastest one the processor has is chosen once, at run time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace qel {

// The bytes a tested byte may hold: low <= byte <= high.
struct ByteBounds {
  std::uint8_t low = 0;
  std::uint8_t high = 255;
  bool Holds(std::uint8_t byte) const { return byte >= low && byte <= high; }
};

// The bytes within `tolerance` of `reference`; nullopt when no byte is.
std::optional<ByteBounds> BoundsAround(std::int64_t reference, std::int32_t tolerance);

// The index of the first byte of data[0, size) with low <= byte <= high, or size when there is
// none.
using ByteRangeKernel = std::size_t (*)(const std::uint8_t* data, std::size_t size,
                                        std::uint8_t low, std::uint8_t high);

struct NamedByteRangeKernel {
  const char* name;
  ByteRangeKernel scan;
};

// Every kernel this processor can run, the plain one first; tests hold each to the plain one.
std::span<const NamedByteRangeKernel> RunnableByteRangeKernels();

// The fastest kernel this processor can run.
ByteRangeKernel FastestByteRangeKernel();

}  // namespace qel
