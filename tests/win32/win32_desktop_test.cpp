// The Win32 desktop's answers where the system's own calls would give another: a pop-up's owner is
// not its parent, titles come as GBK with '?' for what GBK cannot hold, and handles past 2^31
// come back sign-extended.
#include "platform/win32/win32_desktop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "tests/win32/desktop_user.h"

namespace qel {
namespace {

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

TEST(Win32Handles, HandlesPastTwoToTheThirtyOneAreSignExtended) {
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(HwndOf(0x80001234u)),
            static_cast<std::uintptr_t>(0xFFFFFFFF80001234ull));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(HwndOf(0x00010020u)), std::uintptr_t{0x10020});
  EXPECT_EQ(HandleOf(HwndOf(0x80001234u)), 0x80001234u);
}

}  // namespace
}  // namespace qel
