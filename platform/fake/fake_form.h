// The in-memory form: every control of the layout as plain state, timers on a fake clock, and the
// user's actions (click, focus, check) as calls a test makes.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/fake/fake_clock.h"
#include "platform/platform.h"
#include "platform/ruled_timer.h"

namespace qel {

// For tests of handlers that do not care where the form's events go.
struct NullEventSink final : EventSink {
  void Deliver(ControlId, Event, std::int32_t, std::int32_t) override {}
};

class FakeForm final : public Form {
 public:
  FakeForm(const Layout& layout, FakeClock& clock, EventSink& events);

  std::string Text(ControlId control) const override;
  void SetText(ControlId control, std::string_view text) override;
  bool IsChecked(ControlId radio) const override;
  int TimerInterval(ControlId timer) const override;
  void SetTimerInterval(ControlId timer, int milliseconds) override;
  void SetPanelColor(ControlId panel, ColorValue color) override;
  void SetPickerColor(ControlId picker, ColorValue color) override;
  WindowHandle NativeHandle(ControlId control) override;
  int SelectedPage(ControlId tabs) const override;

  // A click on a radio button checks it and clears the others of its parent.
  void Check(ControlId radio);
  void Click(ControlId button);
  void Focus(ControlId control);
  void SelectPage(int page) { selectedPage_ = page; }
  // Ctrl+C with no selected text in the focus.
  void PressCopyKeys();
  // A message sent to one of the form's windows, as the platform delivers it.
  void ReceiveMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam);

  // Empty until the program sets a colour.
  std::optional<ColorValue> PanelColor(ControlId panel) const;
  std::optional<ColorValue> PickerColor(ControlId picker) const;

 private:
  static std::size_t Index(ControlId id) { return static_cast<std::size_t>(id); }

  const Layout& layout_;
  EventSink& events_;
  std::array<std::string, kControlCount> texts_;
  std::array<bool, kControlCount> checked_{};
  std::array<std::optional<ColorValue>, kControlCount> colors_;
  FormTimers timers_;
  int selectedPage_;
};

}  // namespace qel
