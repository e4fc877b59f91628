// Our skin files: the theme the skin library paints the program with, and the one reader and
// writer of the bytes that carry it.
#include "skin/skin_format.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <type_traits>

namespace qel::skin {
namespace {

constexpr std::array<std::uint8_t, 6> kMagic = {'.', 'S', 'H', 'E', 0x00, 0x03};
constexpr std::string_view kFillPattern = "QEL-SKIN-FILL ";
constexpr std::size_t kSectionHeader = 8;
constexpr std::size_t kMaxName = 255;

// Field ids are part of the file format: never renumber one, only add new ones.
const std::array kThemeFields = {
    ThemeField{"window.face", 1, [](Theme& t) -> ThemeFieldRef { return &t.window.face; }},
    ThemeField{"window.face_gradient_end", 2,
               [](Theme& t) -> ThemeFieldRef { return &t.window.faceGradientEnd; }},
    ThemeField{"window.text", 3, [](Theme& t) -> ThemeFieldRef { return &t.window.text; }},
    ThemeField{"title.tint", 4, [](Theme& t) -> ThemeFieldRef { return &t.title.tint; }},
    ThemeField{"title.opacity", 5, [](Theme& t) -> ThemeFieldRef { return &t.title.opacity; }},
    ThemeField{"tabs.face", 6, [](Theme& t) -> ThemeFieldRef { return &t.tabs.face; }},
    ThemeField{"tabs.selected_face", 7,
               [](Theme& t) -> ThemeFieldRef { return &t.tabs.selectedFace; }},
    ThemeField{"tabs.text", 8, [](Theme& t) -> ThemeFieldRef { return &t.tabs.text; }},
    ThemeField{"tabs.selected_text", 9,
               [](Theme& t) -> ThemeFieldRef { return &t.tabs.selectedText; }},
    ThemeField{"tabs.pane_border", 10,
               [](Theme& t) -> ThemeFieldRef { return &t.tabs.paneBorder; }},
    ThemeField{"group.frame", 11, [](Theme& t) -> ThemeFieldRef { return &t.groupBox.frame; }},
    ThemeField{"group.caption", 12, [](Theme& t) -> ThemeFieldRef { return &t.groupBox.caption; }},
    ThemeField{"button.face", 13, [](Theme& t) -> ThemeFieldRef { return &t.button.face; }},
    ThemeField{"button.face_gradient_end", 14,
               [](Theme& t) -> ThemeFieldRef { return &t.button.faceGradientEnd; }},
    ThemeField{"button.hover_face", 15,
               [](Theme& t) -> ThemeFieldRef { return &t.button.hoverFace; }},
    ThemeField{"button.pressed_face", 16,
               [](Theme& t) -> ThemeFieldRef { return &t.button.pressedFace; }},
    ThemeField{"button.border", 17, [](Theme& t) -> ThemeFieldRef { return &t.button.border; }},
    ThemeField{"button.text", 18, [](Theme& t) -> ThemeFieldRef { return &t.button.text; }},
    ThemeField{"button.corner_radius", 19,
               [](Theme& t) -> ThemeFieldRef { return &t.button.cornerRadius; }},
    ThemeField{"edit.background", 20, [](Theme& t) -> ThemeFieldRef { return &t.edit.background; }},
    ThemeField{"edit.text", 21, [](Theme& t) -> ThemeFieldRef { return &t.edit.text; }},
    ThemeField{"edit.border", 22, [](Theme& t) -> ThemeFieldRef { return &t.edit.border; }},
    ThemeField{"edit.focus_border", 23,
               [](Theme& t) -> ThemeFieldRef { return &t.edit.focusBorder; }},
    ThemeField{"edit.selection_background", 24,
               [](Theme& t) -> ThemeFieldRef { return &t.edit.selectionBackground; }},
    ThemeField{"edit.selection_text", 25,
               [](Theme& t) -> ThemeFieldRef { return &t.edit.selectionText; }},
    ThemeField{"radio.ring", 26, [](Theme& t) -> ThemeFieldRef { return &t.radio.ring; }},
    ThemeField{"radio.dot", 27, [](Theme& t) -> ThemeFieldRef { return &t.radio.dot; }},
    ThemeField{"radio.text", 28, [](Theme& t) -> ThemeFieldRef { return &t.radio.text; }},
    ThemeField{"label.text", 29, [](Theme& t) -> ThemeFieldRef { return &t.labelText; }},
    ThemeField{"disabled.text", 30, [](Theme& t) -> ThemeFieldRef { return &t.disabledText; }},
    ThemeField{"font.family", 31, [](Theme& t) -> ThemeFieldRef { return &t.fontFamily; }},
    ThemeField{"font.point_size", 32, [](Theme& t) -> ThemeFieldRef { return &t.fontPointSize; }},
};
constexpr std::size_t kFieldIds = 33;

bool Fail(std::string* why, std::string reason) {
  if (why) *why = std::move(reason);
  return false;
}

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} | std::uint32_t{bytes[at + 1]} << 8 |
         std::uint32_t{bytes[at + 2]} << 16 | std::uint32_t{bytes[at + 3]} << 24;
}

