#include "finder/tolerant_bytes.h"

#include <algorithm>
#include <cstddef>

namespace qel {
namespace {

bool BytesMatch(std::uint8_t patternByte, std::uint8_t dataByte, std::int32_t wildcard,
                std::int32_t tolerance) {
  return patternByte == wildcard || WithinTolerance(dataByte, patternByte, tolerance);
}

bool MatchesAt(ByteSpan data, std::size_t at, ByteSpan pattern, std::int32_t wildcard,
               std::int32_t tolerance) {
  for (std::size_t k = 0; k < pattern.size(); ++k) {
    if (!BytesMatch(pattern[k], data[at + k], wildcard, tolerance)) return false;
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
  data = Countable(data);
  for (std::size_t i = FirstIndex(start); i < data.size(); ++i) {
    if (WithinTolerance(data[i], value, tolerance)) return static_cast<std::int32_t>(i + 1);
  }
  return -1;
}

std::int32_t FindToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t start,
                                  std::int32_t wildcard, std::int32_t tolerance) {
  data = Countable(data);
  if (pattern.empty() || pattern.size() > data.size()) return -1;
  const std::size_t lastCandidate = data.size() - pattern.size();
  for (std::size_t i = FirstIndex(start); i <= lastCandidate; ++i) {
    if (MatchesAt(data, i, pattern, wildcard, tolerance)) return static_cast<std::int32_t>(i + 1);
  }
  return -1;
}

bool MatchToleratedPattern(ByteSpan data, ByteSpan pattern, std::int32_t wildcard,
                           std::int32_t tolerance) {
  return data.size() == pattern.size() && MatchesAt(data, 0, pattern, wildcard, tolerance);
}

}  // namespace qel
