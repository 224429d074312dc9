// From process start to the first painted wizard window, and the resident memory then: the
// whole program with --simulate on Qt's offscreen platform. Targets: under 400 ms and 60 MB.
//   bench_startup
// The activation file goes to a temporary folder, not to the user's.

#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/InstrumentSettingsApp.h"
#include "app/Program.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"

namespace {

// Milliseconds since this process started, by the kernel's count (clock ticks since boot).
double MsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses and may hold spaces.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 22; ++i)
        rest >> field;
    unsigned long long startTicks = 0;
    rest >> startTicks;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// VmRSS of /proc/self/status in MB.
double ResidentMb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    }
    return -1;
}

// Notes the first paint of the wizard's window, then closes it with Esc.
class FirstPaint : public QObject {
public:
    double ms = -1;
    double mb = -1;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(object);
        if (ms < 0 && event->type() == QEvent::Paint && widget != nullptr &&
            widget->window()->objectName() == "wizardWindow") {
            ms = MsSinceProcessStart();
            mb = ResidentMb();
            QWidget* window = widget->window();
            QTimer::singleShot(0, window, [window] {
                QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(window, &esc);
            });
        }
        return false;
    }
};

}  // namespace

int main(int, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    char folder[] = "/tmp/bench-startup-XXXXXX";
    if (mkdtemp(folder) == nullptr) return 1;
    setenv("XDG_DATA_HOME", folder, 1);

    FirstPaint watch;
    InstrumentSettingsApp application;
    application.SetSheetHook(
        [&watch](CVeltrixInstrumentSettingsDlg&) { qApp->installEventFilter(&watch); });
    std::string simulate = "--simulate";
    char* arguments[] = {argv[0], simulate.data(), nullptr};
    const int result = app::RunProgram(application, 2, arguments);

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    if (result != 0 || watch.ms < 0) {
        std::fprintf(stderr, "the wizard did not show (exit code %d)\n", result);
        return 1;
    }
    std::printf("first window shown: %.0f ms after process start (target < 400 ms)\n", watch.ms);
    std::printf("resident memory then: %.1f MB (target < 60 MB)\n", watch.mb);
    return watch.ms < 400 && watch.mb < 60 ? 0 : 3;
}
