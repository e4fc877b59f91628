// The Win32 desktop's answers where the system's own calls would give another: a pop-up's owner is
// not its parent, titles come as GBK with '?' for what GBK cannot hold and as another process's
// control holds them, and handles past 2^31 come back sign-extended; drawing into a window reaches
// the screen, and a window's icons come back with their alpha.
#include "platform/win32/win32_desktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_screen.h"
#include "tests/win32/desktop_user.h"
#include "tests/win32/peer_process.h"

namespace qel {
namespace {

using namespace std::chrono_literals;

constexpr const wchar_t* kClass = L"QelDesktopTest";

class Win32DesktopTest : public testing::Test {
 protected:
  Win32DesktopTest() { test::RegisterWindowClass(kClass, &DefWindowProcW); }
  ~Win32DesktopTest() override {
    for (auto window = windows_.rbegin(); window != windows_.rend(); ++window) {
      DestroyWindow(*window);
    }
  }

  HWND Make(const wchar_t* title, DWORD style, HWND parent, int x = 10, int y = 10) {
    const HWND window = CreateWindowExW(0, kClass, title, style, x, y, 60, 40, parent, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr) windows_.push_back(window);
    return window;
  }
  // Not activated: Wine would hand the window to a window manager, and the test's display has none.
  static void Show(HWND window) { ShowWindow(window, SW_SHOWNOACTIVATE); }

  Win32Desktop desktop;

