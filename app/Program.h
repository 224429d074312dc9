#pragma once

// The whole program around the application object: the command line, Qt, the resources, the
// simulator for --simulate, the line trace, and the screen's host; then the application's Main.
//   InstrumentSettingsApp theApp;
//   int main(int argc, char** argv) { return app::RunProgram(theApp, argc, argv); }
// Exit codes: 0 after the wizard (or --help, --version), 1 when the program could not start,
// 2 for a command line it does not understand.

class InstrumentSettingsApp;

namespace app {

int RunProgram(InstrumentSettingsApp& application, int argc, char** argv);

}  // namespace app
