// Our skin files: the theme the skin library paints the program with, and the one reader and
// writer of the bytes that carry it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// A skin file is
//
//   ".SHE" 00 03                 six bytes that name the file and its layout
//   sections, each:  tag (4 ASCII bytes), payload length (uint32, little-endian), payload
//
// with these sections, in any order except that FILL comes last:
//
//   THEM  exactly one: the theme's fields as records of field id (1 byte), value length
//         (1 byte), value. Colours are 3 bytes R, G, B; opacity, corner radius and point size
//         one byte each; the font family UTF-8 bytes (1 to 255). Every field but the window's
//         gradient end is required; an id may appear once.
//   TEXR  one per texture: name length (1 byte), name (1 to 255 printable ASCII bytes, no
//         spaces, unique in the file), width and height (uint32 each, 1 to 4096), then
//         width * height pixels, row by row from the top, each a little-endian 0xAARRGGBB.
//   FILL  exactly one, last: the bytes of "QEL-SKIN-FILL " repeated (the last copy cut short).
//         Every skin has a fixed length; this block makes it up, and carries nothing.
//
// All integers are little-endian. A reader refuses anything else: unknown tags or field ids,
// sections or values running past the end, sizes the bytes do not hold.

namespace qel::skin {

struct Colour {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Colour&, const Colour&) = default;
};

// A small picture the library tiles or stretches: 0xAARRGGBB pixels, row by row from the top.
struct Texture {
  std::string name;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint32_t> pixels;
  friend bool operator==(const Texture&, const Texture&) = default;
};

struct Theme {
  struct Window {
    Colour face;
    std::optional<Colour> faceGradientEnd;  // the face shades down to it from top to bottom
    Colour text;
    friend bool operator==(const Window&, const Window&) = default;
  } window;
  struct Title {
    Colour tint;  // the title bar's (aero glass's) colour
    std::uint8_t opacity = 255;
    friend bool operator==(const Title&, const Title&) = default;
  } title;
  struct Tabs {
    Colour face;
    Colour selectedFace;
    Colour text;
    Colour selectedText;
    Colour paneBorder;
    friend bool operator==(const Tabs&, const Tabs&) = default;
  } tabs;
  struct GroupBox {
    Colour frame;
    Colour caption;
    friend bool operator==(const GroupBox&, const GroupBox&) = default;
  } groupBox;
  struct Button {
    Colour face;
    Colour faceGradientEnd;
    Colour hoverFace;
    Colour pressedFace;
    Colour border;
    Colour text;
    std::uint8_t cornerRadius = 0;  // pixels
    friend bool operator==(const Button&, const Button&) = default;
  } button;
  struct Edit {
    Colour background;
    Colour text;
    Colour border;
    Colour focusBorder;
    Colour selectionBackground;
    Colour selectionText;
    friend bool operator==(const Edit&, const Edit&) = default;
  } edit;
  struct Radio {
    Colour ring;
    Colour dot;
    Colour text;
    friend bool operator==(const Radio&, const Radio&) = default;
  } radio;
  Colour labelText;
  Colour disabledText;
  std::string fontFamily;  // UTF-8
  std::uint8_t fontPointSize = 9;
  std::vector<Texture> textures;
  friend bool operator==(const Theme&, const Theme&) = default;
};

// Where a theme field lives, for the code that reads or writes the fields one by one.
using ThemeFieldRef = std::variant<Colour*, std::optional<Colour>*, std::uint8_t*, std::string*>;

struct ThemeField {
  std::string_view key;  // as theme sources name it, e.g. "button.hover_face"
  std::uint8_t id;       // as THEM records name it
  ThemeFieldRef (*at)(Theme&);
};

// Every field of a theme but its textures, each once.
std::span<const ThemeField> ThemeFields();

constexpr std::uint32_t kMaxTextureSide = 4096;

// The theme a skin file carries, or nullopt (and, given `why`, the reason) for any file that
// does not follow the layout above to the letter.
std::optional<Theme> ParseSkin(std::span<const std::uint8_t> bytes, std::string* why = nullptr);

// The skin file for `theme`, exactly `exactLength` bytes long, or nullopt (and the reason) when
// the theme cannot be written or does not fit.
std::optional<std::vector<std::uint8_t>> SerializeSkin(const Theme& theme, std::size_t exactLength,
                                                       std::string* why = nullptr);

}  // namespace qel::skin
