#include "platform/win32/win32_main_window.h"

#include <commctrl.h>

#include <utility>

#include "platform/win32/win32_controls.h"
#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_swatches.h"
#include "platform/win32/win32_timer.h"

namespace qel {
namespace {

constexpr const wchar_t* kMainWindowClass = L"QelMainWindow";
// The program's icon in the executable's resources.
constexpr WORD kIconResource = 1;
// The subclass identifiers this window puts on its controls.
constexpr UINT_PTR kContainerSubclass = 1;
constexpr UINT_PTR kLabelSubclass = 2;

bool RegisterMainWindowClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(kIconResource));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  windowClass.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

DWORD FrameStyle(const WindowSpec& window) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (window.minimizeButton) style |= WS_MINIMIZEBOX;
  if (window.maximizeButton) style |= WS_MAXIMIZEBOX;
  if (window.resizable) style |= WS_THICKFRAME;
  return style;
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool IsWithin(HWND window, HWND ancestor) {
  return window != nullptr && (window == ancestor || IsChild(ancestor, window));
}

}  // namespace

Win32MainWindow::Win32MainWindow(const Layout& layout, EventSink& events)
    : layout_(layout), events_(events) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  if (!RegisterMainWindowClass(&WindowProcedure) || !RegisterSwatchClasses()) return;
  if (!CreateFrame()) return;
  timers_.emplace(layout, events, [this](std::function<void()> onTick) {
    ticks_.push_back(std::move(onTick));
    return std::make_unique<Win32Timer>(Window(ControlId::MainWindow), ticks_.size());
  });
  loaded_ = CreateControls();
}

Win32MainWindow::~Win32MainWindow() {
  timers_.reset();
  if (HWND window = Window(ControlId::MainWindow); IsWindow(window)) {
    closingByOwner_ = true;
    DestroyWindow(window);
  }
}

bool Win32MainWindow::CreateFrame() {
  const WindowSpec& spec = layout_.window;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - spec.outerWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - spec.outerHeight) / 2;
  const std::wstring caption = GbkToUtf16(spec.caption);
  HWND window =
      CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, kMainWindowClass, caption.c_str(),
                      FrameStyle(spec), left, top, spec.outerWidth, spec.outerHeight, nullptr,
                      nullptr, GetModuleHandleW(nullptr), this);
  if (window == nullptr) return false;
  RECT outer;
  GetWindowRect(window, &outer);
  if (outer.right - outer.left != spec.outerWidth || outer.bottom - outer.top != spec.outerHeight) {
    SetWindowPos(window, nullptr, 0, 0, spec.outerWidth, spec.outerHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (spec.topmost) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  return true;
}

bool Win32MainWindow::CreateControls() {
  const auto self = reinterpret_cast<DWORD_PTR>(this);
  for (const ControlSpec& spec : layout_.controls) {
    if (spec.type == ControlType::Timer) continue;
    HWND control = CreateNativeControl(layout_, spec, Window(spec.parent));
    if (control == nullptr) return false;
    windows_[Index(spec.id)] = control;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(spec)), FALSE);
    // A control's notifications go to its parent; those placed inside another control are passed
    // on to this window, which knows what they mean.
    if (HoldsControls(layout_, spec.id)) {
      SetWindowSubclass(control, &ContainerProcedure, kContainerSubclass, self);
    }
    if (spec.type == ControlType::Label) {
      SetWindowSubclass(control, &LabelProcedure, kLabelSubclass, self);
    }
  }
  // A group box with no controls of its own is a frame drawn beneath its siblings inside it.
  for (const ControlSpec& spec : layout_.controls) {
    if (spec.type == ControlType::GroupBox && !HoldsControls(layout_, spec.id)) {
      SetWindowPos(Window(spec.id), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  if (HWND tabs = Window(layout_.window.tabBox)) {
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(layout_.window.initialPage), 0);
  }
  ShowPage(layout_.window.initialPage);
  return true;
}

HFONT Win32MainWindow::FontOf(const ControlSpec& spec) {
  if (spec.font == nullptr) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const FontSpec& font = *spec.font;
  // No face: the system picks its default one for the character set.
  fonts_.emplace_back(CreateFontW(font.height, 0, 0, 0, font.weight, font.italic, font.underline,
                                  font.strikeOut, static_cast<DWORD>(font.charset),
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                  DEFAULT_PITCH | FF_DONTCARE, nullptr));
  return fonts_.back().get();
}

std::string Win32MainWindow::Text(ControlId control) const {
  HWND window = Window(control);
  return window == nullptr ? std::string{} : Utf16ToGbk(WindowText(window));
}

void Win32MainWindow::SetText(ControlId control, std::string_view text) {
  if (HWND window = Window(control)) SetWindowTextW(window, GbkToUtf16(text).c_str());
}

bool Win32MainWindow::IsChecked(ControlId radio) const {
  HWND window = Window(radio);
  return window != nullptr && SendMessageW(window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int Win32MainWindow::TimerInterval(ControlId timer) const { return timers_->Interval(timer); }

void Win32MainWindow::SetTimerInterval(ControlId timer, int milliseconds) {
  timers_->SetInterval(timer, milliseconds);
}

void Win32MainWindow::SetPanelColor(ControlId panel, ColorValue color) {
  if (HWND window = Window(panel)) SetSwatchColor(window, color);
}

void Win32MainWindow::SetPickerColor(ControlId picker, ColorValue color) {
  if (HWND window = Window(picker)) SetSwatchColor(window, color);
}

WindowHandle Win32MainWindow::NativeHandle(ControlId control) { return HandleOf(Window(control)); }

void Win32MainWindow::Show(int showCommand) {
  HWND window = Window(ControlId::MainWindow);
  ShowWindow(window, showCommand);
  UpdateWindow(window);
}

int Win32MainWindow::CurrentPage() const {
  HWND tabs = Window(layout_.window.tabBox);
  return tabs == nullptr ? -1 : static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0));
}

int Win32MainWindow::SelectedPage(ControlId tabs) const {
  return tabs == layout_.window.tabBox ? CurrentPage() : -1;
}

bool Win32MainWindow::TranslateCopyKeys(const MSG& message) {
  if (message.message != WM_KEYDOWN || !IsWithin(message.hwnd, Window(ControlId::MainWindow))) {
    return false;
  }
  const bool onlyControl =
      GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0;
  const bool copyKey = message.wParam == 'C' || message.wParam == VK_INSERT;
  if (!onlyControl || !copyKey || HasSelectedText(GetFocus())) return false;
  events_.Deliver(layout_.window.tabBox, Event::Copy);
  return true;
}

bool Win32MainWindow::HasSelectedText(HWND control) const {
  if (!IsWithin(control, Window(ControlId::MainWindow))) return false;
  const std::optional<ControlId> id = ControlOfCommand(GetDlgCtrlID(control));
  if (!id || Window(*id) != control || layout_.Find(*id).type != ControlType::EditBox) return false;
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return start != end;
}

void Win32MainWindow::ShowPage(int page) {
  const HWND focus = GetFocus();
  bool focusHidden = false;
  for (const ControlSpec& spec : layout_.controls) {
    HWND control = Window(spec.id);
    if (spec.parent != layout_.window.tabBox || control == nullptr) continue;
    const bool shown = spec.page == page;
    ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
    focusHidden = focusHidden || (!shown && IsWithin(focus, control));
  }
  if (focusHidden) SetFocus(Window(layout_.window.tabBox));
}

LRESULT CALLBACK Win32MainWindow::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                                  LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->windows_[Index(ControlId::MainWindow)] = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Win32MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->OnMessage(message, wParam, lParam);
}