void WriteU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

bool IsUtf8(std::span<const std::uint8_t> text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::uint8_t lead = text[i];
    std::size_t more = 0;
    std::uint32_t code = lead;
    if (lead == 0) return false;
    if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3, code = lead & 0x07;
    } else if (lead >= 0x80) {
      return false;
    }
    if (text.size() - i - 1 < more) return false;
    for (std::size_t k = 1; k <= more; ++k) {
      if ((text[i + k] & 0xC0) != 0x80) return false;
      code = code << 6 | (text[i + k] & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode's end are not UTF-8.
    if ((more == 2 && code < 0x800) || (more == 3 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += more + 1;
  }
  return true;
}

bool FontFamilyFits(std::string_view family) {
  return !family.empty() && family.size() <= kMaxName &&
         IsUtf8({reinterpret_cast<const std::uint8_t*>(family.data()), family.size()});
}

// Texture names are what the library looks textures up by, and appear in reasons: printable
// ASCII without spaces.
bool IsTextureName(std::string_view name) {
  return !name.empty() && name.size() <= kMaxName &&
         std::ranges::all_of(name, [](char c) { return c > ' ' && c <= '~'; });
}

bool ParseTheme(std::span<const std::uint8_t> payload, Theme& theme, std::string* why) {
  std::bitset<kFieldIds> seen;
  std::size_t at = 0;
  while (at < payload.size()) {
    if (payload.size() - at < 2) return Fail(why, "a theme field's header is cut short");
    const std::uint8_t id = payload[at];
    const std::size_t length = payload[at + 1];
    at += 2;
    if (payload.size() - at < length) return Fail(why, "a theme field runs past its section");
    const auto value = payload.subspan(at, length);
    at += length;
    const auto field = std::ranges::find(kThemeFields, id, &ThemeField::id);
    if (field == kThemeFields.end()) return Fail(why, "unknown theme field " + std::to_string(id));
    if (seen.test(id)) return Fail(why, "theme field " + std::string(field->key) + " twice");
    seen.set(id);
    const auto ok = std::visit(
        [&](auto* target) {
          using Target = std::remove_pointer_t<decltype(target)>;
          if constexpr (std::is_same_v<Target, std::uint8_t>) {
            if (length != 1) return false;
            *target = value[0];
          } else if constexpr (std::is_same_v<Target, std::string>) {
            if (!IsUtf8(value) || value.empty()) return false;
            target->assign(value.begin(), value.end());
          } else {
            if (length != 3) return false;
            *target = Colour{value[0], value[1], value[2]};
          }
          return true;
        },
        field->at(theme));
    if (!ok) return Fail(why, "theme field " + std::string(field->key) + " has a bad value");
  }
  for (const ThemeField& field : kThemeFields) {
    const bool optional = std::holds_alternative<std::optional<Colour>*>(field.at(theme));
    if (!optional && !seen.test(field.id))
      return Fail(why, "theme field " + std::string(field.key) + " is missing");
  }
  if (theme.fontPointSize == 0) return Fail(why, "the font's point size is 0");
  return true;
}

bool ParseTexture(std::span<const std::uint8_t> payload, Theme& theme, std::string* why) {
  if (payload.empty()) return Fail(why, "a texture has no name");
  const std::size_t nameLength = payload[0];
  if (payload.size() < 1 + nameLength + 8) return Fail(why, "a texture's header is cut short");
  const std::string name(payload.begin() + 1, payload.begin() + 1 + nameLength);
  if (!IsTextureName(name)) return Fail(why, "a texture's name is empty or not printable");
  if (std::ranges::find(theme.textures, name, &Texture::name) != theme.textures.end())
    return Fail(why, "texture " + name + " twice");
  const std::uint32_t width = ReadU32(payload, 1 + nameLength);
  const std::uint32_t height = ReadU32(payload, 5 + nameLength);
  if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide)
    return Fail(why, "texture " + name + " has a size out of range");
  const auto pixelBytes = payload.subspan(9 + nameLength);
  // Both sides are at most 4096, so the product cannot overflow; checking it against the bytes
  // present before allocating keeps a small file from asking for a large picture.
  if (std::uint64_t{width} * height * 4 != pixelBytes.size())
    return Fail(why, "texture " + name + "'s pixels do not match its size");
  Texture texture{name, width, height, {}};
  texture.pixels.resize(pixelBytes.size() / 4);
  for (std::size_t i = 0; i < texture.pixels.size(); ++i)
    texture.pixels[i] = ReadU32(pixelBytes, i * 4);
  theme.textures.push_back(std::move(texture));
  return true;
}

bool IsFiller(std::span<const std::uint8_t> payload) {
  for (std::size_t i = 0; i < payload.size(); ++i)
    if (payload[i] != static_cast<std::uint8_t>(kFillPattern[i % kFillPattern.size()]))
      return false;
  return true;
}

void WriteSection(std::vector<std::uint8_t>& out, std::string_view tag,
                  std::span<const std::uint8_t> payload) {
  out.insert(out.end(), tag.begin(), tag.end());
  WriteU32(out, static_cast<std::uint32_t>(payload.size()));
  out.insert(out.end(), payload.begin(), payload.end());
}

std::vector<std::uint8_t> ThemePayload(const Theme& theme) {
  Theme fields = theme;
  std::vector<std::uint8_t> out;
  for (const ThemeField& field : kThemeFields) {
    std::visit(
        [&](auto* source) {
          using Source = std::remove_pointer_t<decltype(source)>;
          if constexpr (std::is_same_v<Source, std::uint8_t>) {
            out.insert(out.end(), {field.id, 1, *source});
          } else if constexpr (std::is_same_v<Source, std::string>) {
            out.insert(out.end(), {field.id, static_cast<std::uint8_t>(source->size())});
            out.insert(out.end(), source->begin(), source->end());
          } else if constexpr (std::is_same_v<Source, Colour>) {
            out.insert(out.end(), {field.id, 3, source->r, source->g, source->b});
          } else if (*source) {
            out.insert(out.end(), {field.id, 3, (*source)->r, (*source)->g, (*source)->b});
          }
        },
        field.at(fields));
  }
  return out;
}

std::vector<std::uint8_t> TexturePayload(const Texture& texture) {
  std::vector<std::uint8_t> out;
  out.reserve(9 + texture.name.size() + texture.pixels.size() * 4);
  out.push_back(static_cast<std::uint8_t>(texture.name.size()));
  out.insert(out.end(), texture.name.begin(), texture.name.end());
  WriteU32(out, texture.width);
  WriteU32(out, texture.height);
  for (const std::uint32_t pixel : texture.pixels) WriteU32(out, pixel);
  return out;
}

}  // namespace

