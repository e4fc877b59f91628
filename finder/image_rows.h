// What the image searches share: the rows of an image they may read, and where the places they
// find go.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "finder/image_search.h"
#include "finder/palette_rows.h"

namespace qel {

// The rows of an 8-bit image that the caller's bytes hold in full; none for an empty image.
struct ImageRows {
  const std::uint8_t* pixels = nullptr;
  std::int64_t stride = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  const std::uint8_t* Row(std::int32_t row) const { return pixels + row * stride; }
};

inline ImageRows CompleteRows(const PaletteRows& image) {
  if (image.width <= 0 || image.height <= 0) return {};
  const std::int64_t stride = image.Stride();
  const auto held = static_cast<std::int64_t>(image.pixels.size()) / stride;
  const auto height = static_cast<std::int32_t>(std::min<std::int64_t>(image.height, held));
  if (height == 0) return {};
  return {image.pixels.data(), stride, image.width, height};
}

// Whether the small image's row `smallRow` equals the large image's pixels under it when its
// bottom-left pixel lies on (x, row).
inline bool RowMatches(const ImageRows& large, const ImageRows& small, std::int32_t x,
                       std::int32_t row, std::int32_t smallRow) {
  return std::memcmp(large.Row(row + smallRow) + x, small.Row(smallRow),
                     static_cast<std::size_t>(small.width)) == 0;
}

// Takes places in search order: the first alone, or every one.
class PlaceSink {
 public:
  // Every place goes to `all` when it is given, which is emptied first.
  explicit PlaceSink(std::vector<ImagePlace>* all) : all_(all) {
    if (all_ != nullptr) all_->clear();
  }

  // Keeps the place; true when the search has what it wants and can stop.
  bool Take(ImagePlace place) {
    found_ = true;
    if (all_ == nullptr) {
      first_ = place;
      return true;
    }
    all_->push_back(place);
    return false;
  }

  // Forgets the places whose bottom row is `row` or above, for a search that looks again from
  // there another way.
  void ForgetFrom(std::int32_t row) {
    if (all_ == nullptr) return;
    while (!all_->empty() && all_->back().row >= row) all_->pop_back();
  }

  bool Found() const { return found_; }
  const ImagePlace& First() const { return first_; }

 private:
  std::vector<ImagePlace>* all_;
  ImagePlace first_;
  bool found_ = false;
};

}  // namespace qel
