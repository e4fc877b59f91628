// The fake process, message boxes and windowing system: what a test of the whole program runs on.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/fake/fake_clock.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_files.h"
#include "platform/fake/fake_form.h"
#include "platform/fake/fake_hotkeys.h"
#include "platform/fake/fake_images.h"
#include "platform/fake/fake_libraries.h"
#include "platform/fake/fake_screen.h"
#include "platform/platform.h"

namespace qel {

// Thrown by FakeProcess::Exit so that a test sees the process end instead of ending itself.
struct ProcessExited {
  int code;
};

class FakeProcess final : public Process {
 public:
  std::string executablePath = "/opt/qel/bin/qel";
  std::vector<std::string> directoriesSet;

  std::string ExecutablePath() const override { return executablePath; }
  char PathSeparator() const override { return '/'; }
  bool SetCurrentDirectory(std::string_view path) override;
  [[noreturn]] void Exit(int code) override { throw ProcessExited{code}; }
};

struct ShownMessageBox {
  WindowHandle owner;
  std::string text;
  std::string title;
  std::uint32_t style;
};

class FakeDialogs final : public Dialogs {
 public:
  std::vector<ShownMessageBox> shown;
  // Runs while a box is open, as the box's own message loop would deliver events.
  std::function<void()> whileOpen;

  int MessageBox(WindowHandle owner, std::string_view text, std::string_view title,
                 std::uint32_t style) override;
};

// Counts the hand-offs and runs what a test wants the window system to do at each.
class FakeEventPump final : public EventPump {
 public:
  int handOffs = 0;
  std::function<void()> onHandOff;

  void ProcessPendingEvents() override {
    ++handOffs;
    if (onHandOff) onHandOff();
  }
};

class FakeWindowSystem final : public WindowSystem {
 public:
  explicit FakeWindowSystem(FakeClock& clock) : clock_(clock) {}

  bool failToLoad = false;
  bool shown = false;
  // What the user does while the message loop runs; the loop ends when it returns.
  std::function<void(FakeForm&)> session;
  // Given one, "show" goes into it when the window is shown.
  std::vector<std::string>* journal = nullptr;

  Form* LoadMainWindow(const Layout& layout, EventSink& events) override;
  void ShowMainWindow() override {
    shown = true;
    if (journal != nullptr) journal->push_back("show");
  }
  void RunMessageLoop() override;

  FakeForm* LoadedForm() const { return form_.get(); }

 private:
  FakeClock& clock_;
  std::unique_ptr<FakeForm> form_;
};

// The whole fake platform in one piece, for a test fixture.
struct FakePlatform {
  FakePlatform() {
    hotkeys.onSend = [this](const FakeHotkeys::SentMessage& sent) {
      if (FakeForm* form = windows.LoadedForm()) {
        form->ReceiveMessage(sent.target, sent.message, sent.wParam, sent.lParam);
      }
    };
  }
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  FakeClock clock;
  FakeProcess process;
  FakeDialogs dialogs;
  FakeWindowSystem windows{clock};
  FakeDesktop desktop;
  FakeScreen screen{1920, 1080};
  FakeHotkeys hotkeys;
  FakeImageServices images;
  FakeEventPump events;
  FakeFileSystem files;
  FakeLibraryLoader libraries;
  Platform platform{process, dialogs, windows, desktop, screen,
                    hotkeys, images,  events,  files,   libraries};
};

}  // namespace qel