std::span<const ThemeField> ThemeFields() { return kThemeFields; }

std::optional<Theme> ParseSkin(std::span<const std::uint8_t> bytes, std::string* why) {
  if (bytes.size() < kMagic.size() || !std::ranges::equal(bytes.first(kMagic.size()), kMagic)) {
    Fail(why, "not a skin file: it does not start with .SHE 00 03");
    return std::nullopt;
  }
  Theme theme;
  bool haveTheme = false;
  bool haveFill = false;
  std::size_t at = kMagic.size();
  while (at < bytes.size()) {
    if (haveFill) {
      Fail(why, "a section follows the filler");
      return std::nullopt;
    }
    if (bytes.size() - at < kSectionHeader) {
      Fail(why, "a section header is cut short");
      return std::nullopt;
    }
    const std::string tag(bytes.begin() + at, bytes.begin() + at + 4);
    const std::uint32_t length = ReadU32(bytes, at + 4);
    at += kSectionHeader;
    // Only known tags get into a reason, so reasons stay readable text.
    if (tag != "THEM" && tag != "TEXR" && tag != "FILL") {
      Fail(why, "unknown section");
      return std::nullopt;
    }
    if (bytes.size() - at < length) {
      Fail(why, "section " + tag + " runs past the end of the file");
      return std::nullopt;
    }
    const auto payload = bytes.subspan(at, length);
    at += length;
    bool ok = true;
    if (tag == "THEM") {
      ok = haveTheme ? Fail(why, "two THEM sections") : ParseTheme(payload, theme, why);
      haveTheme = true;
    } else if (tag == "TEXR") {
      ok = ParseTexture(payload, theme, why);
    } else {
      ok = IsFiller(payload) || Fail(why, "the filler is not the repeated fill text");
      haveFill = true;
    }
    if (!ok) return std::nullopt;
  }
  if (!haveTheme || !haveFill) {
    Fail(why, haveTheme ? "the filler section is missing" : "the THEM section is missing");
    return std::nullopt;
  }
  return theme;
}

