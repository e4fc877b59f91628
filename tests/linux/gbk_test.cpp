// The GBK boundary of the Linux view, held against the system's converter.
#include "platform/linux/gbk.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include "convert/ui_texts.h"
#include "platform/linux/qt_dialogs.h"
#include "platform/linux/qt_hotkeys.h"
// X11 last: its macros clash with the names above.
#include <X11/X.h>
#include <X11/keysym.h>

namespace qel {
namespace {

std::string SystemConvert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  std::string out(in.size() * 4 + 4, '\0');
  char* inPtr = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft), static_cast<std::size_t>(-1)) << in;
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::u16string FromUtf8(std::string_view utf8) {
  const std::string bytes = SystemConvert("UTF-16LE", "UTF-8", utf8);
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                  static_cast<unsigned char>(bytes[i + 1]) << 8);
  }
  return text;
}

TEST(UiTexts, EveryTextIsTheGbkFormOfItsReadableForm) {
  for (const UiText* text : kAllUiTexts) {
    EXPECT_EQ(SystemConvert("GBK", "UTF-8", text->readable), text->gbk) << text->readable;
    EXPECT_EQ(GbkToUtf16(text->gbk), FromUtf8(text->readable)) << text->readable;
    EXPECT_EQ(Utf16ToGbk(GbkToUtf16(text->gbk)), text->gbk) << text->readable;
  }
}

TEST(Gbk, BytesThatAreNotGbkBecomeReplacementCharactersAndTheRestSurvives) {
  struct Case {
    std::string_view gbk;
    std::u16string text;
  };
  const Case cases[] = {
      {"", u""},
      {"abc", u"abc"},
      {"\xFF"
       "A",
       u"\uFFFD"
       "A"},                                  // 0xFF leads nothing
      {"A\xB0", u"A\uFFFD"},                  // a lead byte cut off at the end
      {"\xB0\x20Z", u"\uFFFD Z"},             // a lead byte with a trail that cannot follow it
      {"\xA3\xB1\xA3\xB2", u"\uFF11\uFF12"},  // full-width digits
      {std::string_view("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(GbkToUtf16(c.gbk), c.text);
}

TEST(Gbk, CharactersGbkCannotHoldBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToGbk(u"x\u00E9\u4E2D"), "x\xA8\xA6\xD6\xD0");  // é and 中 are in GBK
  EXPECT_EQ(Utf16ToGbk(u"a\u0E01b"), "a?b");                     // Thai is not
  EXPECT_EQ(Utf16ToGbk(std::u16string(100000, u'7')), std::string(100000, '7'));
}

TEST(Gbk, Utf8TitlesBecomeGbkWithOneQuestionMarkPerLostCharacter) {
  EXPECT_EQ(Utf8ToGbk("Qel \xE5\x8F\x96\xE8\x89\xB2"), "Qel \xC8\xA1\xC9\xAB");  // 取色
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                      "b"),
            "a?b");  // an emoji
  EXPECT_EQ(Utf8ToGbk("a\xE0\xB8\x81"
                      "b"),
            "a?b");  // Thai
  EXPECT_EQ(Utf8ToGbk("a\xFF\xC3"
                      "b"),
            "a??b");                        // not UTF-8
  EXPECT_EQ(Utf8ToGbk("a\xE5\x8F"), "a?");  // cut short
  EXPECT_EQ(Utf16ToGbk(u"x\U0001F600y"), "x?y");
}

TEST(X11Hotkeys, VirtualKeysAndModifierFlagsMapToX11) {
  EXPECT_EQ(KeysymOfVirtualKey(0x71), static_cast<unsigned long>(XK_F2));
  EXPECT_EQ(KeysymOfVirtualKey(0x70), static_cast<unsigned long>(XK_F1));
  EXPECT_EQ(KeysymOfVirtualKey(0x87), static_cast<unsigned long>(XK_F24));
  EXPECT_EQ(KeysymOfVirtualKey('A'), static_cast<unsigned long>(XK_a));
  EXPECT_EQ(KeysymOfVirtualKey('7'), static_cast<unsigned long>(XK_7));
  EXPECT_EQ(KeysymOfVirtualKey(0x88), 0ul);
  EXPECT_EQ(KeysymOfVirtualKey(0), 0ul);
  EXPECT_EQ(X11ModifierMask(0), 0);
  EXPECT_EQ(X11ModifierMask(1), Mod1Mask);
  EXPECT_EQ(X11ModifierMask(2), ControlMask);
  EXPECT_EQ(X11ModifierMask(4), ShiftMask);
  EXPECT_EQ(X11ModifierMask(6), ControlMask | ShiftMask);
}

TEST(MessageBoxIcon, StyleBitsChooseTheIcon) {
  EXPECT_EQ(MessageBoxIcon(0x10), QMessageBox::Critical);
  EXPECT_EQ(MessageBoxIcon(0x2000), QMessageBox::NoIcon);
  EXPECT_EQ(MessageBoxIcon(0x2030), QMessageBox::Warning);
  EXPECT_EQ(MessageBoxIcon(0x40), QMessageBox::Information);
}

}  // namespace
}  // namespace qel
