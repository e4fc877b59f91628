// Build-time program that makes the skin library's file image the program carries: the built
// library followed by zero bytes up to the image's fixed length, as a file and as a C++ source.
//
// Usage: qel_skin_library_embedder <library> <length> <padded-out> <cpp-out>
// Exits with 1, saying why, when the library is larger than the image or cannot be read.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

bool WriteFile(const char* path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

std::string ImageSource(const std::string& image) {
  std::ostringstream out;
  out << "// Made by qel_skin_library_embedder from the built skin library.\n"
         "#include \"skin/skin_library_image.h\"\n\nnamespace qel::skin {\nnamespace {\n\n"
         "alignas(16) const std::uint8_t kImage["
      << image.size() << "] = {";
  for (std::size_t i = 0; i < image.size(); ++i)
    out << (i % 24 == 0 ? "\n" : "") << int{static_cast<unsigned char>(image[i])} << ',';
  out << "\n};\n\n}  // namespace\n\nstd::span<const std::uint8_t> SkinLibraryImage() { "
         "return kImage; }\n\n}  // namespace qel::skin\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: qel_skin_library_embedder <library> <length> <padded> <cpp>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::string image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.good() && !in.eof()) {
    std::fprintf(stderr, "qel_skin_library_embedder: %s cannot be read\n", argv[1]);
    return 1;
  }
  const std::size_t length = std::stoul(argv[2]);
  if (image.size() > length) {
    std::fprintf(stderr,
                 "qel_skin_library_embedder: the skin library %s is %zu bytes, %zu more than the "
                 "%zu bytes of the file image the program carries; make the library smaller\n",
                 argv[1], image.size(), image.size() - length, length);
    return 1;
  }
  image.resize(length, '\0');
  if (!WriteFile(argv[3], image) || !WriteFile(argv[4], ImageSource(image))) {
    std::fprintf(stderr, "qel_skin_library_embedder: the image cannot be written\n");
    return 1;
  }
  return 0;
}
