#include "finder/row_hash.h"

#include <cstddef>

namespace qel {
namespace {

// Sums are taken modulo the prime 2^61 - 1: every base has an inverse, and two different windows
// share a hash for only a handful of bases out of 2^61, whatever their bytes.
constexpr std::uint64_t kPrime = (std::uint64_t{1} << 61) - 1;

__extension__ typedef unsigned __int128 Wide;

std::uint64_t Reduce(std::uint64_t value) { return value >= kPrime ? value - kPrime : value; }

// a * b modulo the prime, for a below 2^63 and b below the prime.
std::uint64_t MultiplyMod(std::uint64_t a, std::uint64_t b) {
  const Wide product = static_cast<Wide>(a) * b;
  const std::uint64_t folded =
      (static_cast<std::uint64_t>(product) & kPrime) + static_cast<std::uint64_t>(product >> 61);
  return Reduce((folded & kPrime) + (folded >> 61));
}

// A fixed stream of well-mixed numbers, the same every run.
std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

}  // namespace

RowHash::RowHash(std::int32_t rowWidth, std::int32_t windowWidth, std::uint64_t seed,
                 std::int32_t bits)
    : rowWidth_(rowWidth), windowWidth_(windowWidth), mask_((std::uint64_t{1} << bits) - 1) {
  std::uint64_t state = 0x51ED2701 + seed;
  for (auto& value : byteValues_) value = SplitMix(state) % kPrime;
  // Neither 0 nor 1, which would make the sum blind to the bytes' order.
  base_ = 2 + SplitMix(state) % (kPrime - 2);
  std::uint64_t highPower = 1;
  for (std::int32_t i = 1; i < windowWidth; ++i) highPower = MultiplyMod(highPower, base_);
  for (std::size_t value = 0; value < leavingValues_.size(); ++value) {
    leavingValues_[value] = MultiplyMod(byteValues_[value], highPower);
  }
}

// The window one further on drops its first byte's term, moves every other term up one power of
// the base and takes the new byte's term.
inline std::uint64_t RowHash::Roll(std::uint64_t sum, const std::uint8_t* window) const {
  const std::uint64_t kept = sum + kPrime - leavingValues_[window[0]];
  return Reduce(MultiplyMod(kept, base_) + byteValues_[window[windowWidth_]]);
}

inline std::uint64_t RowHash::Sum(const std::uint8_t* window) const {
  std::uint64_t sum = 0;
  for (std::int32_t i = 0; i < windowWidth_; ++i) {
    sum = Reduce(MultiplyMod(sum, base_) + byteValues_[window[i]]);
  }
  return sum;
}

std::uint64_t RowHash::Of(const std::uint8_t* window) const { return Sum(window) & mask_; }

void RowHash::OfEveryWindow(const std::uint8_t* row, std::span<std::uint64_t> hashes) const {
  const auto width = static_cast<std::size_t>(windowWidth_);
  const std::size_t count = static_cast<std::size_t>(rowWidth_) - width + 1;
  std::size_t x = 0;
  std::uint64_t sum = Sum(row);
  // Four runs side by side, each rolling on from its own first window, so that the processor has
  // four independent sums to work on; each starts with a whole window's sum, which pays only on
  // rows much longer than a window. The last run goes on to the end of the row below.
  if (count >= 16 * width) {
    const std::size_t length = count / 4;
    std::uint64_t sum1 = Sum(row + length);
    std::uint64_t sum2 = Sum(row + 2 * length);
    std::uint64_t sum3 = Sum(row + 3 * length);
    for (; x + 1 < length; ++x) {
      hashes[x] = sum & mask_;
      hashes[length + x] = sum1 & mask_;
      hashes[2 * length + x] = sum2 & mask_;
      hashes[3 * length + x] = sum3 & mask_;
      sum = Roll(sum, row + x);
      sum1 = Roll(sum1, row + length + x);
      sum2 = Roll(sum2, row + 2 * length + x);
      sum3 = Roll(sum3, row + 3 * length + x);
    }
    hashes[x] = sum & mask_;
    hashes[length + x] = sum1 & mask_;
    hashes[2 * length + x] = sum2 & mask_;
    sum = sum3;
    x += 3 * length;
  }
  for (; x + 1 < count; ++x) {
    hashes[x] = sum & mask_;
    sum = Roll(sum, row + x);
  }
  hashes[x] = sum & mask_;
}

}  // namespace qel
