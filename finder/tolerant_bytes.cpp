#include "finder/tolerant_bytes.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>

namespace qel {
namespace {

bool MatchesAt(ByteSpan data, std::size_t at, ByteSpan pattern, std::int32_t wildcard,
               std::int32_t tolerance) {
  for (std::size_t k = 0; k < pattern.size(); ++k) {
    if (pattern[k] != wildcard && !WithinTolerance(data[at + k], pattern[k], tolerance)) {
      return false;
    }
  }
  return true;
}

// The 0-based index where a search from the 1-based `start` begins.
std::size_t FirstIndex(std::int32_t start) {
  return start <= 1 ? 0 : static_cast<std::size_t>(start) - 1;
}

// Positions are 32-bit: data beyond that cannot be counted, so it is not searched.
ByteSpan Countable(ByteSpan data) {
  constexpr std::size_t kMaxPositions = 0x7FFFFFFF;
  return data.first(std::min(data.size(), kMaxPositions));
}

}  // namespace

std::int32_t FindToleratedByte(ByteSpan data, std::int32_t value, std::int32_t tolerance,
                               std::int32_t start) {
  return FindToleratedByte(data, value, tolerance, start, FastestByteRangeKernel());
}

std::int32_t FindToleratedByte(ByteSpan data, std::int32_t value, std::int32_t tolerance,
                               std::int32_t start, ByteRangeKernel scan) {
  data = Countable(data);
  const std::size_t first = FirstIndex(start);
  const std::optional<ByteBounds> range = BoundsAround(value, tolerance);
  if (!range || first >= data.size()) return -1;
  const std::size_t found =
      first + scan(data.data() + first, data.size() - first, range->low, range->high);
  return found < data.size() ? static_cast<std::int32_t>(found + 1) : -1;
}

std::int32_t FindToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t start,
                                  std::int32_t wildcard, std::int32_t tolerance) {
  return FindToleratedPattern(data, pattern, start, wildcard, tolerance, FastestByteRangeKernel());
}

std::int32_t FindToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t start,
                                  std::int32_t wildcard, std::int32_t tolerance,
                                  ByteRangeKernel scan) {
  data = Countable(data);
  if (pattern.empty() || pattern.size() > data.size()) return -1;
  const std::size_t lastCandidate = data.size() - pattern.size();
  std::size_t candidate = FirstIndex(start);
  if (candidate > lastCandidate) return -1;

  // Candidates are found by one byte that is not the wildcard, scanned for many at a time; only
  // those are compared in full, in the same increasing order as one by one. The scan looks for the
  // first such byte, and turns to the last one whenever hits come close together: when one of the
  // two is rare in the data, the scan soon runs on the rare one and skips long stretches at a time.
  const auto isFixed = [wildcard](std::uint8_t byte) { return byte != wildcard; };
  const auto first = std::find_if(pattern.begin(), pattern.end(), isFixed);
  if (first == pattern.end()) return static_cast<std::int32_t>(candidate + 1);
  const auto last = std::find_if(pattern.rbegin(), pattern.rend(), isFixed);
  const std::optional<ByteBounds> firstRange = BoundsAround(*first, tolerance);
  const std::optional<ByteBounds> lastRange = BoundsAround(*last, tolerance);
  if (!firstRange || !lastRange) return -1;
  struct Anchor {
    std::size_t offset;
    ByteBounds range;
  };
  const std::array<Anchor, 2> anchors{
      Anchor{static_cast<std::size_t>(first - pattern.begin()), *firstRange},
      Anchor{pattern.size() - 1 - static_cast<std::size_t>(last - pattern.rbegin()), *lastRange}};
  constexpr std::size_t kCloseHits = 32;
  std::size_t scanned = 0;
  while (candidate <= lastCandidate) {
    const Anchor& anchor = anchors[scanned];
    const std::size_t left = lastCandidate - candidate + 1;
    const std::size_t skipped =
        scan(data.data() + candidate + anchor.offset, left, anchor.range.low, anchor.range.high);
    if (skipped == left) return -1;
    candidate += skipped;
    if (MatchesAt(data, candidate, pattern, wildcard, tolerance)) {
      return static_cast<std::int32_t>(candidate + 1);
    }
    ++candidate;
    if (skipped < kCloseHits) scanned ^= 1;
  }
  return -1;
}

bool MatchToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t wildcard,
                           std::int32_t tolerance) {
  return data.size() == pattern.size() && MatchesAt(data, 0, pattern, wildcard, tolerance);
}

}  // namespace qel
