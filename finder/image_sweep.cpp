#include "finder/image_sweep.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

#include "finder/row_hash.h"

namespace qel {
namespace {

constexpr std::int32_t kNoName = -1;

// Names of the small image's rows: rows with the same pixels share a name, rows that differ never
// do. A window is named by its hash alone, so one that equals a row always gets the row's name; one
// that merely shares a hash with it is weeded out when its place is compared.
class RowNames {
 public:
  explicit RowNames(std::int32_t rows)
      : slots_(std::bit_ceil(std::max<std::size_t>(16, 2 * static_cast<std::size_t>(rows)))),
        firstRowOfName_(static_cast<std::size_t>(rows)) {}

  // Names every row of `small` into `names`; false when two rows that differ share a hash, as the
  // names would then not tell them apart.
  bool NameRows(const ImageRows& small, const RowHash& hash, std::vector<std::int32_t>& names) {
    std::fill(slots_.begin(), slots_.end(), Slot{});
    std::int32_t count = 0;
    for (std::int32_t row = 0; row < small.height; ++row) {
      const std::uint64_t rowHash = hash.Of(small.Row(row));
      Slot& slot = Find(rowHash);
      if (slot.name == kNoName) {
        slot = {rowHash, count};
        firstRowOfName_[static_cast<std::size_t>(count++)] = row;
      } else if (!RowsEqual(small, row, firstRowOfName_[static_cast<std::size_t>(slot.name)])) {
        return false;
      }
      names[static_cast<std::size_t>(row)] = slot.name;
    }
    return true;
  }

  std::int32_t NameOf(std::uint64_t hash) const {
    // Hashes come with their low bits well spread already.
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const Slot& slot = slots_[at];
      if (slot.name == kNoName || slot.hash == hash) return slot.name;
    }
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::int32_t name = kNoName;
  };

  Slot& Find(std::uint64_t hash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      Slot& slot = slots_[at];
      if (slot.name == kNoName || slot.hash == hash) return slot;
    }
  }

  static bool RowsEqual(const ImageRows& image, std::int32_t a, std::int32_t b) {
    return std::equal(image.Row(a), image.Row(a) + image.width, image.Row(b));
  }

  std::vector<Slot> slots_;
  std::vector<std::int32_t> firstRowOfName_;
};

// For each prefix of `pattern`, the length of the longest shorter prefix that also ends it.
std::vector<std::int32_t> Failure(const std::vector<std::int32_t>& pattern) {
  std::vector<std::int32_t> failure(pattern.size(), 0);
  std::int32_t length = 0;
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    while (length > 0 && pattern[i] != pattern[static_cast<std::size_t>(length)]) {
      length = failure[static_cast<std::size_t>(length) - 1];
    }
    if (pattern[i] == pattern[static_cast<std::size_t>(length)]) ++length;
    failure[i] = length;
  }
  return failure;
}

// What one column knows of its windows from the places compared in it so far: those of rows
// `from` to `to` equal the small rows their names stand for, the one of row `failed` does not.
// Places in a column overlap, so without this the same windows would be compared again and again.
struct ColumnChecks {
  std::int32_t from = 0;
  std::int32_t to = -1;
  std::int32_t failed = -1;
};

// Whether the place whose names all matched holds the small image, comparing only the windows its
// column has not compared before.
bool Confirm(const ImageRows& large, const ImageRows& small, std::int32_t x, std::int32_t bottom,
             ColumnChecks& checks) {
  const std::int32_t top = bottom + small.height - 1;
  if (checks.failed >= bottom && checks.failed <= top) return false;
  std::int32_t row = bottom;
  if (checks.from <= bottom && checks.to >= bottom - 1) {
    row = std::max(bottom, checks.to + 1);
  } else {
    checks.from = bottom;
  }
  for (; row <= top; ++row) {
    if (!RowMatches(large, small, x, bottom, row - bottom)) {
      checks.to = row - 1;
      checks.failed = row;
      return false;
    }
  }
  checks.to = top;
  return true;
}

}  // namespace

void SweepForImage(const ImageRows& large, const ImageRows& small, std::int32_t firstRow,
                   PlaceSink& sink, EventHandOff& handOff, std::int32_t hashBits) {
  const std::int32_t height = small.height;
  const auto columns = static_cast<std::size_t>(large.width - small.width + 1);

  std::vector<std::int32_t> pattern(static_cast<std::size_t>(height));
  RowNames names(height);
  // The quick hashes first; rows built so that no seed of theirs tells them apart go to the sure
  // ones, which some seed soon does.
  constexpr std::uint64_t kQuickSeeds = 4;
  std::uint64_t seed = 0;
  RowHash hash(RowHashFamily::kQuick, large.width, small.width, seed, hashBits);
  while (!names.NameRows(small, hash, pattern)) {
    ++seed;
    const RowHashFamily family = seed < kQuickSeeds ? RowHashFamily::kQuick : RowHashFamily::kSure;
    hash = RowHash(family, large.width, small.width, seed, hashBits);
  }
  const std::vector<std::int32_t> failure = Failure(pattern);

  std::vector<std::uint64_t> windows(columns);
  // How many of the pattern's first names each column's latest windows match, as in a string
  // search.
  std::vector<std::int32_t> matched(columns, 0);
  std::vector<ColumnChecks> checks(columns, ColumnChecks{firstRow, firstRow - 1, -1});
  for (std::int32_t row = firstRow; row < large.height; ++row) {
    handOff.Poll();
    hash.OfEveryWindow(large.Row(row), windows);
    for (std::size_t x = 0; x < columns; ++x) {
      const std::int32_t name = names.NameOf(windows[x]);
      std::int32_t length = matched[x];
      if (name == pattern[static_cast<std::size_t>(length)]) {
        ++length;
      } else if (name == kNoName) {
        length = 0;
      } else {
        while (length > 0 && pattern[static_cast<std::size_t>(length)] != name) {
          length = failure[static_cast<std::size_t>(length) - 1];
        }
        if (pattern[static_cast<std::size_t>(length)] == name) ++length;
      }
      if (length == height) {
        length = failure[static_cast<std::size_t>(height) - 1];
        const auto column = static_cast<std::int32_t>(x);
        const std::int32_t bottom = row - height + 1;
        if (Confirm(large, small, column, bottom, checks[x]) && sink.Take({column, bottom})) return;
      }
      matched[x] = length;
    }
  }
}

}  // namespace qel
