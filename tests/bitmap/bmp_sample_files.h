// Reads the sample files under tests/data and the reference pixels ImageMagick wrote for them
// (binary PPM and PAM), for the BMP decoder's and the icon reader's tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace qel::bmp_samples {

// The build passes the folder in; under Wine it is given through the drive that maps the Unix
// root.
inline std::string DataPath(const std::string& relative) {
  return std::string(QEL_TEST_DATA_DIR) + "/" + relative;
}

// Empty when the file cannot be read.
inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Reference {
  int width = 0;
  int height = 0;
  // 0xAARRGGBB, rows top-down; alpha 0 when the reference has no alpha channel (PPM).
  std::vector<std::uint32_t> pixels;
};

// A binary PPM (P6) or PAM (P7, RGB_ALPHA) with 8-bit samples; width 0 when it cannot be read.
inline Reference ReadReference(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadBytes(path);
  const std::string text(bytes.begin(), bytes.end());
  std::istringstream in(text);
  std::string magic;
  in >> magic;
  Reference reference;
  int channels = 3;
  if (magic == "P6") {
    int maxValue = 0;
    in >> reference.width >> reference.height >> maxValue;
    in.get();
  } else if (magic == "P7") {
    for (std::string key; in >> key && key != "ENDHDR";) {
      if (key == "WIDTH") in >> reference.width;
      if (key == "HEIGHT") in >> reference.height;
      if (key == "DEPTH") in >> channels;
      if (key == "TUPLTYPE" || key == "MAXVAL") in >> key;
    }
    in.get();
  }
  const auto start = static_cast<std::size_t>(in.tellg());
  const std::size_t count = static_cast<std::size_t>(reference.width) * reference.height;
  if (!in || (channels != 3 && channels != 4) || bytes.size() < start + count * channels) {
    return {};
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = bytes.data() + start + i * channels;
    const std::uint32_t alpha = channels == 4 ? p[3] : 0;
    reference.pixels.push_back(alpha << 24 | std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2]);
  }
  return reference;
}

}  // namespace qel::bmp_samples
