#include "tests/win32/other_program.h"

#include <exception>
#include <future>
#include <stdexcept>

#include "tests/win32/desktop_user.h"

namespace qel::test {
namespace {

constexpr const wchar_t* kHostClass = L"QelOtherProgramHost";
constexpr UINT kRunMessage = WM_APP + 1;

struct Work {
  const std::function<void()>* work;
  std::exception_ptr failure;
};

LRESULT CALLBACK HostProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunMessage) return DefWindowProcW(hwnd, message, wParam, lParam);
  auto* work = reinterpret_cast<Work*>(lParam);
  try {
    (*work->work)();
  } catch (...) {
    work->failure = std::current_exception();
  }
  return 0;
}

}  // namespace

OtherProgram::OtherProgram() {
  std::promise<HWND> started;
  std::future<HWND> host = started.get_future();
  thread_ = std::thread([this, &started] { Loop(started); });
  host_ = host.get();
  if (host_ == nullptr) {
    thread_.join();
    throw std::runtime_error("the other program's thread could not make its window");
  }
}

OtherProgram::~OtherProgram() {
  Run([] { PostQuitMessage(0); });
  thread_.join();
}

void OtherProgram::Run(const std::function<void()>& work) {
  Work sent{&work, nullptr};
  // Sent, not posted: the call returns once the thread has run it.
  SendMessageW(host_, kRunMessage, 0, reinterpret_cast<LPARAM>(&sent));
  if (sent.failure) std::rethrow_exception(sent.failure);
}

void OtherProgram::Loop(std::promise<HWND>& started) {
  RegisterWindowClass(kHostClass, &HostProcedure);
  const HWND host = CreateWindowExW(0, kHostClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  started.set_value(host);
  if (host == nullptr) return;
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyWindow(host);
}

}  // namespace qel::test
