#include "app/Options.h"

namespace app {

std::string UsageText(const std::string& programName) {
    return "Usage: " + programName +
           " [options]\n"
           "Puts a Veltrix microplate reader on a serial line into a known state.\n"
           "\n"
           "Options:\n"
           "  --port PATH     also offer this serial port (a pseudo-terminal, say); may be\n"
           "                  given more than once; these ports are listed first\n"
           "  --simulate      start the instrument simulator on a pseudo-terminal and list it\n"
           "                  first, so the wizard can be tried without an instrument\n"
           "  --trace FILE    write what goes over the serial line to FILE, one line a\n"
           "                  burst; veltrix-sim --replay FILE plays it back\n"
           "  --profile FILE  load the settings profile FILE, as \"Load profile...\" does: each\n"
           "                  step shows its choices once it has read the instrument\n"
           "  --help          show this text\n"
           "  --version       show the program's version\n"
           "  -Automation     started by an automation client (also -Embedding)\n"
           "  -RegServer      register the automation object and end (-UnregServer: remove\n"
           "                  the registration); a normal start registers it as well\n"
           "\n"
           "Qt's own options, such as -platform offscreen, are accepted as well.\n";
}

}  // namespace app
