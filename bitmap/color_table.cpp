#include "bitmap/color_table.h"

#include <algorithm>
#include <cstddef>

namespace qel {

namespace {

// A table entry with its index, for the entries sorted by red.
struct Entry {
  int red;
  int green;
  int blue;
  int index;
};

// The nearest entry to one colour by squared distance, the lower index on a tie. The entries are
// sorted by red and `start` is the first whose red is not below the colour's: the search walks out
// both ways from there and stops once the red difference alone is further than the best so far.
class NearestSearch {
 public:
  NearestSearch(int red, int green, int blue) : red_(red), green_(green), blue_(blue) {}

  int Best(const std::vector<Entry>& entries, std::size_t start) {
    for (std::size_t i = start; i < entries.size() && Consider(entries[i]); ++i) {
    }
    for (std::size_t i = start; i > 0 && Consider(entries[i - 1]); --i) {
    }
    return best_;
  }

 private:
  // False once the entry, and every entry further out in red, is too far to win.
  bool Consider(const Entry& entry) {
    const int dr = entry.red - red_;
    if (best_ >= 0 && dr * dr > bestDistance_) return false;
    const int dg = entry.green - green_;
    const int db = entry.blue - blue_;
    const int distance = dr * dr + dg * dg + db * db;
    if (best_ < 0 || distance < bestDistance_ ||
        (distance == bestDistance_ && entry.index < best_)) {
      best_ = entry.index;
      bestDistance_ = distance;
    }
    return true;
  }

  int red_;
  int green_;
  int blue_;
  int best_ = -1;
  int bestDistance_ = 0;
};

}  // namespace

ColorTableIndex::ColorTableIndex(std::span<const RgbQuad> colors) : bins_(kBinCount, 0) {
  // An index is one byte: a longer table has no reachable entries past 256.
  const std::size_t entryCount = std::min<std::size_t>(colors.size(), 256);
  if (entryCount == 0) return;
  std::vector<Entry> entries;
  entries.reserve(entryCount);
  for (std::size_t i = 0; i < entryCount; ++i) {
    entries.push_back({colors[i].red, colors[i].green, colors[i].blue, static_cast<int>(i)});
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.red < b.red; });
  for (int bin = 0; bin < kBinCount; ++bin) {
    // The bin's representative: each channel c & ~7, then + 4.
    const int red = (bin >> 10 & 0x1F) << 3 | 4;
    const int green = (bin >> 5 & 0x1F) << 3 | 4;
    const int blue = (bin & 0x1F) << 3 | 4;
    const auto start = std::partition_point(entries.begin(), entries.end(),
                                            [red](const Entry& entry) { return entry.red < red; });
    bins_[static_cast<std::size_t>(bin)] = static_cast<std::uint8_t>(
        NearestSearch(red, green, blue)
            .Best(entries, static_cast<std::size_t>(start - entries.begin())));
  }
}

void ColorTableIndex::NearestPixels(std::span<const std::uint32_t> pixels,
                                    std::uint8_t* out) const {
  // The table's address in a local: stores through `out` could otherwise change it, as far as
  // the compiler knows, and it would be read again for every pixel.
  const std::uint8_t* bins = bins_.data();
  for (std::size_t i = 0; i < pixels.size(); ++i) out[i] = bins[BinOfPixel(pixels[i])];
}

}  // namespace qel
