#include "app/WizardRun.h"

#include <memory>

#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Application.h"
#include "resources/Resource.h"

namespace app {

void RunWizard(framework::Application& application, const WizardRun& run) {
    // The wizard, run modally as the main window; the modal result is not looked at.
    auto sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION, nullptr, 0);
    application.SetMainWindow(sheet.get());
    {
        device::LineTrace noTrace;
        device::LineWatch watch(run.trace != nullptr ? *run.trace : noTrace,
                                [&run](const std::string& text) {
                                    if (run.showBusy) run.showBusy(text);
                                });
        watch.Attach(sheet->GetDevice());
        if (run.beforeRun) run.beforeRun(*sheet);
        sheet->DoModal();
        if (run.afterRun) run.afterRun(*sheet);
    }
    // The sheet goes with its pages, device and port.
    application.SetMainWindow(nullptr);
    sheet.reset();
}

}  // namespace app
