#include "app/CVeltrixInstrumentSettingsDlgAutoProxy.h"

#include <string>

#include "app/AutomationNames.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Application.h"

framework::ObjectFactory CVeltrixInstrumentSettingsDlgAutoProxy::factory(
    std::string(app::kClassId), std::string(app::kProgId), true,
    [] { return new CVeltrixInstrumentSettingsDlgAutoProxy; });

CVeltrixInstrumentSettingsDlgAutoProxy::CVeltrixInstrumentSettingsDlgAutoProxy() {
    framework::Application* application = framework::Application::Current();
    if (application == nullptr) return;
    application->LockApp();
    auto* sheet = dynamic_cast<CVeltrixInstrumentSettingsDlg*>(application->GetMainWindow());
    // A second proxy must not take the link of the first, whose destruction would clear it.
    if (sheet != nullptr && sheet->m_pAutoProxy == nullptr) {
        m_pDialog = sheet;
        sheet->m_pAutoProxy = this;
    }
}

const char* CVeltrixInstrumentSettingsDlgAutoProxy::GetRuntimeClass() const {
    return "CVeltrixInstrumentSettingsDlgAutoProxy";
}

CVeltrixInstrumentSettingsDlgAutoProxy::~CVeltrixInstrumentSettingsDlgAutoProxy() {
    if (m_pDialog != nullptr && m_pDialog->m_pAutoProxy == this) m_pDialog->m_pAutoProxy = nullptr;
    if (framework::Application* application = framework::Application::Current()) {
        application->UnlockApp();
    }
}

void CVeltrixInstrumentSettingsDlgAutoProxy::OnFinalRelease() {
    CommandTarget::OnFinalRelease();
}
