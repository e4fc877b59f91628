// Hashes of byte windows of one width: of a single window, and of every window of a row at once in
// time linear in the row, so that windows can be named by the rows of an image they may equal.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace qel {

// A window's hash is the polynomial in a base whose coefficients stand for its bytes, the first
// byte's highest, summed one of two ways. Quick: modulo 2^64, which is cheap, but windows built
// for the purpose (from Thue-Morse sequences) share a hash whatever the base. Sure: modulo the
// prime 2^61 - 1, where two windows that differ share a hash for only a handful of bases out of
// 2^61.
enum class RowHashFamily { kQuick, kSure };

class RowHash {
 public:
  // For windows `windowWidth` bytes wide in rows `rowWidth` bytes wide (windowWidth <= rowWidth);
  // each seed picks another hash of the family, for when two windows that differ share one. Hashes
  // of fewer bits than 64 make that more often.
  RowHash(RowHashFamily family, std::int32_t rowWidth, std::int32_t windowWidth, std::uint64_t seed,
          std::int32_t bits = 64);

  // The hash of the window's `windowWidth` bytes.
  std::uint64_t Of(const std::uint8_t* window) const;

  // The hashes of the windows of `row` that start at 0 to rowWidth - windowWidth, into `hashes`,
  // which holds one for each; equal windows get equal hashes wherever they start.
  void OfEveryWindow(const std::uint8_t* row, std::span<std::uint64_t> hashes) const;

 private:
  // The window's sum, the next window's from the window's, and the hash a sum gives.
  template <RowHashFamily kFamily>
  std::uint64_t Sum(const std::uint8_t* window) const;
  template <RowHashFamily kFamily>
  std::uint64_t Roll(std::uint64_t sum, const std::uint8_t* window) const;
  template <RowHashFamily kFamily>
  std::uint64_t Hash(std::uint64_t sum) const;
  template <RowHashFamily kFamily>
  void HashEveryWindow(const std::uint8_t* row, std::span<std::uint64_t> hashes) const;

  RowHashFamily family_;
  std::int32_t rowWidth_;
  std::int32_t windowWidth_;
  std::uint64_t mask_;
  std::uint64_t base_ = 0;
  // Each byte stands for an unrelated number, so that patterns in the bytes carry over to no
  // pattern in the sums.
  std::array<std::uint64_t, 256> byteValues_{};
  // The first byte's term: its number times the base to the window's width less one.
  std::array<std::uint64_t, 256> leavingValues_{};
};

}  // namespace qel
