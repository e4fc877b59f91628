#include "app/program.h"

#include "app/layout_table.h"
#include "convert/ui_texts.h"
#include "skin/skin_library_image.h"
#include "skin/skin_table.h"

namespace qel {

std::string_view ParentDirectory(std::string_view path, char separator) {
  const std::size_t last = path.rfind(separator);
  if (last == std::string_view::npos) return {};
  return path.substr(0, last == 0 ? 1 : last);  // a file at the root keeps the root
}

void ProgramExit(ProgramGlobals& globals) {
  globals.GlobalColorFinder.reset();
  globals.LastColorBytes.reset();
  ColorFinder::ClearSearchCursors();
}

Program::Program(Platform& platform, Gdi& gdi)
    : platform_(platform),
      bitmaps_{gdi, platform.screen, platform.desktop},
      hotkeyRegistration_(platform.hotkeys),
      // The dispatcher only keeps the skin deployment, made below, for the handlers to use.
      dispatcher_(EventBindings(), platform, bitmaps_, hotkeyRegistration_, globals_,
                  skinDeployment_),
      fatal_(dispatcher_, platform),
      skinLibrary_(platform, fatal_),
      skinDeployment_(platform, skinLibrary_, skin::SkinLibraryImage(), &skin::SkinBlock) {}

int Program::ProgramStart() {
  const std::string executable = platform_.process.ExecutablePath();
  platform_.process.SetCurrentDirectory(
      ParentDirectory(executable, platform_.process.PathSeparator()));

  globals_.GlobalColorFinder = std::make_unique<ColorFinder>(platform_.events);
  ColorFinder::ClearSearchCursors();
  exitRoutines_.Register(&ProgramExit);

  Form* form = platform_.windows.LoadMainWindow(MainWindowLayout(), dispatcher_);
  if (form == nullptr) fatal_.Report(kTextWindowLoadFailed.gbk);
  dispatcher_.AttachForm(*form);
  dispatcher_.Deliver(ControlId::MainWindow, Event::Created, 0, 0);
  platform_.windows.ShowMainWindow();

  platform_.windows.RunMessageLoop();
  return 0;
}

void Program::EndOfProgram() {
  exitRoutines_.RunAll(globals_);
  skinLibrary_.Unload();
}

}  // namespace qel
