#include "skin/skin_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "skin/skin_table.h"

namespace qel::skin {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::size_t, 33> kLengths = {
    15574, 9533,  19786, 19497, 17699, 41098, 12564, 18930, 13192, 24409, 30738,
    8321,  26370, 15733, 12105, 23603, 20863, 16746, 11676, 17997, 12882, 37461,
    30958, 25715, 34523, 28961, 29447, 15562, 20738, 18765, 31134, 44110, 20275};

double Luminance(Colour c) {
  const auto linear = [](std::uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double Contrast(Colour a, Colour b) {
  const auto [dark, light] = std::minmax({Luminance(a), Luminance(b)});
  return (light + 0.05) / (dark + 0.05);
}

struct TextOnBackground {
  const char* what;
  Colour text;
  Colour background;
};

// Every text the library draws, on every background it is drawn on.
std::vector<TextOnBackground> ReadablePairs(const Theme& t) {
  std::vector<TextOnBackground> pairs;
  std::vector<Colour> windowFaces = {t.window.face};
  if (t.window.faceGradientEnd) windowFaces.push_back(*t.window.faceGradientEnd);
  for (const Colour face : windowFaces) {
    pairs.push_back({"window text", t.window.text, face});
    pairs.push_back({"radio text", t.radio.text, face});
    pairs.push_back({"label text", t.labelText, face});
    pairs.push_back({"group caption", t.groupBox.caption, face});
  }
  pairs.push_back({"tab text", t.tabs.text, t.tabs.face});
  pairs.push_back({"selected tab text", t.tabs.selectedText, t.tabs.selectedFace});
  for (const Colour face :
       {t.button.face, t.button.faceGradientEnd, t.button.hoverFace, t.button.pressedFace})
    pairs.push_back({"button text", t.button.text, face});
  pairs.push_back({"edit text", t.edit.text, t.edit.background});
  pairs.push_back({"selection text", t.edit.selectionText, t.edit.selectionBackground});
  return pairs;
}

TEST(BuiltSkins, EachHasItsLengthParsesAndKeepsEveryTextReadable) {
  const std::array<std::uint8_t, 6> lead = {'.', 'S', 'H', 'E', 0x00, 0x03};
  for (int number = 1; number <= 33; ++number) {
    SCOPED_TRACE("skin " + std::to_string(number));
    const auto bytes = SkinBlock(number);
    ASSERT_EQ(bytes.size(), kLengths[static_cast<std::size_t>(number - 1)]);
    EXPECT_TRUE(std::ranges::equal(bytes.first(6), lead));
    std::string why;
    const auto theme = ParseSkin(bytes, &why);
    ASSERT_TRUE(theme) << why;
    EXPECT_FALSE(theme->textures.empty());
    for (const auto& pair : ReadablePairs(*theme))
      EXPECT_GE(Contrast(pair.text, pair.background), 4.5) << pair.what;
  }
  EXPECT_TRUE(SkinBlock(0).empty());
  EXPECT_TRUE(SkinBlock(34).empty());
}

TEST(BuiltSkins, AreAllDifferentLooks) {
  std::vector<Theme> themes;
  for (int number = 1; number <= 33; ++number) {
    Theme theme = *ParseSkin(SkinBlock(number));
    theme.textures.clear();
    EXPECT_EQ(std::ranges::count(themes, theme), 0) << "skin " << number;
    themes.push_back(theme);
  }
}

Theme SmallTheme() {
  Theme theme;
  for (const ThemeField& field : ThemeFields())
    std::visit(
        [&](auto* target) {
          using Target = std::remove_pointer_t<decltype(target)>;
          if constexpr (std::is_same_v<Target, std::uint8_t>) *target = field.id;
          if constexpr (std::is_same_v<Target, Colour>) *target = Colour{field.id, 2, 3};
        },
        field.at(theme));
  theme.fontFamily = "微软雅黑";
  theme.textures.push_back({"tile", 2, 3, {1, 2, 3, 0xFF000000, 0x12345678, 0xFFFFFFFF}});
  theme.textures.push_back({"band", 1, 1, {0x80FF0000}});
  return theme;
}

TEST(SkinFormat, WritesExactlyTheLengthAskedAndReadsBackTheSameTheme) {
  Theme theme = SmallTheme();
  for (const std::size_t length : {std::size_t{300}, std::size_t{4096}}) {
    const auto bytes = SerializeSkin(theme, length);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), length);
    std::string why;
    EXPECT_EQ(ParseSkin(*bytes, &why), theme) << why;
    theme.window.faceGradientEnd = Colour{9, 8, 7};
  }
  std::string why;
  EXPECT_FALSE(SerializeSkin(theme, 100, &why));
  EXPECT_NE(why.find("more than"), std::string::npos);
  theme.textures.push_back(theme.textures.back());
  EXPECT_FALSE(SerializeSkin(theme, 4096));
}

// Section starts of a well-formed skin, and its end.
std::vector<std::size_t> Boundaries(const Bytes& skin) {
  std::vector<std::size_t> at = {6};
  while (at.back() < skin.size()) {
    const std::size_t start = at.back();
    at.push_back(start + 8 + (skin[start + 4] | skin[start + 5] << 8 | skin[start + 6] << 16));
  }
  return at;
}

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

TEST(SkinFormat, RefusesEveryMalformedFileWithAReason) {
  const Bytes good = *SerializeSkin(SmallTheme(), 300);
  const std::vector<std::size_t> at = Boundaries(good);
  ASSERT_EQ(at.size(), 5u);  // THEM, two TEXR, FILL
  const std::size_t them = at[0], tile = at[1];
  const std::size_t tileName = tile + 9;  // "tile": width at +4, height at +8 after the name
  const auto changed = [&](std::function<void(Bytes&)> change) {
    Bytes bytes = good;
    change(bytes);
    return bytes;
  };
  struct Case {
    std::string what;
    Bytes bytes;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"wrong magic", changed([](Bytes& b) { b[3] = 'X'; })},
      {"wrong version", changed([](Bytes& b) { b[5] = 0x02; })},
      {"garbage after the magic", changed([](Bytes& b) {
         for (std::size_t i = 6; i < b.size(); ++i) b[i] = static_cast<std::uint8_t>(i * 37);
       })},
      {"length past the end", changed([&](Bytes& b) { PutU32(b, them + 4, 0xFFFFFFF0); })},
      {"unknown section", changed([&](Bytes& b) { b[tile] = 'Q'; })},
      {"huge texture", changed([&](Bytes& b) {
         PutU32(b, tileName + 4, 0xFFFFFFFF), PutU32(b, tileName + 8, 0xFFFFFFFF);
       })},
      {"texture larger than its pixels",
       changed([&](Bytes& b) { PutU32(b, tileName + 4, 4096), PutU32(b, tileName + 8, 4096); })},
      {"empty texture", changed([&](Bytes& b) { PutU32(b, tileName + 4, 0); })},
      {"duplicate texture", changed([&](Bytes& b) {
         std::copy_n("tile", 4, b.begin() + static_cast<std::ptrdiff_t>(at[2] + 9));
       })},
      {"unknown theme field", changed([&](Bytes& b) { b[them + 8] = 200; })},
      {"duplicate theme field", changed([&](Bytes& b) { b[them + 8 + 5] = b[them + 8]; })},
      {"colour of the wrong length", changed([&](Bytes& b) { b[them + 9] = 2; })},
      {"font family not UTF-8", changed([&](Bytes& b) {
         const std::string_view family = "微";
         *std::ranges::search(b, Bytes(family.begin(), family.end())).begin() = 0xFF;
       })},
      {"filler that is not the fill text", changed([&](Bytes& b) { b.back() = '!'; })},
      {"duplicate THEM", changed([&](Bytes& b) {
         b.insert(b.begin() + static_cast<std::ptrdiff_t>(tile), b.begin() + 6,
                  b.begin() + static_cast<std::ptrdiff_t>(tile));
       })},
      {"section after the filler", changed([&](Bytes& b) {
         b.insert(b.end(), b.begin() + static_cast<std::ptrdiff_t>(tile),
                  b.begin() + static_cast<std::ptrdiff_t>(at[2]));
       })},
      {"missing THEM", changed([&](Bytes& b) {
         b.erase(b.begin() + 6, b.begin() + static_cast<std::ptrdiff_t>(tile));
       })},
      {"missing theme field", changed([&](Bytes& b) {
         b.erase(b.begin() + static_cast<std::ptrdiff_t>(them + 8),
                 b.begin() + static_cast<std::ptrdiff_t>(them + 13));
         PutU32(b, them + 4, static_cast<std::uint32_t>(tile - them - 8 - 5));
       })},
  };
  for (const std::size_t end : at) {
    if (end == good.size()) continue;
    cases.push_back({"cut at section start " + std::to_string(end),
                     Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(end))});
    cases.push_back({"cut inside the header at " + std::to_string(end),
                     Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(end + 5))});
  }
  cases.push_back({"cut inside the filler", Bytes(good.begin(), good.end() - 1)});
  ASSERT_TRUE(ParseSkin(good));
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(ParseSkin(c.bytes, &why)) << c.what;
    EXPECT_FALSE(why.empty()) << c.what;
  }
}

}  // namespace
}  // namespace qel::skin
