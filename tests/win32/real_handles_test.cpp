// A Windows program using the library over the running desktop: the handles it gives and takes
// are the system's, so the program's own GDI calls draw into a bitmap's memory DC, a bitmap from
// LoadImage and a window's DC go in, and a copied image is pasted by another process.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/screen_bitmap.h"
#include "qel/desktop.h"
#include "tests/win32/desktop_user.h"
#include "tests/win32/peer_process.h"
#include "tests/win32/peer_program.h"

namespace qel {
namespace {

using namespace std::chrono_literals;

template <typename Handle>
Handle SystemHandle(GdiHandle handle) {
  return reinterpret_cast<Handle>(static_cast<std::intptr_t>(static_cast<std::int32_t>(handle)));
}

GdiHandle LibraryHandle(const void* handle) {
  return static_cast<GdiHandle>(reinterpret_cast<std::uintptr_t>(handle));
}

// The bitmap's rows as the system reads them at 24 bits, bottom row first: what the packed
// copy must hold.
std::vector<std::uint8_t> RowsBySystem(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> rows(static_cast<std::size_t>((width * 3 + 3) / 4 * 4) * height);
  HDC screen = GetDC(nullptr);
  const int read =
      GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return read == height ? rows : std::vector<std::uint8_t>{};
}

class RealHandles : public testing::Test {
 protected:
  std::unique_ptr<DesktopSession> session = OpenRunningDesktop();
  const BitmapContext& context = session->Context();
};

TEST_F(RealHandles, TheProgramsOwnGdiDrawsIntoTheMemoryDc) {
  ScreenBitmap bitmap(context);
  ASSERT_TRUE(bitmap.CreateImage(60, 20, 24));
  HDC dc = SystemHandle<HDC>(bitmap.MemoryDC());
  ASSERT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  ASSERT_EQ(GetCurrentObject(dc, OBJ_BITMAP), SystemHandle<HGDIOBJ>(bitmap.DibHandle()));

  HFONT font =
      CreateFontW(-14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
  const HGDIOBJ previous = SelectObject(dc, font);
  SetTextColor(dc, RGB(255, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  ASSERT_NE(TextOutW(dc, 2, 2, L"Qel", 3), 0);
  SelectObject(dc, previous);
  DeleteObject(font);
  GdiFlush();
  ASSERT_TRUE(bitmap.SyncPacked());

  int red = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 60; ++x) red += bitmap.ReadPixel(x, y) == 0x0000FF ? 1 : 0;
  }
  EXPECT_GT(red, 20) << "the text shows in the image";
  EXPECT_EQ(bitmap.PixelBytes(), RowsBySystem(SystemHandle<HBITMAP>(bitmap.DibHandle()), 60, 20));
}

TEST_F(RealHandles, ABitmapFromLoadImageIsTakenWhole) {
  const std::wstring path = std::wstring(QEL_BMP_SAMPLES_DIR L"\\") + L"bmp3_24.bmp";
  auto loaded =
      static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(loaded, nullptr);
  BITMAP size{};
  ASSERT_EQ(GetObjectW(loaded, sizeof size, &size), static_cast<int>(sizeof size));

  ScreenBitmap bitmap(context);
  ASSERT_TRUE(bitmap.FromBitmapHandle(LibraryHandle(loaded), 24));
  EXPECT_EQ(bitmap.Width(), size.bmWidth);
  EXPECT_EQ(bitmap.Height(), size.bmHeight);
  EXPECT_EQ(bitmap.PixelBytes(), RowsBySystem(loaded, size.bmWidth, size.bmHeight));
  EXPECT_NE(DeleteObject(loaded), 0) << "the bitmap stays the program's";
}

TEST_F(RealHandles, AWindowsDcIsCaptured) {
  const RECT place{300, 200, 360, 240};
  HWND window = test::CreatePaintedWindow(L"QelHandlesWindow", L"handles", place, 0x2E86C1);
  test::Pump();
  HDC windowDc = GetDC(window);
  ScreenBitmap bitmap(context);
  const bool captured = bitmap.CaptureDC(LibraryHandle(windowDc), {0, 0, 20, 10}, 24);
  ReleaseDC(window, windowDc);
  DestroyWindow(window);
  ASSERT_TRUE(captured);
  EXPECT_EQ(bitmap.Width(), 20);
  EXPECT_EQ(bitmap.ReadPixel(0, 0), 0xC1862Eu);
  EXPECT_EQ(bitmap.ReadPixel(19, 9), 0xC1862Eu);
}

TEST_F(RealHandles, ACopiedImageIsPastedByAnotherProcess) {
  ScreenBitmap bitmap(context);
  ASSERT_TRUE(bitmap.CreateImage(test::kPeerImageWidth, test::kPeerImageHeight, 24));
  std::wstring arguments = L"paste 3 2";
  for (int y = 0; y < test::kPeerImageHeight; ++y) {
    for (int x = 0; x < test::kPeerImageWidth; ++x) {
      const std::uint32_t rgb = test::kPeerImage[y][x];
      ASSERT_TRUE(bitmap.WritePixel(x, y, (rgb >> 16) | (rgb & 0xFF00) | (rgb & 0xFF) << 16));
      wchar_t hex[8];
      swprintf(hex, 8, L"%06X", rgb);
      arguments += L" ";
      arguments += hex;
    }
  }
  ASSERT_TRUE(bitmap.CopyToClipboard());
  test::PeerProcess peer(arguments);
  EXPECT_EQ(peer.WaitForExit(20s), test::kPeerPasted);
}

}  // namespace
}  // namespace qel
