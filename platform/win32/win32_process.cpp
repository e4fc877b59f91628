#include "platform/win32/win32_process.h"

#include <string>

#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"

namespace qel {

std::string Win32Process::ExecutablePath() const {
  // The system cuts the path to the buffer without saying how long it is: grow until it fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return Utf16ToGbk(path);
    }
    path.resize(path.size() * 2);
  }
}

bool Win32Process::SetCurrentDirectory(std::string_view path) {
  return SetCurrentDirectoryW(GbkToUtf16(path).c_str()) != 0;
}

void Win32Process::Exit(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace qel
