// Build-time program that turns the readable theme sources (resources/skins/NN.theme) into the
// program's 33 skin files, each of its fixed length, and a C++ source carrying their bytes.
//
// Usage: qel_skin_generator <theme-dir> <out-dir>
//   reads <theme-dir>/01.theme ... 33.theme, writes <out-dir>/01.she ... 33.she and
//   <out-dir>/skin_table.cpp. Exits with 1 and says why on a bad source or a skin that outgrows
//   its length.
//
// A theme source has one setting a line; blank lines and lines starting with # are skipped.
//   <field> = <value>      a field ThemeFields() names: colours as #RRGGBB, numbers in decimal,
//                          the font family as the rest of the line
//   texture <name> = <recipe> <width>x<height> <arguments>
// with the recipes
//   gradient <from #RRGGBB> <to #RRGGBB>         top to bottom
//   noise <base #RRGGBB> <amount 0-255> <seed>   grain of up to +-amount around the base
//   stripes <a #RRGGBB> <b #RRGGBB> <width>      diagonal bands, width pixels each
//   dots <back #RRGGBB> <dot #RRGGBB> <spacing>  2 x 2 dots on a square grid
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "skin/skin_format.h"

namespace qel::skin {
namespace {

// The length of each skin file, skin 1 first: fixed, whatever the theme in it.
constexpr std::array<std::size_t, 33> kSkinLengths = {
    15574, 9533,  19786, 19497, 17699, 41098, 12564, 18930, 13192, 24409, 30738,
    8321,  26370, 15733, 12105, 23603, 20863, 16746, 11676, 17997, 12882, 37461,
    30958, 25715, 34523, 28961, 29447, 15562, 20738, 18765, 31134, 44110, 20275};

struct SourceError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (text = Trim(text); !text.empty(); text = Trim(text)) {
    const auto end = std::min(text.find_first_of(" \t"), text.size());
    words.push_back(text.substr(0, end));
    text.remove_prefix(end);
  }
  return words;
}

std::uint32_t Number(std::string_view text, std::uint32_t max) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value > max)
    throw SourceError("'" + std::string(text) + "' is not a number from 0 to " +
                      std::to_string(max));
  return value;
}

Colour ColourOf(std::string_view text) {
  std::uint32_t rgb = 0;
  const bool hex =
      text.size() == 7 && text[0] == '#' &&
      std::from_chars(text.data() + 1, text.data() + 7, rgb, 16).ptr == text.data() + 7;
  if (!hex) throw SourceError("'" + std::string(text) + "' is not a colour #RRGGBB");
  return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
          static_cast<std::uint8_t>(rgb)};
}

std::uint32_t Argb(int r, int g, int b) {
  const auto clamp = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
  return 0xFF000000u | clamp(r) << 16 | clamp(g) << 8 | clamp(b);
}

std::uint32_t Argb(Colour c) { return Argb(c.r, c.g, c.b); }

Texture MakeTexture(std::string_view name, const std::vector<std::string_view>& words) {
  if (words.size() < 2) throw SourceError("a texture needs a recipe and a size WxH");
  const std::string_view size = words[1];
  const auto cross = size.find('x');
  if (cross == std::string_view::npos) throw SourceError("the size must be WxH");
  Texture texture{std::string(name),
                  Number(size.substr(0, cross), kMaxTextureSide),
                  Number(size.substr(cross + 1), kMaxTextureSide),
                  {}};
  if (texture.width == 0 || texture.height == 0) throw SourceError("a texture is at least 1x1");
  const std::string_view recipe = words[0];
  const std::size_t arguments = recipe == "gradient" ? 2 : 3;
  if (words.size() != 2 + arguments)
    throw SourceError("recipe " + std::string(recipe) + " takes " + std::to_string(arguments) +
                      " arguments after the size");
  const auto w = static_cast<int>(texture.width);
  const auto h = static_cast<int>(texture.height);
  texture.pixels.reserve(std::size_t{texture.width} * texture.height);
  if (recipe == "gradient") {
    const Colour from = ColourOf(words[2]);
    const Colour to = ColourOf(words[3]);
    for (int y = 0; y < h; ++y) {
      const auto mix = [&](int a, int b) { return a + (b - a) * y / std::max(h - 1, 1); };
      for (int x = 0; x < w; ++x)
        texture.pixels.push_back(Argb(mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)));
    }
  } else if (recipe == "noise") {
    const Colour base = ColourOf(words[2]);
    const auto amount = static_cast<int>(Number(words[3], 255));
    // xorshift32: the same seed gives the same grain on every build host.
    std::uint32_t state = Number(words[4], 0xFFFFFFFF) | 1;
    for (int i = 0; i < w * h; ++i) {
      state ^= state << 13, state ^= state >> 17, state ^= state << 5;
      const int shift =
          static_cast<int>(state % static_cast<std::uint32_t>(2 * amount + 1)) - amount;
      texture.pixels.push_back(Argb(base.r + shift, base.g + shift, base.b + shift));
    }
  } else if (recipe == "stripes" || recipe == "dots") {
    const std::uint32_t a = Argb(ColourOf(words[2]));
    const std::uint32_t b = Argb(ColourOf(words[3]));
    const auto step = static_cast<int>(Number(words[4], kMaxTextureSide));
    if (step < 2) throw SourceError("stripe width or dot spacing is at least 2");
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool second =
            recipe == "stripes" ? (x + y) / step % 2 == 1 : x % step < 2 && y % step < 2;
        texture.pixels.push_back(second ? b : a);
      }
  } else {
    throw SourceError("unknown texture recipe '" + std::string(recipe) + "'");
  }
  return texture;
}

