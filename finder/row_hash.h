// Hashes of byte windows of one width: of a single window, and of every window of a row at once in
// time linear in the row, so that windows can be named by the rows of an image they may equal.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace qel {

class RowHash {
 public:
  // The most bits a hash has; fewer make windows that differ share a hash more often.
  static constexpr std::int32_t kFullBits = 61;

  // For windows `windowWidth` bytes wide in rows `rowWidth` bytes wide (windowWidth <= rowWidth);
  // each seed picks another hash of the family, for when two windows that differ share one.
  RowHash(std::int32_t rowWidth, std::int32_t windowWidth, std::uint64_t seed,
          std::int32_t bits = kFullBits);

  // The hash of the window's `windowWidth` bytes.
  std::uint64_t Of(const std::uint8_t* window) const;

  // The hashes of the windows of `row` that start at 0 to rowWidth - windowWidth, into `hashes`,
  // which holds one for each; equal windows get equal hashes wherever they start.
  void OfEveryWindow(const std::uint8_t* row, std::span<std::uint64_t> hashes) const;

 private:
  // The window's sum, and the next window's from the window's, before cutting to the hash's bits.
  std::uint64_t Sum(const std::uint8_t* window) const;
  std::uint64_t Roll(std::uint64_t sum, const std::uint8_t* window) const;

  std::int32_t rowWidth_;
  std::int32_t windowWidth_;
  std::uint64_t mask_;
  std::uint64_t base_ = 0;
  // Each byte stands for an unrelated number, so that patterns in the bytes (sequences built to
  // collide under a plain polynomial) carry over to no pattern in the sums; a window's hash is the
  // polynomial in the base whose coefficients are its bytes' numbers, the first byte's highest.
  std::array<std::uint64_t, 256> byteValues_{};
  // The first byte's term: its number times the base to the window's width less one.
  std::array<std::uint64_t, 256> leavingValues_{};
};

}  // namespace qel
