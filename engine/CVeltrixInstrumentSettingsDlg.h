#pragma once

#include <functional>
#include <memory>
#include <string>

#include "device/ReadyPoll.h"
#include "device/SerialDevice.h"
#include "engine/AutoProxyLink.h"
#include "engine/ExchangeRecord.h"
#include "engine/InstrumentSettings.h"
#include "engine/LinkNotices.h"
#include "framework/PropertySheet.h"
#include "framework/Resources.h"
#include "support/Bool.h"

class ConnectPage;
class InstrumentModePage;
class FilterSlidePage;
class MeasurementModePage;
class PlateMovementPage;

// The wizard sheet: one per run. It owns the five step pages and the one serial device, keeps
// the identified instrument type code, and offers the pages the engine operations: the command
// transaction, identification and firmware version, applying and saving the settings. The
// user's choices stay in the page objects; the engine reads them from there on Finish. What the
// instrument holds, as the steps read it, is kept in the sheet's settings description, and
// every exchange since step 1 connected in its exchange record.
//   CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION);   // pages and a ComPortDevice
//   sheet.DoModal();
// Tests hand in their own device:
//   CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION, nullptr, 0,
//                                       [&] { return std::make_unique<FakeDevice>(); });
class CVeltrixInstrumentSettingsDlg : public framework::PropertySheet {
public:
    // Makes the sheet's serial device. Without one (or when it gives none), the sheet makes a
    // ComPortDevice, the operating system's serial port.
    using DeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;

    explicit CVeltrixInstrumentSettingsDlg(int captionId, framework::Dialog* parent = nullptr,
                                           int selectPage = 0, DeviceFactory makeDevice = {});
    // Deletes the pages one by one (first page first), clears the proxy's link to this sheet,
    // then deletes the device, which closes its port.
    ~CVeltrixInstrumentSettingsDlg() override;

    // The framework's sheet initialisation, then the window's big and small icon.
    BOOL OnInitDialog() override;
    // Creates and adds the pages firstIndex..4 (0 Connect ... 4 Plate movement) in step order.
    virtual void AddPages(int firstIndex);
    // The common construction step: icon, device, all five pages, wizard mode without Help.
    virtual void InitSheet();
    // Back is enabled except on the first page; the last page shows Finish instead of Next.
    virtual void UpdateWizardButtons(framework::PropertyPage* activePage);
    // One reply in the framing of the stored type; its length, or the reader's result when
    // that is 0 or less.
    virtual int ReadReply(std::string& reply);
    // Polls until the instrument reports ready, then sends the command. FALSE when the
    // instrument reported an error meanwhile, or never became ready (then nothing is sent).
    virtual BOOL SendCommand(const std::string& command);
    // The instrument's answer to the version query; "" when no known instrument is stored.
    virtual std::string GetFirmwareVersion();
    // 'V 3.10' gives 3100; a text shorter than 6 characters gives 0.
    virtual int ParseVersion(const std::string& versionText);
    // Filter slide, instrument mode and port, measurement mode and plate movement, in that
    // order; one summary box at the end. TRUE when every step that ran succeeded.
    virtual BOOL ApplySettings();
    // Makes the instrument store its configuration; TRUE when it accepted.
    virtual BOOL SaveSettings();
    // Switches the instrument's mode and port settings, follows with the local port and
    // identifies the instrument again. TRUE when the instrument accepted the change.
    virtual BOOL ChangeInstrumentMode(int modeIndex);
    virtual SerialDevice* GetDevice();
    virtual std::string GetInstrumentType();
    // The type code of the mode chosen on step 2; "" for an index outside 0..3.
    virtual std::string GetSelectedTypeCode();
    // Stores the code as given, known or not.
    virtual void SetInstrumentType(const std::string& code);

    // Step 1 connected to an instrument: what the sheet knew about the old link is gone; the
    // record starts afresh and the description holds the identified mode and the port's rate.
    void OnConnected();

    // Every exchange since step 1 connected.
    engine::ExchangeRecord& Record() { return m_record; }
    const engine::ExchangeRecord& Record() const { return m_record; }
    // What the steps have read from the instrument since step 1 connected.
    engine::InstrumentSettings& Settings() { return m_settings; }
    const engine::InstrumentSettings& Settings() const { return m_settings; }

    // While a step reads after connecting it reports a failed read itself, naming the setting:
    // the ready wait that ran out is then not told on its own as well.
    class StepReading {
    public:
        explicit StepReading(CVeltrixInstrumentSettingsDlg& sheet) : m_sheet(sheet) {
            ++m_sheet.m_stepReadings;
        }
        ~StepReading() { --m_sheet.m_stepReadings; }
        StepReading(const StepReading&) = delete;
        StepReading& operator=(const StepReading&) = delete;

    private:
        CVeltrixInstrumentSettingsDlg& m_sheet;
    };

    // FALSE, after hiding the window, while an automation proxy is attached; TRUE otherwise.
    BOOL CanExit();
    // The icon shown while the minimised window is dragged.
    framework::IconHandle OnQueryDragIcon() const { return m_hIcon; }

    // The longest time SendCommand polls an instrument that neither becomes ready nor reports
    // an error (a busy or silent instrument): 30 s of waiting for the instrument, checked before
    // each poll; an error reply's message box left open does not count. Once it ran out, later
    // commands poll once until the instrument is ready again.
    static constexpr int kReadyWaitLimitMs = device::kReadyWaitLimitMs;
    int m_nReadyWaitLimitMs = kReadyWaitLimitMs;  // tests shorten it

    // Not owned: set by the automation proxy while a client holds it.
    engine::AutoProxyLink* m_pAutoProxy = nullptr;
    framework::IconHandle m_hIcon = 0;
    // The pages and the device are owned: the destructor deletes each once.
    ConnectPage* m_pConnectPage = nullptr;
    InstrumentModePage* m_pInstrumentModePage = nullptr;
    FilterSlidePage* m_pFilterSlidePage = nullptr;
    MeasurementModePage* m_pMeasurementModePage = nullptr;
    PlateMovementPage* m_pPlateMovementPage = nullptr;
    std::unique_ptr<SerialDevice> m_pDevice;
    // Empty until an instrument is identified, then "+VT", "+MV", "+DL" or "+OQ".
    std::string m_strInstrumentType;

protected:
    // While a proxy holds the program, the window is only hidden: the framework's destroy
    // handling is skipped.
    void OnDestroy() override;

private:
    // Shows why a step failed, unless the link was lost: that has been said already, and the
    // failure of the step it broke would only mislead.
    void ShowStepFailure(const std::string& text);
    // Steps of ApplySettings; each returns false when it failed and the apply ends there, with
    // the summary text in message.
    bool ApplyFilterSlide(std::string& message);
    bool ModeChangeNeeded();
    bool ApplyInstrumentMode(std::string& message);
    bool ApplyMeasurementMode(std::string& message);
    bool ApplyPlateMovement(std::string& message);
    bool RunApplySteps(std::string& message);
    // Sends the command and reads its reply; true when the reply is "+". A reply that came but
    // is not "+" marks the exchange refused.
    bool CommandAccepted(const std::string& command);
    // Up to three type queries after a mode change; stores the first known code read.
    void ReidentifyInstrument();
    // Nulls the page field that points at page, so the page is deleted only once.
    void ForgetPage(const framework::PropertyPage* page);

    DeviceFactory m_makeDevice;
    engine::LinkNotices m_linkNotices;
    engine::ExchangeRecord m_record;
    engine::InstrumentSettings m_settings;
    int m_stepReadings = 0;
};
