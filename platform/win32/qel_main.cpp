// Qel on Windows: the one place that puts the real platform together and starts the program.
#include "app/run_program.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_dialogs.h"
#include "platform/win32/win32_event_pump.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_gdi.h"
#include "platform/win32/win32_hotkeys.h"
#include "platform/win32/win32_images.h"
#include "platform/win32/win32_libraries.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_screen.h"
#include "platform/win32/win32_window_system.h"

int main() {
  qel::Win32WindowSystem windows;
  qel::Win32Dialogs dialogs;
  qel::Win32Process process;
  qel::Win32Desktop desktop;
  qel::Win32Screen screen;
  // The hotkey's notification is sent to the receiving label as a window message, which the
  // label's own procedure turns into its event: nothing needs relaying here.
  qel::Win32Hotkeys hotkeys;
  qel::Win32ImageServices images;
  qel::Win32EventPump events;
  qel::Win32FileSystem files;
  qel::Win32LibraryLoader libraries;
  qel::Platform platform{process, dialogs, windows, desktop, screen,
                         hotkeys, images,  events,  files,   libraries};
  qel::Win32Gdi gdi(images);
  return qel::RunProgram(platform, gdi);
}
