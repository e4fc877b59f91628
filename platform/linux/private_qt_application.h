// A Qt application for the library's own use in a program that runs none: fonts and D-Bus need
// one. It draws off screen, says nothing on standard error, and lives as long as the program.
#pragma once

namespace qel {

// True when a Qt GUI application runs, the caller's or, made now if there was none, the library's
// own; false when the caller runs a Qt application that is not a GUI one.
bool HaveGuiApplication();
// True when any Qt application runs, as D-Bus needs: the caller's, or the library's own made now.
bool HaveQtApplication();

}  // namespace qel
