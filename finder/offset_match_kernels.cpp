#include "finder/offset_match_kernels.h"

#include <algorithm>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QEL_X86 1
#endif

namespace qel {
namespace {

bool Passes(const OffsetPlan& plan, const std::uint8_t* at) {
  if (!plan.anchor.Holds(*at)) return false;
  std::int64_t nearbyHeld = 0;
  for (const OffsetTest& test : plan.nearby)
    nearbyHeld += test.bounds.Holds(at[test.offset]) ? 1 : 0;
  if (nearbyHeld < plan.nearNeeded) return false;
  std::int64_t differing = 0;
  for (const OffsetTest& test : plan.differing) differing += at[test.offset] != *at ? 1 : 0;
  return differing >= plan.differingNeeded;
}

CandidateBlock ScanPlain(const OffsetPlan& plan, const std::uint8_t* first, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) {
    if (Passes(plan, first + i)) return {i, 1, 1};
  }
  return {count, 0, 0};
}

#if QEL_X86
// The vector kernels count matches in 8-bit lanes over chunks of pixels short enough not to
// overflow them, and take each chunk's counts off 16-bit lanes holding what each candidate still
// needs. After every chunk, candidates that can no longer gather enough from the pixels left are
// dropped, and a block stops as soon as none is left: on ordinary pictures most candidates fail
// within the first chunk.
constexpr std::size_t kChunk = 32;
constexpr std::int64_t kMostCountable = 0xFFFF;

bool CountableInLanes(const OffsetPlan& plan) {
  return plan.nearNeeded <= kMostCountable && plan.differingNeeded <= kMostCountable;
}

std::uint16_t Saturated16(std::size_t count) {
  return static_cast<std::uint16_t>(std::min<std::size_t>(count, kMostCountable));
}

// A byte is within bounds when clamping it to them leaves it unchanged.
__m128i InBoundsSse2(__m128i bytes, ByteBounds bounds) {
  const __m128i clamped =
      _mm_min_epu8(_mm_max_epu8(bytes, _mm_set1_epi8(static_cast<char>(bounds.low))),
                   _mm_set1_epi8(static_cast<char>(bounds.high)));
  return _mm_cmpeq_epi8(bytes, clamped);
}

// Of the `alive` lanes, those where at least `needed` of the tests hold.
template <bool kDiffering>
__m128i EnoughSse2(std::span<const OffsetTest> tests, std::int64_t needed, const std::uint8_t* at,
                   __m128i own, __m128i alive) {
  const __m128i zero = _mm_setzero_si128();
  if (needed == 0) return alive;
  if (needed > static_cast<std::int64_t>(tests.size())) return zero;
  __m128i leftLow = _mm_set1_epi16(static_cast<short>(needed));
  __m128i leftHigh = leftLow;
  std::size_t k = 0;
  while (k < tests.size()) {
    const std::size_t end = std::min(tests.size(), k + kChunk);
    // Differing pixels are counted down from the chunk's length, one off for each equal one.
    __m128i counts = kDiffering ? _mm_set1_epi8(static_cast<char>(end - k)) : zero;
    for (; k < end; ++k) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + tests[k].offset));
      if constexpr (kDiffering) {
        counts = _mm_add_epi8(counts, _mm_cmpeq_epi8(bytes, own));
      } else {
        counts = _mm_sub_epi8(counts, InBoundsSse2(bytes, tests[k].bounds));
      }
    }
    leftLow = _mm_subs_epu16(leftLow, _mm_unpacklo_epi8(counts, zero));
    leftHigh = _mm_subs_epu16(leftHigh, _mm_unpackhi_epi8(counts, zero));
    const __m128i rest = _mm_set1_epi16(static_cast<short>(Saturated16(tests.size() - k)));
    const __m128i reachable =
        _mm_packs_epi16(_mm_cmpeq_epi16(_mm_subs_epu16(leftLow, rest), zero),
                        _mm_cmpeq_epi16(_mm_subs_epu16(leftHigh, rest), zero));
    alive = _mm_and_si128(alive, reachable);
    if (_mm_movemask_epi8(alive) == 0) break;
  }
  return alive;
}

std::uint32_t PassingSse2(const OffsetPlan& plan, const std::uint8_t* at) {
  const __m128i own = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  __m128i alive = InBoundsSse2(own, plan.anchor);
  if (_mm_movemask_epi8(alive) == 0) return 0;
  alive = EnoughSse2<false>(plan.nearby, plan.nearNeeded, at, own, alive);
  if (_mm_movemask_epi8(alive) == 0) return 0;
  alive = EnoughSse2<true>(plan.differing, plan.differingNeeded, at, own, alive);
  return static_cast<std::uint32_t>(_mm_movemask_epi8(alive));
}

CandidateBlock ScanSse2(const OffsetPlan& plan, const std::uint8_t* first, std::int64_t count) {
  constexpr std::int64_t kLanes = 16;
  if (count < kLanes || !CountableInLanes(plan)) return ScanPlain(plan, first, count);
  std::int64_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    const std::uint32_t passing = PassingSse2(plan, first + i);
    if (passing != 0) return {i, kLanes, passing};
  }
  // The last few: a block ending at the last candidate, less the lanes already scanned.
  const std::uint32_t passing =
      i == count ? 0 : PassingSse2(plan, first + count - kLanes) >> (kLanes - (count - i));
  return passing == 0 ? CandidateBlock{count, 0, 0} : CandidateBlock{i, count - i, passing};
}

