// Another program on the tests' desktop: a thread with a message loop of its own, whose windows
// and hotkeys belong to it rather than to the thread the tests run on.
#pragma once

#include <functional>
#include <future>
#include <thread>

#include "platform/win32/win32_handles.h"

namespace qel::test {

class OtherProgram {
 public:
  // Throws std::runtime_error when its thread cannot make the window it is reached through.
  OtherProgram();
  ~OtherProgram();
  OtherProgram(const OtherProgram&) = delete;
  OtherProgram& operator=(const OtherProgram&) = delete;

  // Runs `work` on the program's thread, which goes on serving its windows meanwhile; returns
  // once `work` has, passing on what it throws.
  void Run(const std::function<void()>& work);

 private:
  void Loop(std::promise<HWND>& started);

  HWND host_ = nullptr;
  std::thread thread_;
};

}  // namespace qel::test
