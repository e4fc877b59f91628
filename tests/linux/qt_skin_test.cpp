// The skin library on a real Qt application: attaching a skin restyles the window, bytes that are
// no skin of ours change nothing, and unloading the library gives the window back to a plain style.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>

#include "app/layout_table.h"
#include "platform/linux/linux_libraries.h"
#include "platform/linux/qt_main_window.h"
#include "skin/skin_format.h"
#include "skin/skin_table.h"

namespace qel {
namespace {

class NoEvents final : public EventSink {
 public:
  void Deliver(ControlId, Event, std::int32_t, std::int32_t) override {}
};

using AttachRes = int (*)(const unsigned char*, int, const char*, int, int, int);
using SetAero = int (*)(int);

class QtSkinTest : public testing::Test {
 protected:
  NoEvents events;
  QtMainWindow window{MainWindowLayout(), events};
  LinuxLibraryLoader loader;
  LibraryHandle library = loader.Load(QEL_SKIN_LIBRARY);
  AttachRes attach = reinterpret_cast<AttachRes>(loader.Find(library, "SkinH_AttachRes"));
  SetAero aero = reinterpret_cast<SetAero>(loader.Find(library, "SkinH_SetAero"));

  void TearDown() override {
    if (library != 0) loader.Unload(library);
  }

  int Attach(std::span<const std::uint8_t> bytes) {
    return attach(bytes.data(), static_cast<int>(bytes.size()), "", 0, 0, 0);
  }
  // A pixel of the window's top right, where only the window face (and the aero band) lies.
  QRgb TopRight() {
    QApplication::processEvents();
    const QImage picture = window.grab().toImage();
    return picture.pixel(picture.width() - 12, 6);
  }
};

QColor ToQColor(skin::Colour colour) { return {colour.r, colour.g, colour.b}; }

TEST_F(QtSkinTest, SkinElevenRestylesTheWindowAndUnloadingGivesItBackToAPlainStyle) {
  ASSERT_NE(attach, nullptr);
  ASSERT_NE(aero, nullptr);
  const auto theme = skin::ParseSkin(skin::SkinBlock(11));
  ASSERT_TRUE(theme.has_value());
  window.ShowCentred();
  const QRgb plain = TopRight();

  EXPECT_EQ(Attach(skin::SkinBlock(11)), 1);
  EXPECT_EQ(aero(1), 1);
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), ToQColor(theme->window.face));
  EXPECT_EQ(QApplication::palette("QLabel").color(QPalette::WindowText),
            ToQColor(theme->labelText));
  EXPECT_EQ(QApplication::palette("QRadioButton").color(QPalette::WindowText),
            ToQColor(theme->radio.text));
  const QRgb band = TopRight();
  EXPECT_GT(qBlue(band), qRed(band) + 40) << "the aero band in the title's blue";
  EXPECT_EQ(aero(0), 1);
  EXPECT_LT(qBlue(TopRight()), qRed(TopRight()) + 20) << "the plain face without the band";

  loader.Unload(library);
  library = 0;
  EXPECT_EQ(TopRight(), plain) << "the window draws in a plain style, with no code of the library";
}

TEST_F(QtSkinTest, BytesThatAreNoSkinOfOursChangeNothing) {
  ASSERT_NE(attach, nullptr);
  const QStyle* before = QApplication::style();
  const std::span<const std::uint8_t> skin11 = skin::SkinBlock(11);
  const std::vector<std::uint8_t> garbage(300, 0x5A);
  EXPECT_EQ(attach(nullptr, 0, "", 0, 0, 0), 0);
  EXPECT_EQ(attach(skin11.data(), -5, "", 0, 0, 0), 0);
  EXPECT_EQ(Attach(skin11.first(skin11.size() / 2)), 0);
  EXPECT_EQ(Attach(garbage), 0);
  EXPECT_EQ(QApplication::style(), before);
}

}  // namespace
}  // namespace qel