 private:
  std::vector<HWND> windows_;
};

TEST_F(Win32DesktopTest, TopLevelWindowsHaveNoParentEvenWhenOwned) {
  const HWND owner = Make(L"owner", WS_POPUP, nullptr);
  const HWND owned = Make(L"owned", WS_POPUP, owner);
  const HWND child = Make(L"child", WS_CHILD | WS_VISIBLE, owner);
  ASSERT_TRUE(owner && owned && child);
  EXPECT_EQ(desktop.Parent(HandleOf(owner)), 0u);
  EXPECT_EQ(desktop.Parent(HandleOf(owned)), 0u) << "the owner is not the parent";
  EXPECT_EQ(desktop.Parent(HandleOf(child)), HandleOf(owner));
}

TEST_F(Win32DesktopTest, SiblingsFollowTheirOrder) {
  const HWND parent = Make(L"parent", WS_POPUP, nullptr);
  const HWND first = Make(L"first", WS_CHILD, parent);
  const HWND second = Make(L"second", WS_CHILD, parent);
  ASSERT_TRUE(parent && first && second);
  SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(second, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(desktop.NextSibling(HandleOf(first)), HandleOf(second));
  EXPECT_EQ(desktop.NextSibling(HandleOf(second)), 0u);
}

TEST_F(Win32DesktopTest, TitlesAndClassNamesComeAsGbk) {
  // "取色", then a Hangul syllable GBK has no code for.
  const HWND window = Make(L"\u53D6\u8272 \uAC00", WS_POPUP, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(desktop.Title(HandleOf(window)), "\xC8\xA1\xC9\xAB ?");
  EXPECT_EQ(desktop.ClassName(HandleOf(window)), "QelDesktopTest");
}

TEST_F(Win32DesktopTest, AHandleThatIsNotAWindowGivesNothing) {
  const HWND window = Make(L"gone", WS_POPUP, nullptr);
  ASSERT_NE(window, nullptr);
  const WindowHandle gone = HandleOf(window);
  DestroyWindow(window);
  for (const WindowHandle handle : {WindowHandle{0}, gone}) {
    EXPECT_FALSE(desktop.IsWindow(handle));
    EXPECT_EQ(desktop.Title(handle), "");
    EXPECT_EQ(desktop.ClassName(handle), std::nullopt);
    EXPECT_EQ(desktop.WindowRectOf(handle), std::nullopt);
    EXPECT_EQ(desktop.ClientRectOf(handle), std::nullopt);
    EXPECT_EQ(desktop.ClientToScreen(handle, {1, 1}), std::nullopt);
    std::uint32_t pixel = 0;
    EXPECT_FALSE(desktop.PrintWindow(handle, 1, 1, &pixel));
  }
}

TEST_F(Win32DesktopTest, AChildsClientAreaIsPlacedOnTheScreen) {
  const HWND parent = Make(L"parent", WS_POPUP, nullptr, 200, 300);
  const HWND child = Make(L"child", WS_CHILD | WS_VISIBLE, parent, 7, 9);
  ASSERT_TRUE(parent && child);
  Show(parent);
  EXPECT_EQ(desktop.WindowRectOf(HandleOf(child)), (WindowRect{207, 309, 267, 349}));
  EXPECT_EQ(desktop.ClientRectOf(HandleOf(child)), (WindowRect{0, 0, 60, 40}));
  EXPECT_EQ(desktop.ClientToScreen(HandleOf(child), {1, 2}), (ScreenPoint{208, 311}));
}

TEST_F(Win32DesktopTest, AMinimisedWindowDoesNotPrint) {
  const HWND window = Make(L"window", WS_POPUP, nullptr);
  ASSERT_NE(window, nullptr);
  Show(window);
  const WindowRect rect = desktop.WindowRectOf(HandleOf(window)).value_or(WindowRect{});
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  ASSERT_GT(width * height, 0);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  EXPECT_TRUE(desktop.PrintWindow(HandleOf(window), width, height, pixels.data()));
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(desktop.IsIconic(HandleOf(window)));
  EXPECT_FALSE(desktop.PrintWindow(HandleOf(window), width, height, pixels.data()));
}

TEST_F(Win32DesktopTest, AnEditBoxOfAnotherProcessGivesItsOwnText) {
  // "取色 #FFF00F", typed into the box after it was made, so that the system keeps no caption of
  // it.
  test::PeerProcess peer(L"edit QelPeerEdit \"\u53D6\u8272 #FFF00F\"");
  const HWND window = peer.WaitForWindow(L"QelPeerEdit");
  ASSERT_NE(window, nullptr);
  const HWND edit = FindWindowExW(window, nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(desktop.Title(HandleOf(edit)), "\xC8\xA1\xC9\xAB #FFF00F");
}

TEST_F(Win32DesktopTest, AProgramThatDoesNotAnswerGivesTheCaptionTheSystemKeeps) {
  test::PeerProcess peer(L"hang QelPeerHung");
  const HWND window = peer.WaitForWindow(L"QelPeerHung");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(desktop.Title(HandleOf(window)), "QelPeerHung");
}

TEST_F(Win32DesktopTest, DrawnPixelsReachTheScreenClippedToTheClientArea) {
  const RECT rect{300, 200, 340, 230};
  const HWND window = test::CreatePaintedWindow(L"QelDrawTarget", L"draw", rect, 0x0000FF);
  // 3 x 2 at the client's bottom-right corner: the right column falls outside.
  const std::uint32_t drawn[] = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x0F1E2D};
  Win32Screen screen;
  std::vector<std::uint32_t> read(6);
  const bool reached = test::PumpUntil(
      [&] {
        EXPECT_TRUE(desktop.DrawToWindow(HandleOf(window), 38, 28, 3, 2, drawn));
        return screen.Capture(rect.left + 38, rect.top + 28, 3, 2, read.data()) &&
               read[0] == drawn[0] && read[1] == drawn[1] && read[3] == drawn[3] &&
               read[4] == drawn[4];
      },
      20s);
  EXPECT_TRUE(reached) << std::hex << read[0] << " " << read[1] << " " << read[3] << " " << read[4];
  EXPECT_NE(read[2], drawn[2]) << "drawn outside the client area";
  EXPECT_NE(read[5], drawn[5]) << "drawn outside the client area";
  DestroyWindow(window);
  EXPECT_FALSE(desktop.DrawToWindow(HandleOf(window), 0, 0, 3, 2, drawn));
  EXPECT_FALSE(desktop.DrawToWindow(0, 0, 0, 3, 2, drawn));
}

using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(&DeleteObject)>;

// The three kinds of icon and the image each must give, 0xAARRGGBB. Colour and alpha vary by
// column and row so that rows and channels cannot be mistaken for one another.
std::uint32_t AlphaIconPixel(int x, int y) {
  return static_cast<std::uint32_t>(x * 8) << 24 | static_cast<std::uint32_t>(y * 8) << 16 | 0x8040;
}
std::uint32_t MaskedIconColour(int x, int y) {
  return static_cast<std::uint32_t>(x * 16) << 16 | static_cast<std::uint32_t>(y * 16) << 8 | 0x33;
}
bool MaskedIconKeeps(int x, int y) { return (x + y) % 3 == 0; }

// 32 x 32 from a 32-bit section with alpha, over an empty mask.
Icon AlphaIcon() {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const Bitmap colour(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0),
                      &DeleteObject);
  const Bitmap mask(CreateBitmap(32, 32, 1, 1, nullptr), &DeleteObject);
  if (!colour || !mask) return {nullptr, &DestroyIcon};
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) pixels[y * 32 + x] = AlphaIconPixel(x, y);
  }
  ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
  return {CreateIconIndirect(&icon), &DestroyIcon};
}

// 16 x 16 from a device bitmap without alpha; the mask's set bits let the background through.
Icon MaskedIcon() {
  HDC screen = GetDC(nullptr);
  const Bitmap colour(CreateCompatibleBitmap(screen, 16, 16), &DeleteObject);
  std::vector<std::uint8_t> maskBits(2 * 16, 0);  // rows of one 16-bit word
  if (colour) {
    HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ previous = SelectObject(memory, colour.get());
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        const std::uint32_t rgb = MaskedIconKeeps(x, y) ? 0 : MaskedIconColour(x, y);
        SetPixelV(memory, x, y, RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
        if (MaskedIconKeeps(x, y))
          maskBits[y * 2 + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
  }
  ReleaseDC(nullptr, screen);
  const Bitmap mask(CreateBitmap(16, 16, 1, 1, maskBits.data()), &DeleteObject);
  if (!colour || !mask) return {nullptr, &DestroyIcon};
  ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
  return {CreateIconIndirect(&icon), &DestroyIcon};
}

// 16 x 16 monochrome, by quadrant: black, white, background, inverted background.
Icon MonochromeIcon() {
  std::vector<std::uint8_t> andBits(2 * 16, 0);
  std::vector<std::uint8_t> xorBits(2 * 16, 0);
  for (int y = 0; y < 16; ++y) {
    andBits[y * 2] = andBits[y * 2 + 1] = y < 8 ? 0x00 : 0xFF;
    xorBits[y * 2 + 1] = 0xFF;
  }
  return {CreateIcon(nullptr, 16, 16, 1, 1, andBits.data(), xorBits.data()), &DestroyIcon};
}

std::uint32_t MonochromeIconPixel(int x, int y) {
  if (y < 8) return x < 8 ? 0xFF000000 : 0xFFFFFFFF;
  return x < 8 ? 0x00000000 : 0xFF000000;
}

TEST_F(Win32DesktopTest, EachKindOfIconComesBackWithItsAlpha) {
  struct Case {
    const char* name;
    Icon (*make)();
    int size;
    std::uint32_t (*pixel)(int x, int y);
  };
  const Case cases[] = {
      {"alpha", &AlphaIcon, 32, &AlphaIconPixel},
      {"masked", &MaskedIcon, 16,
       [](int x, int y) {
         return MaskedIconKeeps(x, y) ? 0u : 0xFF000000 | MaskedIconColour(x, y);
       }},
      {"monochrome", &MonochromeIcon, 16, &MonochromeIconPixel},
  };
  for (const Case& c : cases) {
    const Icon icon = c.make();
    ASSERT_NE(icon, nullptr) << c.name;
    const HWND window = Make(L"icon", WS_POPUP, nullptr);
    ASSERT_NE(window, nullptr);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon.get()));
    const std::vector<ArgbImage> icons = desktop.WindowIcons(HandleOf(window));
    DestroyWindow(window);
    ASSERT_FALSE(icons.empty()) << c.name;
    ASSERT_EQ(icons.front().width, c.size) << c.name;
    ASSERT_EQ(icons.front().height, c.size) << c.name;
    std::vector<std::uint32_t> expected;
    for (int y = 0; y < c.size; ++y) {
      for (int x = 0; x < c.size; ++x) expected.push_back(c.pixel(x, y));
    }
    EXPECT_EQ(icons.front().pixels, expected) << c.name;
  }
}

TEST_F(Win32DesktopTest, IconsComeLargestFirstEachOnce) {
  const Icon big = AlphaIcon();
  const Icon small = MaskedIcon();
  ASSERT_TRUE(big && small);
  const HWND window = Make(L"icons", WS_POPUP, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(desktop.WindowIcons(HandleOf(window)).empty()) << "its class has no icon either";
  SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  const std::vector<ArgbImage> icons = desktop.WindowIcons(HandleOf(window));
  ASSERT_EQ(icons.size(), 2u) << "the small icon answers both ICON_SMALL and ICON_SMALL2";
  EXPECT_EQ(icons[0].width, 32);
  EXPECT_EQ(icons[1].width, 16);
  DestroyWindow(window);
  EXPECT_TRUE(desktop.WindowIcons(HandleOf(window)).empty());
}

TEST(Win32Handles, HandlesPastTwoToTheThirtyOneAreSignExtended) {
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(HwndOf(0x80001234u)),
            static_cast<std::uintptr_t>(0xFFFFFFFF80001234ull));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(HwndOf(0x00010020u)), std::uintptr_t{0x10020});
  EXPECT_EQ(HandleOf(HwndOf(0x80001234u)), 0x80001234u);
}

}  // namespace
}  // namespace qel
