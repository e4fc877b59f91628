#include "platform/win32/win32_swatches.h"

#include <commdlg.h>

#include <array>

namespace qel {
namespace {

// The colour lives in the window's extra bytes, so that a swatch needs nothing outside itself.
constexpr int kColorSlot = 0;
// Between the picker's button edge and its swatch.
constexpr int kPickerInset = 4;

void FillWithColor(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void PaintPanel(HWND panel, HDC dc) {
  RECT client;
  GetClientRect(panel, &client);
  FillWithColor(dc, client, SwatchColor(panel));
}

void PaintPicker(HWND picker, HDC dc) {
  RECT client;
  GetClientRect(picker, &client);
  const bool pressed = GetCapture() == picker;
  DrawFrameControl(dc, &client, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  RECT swatch = client;
  InflateRect(&swatch, -kPickerInset, -kPickerInset);
  FillWithColor(dc, swatch, SwatchColor(picker));
  FrameRect(dc, &swatch, GetSysColorBrush(COLOR_WINDOWTEXT));
  if (GetFocus() == picker) {
    RECT focus = client;
    InflateRect(&focus, -2, -2);
    DrawFocusRect(dc, &focus);
  }
}

// The user's choice shows on the picker; nothing else reads it.
void LetUserChooseColor(HWND picker) {
  std::array<COLORREF, 16> customColors;
  customColors.fill(RGB(255, 255, 255));
  CHOOSECOLORW choice{};
  choice.lStructSize = sizeof(choice);
  choice.hwndOwner = GetAncestor(picker, GA_ROOT);
  choice.rgbResult = SwatchColor(picker);
  choice.lpCustColors = customColors.data();
  choice.Flags = CC_RGBINIT | CC_ANYCOLOR;
  if (ChooseColorW(&choice)) SetSwatchColor(picker, choice.rgbResult);
}

template <void (*Paint)(HWND, HDC)>
bool PaintMessage(HWND hwnd, UINT message, WPARAM wParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    Paint(hwnd, dc);
    EndPaint(hwnd, &paint);
    return true;
  }
  if (message == WM_PRINTCLIENT) {
    Paint(hwnd, reinterpret_cast<HDC>(wParam));
    return true;
  }
  return false;
}

LRESULT CALLBACK PanelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) SetWindowLongPtrW(hwnd, kColorSlot, GetSysColor(COLOR_BTNFACE));
  if (message == WM_ERASEBKGND) return 1;  // the paint covers every pixel
  if (PaintMessage<PaintPanel>(hwnd, message, wParam)) return 0;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK PickerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetWindowLongPtrW(hwnd, kColorSlot, GetSysColor(COLOR_BTNFACE));
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETDLGCODE:
      return DLGC_BUTTON;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_CAPTURECHANGED:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd);
      SetCapture(hwnd);
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == hwnd) {
        ReleaseCapture();
        RECT client;
        GetClientRect(hwnd, &client);
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (PtInRect(&client, point)) LetUserChooseColor(hwnd);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE) LetUserChooseColor(hwnd);
      return 0;
    default:
      if (PaintMessage<PaintPicker>(hwnd, message, wParam)) return 0;
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool RegisterSwatchClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.cbWndExtra = sizeof(LONG_PTR);
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = name;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

bool RegisterSwatchClasses() {
  return RegisterSwatchClass(kDrawPanelClass, &PanelProcedure) &&
         RegisterSwatchClass(kColorPickerClass, &PickerProcedure);
}

void SetSwatchColor(HWND swatch, COLORREF color) {
  SetWindowLongPtrW(swatch, kColorSlot, static_cast<LONG_PTR>(color));
  InvalidateRect(swatch, nullptr, FALSE);
}

COLORREF SwatchColor(HWND swatch) {
  return static_cast<COLORREF>(GetWindowLongPtrW(swatch, kColorSlot));
}

}  // namespace qel
