// libFuzzer target over the searches of 8-bit rows that programs hand in with sizes of their own:
// point patterns, text patterns and images. The rows may be far shorter than their declared size;
// a search must read none of what is missing and do no work for it, so a slow input is a finding
// (the run's time-out) as much as a crash.
//
// Input: declared width and height (4 bytes each, little-endian), the anchor or text index, the
// tolerance (signed), the similarity, the number of points (each dx, dy signed and an index), the
// small image's width and height (1 byte each; its bytes are the rows' first ones), then the rows.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "finder/image_search.h"
#include "finder/point_pattern_search.h"
#include "finder/text_pattern_search.h"
#include "platform/platform.h"

namespace {

class Input {
 public:
  explicit Input(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t Byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
  std::int32_t Int32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
    return static_cast<std::int32_t>(value);
  }
  std::span<const std::uint8_t> Rest() const {
    return bytes_.subspan(std::min(at_, bytes_.size()));
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qel;
  Input input({data, size});
  const std::int32_t width = input.Int32();
  const std::int32_t height = input.Int32();
  const std::uint8_t index = input.Byte();
  const auto tolerance = static_cast<std::int8_t>(input.Byte());
  const std::int32_t similarity = input.Byte();
  std::vector<PatternPoint> points(input.Byte() % 32);
  TextPattern text;
  for (PatternPoint& point : points) {
    point.dx = static_cast<std::int8_t>(input.Byte());
    point.dy = static_cast<std::int8_t>(input.Byte());
    point.index = input.Byte();
    (point.index % 2 == 0 ? text.drawn : text.undrawn).push_back({point.dx, point.dy});
  }
  const std::int32_t smallWidth = input.Byte();
  const std::int32_t smallHeight = input.Byte();
  const std::span<const std::uint8_t> rows = input.Rest();
  const PaletteRows large{rows, width, height};

  NoEventPump pump;
  EventHandOff handOff(pump);
  std::vector<FoundPoint> found;
  FindAllPointPatterns(large, {points, index, tolerance, similarity}, found, handOff);
  FindPointPatternFrom(large, {points, index, tolerance, similarity}, found.size(), handOff);
  FindAllTextPatterns(large, {text, index, tolerance, similarity}, found, handOff);

  const PaletteRows small{rows.first(std::min<std::size_t>(
                              rows.size(), static_cast<std::size_t>(PaletteStride(smallWidth)) *
                                               static_cast<std::size_t>(smallHeight))),
                          smallWidth, smallHeight};
  std::vector<ImagePlace> places;
  FindAllImages(large, small, places, handOff);
  return 0;
}
