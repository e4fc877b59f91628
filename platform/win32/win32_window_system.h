// The windowing system on Windows: the main window and the message loop, in which the dialog keys
// (Tab, Shift+Tab, the arrows within the radio group) move the focus between the controls and the
// copy keys go to the window unless an edit box has text to copy.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace qel {

class Win32MainWindow;

class Win32WindowSystem final : public WindowSystem {
 public:
  Win32WindowSystem();
  ~Win32WindowSystem() override;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  Form* LoadMainWindow(const Layout& layout, EventSink& events) override;
  void ShowMainWindow() override;
  void RunMessageLoop() override;

  Win32MainWindow* MainWindow() const { return mainWindow_.get(); }

 private:
  std::unique_ptr<Win32MainWindow> mainWindow_;
};

}  // namespace qel