std::optional<std::vector<std::uint8_t>> SerializeSkin(const Theme& theme, std::size_t exactLength,
                                                       std::string* why) {
  if (!FontFamilyFits(theme.fontFamily) || theme.fontPointSize == 0) {
    Fail(why, "the font family must be 1 to 255 bytes of UTF-8 and the point size above 0");
    return std::nullopt;
  }
  std::vector<std::uint8_t> out(kMagic.begin(), kMagic.end());
  WriteSection(out, "THEM", ThemePayload(theme));
  for (const Texture& texture : theme.textures) {
    const bool sized = texture.width > 0 && texture.height > 0 &&
                       texture.width <= kMaxTextureSide && texture.height <= kMaxTextureSide &&
                       std::uint64_t{texture.width} * texture.height == texture.pixels.size();
    const auto same = std::ranges::count(theme.textures, texture.name, &Texture::name);
    if (!IsTextureName(texture.name) || same > 1 || !sized) {
      Fail(why, "texture " + texture.name + " has a bad name or size");
      return std::nullopt;
    }
    WriteSection(out, "TEXR", TexturePayload(texture));
  }
  if (out.size() + kSectionHeader > exactLength) {
    Fail(why, "the content takes " + std::to_string(out.size() + kSectionHeader) +
                  " bytes with the filler's header, more than the skin's " +
                  std::to_string(exactLength));
    return std::nullopt;
  }
  std::vector<std::uint8_t> filler(exactLength - out.size() - kSectionHeader);
  for (std::size_t i = 0; i < filler.size(); ++i)
    filler[i] = static_cast<std::uint8_t>(kFillPattern[i % kFillPattern.size()]);
  WriteSection(out, "FILL", filler);
  return out;
}

}  // namespace qel::skin
