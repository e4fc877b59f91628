// The tolerant byte searches written the direct way, one candidate and one byte at a time, with
// the tolerance in double precision: the reference the fast searches are held to.
#pragma once

#include <cmath>
#include <cstdint>
#include <span>

namespace qel::plain {

inline bool Within(double data, double reference, std::int32_t tolerance) {
  return std::fabs(data - reference) - tolerance <= 0.0000001;
}

inline bool ByteMatch(std::uint8_t pattern, std::uint8_t data, std::int32_t wildcard,
                      std::int32_t tolerance) {
  return (wildcard != -1 && pattern == wildcard) || Within(data, pattern, tolerance);
}

inline std::int32_t FindToleratedByte(std::span<const std::uint8_t> data, std::int32_t value,
                                      std::int32_t tolerance, std::int32_t start) {
  for (std::int64_t i = 1; i <= static_cast<std::int64_t>(data.size()); ++i) {
    if (i >= start && Within(data[i - 1], value, tolerance)) return static_cast<std::int32_t>(i);
  }
  return -1;
}

inline std::int32_t FindToleratedPattern(std::span<const std::uint8_t> data,
                                         std::span<const std::uint8_t> pattern, std::int32_t start,
                                         std::int32_t wildcard, std::int32_t tolerance) {
  if (start < 1) start = 1;
  const auto h = static_cast<std::int64_t>(data.size());
  const auto n = static_cast<std::int64_t>(pattern.size());
  if (n == 0 || n > h) return -1;
  for (std::int64_t i = 1; i <= h - n + 1; ++i) {
    if (i < start) continue;
    std::int64_t k = 1;
    while (k <= n && ByteMatch(pattern[k - 1], data[i + k - 2], wildcard, tolerance)) ++k;
    if (k > n) return static_cast<std::int32_t>(i);
  }
  return -1;
}

}  // namespace qel::plain
