#include "platform/fake/fake_form.h"

#include <cstdlib>

namespace qel {

FakeForm::FakeForm(const Layout& layout, FakeClock& clock, EventSink& events)
    : layout_(layout), events_(events) {
  texts_[Index(ControlId::MainWindow)] = std::string(layout.window.caption);
  for (const ControlSpec& control : layout.controls) {
    if (control.type == ControlType::Timer) {
      const ControlId id = control.id;
      timers_.emplace(id, clock.MakeTimer([this, id] { events_.Deliver(id, Event::Tick); }));
    } else if (control.type != ControlType::EditBox) {
      texts_[Index(control.id)] = std::string(control.caption);
    }
  }
}

std::string FakeForm::Text(ControlId control) const { return texts_[Index(control)]; }

void FakeForm::SetText(ControlId control, std::string_view text) {
  texts_[Index(control)] = std::string(text);
}

bool FakeForm::IsChecked(ControlId radio) const { return checked_[Index(radio)]; }

RuledTimer& FakeForm::TimerOf(ControlId timer) const {
  const auto found = timers_.find(timer);
  if (found == timers_.end()) std::abort();  // not a timer of the layout
  return found->second;
}

int FakeForm::TimerInterval(ControlId timer) const { return TimerOf(timer).Interval(); }

void FakeForm::SetTimerInterval(ControlId timer, int milliseconds) {
  TimerOf(timer).SetInterval(milliseconds);
}

void FakeForm::SetPanelColor(ControlId panel, ColorValue color) { colors_[Index(panel)] = color; }

void FakeForm::SetPickerColor(ControlId picker, ColorValue color) {
  colors_[Index(picker)] = color;
}

WindowHandle FakeForm::NativeHandle(ControlId control) {
  return 0x10000u + static_cast<WindowHandle>(Index(control));
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

std::optional<ColorValue> FakeForm::PanelColor(ControlId panel) const {
  return colors_[Index(panel)];
}

std::optional<ColorValue> FakeForm::PickerColor(ControlId picker) const {
  return colors_[Index(picker)];
}

}  // namespace qel
