#pragma once

// Text for the user from a program of the GUI subsystem, which has no console of its own
// (--help, --version, a command line it does not understand): to the standard stream when
// the program was given one (a pipe, a file), else to the console of the program that
// started it, else in a message box.
//   app::ShowProgramText("veltrix-instrument-settings", UsageText(name), false);

#include <string>

namespace app {

// error: the text goes to standard error, or into a box with the error icon.
void ShowProgramText(const std::string& caption, const std::string& text, bool error);

}  // namespace app
