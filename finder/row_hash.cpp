#include "finder/row_hash.h"

#include <cstddef>

namespace qel {
namespace {

// The sure family's modulus.
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

RowHash::RowHash(RowHashFamily family, std::int32_t rowWidth, std::int32_t windowWidth,
                 std::uint64_t seed, std::int32_t bits)
    : family_(family),
      rowWidth_(rowWidth),
      windowWidth_(windowWidth),
      mask_(bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1) {
  std::uint64_t state = 0x51ED2701 + seed;
  if (family == RowHashFamily::kQuick) {
    for (auto& value : byteValues_) value = SplitMix(state);
    // Odd, so that no power of it is 0.
    base_ = SplitMix(state) | 1;
    std::uint64_t highPower = 1;
    for (std::int32_t i = 1; i < windowWidth; ++i) highPower *= base_;
    for (std::size_t value = 0; value < leavingValues_.size(); ++value) {
      leavingValues_[value] = byteValues_[value] * highPower;
    }
    return;
  }
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
template <>
inline std::uint64_t RowHash::Roll<RowHashFamily::kQuick>(std::uint64_t sum,
                                                          const std::uint8_t* window) const {
  return (sum - leavingValues_[window[0]]) * base_ + byteValues_[window[windowWidth_]];
}

template <>
inline std::uint64_t RowHash::Roll<RowHashFamily::kSure>(std::uint64_t sum,
                                                         const std::uint8_t* window) const {
  const std::uint64_t kept = sum + kPrime - leavingValues_[window[0]];
  return Reduce(MultiplyMod(kept, base_) + byteValues_[window[windowWidth_]]);
}

template <RowHashFamily kFamily>
inline std::uint64_t RowHash::Sum(const std::uint8_t* window) const {
  std::uint64_t sum = 0;
  for (std::int32_t i = 0; i < windowWidth_; ++i) {
    if constexpr (kFamily == RowHashFamily::kQuick) {
      sum = sum * base_ + byteValues_[window[i]];
    } else {
      sum = Reduce(MultiplyMod(sum, base_) + byteValues_[window[i]]);
    }
  }
  return sum;
}

// The quick sums' high bits, which depend on all of the bytes, are folded onto the low ones, which
// the names' table goes by.
template <RowHashFamily kFamily>
inline std::uint64_t RowHash::Hash(std::uint64_t sum) const {
  if constexpr (kFamily == RowHashFamily::kQuick) sum ^= sum >> 32;
  return sum & mask_;
}

std::uint64_t RowHash::Of(const std::uint8_t* window) const {
  return family_ == RowHashFamily::kQuick
             ? Hash<RowHashFamily::kQuick>(Sum<RowHashFamily::kQuick>(window))
             : Hash<RowHashFamily::kSure>(Sum<RowHashFamily::kSure>(window));
}

void RowHash::OfEveryWindow(const std::uint8_t* row, std::span<std::uint64_t> hashes) const {
  if (family_ == RowHashFamily::kQuick) {
    HashEveryWindow<RowHashFamily::kQuick>(row, hashes);
  } else {
    HashEveryWindow<RowHashFamily::kSure>(row, hashes);
  }
}

template <RowHashFamily kFamily>
void RowHash::HashEveryWindow(const std::uint8_t* row, std::span<std::uint64_t> hashes) const {
  const auto width = static_cast<std::size_t>(windowWidth_);
  const std::size_t count = static_cast<std::size_t>(rowWidth_) - width + 1;
  std::size_t x = 0;
  std::uint64_t sum = Sum<kFamily>(row);
  // Four runs side by side, each rolling on from its own first window, so that the processor has
  // four independent sums to work on; each starts with a whole window's sum, which pays only on
  // rows much longer than a window. The last run goes on to the end of the row below.
  if (count >= 16 * width) {
    const std::size_t length = count / 4;
    std::uint64_t sum1 = Sum<kFamily>(row + length);
    std::uint64_t sum2 = Sum<kFamily>(row + 2 * length);
    std::uint64_t sum3 = Sum<kFamily>(row + 3 * length);
    for (; x + 1 < length; ++x) {
      hashes[x] = Hash<kFamily>(sum);
      hashes[length + x] = Hash<kFamily>(sum1);
      hashes[2 * length + x] = Hash<kFamily>(sum2);
      hashes[3 * length + x] = Hash<kFamily>(sum3);
      sum = Roll<kFamily>(sum, row + x);
      sum1 = Roll<kFamily>(sum1, row + length + x);
      sum2 = Roll<kFamily>(sum2, row + 2 * length + x);
      sum3 = Roll<kFamily>(sum3, row + 3 * length + x);
    }
    hashes[x] = Hash<kFamily>(sum);
    hashes[length + x] = Hash<kFamily>(sum1);
    hashes[2 * length + x] = Hash<kFamily>(sum2);
    sum = sum3;
    x += 3 * length;
  }
  for (; x + 1 < count; ++x) {
    hashes[x] = Hash<kFamily>(sum);
    sum = Roll<kFamily>(sum, row + x);
  }
  hashes[x] = Hash<kFamily>(sum);
}

}  // namespace qel
