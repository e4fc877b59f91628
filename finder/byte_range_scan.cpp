#include "finder/byte_range_scan.h"

#include <algorithm>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QEL_X86 1
#endif

namespace qel {
namespace {

std::size_t ScanPlain(const std::uint8_t* data, std::size_t size, std::uint8_t low,
                      std::uint8_t high) {
  // One unsigned comparison: bytes below `low` wrap round to large values.
  const auto width = static_cast<std::uint8_t>(high - low);
  for (std::size_t i = 0; i < size; ++i) {
    if (static_cast<std::uint8_t>(data[i] - low) <= width) return i;
  }
  return size;
}

#if QEL_X86
// A byte is in range when it is unchanged by clamping it to [low, high].
std::size_t ScanSse2(const std::uint8_t* data, std::size_t size, std::uint8_t low,
                     std::uint8_t high) {
  const __m128i lows = _mm_set1_epi8(static_cast<char>(low));
  const __m128i highs = _mm_set1_epi8(static_cast<char>(high));
  std::size_t i = 0;
  for (; i + 16 <= size; i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i clamped = _mm_min_epu8(_mm_max_epu8(bytes, lows), highs);
    const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, clamped));
    if (hits != 0) return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
  }
  return i + ScanPlain(data + i, size - i, low, high);
}

__attribute__((target("avx2"))) std::size_t ScanAvx2(const std::uint8_t* data, std::size_t size,
                                                     std::uint8_t low, std::uint8_t high) {
  const __m256i lows = _mm256_set1_epi8(static_cast<char>(low));
  const __m256i highs = _mm256_set1_epi8(static_cast<char>(high));
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
    const __m256i clamped = _mm256_min_epu8(_mm256_max_epu8(bytes, lows), highs);
    const auto hits =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, clamped)));
    if (hits != 0) return i + static_cast<std::size_t>(__builtin_ctz(hits));
  }
  return i + ScanSse2(data + i, size - i, low, high);
}
#endif

std::vector<NamedByteRangeKernel> FindRunnableKernels() {
  std::vector<NamedByteRangeKernel> kernels{{"plain", ScanPlain}};
#if QEL_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("sse2")) kernels.push_back({"sse2", ScanSse2});
  if (__builtin_cpu_supports("avx2")) kernels.push_back({"avx2", ScanAvx2});
#endif
  return kernels;
}

}  // namespace

std::optional<ByteBounds> BoundsAround(std::int64_t reference, std::int32_t tolerance) {
  if (tolerance < 0) return std::nullopt;
  const std::int64_t low = std::max<std::int64_t>(0, reference - tolerance);
  const std::int64_t high = std::min<std::int64_t>(255, reference + tolerance);
  if (low > high) return std::nullopt;
  return ByteBounds{static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(high)};
}

std::span<const NamedByteRangeKernel> RunnableByteRangeKernels() {
  static const std::vector<NamedByteRangeKernel> kernels = FindRunnableKernels();
  return kernels;
}

ByteRangeKernel FastestByteRangeKernel() {
  static const ByteRangeKernel fastest = RunnableByteRangeKernels().back().scan;
  return fastest;
}

}  // namespace qel
