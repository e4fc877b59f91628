#include "platform/win32/win32_window_system.h"

#include "platform/win32/win32_main_window.h"

namespace qel {

Win32WindowSystem::Win32WindowSystem() = default;

Win32WindowSystem::~Win32WindowSystem() = default;

Form* Win32WindowSystem::LoadMainWindow(const Layout& layout, EventSink& events) {
  mainWindow_ = std::make_unique<Win32MainWindow>(layout, events);
  if (!mainWindow_->Loaded()) mainWindow_.reset();
  return mainWindow_.get();
}

void Win32WindowSystem::ShowMainWindow() { mainWindow_->Show(SW_SHOWNORMAL); }

void Win32WindowSystem::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (mainWindow_ && mainWindow_->TranslateCopyKeys(message)) continue;
    HWND window = mainWindow_ ? mainWindow_->Window(ControlId::MainWindow) : nullptr;
    if (window != nullptr && IsDialogMessageW(window, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace qel
