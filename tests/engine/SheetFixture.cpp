#include "tests/engine/SheetFixture.h"

#include "device/InstrumentType.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "wizard/InstrumentModePage.h"

namespace engine_test {

SheetFixture::SheetFixture() {
    resources::RegisterResources();
    sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(
        IDS_SHEET_CAPTION, nullptr, 0, [this]() -> std::unique_ptr<SerialDevice> {
            auto scripted = std::make_unique<testkit_test::ScriptedDevice>(time.clock);
            port = scripted.get();
            return scripted;
        });
}

void SheetFixture::Connect(const std::string& type) {
    sheet->SetInstrumentType(type);
    port->SetTerminator(type == device::kTypeVeltrix ? ETX : CR);
    ChooseMode(device::InstrumentTypeIndex(type));
}

void SheetFixture::ChooseMode(int mode, const std::string& baudText) {
    sheet->m_pInstrumentModePage->m_nMode = mode;
    sheet->m_pInstrumentModePage->m_strBaudRate = baudText;
}

}  // namespace engine_test
