#include "bitmap/image_file.h"

#include <algorithm>
#include <fstream>
#include <new>
#include <span>
#include <system_error>
#include <utility>

#include "bitmap/bmp_decoder.h"
#include "bitmap/bmp_dib.h"
#include "bitmap/decode_limit.h"
#include "bitmap/icon_file.h"

namespace qel {
namespace {

// How far the headers read so far say the file must be read; an .ico file's directory says
// where its images end only once it is read whole.
std::optional<std::int64_t> BytesNeeded(std::span<const std::uint8_t> head, ImageType type) {
  return type == ImageType::Bitmap ? BmpFileBytesNeeded(head) : IconFileBytesNeeded(head);
}

// Reads on to `size` bytes in all; false when the file ends or fails first.
bool ReadUpTo(std::ifstream& file, std::vector<std::uint8_t>& bytes, std::size_t size) {
  const std::size_t start = bytes.size();
  try {
    bytes.resize(size);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return static_cast<bool>(file.read(reinterpret_cast<char*>(bytes.data() + start),
                                     static_cast<std::streamsize>(size - start)));
}

// Where a BMP file's width and height end: after the 14-byte file header, a 12-byte core header
// holds them as 16-bit fields, any later header as 32-bit ones.
constexpr std::size_t kCoreFieldsEnd = 22;
constexpr std::size_t kInfoFieldsEnd = 26;

// The width and height a BMP file declares, the height made positive for top-down rows; nullopt
// when the bytes hold neither.
std::optional<std::pair<std::int64_t, std::int64_t>> DeclaredSize(
    std::span<const std::uint8_t> head) {
  if (head.size() < kCoreFieldsEnd || head[0] != 'B' || head[1] != 'M') return std::nullopt;
  if (LoadU32(head, 14) == 12) {
    return std::pair<std::int64_t, std::int64_t>{LoadU16(head, 18), LoadU16(head, 20)};
  }
  if (head.size() < kInfoFieldsEnd) return std::nullopt;
  const std::int64_t height = static_cast<std::int32_t>(LoadU32(head, 22));
  return std::pair<std::int64_t, std::int64_t>{static_cast<std::int32_t>(LoadU32(head, 18)),
                                               height < 0 ? -height : height};
}

}  // namespace

bool MayLoadBmpFile(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream file(path, std::ios::binary);
  std::vector<std::uint8_t> head(kInfoFieldsEnd);
  file.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  const auto size = DeclaredSize(head);
  return !size || size->first <= 0 || size->second <= 0 ||
         WithinDecodeLimit(size->first, size->second);
}

std::optional<std::vector<std::uint8_t>> ReadImageFile(const std::filesystem::path& path,
                                                       ImageType type) {
  std::error_code error;
  // Opening a FIFO waits for a writer, and a device may never end.
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t fileSize = std::filesystem::file_size(path, error);
  std::ifstream file(path, std::ios::binary);
  if (error || !file) return std::nullopt;

  std::vector<std::uint8_t> bytes;
  std::size_t wanted = type == ImageType::Bitmap ? kBmpHeadBytes : 0;
  for (;;) {
    const std::size_t reach = static_cast<std::size_t>(std::min<std::uintmax_t>(wanted, fileSize));
    if (reach > bytes.size() && !ReadUpTo(file, bytes, reach)) return std::nullopt;
    const std::optional<std::int64_t> needed = BytesNeeded(bytes, type);
    if (!needed) return std::nullopt;
    const auto neededSize = static_cast<std::uintmax_t>(*needed);
    if (neededSize <= bytes.size()) {
      bytes.resize(static_cast<std::size_t>(neededSize));
      return bytes;
    }
    if (bytes.size() == fileSize) return bytes;  // shorter than the headers say: the decoder judges
    wanted = static_cast<std::size_t>(std::min<std::uintmax_t>(neededSize, SIZE_MAX));
  }
}

}  // namespace qel
