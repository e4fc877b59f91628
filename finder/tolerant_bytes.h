// Byte sequences compared with a per-byte tolerance and an optional wildcard byte: one byte near a
// value, a pattern inside a sequence, two sequences alike. Positions count from 1; -1 is not found.
#pragma once

#include <cstdint>
#include <span>

#include "finder/byte_range_scan.h"

namespace qel {

using ByteSpan = std::span<const std::uint8_t>;

// No wildcard in force. Any value outside 0 to 255 acts the same, as it equals no byte.
inline constexpr std::int32_t kNoWildcard = -1;

// Whether `data` is within `tolerance` of `reference`: |data - reference| <= tolerance, so 0 asks
// for equality and a negative tolerance lets nothing pass.
constexpr bool WithinTolerance(std::int64_t data, std::int64_t reference, std::int32_t tolerance) {
  const std::int64_t distance = data > reference ? data - reference : reference - data;
  return distance <= tolerance;
}

// The first position at or after `start` (below 1 counts as 1) whose byte is within tolerance of
// `value`; -1 when there is none.
std::int32_t FindToleratedByte(ByteSpan data, std::int32_t value, std::int32_t tolerance,
                               std::int32_t start);

// The first position at or after `start` (below 1 counts as 1) where every pattern byte matches
// the data byte under it: it equals the wildcard, or the data byte is within tolerance of it. -1
// for an empty pattern, one longer than the data, or no match.
std::int32_t FindToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t start,
                                  std::int32_t wildcard, std::int32_t tolerance);

// The same two searches through a given kernel, for tests that hold every kernel to the plain
// search; the ones above use the fastest.
std::int32_t FindToleratedByte(ByteSpan data, std::int32_t value, std::int32_t tolerance,
                               std::int32_t start, ByteRangeKernel scan);
std::int32_t FindToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t start,
                                  std::int32_t wildcard, std::int32_t tolerance,
                                  ByteRangeKernel scan);

// Whether the two sequences have the same length and every pattern byte matches the data byte at
// its position, as above. Two empty sequences match.
bool MatchToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t wildcard,
                           std::int32_t tolerance);

}  // namespace qel
