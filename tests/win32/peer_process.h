// The peer process of the Windows tests (peer_program.cpp) started with a command line, its window
// found by title, and ended when the test is done with it.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/win32/win32_handles.h"

namespace qel::test {

class PeerProcess {
 public:
  // Throws std::runtime_error when the peer cannot be started.
  explicit PeerProcess(const std::wstring& arguments);
  // Closes the peer's window if it was found, and ends the peer if it does not end by itself.
  ~PeerProcess();
  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;

  // The peer's top-level window of that title, once it has one; nullptr when it never does.
  HWND WaitForWindow(const std::wstring& title);
  // The peer's exit code once it ends; nullopt when it is still running after `patience`.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds patience);

 private:
  PROCESS_INFORMATION process_{};
  HWND window_ = nullptr;
};

}  // namespace qel::test
