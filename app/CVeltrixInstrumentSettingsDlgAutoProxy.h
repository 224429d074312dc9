#pragma once

// The automation object: an automation client holds one to keep the program running and the
// wizard linked to it. It has no methods and no properties of its own. While it exists,
// closing the wizard only hides the window; when the client lets go, the application lock
// goes with it, which ends a program that was started for automation.
//   framework::CommandTarget* object =
//   CVeltrixInstrumentSettingsDlgAutoProxy::factory.CreateObject(); object->Release();

#include "engine/AutoProxyLink.h"
#include "framework/CommandTarget.h"
#include "framework/ObjectFactory.h"

class CVeltrixInstrumentSettingsDlg;

class CVeltrixInstrumentSettingsDlgAutoProxy : public framework::CommandTarget,
                                               public engine::AutoProxyLink {
public:
    // Takes the application lock and links itself to the application's main window, the
    // wizard sheet; with no sheet (or one that has a proxy already) it stays unlinked.
    CVeltrixInstrumentSettingsDlgAutoProxy();

    // "CVeltrixInstrumentSettingsDlgAutoProxy"
    virtual const char* GetRuntimeClass() const;
    // Unlinks the sheet, then releases the application lock.
    ~CVeltrixInstrumentSettingsDlgAutoProxy() override;

    // The sheet is going first: forget it.
    void ClearDialogLink() override { m_pDialog = nullptr; }

    // Not owned; null once the sheet is gone.
    CVeltrixInstrumentSettingsDlg* m_pDialog = nullptr;

    // Class id {6A1E0D42-9C37-4B58-A2F1-3D84C95E7B20}, programmatic id
    // "VeltrixInstrumentSettings.Application", one object per program instance.
    static framework::ObjectFactory factory;

protected:
    // The last client let go: the object deletes itself.
    void OnFinalRelease() override;
};
