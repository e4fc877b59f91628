// libFuzzer target over the skin reader: the skin library reads skin files from disk, where
// anything may have replaced them. Whatever it accepts must also write back to the same length and
// read back unchanged, so reader and writer agree on every file the reader lets through.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "skin/skin_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace qel::skin;
  const std::span<const std::uint8_t> file(data, size);
  const auto theme = ParseSkin(file);
  if (!theme) return 0;
  const auto written = SerializeSkin(*theme, size);
  if (!written || ParseSkin(*written) != theme) std::abort();
  return 0;
}
