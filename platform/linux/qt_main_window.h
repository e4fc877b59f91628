// The main window on Qt: built from the layout table, it is the form the handlers work on and
// reports its controls' events to the dispatcher.
#pragma once

#include <QWidget>
#include <array>
#include <memory>

#include "platform/linux/x11_message_window.h"
#include "platform/platform.h"
#include "platform/ruled_timer.h"

namespace qel {

class TabBox;

class QtMainWindow final : public QWidget, public Form {
 public:
  QtMainWindow(const Layout& layout, EventSink& events);

  std::string Text(ControlId control) const override;
  void SetText(ControlId control, std::string_view text) override;
  bool IsChecked(ControlId radio) const override;
  int TimerInterval(ControlId timer) const override;
  void SetTimerInterval(ControlId timer, int milliseconds) override;
  void SetPanelColor(ControlId panel, ColorValue color) override;
  void SetPickerColor(ControlId picker, ColorValue color) override;
  // The main window's own window; for a control, a message window that stands for it.
  WindowHandle NativeHandle(ControlId control) override;
  int SelectedPage(ControlId tabs) const override;

  // The widget of a control (null for the timers): what the view tests inspect.
  QWidget* Widget(ControlId control) const { return widgets_[Index(control)]; }
  TabBox* Tabs() const { return tabBox_; }

  // Shows the window centred on the primary screen, then keeps its outer size once the window
  // manager has put its frame around it.
  void ShowCentred();

  // A message sent to one of the window's controls, as the platform delivers it.
  void ReceiveMessage(WindowHandle target, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam);

 protected:
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  // The copy keys reach the window when the focus had nothing to copy.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  static std::size_t Index(ControlId id) { return static_cast<std::size_t>(id); }
  QWidget* CreateControl(const ControlSpec& spec, QWidget* parent);
  void KeepOuterSize();

  const Layout& layout_;
  EventSink& events_;
  std::array<QWidget*, kControlCount> widgets_{};
  std::array<std::unique_ptr<X11MessageWindow>, kControlCount> messageWindows_;
  TabBox* tabBox_ = nullptr;
  FormTimers timers_;
  bool outerSizeKept_ = false;
};

}  // namespace qel
