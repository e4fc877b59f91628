// What the user and other programs do on the Windows desktop in tests: windows painted in one
// colour, pointer clicks and key presses through SendInput, and waiting while messages flow.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/win32/win32_handles.h"

namespace qel::test {

// Throws std::runtime_error with `what` and the last system error.
[[noreturn]] void Fail(const std::string& what);

std::wstring Utf8ToUtf16(std::string_view utf8);
// A path of the build, as Windows names it: a Unix one (a build for Wine) through drive Z:.
std::wstring WindowsPath(std::string_view buildPath);

// Dispatches the calling thread's waiting messages.
void Pump();
// Pumps until `condition` holds; false if it still does not after `patience`.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds patience);

// The visible top-level window of that title that process `processId` owns, once it has one; null
// when it still has none after `patience`.
HWND WaitForVisibleWindowOf(DWORD processId, const std::wstring& title,
                            std::chrono::milliseconds patience);

// Registers a window class of this program once; later calls with the same name do nothing.
void RegisterWindowClass(const std::wstring& name, WNDPROC procedure);

// A top-level pop-up window of the calling thread filled with `rgb` (0x00RRGGBB) on the screen
// and when asked to print itself, above the others, shown without taking the focus. The class is
// registered on first use.
HWND CreatePaintedWindow(const std::wstring& className, const std::wstring& title, const RECT& rect,
                         std::uint32_t rgb);

void Click(int x, int y);
void TypeText(std::wstring_view text);
void PressKey(WORD virtualKey);

}  // namespace qel::test
