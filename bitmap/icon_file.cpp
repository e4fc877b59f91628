#include "bitmap/icon_file.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "bitmap/bmp_dib.h"
#include "bitmap/packed_dib.h"

namespace qel {
namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint16_t kIconType = 1;
constexpr int kDefaultIconSize = 32;  // the system's icon size, which a size of 0 asks for
constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool IsPng(std::span<const std::uint8_t> image) {
  return image.size() >= kPngSignature.size() &&
         std::equal(kPngSignature.begin(), kPngSignature.end(), image.begin());
}

struct Entry {
  int width = 0;
  int height = 0;
  int bitCount = 0;
  std::span<const std::uint8_t> image;
};

// Directories written by some tools leave the depth 0; the image's own header has it then.
int EntryDepth(std::uint16_t directoryDepth, std::span<const std::uint8_t> image) {
  if (directoryDepth != 0) return directoryDepth;
  if (IsPng(image)) return 32;
  return image.size() >= 16 ? LoadU16(image, 14) : 0;
}

std::optional<Entry> ChooseEntry(std::span<const std::uint8_t> file, int width, int height) {
  const std::size_t count = LoadU16(file, 4);
  if (file.size() < kDirectorySize + count * kEntrySize) return std::nullopt;
  std::optional<Entry> best;
  long long bestDistance = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kDirectorySize + i * kEntrySize;
    const std::uint32_t bytes = LoadU32(file, at + 8);
    const std::uint32_t offset = LoadU32(file, at + 12);
    if (bytes == 0 || offset > file.size() || bytes > file.size() - offset) continue;
    Entry entry;
    entry.width = file[at] == 0 ? 256 : file[at];
    entry.height = file[at + 1] == 0 ? 256 : file[at + 1];
    entry.image = file.subspan(offset, bytes);
    entry.bitCount = EntryDepth(LoadU16(file, at + 6), entry.image);
    const long long distance = std::llabs(entry.width - width) + std::llabs(entry.height - height);
    if (!best || distance < bestDistance ||
        (distance == bestDistance && entry.bitCount > best->bitCount)) {
      best = entry;
      bestDistance = distance;
    }
  }
  return best;
}

std::optional<ArgbImage> DecodePngEntry(std::span<const std::uint8_t> image,
                                        ImageServices& images) {
  std::optional<ArgbImage> decoded = images.DecodePng(image);
  if (!decoded || decoded->width <= 0 || decoded->height <= 0 ||
      decoded->pixels.size() !=
          static_cast<std::size_t>(decoded->width) * static_cast<std::size_t>(decoded->height)) {
    return std::nullopt;
  }
  return decoded;
}

std::optional<ArgbImage> DecodeDibEntry(std::span<const std::uint8_t> image) {
  const std::optional<DibFormat> format = ReadDibFormat(image, true);
  // The AND mask follows the colour rows, which an RLE stream gives no size for.
  if (!format || format->IsRle()) return std::nullopt;
  const std::span<const std::uint8_t> bits = image.subspan(format->headerEnd);
  const std::size_t colorBytes = static_cast<std::size_t>(format->UncompressedBytes());
  if (bits.size() < colorBytes) return std::nullopt;

  ArgbImage result;
  result.width = format->width;
  result.height = format->height;
  result.pixels.resize(static_cast<std::size_t>(result.width) * result.height);
  const bool alphaChannel = format->bitCount == 32;
  if (!DecodeDibRows(*format, bits, result.pixels.data(), result.width, alphaChannel)) {
    return std::nullopt;
  }
  if (alphaChannel && std::any_of(result.pixels.begin(), result.pixels.end(),
                                  [](std::uint32_t pixel) { return pixel >> 24 != 0; })) {
    return result;
  }

  const std::span<const std::uint8_t> mask = bits.subspan(colorBytes);
  const std::size_t maskRowBytes = static_cast<std::size_t>(RowBytesFor(result.width));
  if (mask.size() / maskRowBytes < static_cast<std::size_t>(result.height)) return std::nullopt;
  for (int row = 0; row < result.height; ++row) {
    const std::uint8_t* maskRow = mask.data() + static_cast<std::size_t>(row) * maskRowBytes;
    std::uint32_t* pixel =
        result.pixels.data() + static_cast<std::size_t>(result.height - 1 - row) * result.width;
    for (int x = 0; x < result.width; ++x) {
      const bool transparent = (maskRow[x >> 3] >> (7 - (x & 7))) & 1;
      pixel[x] = (pixel[x] & 0xFFFFFF) | (transparent ? 0 : 0xFF000000u);
    }
  }
  return result;
}

bool StartsIconDirectory(std::span<const std::uint8_t> file) {
  return file.size() >= kDirectorySize && LoadU16(file, 0) == 0 && LoadU16(file, 2) == kIconType;
}

}  // namespace

std::optional<std::int64_t> IconFileBytesNeeded(std::span<const std::uint8_t> head) {
  if (head.size() < kDirectorySize) return std::int64_t{kDirectorySize};
  if (!StartsIconDirectory(head)) return std::nullopt;
  const std::size_t count = LoadU16(head, 4);
  const auto directoryEnd = static_cast<std::int64_t>(kDirectorySize + count * kEntrySize);
  if (static_cast<std::int64_t>(head.size()) < directoryEnd) return directoryEnd;
  std::int64_t end = directoryEnd;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = kDirectorySize + i * kEntrySize;
    end = std::max(end, std::int64_t{LoadU32(head, at + 12)} + LoadU32(head, at + 8));
  }
  return end;
}

std::optional<ArgbImage> ReadIconFile(std::span<const std::uint8_t> file, int width, int height,
                                      ImageServices& images) {
  if (width < 0 || height < 0 || !StartsIconDirectory(file)) return std::nullopt;
  const std::optional<Entry> entry = ChooseEntry(file, width == 0 ? kDefaultIconSize : width,
                                                 height == 0 ? kDefaultIconSize : height);
  if (!entry) return std::nullopt;
  return IsPng(entry->image) ? DecodePngEntry(entry->image, images) : DecodeDibEntry(entry->image);
}

}  // namespace qel
