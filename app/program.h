// The program's spine: start-up (directory, globals, exit routine, window, message loop), the
// exit routine that releases the globals, and the end-of-program processing.
#pragma once

#include <string>
#include <string_view>

#include "app/dispatcher.h"
#include "app/exit_routines.h"
#include "app/fatal_error.h"
#include "app/program_globals.h"
#include "app/skin_deployment.h"
#include "app/skin_library.h"

namespace qel {

// The directory part of a path: everything before the last separator (empty without one).
std::string_view ParentDirectory(std::string_view path, char separator);

// Releases what the globals own; registered once as the exit routine.
void ProgramExit(ProgramGlobals& globals);

class Program {
 public:
  Program(Platform& platform, Gdi& gdi);

  // Runs until the main window is closed and returns 0. Ends the process on a fatal error.
  int ProgramStart();
  // Runs the registered exit routines, then unloads the skin library if it was loaded.
  void EndOfProgram();

  [[noreturn]] void ReportFatalError(std::string_view message) { fatal_.Report(message); }
  const ProgramGlobals& Globals() const { return globals_; }

 private:
  Platform& platform_;
  BitmapContext bitmaps_;
  HotkeyRegistration hotkeyRegistration_;
  ProgramGlobals globals_;
  Dispatcher dispatcher_;
  FatalErrorReporter fatal_;
  ExitRoutines exitRoutines_;
  SkinLibrary skinLibrary_;
  SkinDeployment skinDeployment_;
};

}  // namespace qel