__attribute__((target("avx2"))) __m256i InBoundsAvx2(__m256i bytes, ByteBounds bounds) {
  const __m256i clamped =
      _mm256_min_epu8(_mm256_max_epu8(bytes, _mm256_set1_epi8(static_cast<char>(bounds.low))),
                      _mm256_set1_epi8(static_cast<char>(bounds.high)));
  return _mm256_cmpeq_epi8(bytes, clamped);
}

// As EnoughSse2. The 16-bit lanes hold each 128-bit half's bytes unpacked and packed within the
// half, so the bytes come back in their order.
template <bool kDiffering>
__attribute__((target("avx2"))) __m256i EnoughAvx2(std::span<const OffsetTest> tests,
                                                   std::int64_t needed, const std::uint8_t* at,
                                                   __m256i own, __m256i alive) {
  const __m256i zero = _mm256_setzero_si256();
  if (needed == 0) return alive;
  if (needed > static_cast<std::int64_t>(tests.size())) return zero;
  __m256i leftLow = _mm256_set1_epi16(static_cast<short>(needed));
  __m256i leftHigh = leftLow;
  std::size_t k = 0;
  while (k < tests.size()) {
    const std::size_t end = std::min(tests.size(), k + kChunk);
    __m256i counts = kDiffering ? _mm256_set1_epi8(static_cast<char>(end - k)) : zero;
    for (; k < end; ++k) {
      const __m256i bytes =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + tests[k].offset));
      if constexpr (kDiffering) {
        counts = _mm256_add_epi8(counts, _mm256_cmpeq_epi8(bytes, own));
      } else {
        counts = _mm256_sub_epi8(counts, InBoundsAvx2(bytes, tests[k].bounds));
      }
    }
    leftLow = _mm256_subs_epu16(leftLow, _mm256_unpacklo_epi8(counts, zero));
    leftHigh = _mm256_subs_epu16(leftHigh, _mm256_unpackhi_epi8(counts, zero));
    const __m256i rest = _mm256_set1_epi16(static_cast<short>(Saturated16(tests.size() - k)));
    const __m256i reachable =
        _mm256_packs_epi16(_mm256_cmpeq_epi16(_mm256_subs_epu16(leftLow, rest), zero),
                           _mm256_cmpeq_epi16(_mm256_subs_epu16(leftHigh, rest), zero));
    alive = _mm256_and_si256(alive, reachable);
    if (_mm256_movemask_epi8(alive) == 0) break;
  }
  return alive;
}

__attribute__((target("avx2"))) std::uint32_t PassingAvx2(const OffsetPlan& plan,
                                                          const std::uint8_t* at) {
  const __m256i own = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
  __m256i alive = InBoundsAvx2(own, plan.anchor);
  if (_mm256_movemask_epi8(alive) == 0) return 0;
  alive = EnoughAvx2<false>(plan.nearby, plan.nearNeeded, at, own, alive);
  if (_mm256_movemask_epi8(alive) == 0) return 0;
  alive = EnoughAvx2<true>(plan.differing, plan.differingNeeded, at, own, alive);
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(alive));
}

__attribute__((target("avx2"))) CandidateBlock ScanAvx2(const OffsetPlan& plan,
                                                        const std::uint8_t* first,
                                                        std::int64_t count) {
  constexpr std::int64_t kLanes = 32;
  if (count < kLanes || !CountableInLanes(plan)) return ScanSse2(plan, first, count);
  std::int64_t i = 0;
  for (; i + kLanes <= count; i += kLanes) {
    const std::uint32_t passing = PassingAvx2(plan, first + i);
    if (passing != 0) return {i, kLanes, passing};
  }
  const std::uint32_t passing =
      i == count ? 0 : PassingAvx2(plan, first + count - kLanes) >> (kLanes - (count - i));
  return passing == 0 ? CandidateBlock{count, 0, 0} : CandidateBlock{i, count - i, passing};
}
#endif

std::vector<NamedOffsetMatchKernel> FindRunnableKernels() {
  std::vector<NamedOffsetMatchKernel> kernels{{"plain", ScanPlain}};
#if QEL_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("sse2")) kernels.push_back({"sse2", ScanSse2});
  if (__builtin_cpu_supports("avx2")) kernels.push_back({"avx2", ScanAvx2});
#endif
  return kernels;
}

}  // namespace

std::span<const NamedOffsetMatchKernel> RunnableOffsetMatchKernels() {
  static const std::vector<NamedOffsetMatchKernel> kernels = FindRunnableKernels();
  return kernels;
}

OffsetMatchKernel FastestOffsetMatchKernel() {
  static const OffsetMatchKernel fastest = RunnableOffsetMatchKernels().back().scan;
  return fastest;
}

void OffsetReach::Include(std::int64_t dx, std::int64_t dy) {
  minDx_ = std::min(minDx_, dx);
  maxDx_ = std::max(maxDx_, dx);
  minDy_ = std::min(minDy_, dy);
  maxDy_ = std::max(maxDy_, dy);
  maxOffset_ = std::max(maxOffset_, dy * stride_ + dx);
}

OffsetReach::Columns OffsetReach::InteriorColumns(std::int64_t row, std::int64_t width,
                                                  std::int64_t size) const {
  if (row + minDy_ < 0) return {};
  const std::int64_t lastInBytes = size - row * stride_ - 1 - maxOffset_;
  return {-minDx_, std::min(width - 1 - maxDx_, lastInBytes)};
}

}  // namespace qel
