// Text drawn by another program on a real X server, found and read by the text searches of a
// program that has no Qt application of its own.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "bitmap/software_gdi.h"
#include "finder/color_finder.h"
#include "platform/linux/qt_image_services.h"
#include "platform/linux/x11_desktop.h"
#include "platform/linux/x11_screen.h"
#include "tests/support/child_process.h"

namespace qel {
namespace {

constexpr int kWindowX = 100;
constexpr int kWindowY = 120;
// Where the peer draws its text's cell inside its window.
constexpr int kTextLeft = 20;
constexpr int kTextTop = 30;
constexpr char kFace[] = "DejaVu Sans";
constexpr int kPoints = 12;  // 16 pixels at the server's 96 dots per inch
constexpr int kCellHeight = 16;

class TextOnScreenTest : public testing::Test {
 protected:
  // Starts the peer and waits until its text is on the screen.
  std::unique_ptr<test::ChildProcess> ShowText(const char* text) {
    auto peer = std::make_unique<test::ChildProcess>(
        QEL_TEXT_WINDOW,
        std::vector<std::string>{"text peer", std::to_string(kWindowX), std::to_string(kWindowY),
                                 kFace, std::to_string(kCellHeight), text});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      if (peer->Stderr().find("painted") != std::string::npos) {
        // The paint reaches the screen when the toolkit flushes it, a moment later.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return peer;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "the text peer never painted: " << peer->Stderr();
    return peer;
  }

  ColorFinder::FontDescription Font() const { return {.size = kPoints, .face = kFace}; }

  X11Desktop desktop_;
  X11Screen screen_;
  QtImageServices images_;
  SoftwareGdi gdi_{screen_, desktop_, images_};
  BitmapContext context_{gdi_, screen_, desktop_};
  ColorFinder finder_;
};

TEST_F(TextOnScreenTest, TextDrawnByAnotherProgramIsFoundWhereItsFirstCoveredPixelIs) {
  const auto peer = ShowText("Qel 42");
  finder_.SetTextStyle("Qel 42", 0x000000, Font());
  const TextPattern pattern = finder_.TextToPointPattern(context_);
  ASSERT_EQ(pattern.height, kCellHeight);
  ASSERT_FALSE(pattern.drawn.empty());

  ColorFinder::SearchArea area{0, 0, screen_.Width(), screen_.Height()};
  EXPECT_EQ(finder_.FindTextInArea(context_, 0, area),
            (ColorFinder::Point{kWindowX + kTextLeft + pattern.anchorX,
                                kWindowY + kTextTop + pattern.anchorY}));
  // Another text in the same place is not there.
  finder_.SetTextStyle("Qel 43", 0x000000, Font());
  EXPECT_EQ(finder_.FindTextInArea(context_, 0, area), (ColorFinder::Point{-1, -1}));
}

TEST_F(TextOnScreenTest, ANumberDrawnByAnotherProgramIsRead) {
  const auto peer = ShowText("4071");
  ScreenBitmap shot(context_);
  ASSERT_TRUE(shot.CaptureScreen(kWindowX, kWindowY, 400, 80, 24));
  EXPECT_EQ(finder_.ReadNumberInImage(context_, shot.FileBytes(), 0x000000, Font()), 4071);
}

}  // namespace
}  // namespace qel
