#include "platform/win32/win32_files.h"

#include <algorithm>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/win32/win32_gbk.h"
#include "platform/win32/win32_handles.h"

namespace qel {
namespace {

struct FileCloser {
  void operator()(HANDLE file) const { CloseHandle(file); }
};
using OwnedFile = std::unique_ptr<std::remove_pointer_t<HANDLE>, FileCloser>;

constexpr int kTemporaryNameAttempts = 16;

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    // WriteFile takes at most a DWORD at a time.
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes = bytes.subspan(written);
  }
  return true;
}

// A new file of a name no other has, in the folder: CREATE_NEW neither opens an existing file nor
// goes through a link.
OwnedFile CreateTemporary(const std::wstring& folder, const std::wstring& name,
                          std::wstring& temporary) {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    temporary = folder + L"~" + name + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                std::to_wstring(counter.QuadPart + attempt) + L".tmp";
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return OwnedFile(file);
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  return nullptr;
}

}  // namespace

bool Win32FileSystem::EntryExists(std::string_view path) {
  if (GetFileAttributesW(GbkToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES) return true;
  const DWORD error = GetLastError();
  return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

bool Win32FileSystem::WriteNewFile(std::string_view path, std::span<const std::uint8_t> bytes) {
  const std::wstring target = GbkToUtf16(path);
  const std::size_t separator = target.find_last_of(L"\\/");
  const std::wstring folder =
      separator == std::wstring::npos ? std::wstring{} : target.substr(0, separator + 1);
  const std::wstring name = separator == std::wstring::npos ? target : target.substr(separator + 1);
  std::wstring temporary;
  OwnedFile file = CreateTemporary(folder, name, temporary);
  if (!file) return false;
  const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  const bool closed = CloseHandle(file.release()) != 0;
  if (!written || !closed ||
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

bool Win32FileSystem::SetHiddenAttribute(std::string_view path) {
  return SetFileAttributesW(GbkToUtf16(path).c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
}

}  // namespace qel
