// The main window on Win32: native controls built from the layout table. It is the form the
// handlers work on and reports its controls' events to the dispatcher.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "platform/ruled_timer.h"
#include "platform/win32/win32_handles.h"

namespace qel {

class Win32MainWindow final : public Form {
 public:
  // Creates the window and every control, all hidden. Loaded() tells whether all of them exist.
  Win32MainWindow(const Layout& layout, EventSink& events);
  ~Win32MainWindow() override;
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  bool Loaded() const { return loaded_; }

  std::string Text(ControlId control) const override;
  void SetText(ControlId control, std::string_view text) override;
  bool IsChecked(ControlId radio) const override;
  int TimerInterval(ControlId timer) const override;
  void SetTimerInterval(ControlId timer, int milliseconds) override;
  void SetPanelColor(ControlId panel, ColorValue color) override;
  void SetPickerColor(ControlId picker, ColorValue color) override;
  WindowHandle NativeHandle(ControlId control) override;
  int SelectedPage(ControlId tabs) const override;

  // The window of a control (null for the timers) or of the main window itself.
  HWND Window(ControlId control) const { return windows_[Index(control)]; }

  // Shows the window with `showCommand` (SW_SHOW or one that keeps the activation elsewhere).
  void Show(int showCommand);
  int CurrentPage() const;

  // Takes the copy keys (Ctrl+C, Ctrl+Insert) pressed anywhere in the window before the focused
  // control sees them, unless that is an edit box with selected text to copy, and raises the copy
  // event instead. True when the message was taken.
  bool TranslateCopyKeys(const MSG& message);

 private:
  struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
  };
  using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

  static std::size_t Index(ControlId id) { return static_cast<std::size_t>(id); }
  static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ContainerProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR id, DWORD_PTR self);
  static LRESULT CALLBACK LabelProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);

  bool CreateFrame();
  bool CreateControls();
  HFONT FontOf(const ControlSpec& spec);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnControlColor(UINT message, WPARAM wParam, LPARAM lParam);
  void ShowPage(int page);
  bool HasSelectedText(HWND control) const;

  const Layout& layout_;
  EventSink& events_;
  std::array<HWND, kControlCount> windows_{};
  std::vector<OwnedFont> fonts_;
  std::vector<std::function<void()>> ticks_;  // the tick of timer identifier i + 1
  std::optional<FormTimers> timers_;
  HWND focusBeforeDeactivation_ = nullptr;
  bool loaded_ = false;
  bool closingByOwner_ = false;
};

}  // namespace qel