LRESULT Win32MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = Window(ControlId::MainWindow);
  switch (message) {
    case WM_COMMAND:
      OnCommand(wParam, lParam);
      return 0;
    case WM_NOTIFY:
      if (const auto* header = reinterpret_cast<const NMHDR*>(lParam);
          header->hwndFrom == Window(layout_.window.tabBox) && header->code == TCN_SELCHANGE) {
        ShowPage(CurrentPage());
      }
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColor(message, wParam, lParam);
    case WM_TIMER:
      if (wParam >= 1 && wParam <= ticks_.size()) ticks_[wParam - 1]();
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: the control that had the focus gets it back with the window.
      if (LOWORD(wParam) == WA_INACTIVE && IsChild(window, GetFocus())) {
        focusBeforeDeactivation_ = GetFocus();
      }
      break;
    case WM_SETFOCUS:
      if (IsWindow(focusBeforeDeactivation_) && IsWindowVisible(focusBeforeDeactivation_)) {
        SetFocus(focusBeforeDeactivation_);
      } else if (HWND first = GetNextDlgTabItem(window, nullptr, FALSE)) {
        SetFocus(first);
      }
      return 0;
    case WM_NCDESTROY:
      windows_.fill(nullptr);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      if (!closingByOwner_) PostQuitMessage(0);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void Win32MainWindow::OnCommand(WPARAM wParam, LPARAM lParam) {
  const std::optional<ControlId> control = ControlOfCommand(LOWORD(wParam));
  if (!control || lParam == 0) return;
  const ControlType type = layout_.Find(*control).type;
  const WORD code = HIWORD(wParam);
  if (type == ControlType::Button && code == BN_CLICKED) {
    events_.Deliver(*control, Event::Click);
  } else if (type == ControlType::EditBox && code == EN_SETFOCUS) {
    events_.Deliver(*control, Event::GotFocus);
  }
}

// Edit boxes are black on white, the read-only ones too, which the system would draw grey.
LRESULT Win32MainWindow::OnControlColor(UINT message, WPARAM wParam, LPARAM lParam) {
  const std::optional<ControlId> control =
      ControlOfCommand(GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
  if (control && layout_.Find(*control).type == ControlType::EditBox) {
    auto dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return DefWindowProcW(Window(ControlId::MainWindow), message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::ContainerProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                                     LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (HWND window = reinterpret_cast<Win32MainWindow*>(self)->Window(ControlId::MainWindow)) {
        return SendMessageW(window, message, wParam, lParam);
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &ContainerProcedure, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32MainWindow::LabelProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam, UINT_PTR id, DWORD_PTR self) {
  if (message == kLabelNotifyMessage) {
    if (const std::optional<ControlId> label = ControlOfCommand(GetDlgCtrlID(hwnd))) {
      reinterpret_cast<Win32MainWindow*>(self)->events_.Deliver(*label, Event::Notify,
                                                                static_cast<std::int32_t>(wParam),
                                                                static_cast<std::int32_t>(lParam));
    }
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, &LabelProcedure, id);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace qel
