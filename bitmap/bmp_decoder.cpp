#include "bitmap/bmp_decoder.h"

#include <algorithm>

#include "bitmap/bmp_dib.h"

namespace qel {
namespace {

constexpr std::size_t kFileHeaderSize = 14;

bool HasBmpSignature(std::span<const std::uint8_t> file) {
  return file.size() >= kFileHeaderSize && file[0] == 'B' && file[1] == 'M';
}

struct BmpLayout {
  DibFormat format;
  std::span<const std::uint8_t> bits;
};

std::optional<BmpLayout> ReadLayout(std::span<const std::uint8_t> file) {
  if (!HasBmpSignature(file)) return std::nullopt;
  const std::optional<DibFormat> format = ReadDibFormat(file.subspan(kFileHeaderSize), false);
  if (!format) return std::nullopt;
  // Writers may leave a gap before the rows, so the file header's offset, not the table's end,
  // says where they start.
  const std::uint32_t bitsOffset = LoadU32(file, 10);
  if (bitsOffset > file.size()) return std::nullopt;
  const std::span<const std::uint8_t> bits = file.subspan(bitsOffset);
  if (!format->IsRle() && static_cast<std::int64_t>(bits.size()) < format->UncompressedBytes()) {
    return std::nullopt;
  }
  return BmpLayout{*format, bits};
}

// An RLE stream's length: the header's image size or, where a writer left that short, the longest
// stream that still draws something: 2 bytes a pixel of the padded rows (writers encode the
// padding too), 2 more a row and 2 to end.
std::int64_t RleStreamBytes(const DibFormat& format, std::span<const std::uint8_t> head) {
  constexpr std::size_t kImageSizeOffset = kFileHeaderSize + 20;
  const std::int64_t paddedPixels = format.rowBytes * 8 / format.bitCount;
  return std::max<std::int64_t>(LoadU32(head, kImageSizeOffset),
                                2 * (paddedPixels + 1) * format.height + 2);
}

}  // namespace

std::optional<std::int64_t> BmpFileBytesNeeded(std::span<const std::uint8_t> head) {
  if (!HasBmpSignature(head)) return std::nullopt;
  const std::optional<DibFormat> format = ReadDibFormat(head.subspan(kFileHeaderSize), false);
  if (!format) return std::nullopt;
  return std::int64_t{LoadU32(head, 10)} +
         (format->IsRle() ? RleStreamBytes(*format, head) : format->UncompressedBytes());
}

std::optional<BmpDimensions> ReadBmpDimensions(std::span<const std::uint8_t> file) {
  const std::optional<BmpLayout> layout = ReadLayout(file);
  if (!layout) return std::nullopt;
  return BmpDimensions{layout->format.width, layout->format.height};
}

bool DecodeBmp(std::span<const std::uint8_t> file, std::uint32_t* pixels,
               std::ptrdiff_t rowStride) {
  const std::optional<BmpLayout> layout = ReadLayout(file);
  return layout && DecodeDibRows(layout->format, layout->bits, pixels, rowStride);
}

}  // namespace qel
