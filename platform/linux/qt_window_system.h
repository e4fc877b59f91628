// The windowing system on Linux: Qt Widgets on X11. Owns the application object, the main window
// and the message loop.
#pragma once

#include <QApplication>
#include <memory>

#include "platform/linux/font_warmup.h"
#include "platform/platform.h"

namespace qel {

class QtMainWindow;

class QtWindowSystem final : public WindowSystem {
 public:
  QtWindowSystem(int& argc, char** argv);
  ~QtWindowSystem() override;

  Form* LoadMainWindow(const Layout& layout, EventSink& events) override;
  void ShowMainWindow() override;
  void RunMessageLoop() override;

  QtMainWindow* MainWindow() const { return mainWindow_.get(); }

 private:
  FontWarmup fontWarmup_;  // first, so that it runs while the application object starts
  QApplication application_;
  std::unique_ptr<QtMainWindow> mainWindow_;
};

}  // namespace qel
