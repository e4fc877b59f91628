// Another process on the Windows tests' desktop, for what a thread of the test program cannot
// stand for: the system treats windows and the clipboard of another process differently.
//   edit TITLE TEXT     a window TITLE holding an edit box with TEXT typed in, until closed
//   hang TITLE          a window TITLE whose thread stops answering
//   copy TITLE          offers kPeerImage on the clipboard as a device bitmap alone, then a window
//                       TITLE until closed
//   paste W H RGB...    pastes the clipboard's bitmap and exits with kPeerPasted when it holds
//                       W x H pixels of the hexadecimal 0xRRGGBB values given, rows top-down
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/win32_dib.h"
#include "platform/win32/win32_handles.h"
#include "tests/win32/peer_program.h"

// After windows.h, which it needs.
#include <shellapi.h>

namespace {

using qel::test::kPeerImage;
using qel::test::kPeerImageHeight;
using qel::test::kPeerImageWidth;

constexpr const wchar_t* kClass = L"QelPeer";

LRESULT CALLBACK PeerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND MakeWindow() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = &PeerProcedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClass;
  RegisterClassExW(&windowClass);
  return CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

int Serve() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (OpenClipboard(owner) != 0) return true;
    Sleep(10);
  }
  return false;
}

// The window's title comes last: the tests wait for it before they look.
int Edit(const wchar_t* title, const wchar_t* text) {
  const HWND window = MakeWindow();
  const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 30, window,
                                    nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr || edit == nullptr) return qel::test::kPeerMisused;
  SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
  SetWindowTextW(window, title);
  return Serve();
}

int Hang(const wchar_t* title) {
  const HWND window = MakeWindow();
  if (window == nullptr) return qel::test::kPeerMisused;
  SetWindowTextW(window, title);
  Sleep(INFINITE);
  return 0;
}

int Copy(const wchar_t* title) {
  const HWND window = MakeWindow();
  if (window == nullptr || !OpenClipboardSoon(window)) return qel::test::kPeerMisused;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kPeerImageWidth, kPeerImageHeight);
  HDC memory = CreateCompatibleDC(screen);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  for (int y = 0; y < kPeerImageHeight; ++y) {
    for (int x = 0; x < kPeerImageWidth; ++x) {
      const std::uint32_t rgb = kPeerImage[y][x];
      SetPixelV(memory, x, y, RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  EmptyClipboard();
  // The clipboard owns the bitmap from here on.
  const bool offered = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  CloseClipboard();
  if (!offered) return qel::test::kPeerMisused;
  SetWindowTextW(window, title);
  return Serve();
}

int Paste(int width, int height, const std::vector<std::uint32_t>& expected) {
  if (!OpenClipboardSoon(nullptr)) return qel::test::kPeerNoBitmap;
  const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  BITMAP size{};
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  bool same = false;
  if (bitmap != nullptr && GetObjectW(bitmap, sizeof(size), &size) == sizeof(size) &&
      size.bmWidth == width && size.bmHeight == height) {
    BITMAPINFO info = qel::TopDown32BitInfo(width, height);
    HDC screen = GetDC(nullptr);
    same = GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                     DIB_RGB_COLORS) == height;
    ReleaseDC(nullptr, screen);
    for (std::size_t i = 0; same && i < pixels.size(); ++i) {
      same = (pixels[i] & 0x00FFFFFFu) == expected[i];
    }
  }
  CloseClipboard();
  if (bitmap == nullptr) return qel::test::kPeerNoBitmap;
  return same ? qel::test::kPeerPasted : qel::test::kPeerOtherPixels;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr || count < 3) return qel::test::kPeerMisused;
  const std::wstring command = arguments[1];
  int result = qel::test::kPeerMisused;
  if (command == L"edit" && count == 4) {
    result = Edit(arguments[2], arguments[3]);
  } else if (command == L"hang" && count == 3) {
    result = Hang(arguments[2]);
  } else if (command == L"copy" && count == 3) {
    result = Copy(arguments[2]);
  } else if (command == L"paste" && count >= 4) {
    const int width = static_cast<int>(std::wcstol(arguments[2], nullptr, 10));
    const int height = static_cast<int>(std::wcstol(arguments[3], nullptr, 10));
    std::vector<std::uint32_t> expected;
    for (int i = 4; i < count; ++i) {
      expected.push_back(static_cast<std::uint32_t>(std::wcstoul(arguments[i], nullptr, 16)));
    }
    if (width > 0 && height > 0 && expected.size() == static_cast<std::size_t>(width) * height) {
      result = Paste(width, height, expected);
    }
  }
  LocalFree(arguments);
  return result;
}
