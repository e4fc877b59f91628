#include "tests/win32/peer_process.h"

#include "tests/win32/desktop_user.h"

namespace qel::test {
namespace {

using namespace std::chrono_literals;

// The build's path of the peer as Wine sees it, through its Z: drive.
std::wstring PeerPath() {
  std::wstring path = Utf8ToUtf16(QEL_WIN32_PEER);
  if (path.starts_with(L'/')) path = L"Z:" + path;
  for (wchar_t& unit : path) {
    if (unit == L'/') unit = L'\\';
  }
  return path;
}

}  // namespace

PeerProcess::PeerProcess(const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + PeerPath() + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &process_) == 0) {
    Fail("cannot start the peer process");
  }
}

PeerProcess::~PeerProcess() {
  // A peer that answers is asked to close; one that does not is ended at once.
  DWORD_PTR answer = 0;
  const bool answers = window_ != nullptr &&
                       SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
  if (answers) PostMessageW(window_, WM_CLOSE, 0, 0);
  if (!WaitForExit(answers ? 10s : 0s)) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND PeerProcess::WaitForWindow(const std::wstring& title) {
  PumpUntil(
      [this, &title] {
        const HWND found = FindWindowW(nullptr, title.c_str());
        DWORD owner = 0;
        if (found != nullptr) GetWindowThreadProcessId(found, &owner);
        if (owner == process_.dwProcessId) window_ = found;
        return window_ != nullptr;
      },
      20s);
  return window_;
}

std::optional<DWORD> PeerProcess::WaitForExit(std::chrono::milliseconds patience) {
  const bool ended = PumpUntil(
      [this] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, patience);
  DWORD code = 0;
  if (!ended || GetExitCodeProcess(process_.hProcess, &code) == 0) return std::nullopt;
  return code;
}

}  // namespace qel::test
