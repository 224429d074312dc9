#include "app/InstrumentSettingsApp.h"
#include "app/Program.h"

// The one application object, made before main runs.
InstrumentSettingsApp theApp;

int main(int argc, char** argv) {
    return app::RunProgram(theApp, argc, argv);
}
