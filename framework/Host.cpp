#include "framework/Host.h"

#include <cstdio>

#include "framework/Application.h"
#include "framework/Ids.h"
#include "framework/PropertySheet.h"
#include "support/Clock.h"

namespace framework {
namespace {

// Without a screen: boxes go to the error stream, and a modal run returns at once, so the
// sheet counts as cancelled rather than hanging with nobody to answer it.
class HeadlessHost final : public Host {
public:
    void RunModal(PropertySheet&) override {}
    int ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon) override {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        return IDOK;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void RepaintWhileWaiting() override {}
};

HeadlessHost g_headless;

}  // namespace

void Host::OnControlChanged(Control&, ControlChange) {}

void Host::OnDialogChanged(Dialog&, DialogChange) {}

Host& CurrentHost() {
    Host* replacement = ScopedHost::Current();
    return replacement ? *replacement : g_headless;
}

ScopedHost::ScopedHost(Host& host) : ScopedOverride(host) {
    support::SetWaitHook([] { CurrentHost().RepaintWhileWaiting(); });
}

int MessageBox(const std::string& text, MessageIcon icon) {
    CurrentHost().ShowMessageBox(text, ApplicationTitle(), icon);
    return IDOK;
}

bool StopRequested() {
    return CurrentHost().TakeStopRequest();
}

void ShowNote(const std::string& text) {
    CurrentHost().ShowNote(text);
}

std::string AskFileName(const FileDialogRequest& request) {
    return CurrentHost().AskFileName(request);
}

WaitCursor::WaitCursor() {
    CurrentHost().BeginWaitCursor();
}

WaitCursor::~WaitCursor() {
    CurrentHost().EndWaitCursor();
}

}  // namespace framework