void SetField(Theme& theme, const ThemeField& field, std::string_view value) {
  std::visit(
      [&](auto* target) {
        using Target = std::remove_pointer_t<decltype(target)>;
        if constexpr (std::is_same_v<Target, std::uint8_t>) {
          *target = static_cast<std::uint8_t>(Number(value, 255));
        } else if constexpr (std::is_same_v<Target, std::string>) {
          *target = std::string(value);
        } else {
          *target = ColourOf(value);
        }
      },
      field.at(theme));
}

Theme ReadTheme(const std::filesystem::path& path) {
  std::ifstream file(path);
  if (!file) throw SourceError("cannot be read");
  Theme theme;
  std::set<std::string, std::less<>> seen;
  std::string line;
  for (int number = 1; std::getline(file, line); ++number) {
    try {
      const std::string_view text = Trim(line);
      if (text.empty() || text[0] == '#') continue;
      const auto equals = text.find('=');
      if (equals == std::string_view::npos) throw SourceError("expected <key> = <value>");
      const std::string_view key = Trim(text.substr(0, equals));
      const std::string_view value = Trim(text.substr(equals + 1));
      if (!seen.emplace(key).second) throw SourceError("'" + std::string(key) + "' set twice");
      if (key.starts_with("texture ")) {
        theme.textures.push_back(MakeTexture(Trim(key.substr(8)), Words(value)));
        continue;
      }
      const auto fields = ThemeFields();
      const auto field = std::ranges::find(fields, key, &ThemeField::key);
      if (field == fields.end()) throw SourceError("unknown key '" + std::string(key) + "'");
      SetField(theme, *field, value);
    } catch (const SourceError& error) {
      throw SourceError("line " + std::to_string(number) + ": " + error.what());
    }
  }
  for (const ThemeField& field : ThemeFields()) {
    const bool optional = std::holds_alternative<std::optional<Colour>*>(field.at(theme));
    if (!optional && !seen.contains(field.key))
      throw SourceError("'" + std::string(field.key) + "' is not set");
  }
  if (theme.textures.empty()) throw SourceError("a skin has at least one texture");
  return theme;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file.flush()) throw std::runtime_error(path.string() + ": cannot be written");
}

std::string TableSource(const std::vector<std::vector<std::uint8_t>>& skins) {
  std::ostringstream out;
  out << "// Made by qel_skin_generator from resources/skins/*.theme at build time.\n"
         "#include \"skin/skin_table.h\"\n\n#include <array>\n\nnamespace qel::skin {\n"
         "namespace {\n\n";
  for (std::size_t i = 0; i < skins.size(); ++i) {
    out << "const std::uint8_t kSkin" << i + 1 << "[] = {";
    for (std::size_t k = 0; k < skins[i].size(); ++k)
      out << (k % 24 == 0 ? "\n" : "") << int{skins[i][k]} << ',';
    out << "\n};\n\n";
  }
  out << "const std::array<std::span<const std::uint8_t>, " << skins.size() << "> kSkins = {\n";
  for (std::size_t i = 0; i < skins.size(); ++i) out << "    kSkin" << i + 1 << ",\n";
  out << "};\n\n}  // namespace\n\nstd::span<const std::uint8_t> SkinBlock(int number) {\n"
         "  if (number < 1 || number > static_cast<int>(kSkins.size())) return {};\n"
         "  return kSkins[static_cast<std::size_t>(number - 1)];\n}\n\n}  // namespace qel::skin\n";
  return out.str();
}

int Generate(const std::filesystem::path& themeDir, const std::filesystem::path& outDir) {
  std::vector<std::vector<std::uint8_t>> skins;
  for (std::size_t i = 0; i < kSkinLengths.size(); ++i) {
    const std::string stem = (i < 9 ? "0" : "") + std::to_string(i + 1);
    const auto source = themeDir / (stem + ".theme");
    std::string why;
    try {
      const Theme theme = ReadTheme(source);
      auto bytes = SerializeSkin(theme, kSkinLengths[i], &why);
      if (!bytes) throw SourceError(why);
      if (ParseSkin(*bytes, &why) != theme) throw SourceError("does not read back: " + why);
      WriteFile(outDir / (stem + ".she"),
                {reinterpret_cast<const char*>(bytes->data()), bytes->size()});
      skins.push_back(std::move(*bytes));
    } catch (const std::exception& error) {
      std::fprintf(stderr, "qel_skin_generator: %s: %s\n", source.string().c_str(), error.what());
      return 1;
    }
  }
  try {
    WriteFile(outDir / "skin_table.cpp", TableSource(skins));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "qel_skin_generator: %s\n", error.what());
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace qel::skin

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qel_skin_generator <theme-dir> <out-dir>\n");
    return 2;
  }
  return qel::skin::Generate(argv[1], argv[2]);
}
