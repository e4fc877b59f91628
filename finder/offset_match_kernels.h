// Testing many candidate pixels at once against the pixels at fixed offsets from each, the inner
// loop of the pattern searches, with one kernel per instruction set chosen once, at run time.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "finder/byte_range_scan.h"

namespace qel {

// A pixel tested for a candidate, `offset` bytes from the candidate's own.
struct OffsetTest {
  std::ptrdiff_t offset = 0;
  ByteBounds bounds;
};

// A candidate passes when its own byte lies within `anchor`, at least `nearNeeded` of the `nearby`
// pixels lie within their bounds, and at least `differingNeeded` of the `differing` pixels differ
// from the candidate's own byte (their bounds are not used).
struct OffsetPlan {
  ByteBounds anchor;
  std::span<const OffsetTest> nearby;
  std::int64_t nearNeeded = 0;
  std::span<const OffsetTest> differing;
  std::int64_t differingNeeded = 0;
};

// What a scan found: bit i of `passing` tells whether candidate start + i passes, for the `lanes`
// candidates from `start`; every candidate before `start` fails.
struct CandidateBlock {
  std::int64_t start = 0;
  std::int64_t lanes = 0;
  std::uint32_t passing = 0;
};

// Scans the `count` candidates whose bytes follow one another from `first`, every byte each one
// tests lying in the data, up to the first block that holds a passing candidate. {count, 0, 0}
// when none passes.
using OffsetMatchKernel = CandidateBlock (*)(const OffsetPlan& plan, const std::uint8_t* first,
                                             std::int64_t count);

// Runs `kernel` over the `count` candidates from `first` and calls onPassing(i) for each passing
// candidate first + i, in order, until it returns false; false when it was stopped.
template <class OnPassing>
bool ForEachPassingCandidate(OffsetMatchKernel kernel, const OffsetPlan& plan,
                             const std::uint8_t* first, std::int64_t count, OnPassing onPassing) {
  for (std::int64_t i = 0; i < count;) {
    const CandidateBlock block = kernel(plan, first + i, count - i);
    for (std::uint32_t passing = block.passing; passing != 0; passing &= passing - 1) {
      if (!onPassing(i + block.start + std::countr_zero(passing))) return false;
    }
    i += block.start + block.lanes;
  }
  return true;
}

struct NamedOffsetMatchKernel {
  const char* name;
  OffsetMatchKernel scan;
};

// Every kernel this processor can run, the plain one first; tests hold each to the plain search.
std::span<const NamedOffsetMatchKernel> RunnableOffsetMatchKernels();

// The fastest kernel this processor can run.
OffsetMatchKernel FastestOffsetMatchKernel();

// How far a pattern's pixels reach from its anchor, and so which candidates of a row have every
// one of them inside the picture's columns and the given bytes.
class OffsetReach {
 public:
  explicit OffsetReach(std::int64_t stride) : stride_(stride) {}

  void Include(std::int64_t dx, std::int64_t dy);

  std::int64_t LowestDy() const { return minDy_; }
  std::int64_t HighestDy() const { return maxDy_; }

  // The byte offset of a pixel from its anchor.
  std::ptrdiff_t OffsetOf(std::int64_t dx, std::int64_t dy) const {
    return static_cast<std::ptrdiff_t>(dy * stride_ + dx);
  }

  // The first and last column of stored row `row` whose candidates reach no row below 0, no
  // column outside [0, width) and no byte at or beyond `size`; first > last when there is none.
  // The row's first byte lies below `size`.
  struct Columns {
    std::int64_t first = 0;
    std::int64_t last = -1;
  };
  Columns InteriorColumns(std::int64_t row, std::int64_t width, std::int64_t size) const;

 private:
  std::int64_t stride_;
  // The anchor itself is one of the pixels.
  std::int64_t minDx_ = 0;
  std::int64_t maxDx_ = 0;
  std::int64_t minDy_ = 0;
  std::int64_t maxDy_ = 0;
  std::int64_t maxOffset_ = 0;
};

}  // namespace qel
