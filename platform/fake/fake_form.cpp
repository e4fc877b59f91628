#include "platform/fake/fake_form.h"

#include <utility>

namespace qel {

FakeForm::FakeForm(const Layout& layout, FakeClock& clock, EventSink& events)
    : layout_(layout),
      events_(events),
      timers_(layout, events, [&clock](auto onTick) { return clock.MakeTimer(std::move(onTick)); }),
      selectedPage_(layout.window.initialPage) {
  texts_[Index(ControlId::MainWindow)] = std::string(layout.window.caption);
  for (const ControlSpec& control : layout.controls) {
    if (control.type != ControlType::EditBox && control.type != ControlType::Timer) {
      texts_[Index(control.id)] = std::string(control.caption);
    }
  }
}

std::string FakeForm::Text(ControlId control) const { return texts_[Index(control)]; }

void FakeForm::SetText(ControlId control, std::string_view text) {
  texts_[Index(control)] = std::string(text);
}

bool FakeForm::IsChecked(ControlId radio) const { return checked_[Index(radio)]; }

int FakeForm::TimerInterval(ControlId timer) const { return timers_.Interval(timer); }

void FakeForm::SetTimerInterval(ControlId timer, int milliseconds) {
  timers_.SetInterval(timer, milliseconds);
}

void FakeForm::SetPanelColor(ControlId panel, ColorValue color) { colors_[Index(panel)] = color; }

void FakeForm::SetPickerColor(ControlId picker, ColorValue color) {
  colors_[Index(picker)] = color;
}

WindowHandle FakeForm::NativeHandle(ControlId control) {
  return 0x10000u + static_cast<WindowHandle>(Index(control));
}

int FakeForm::SelectedPage(ControlId tabs) const {
  return tabs == layout_.window.tabBox ? selectedPage_ : -1;
}

void FakeForm::Check(ControlId radio) {
  const ControlId parent = layout_.Find(radio).parent;
  for (const ControlSpec& control : layout_.controls) {
    if (control.type == ControlType::RadioBox && control.parent == parent) {
      checked_[Index(control.id)] = control.id == radio;
    }
  }
}

void FakeForm::Click(ControlId button) { events_.Deliver(button, Event::Click); }

void FakeForm::Focus(ControlId control) { events_.Deliver(control, Event::GotFocus); }

void FakeForm::PressCopyKeys() { events_.Deliver(layout_.window.tabBox, Event::Copy); }

void FakeForm::ReceiveMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam) {
  if (message != kLabelNotifyMessage) return;
  for (const ControlSpec& control : layout_.controls) {
    if (control.type == ControlType::Label && NativeHandle(control.id) == target) {
      events_.Deliver(control.id, Event::Notify, static_cast<std::int32_t>(wParam),
                      static_cast<std::int32_t>(lParam));
    }
  }
}

std::optional<ColorValue> FakeForm::PanelColor(ControlId panel) const {
  return colors_[Index(panel)];
}

std::optional<ColorValue> FakeForm::PickerColor(ControlId picker) const {
  return colors_[Index(picker)];
}

}  // namespace qel
