#include "platform/win32/win32_clipboard.h"

namespace qel {
namespace {

constexpr int kOpenAttempts = 20;
constexpr DWORD kOpenRetryMs = 10;

}  // namespace

ClipboardOwner::ClipboardOwner()
    : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr)) {}

ClipboardOwner::~ClipboardOwner() {
  if (window_ != nullptr) DestroyWindow(window_);
}

OpenedClipboard::OpenedClipboard(HWND owner) {
  for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
    if (attempt > 0) Sleep(kOpenRetryMs);
    open_ = OpenClipboard(owner) != 0;
  }
}

OpenedClipboard::~OpenedClipboard() {
  if (open_) CloseClipboard();
}

}  // namespace qel
