#pragma once

// Dialogs, pages and templates shared by the framework's tests.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/DataExchange.h"
#include "framework/PropertySheet.h"

namespace framework_test {

// Form 901: one control of each kind, with radio groups that exercise group starts.
inline constexpr int kFormTemplate = 901;
inline constexpr int kLabel = 10;
inline constexpr int kEdit1 = 11;
inline constexpr int kEdit2 = 12;
inline constexpr int kEdit3 = 13;
inline constexpr int kList = 20;  // items "38400", "9600", "300"
inline constexpr int kList2 = 21;
inline constexpr int kModeBox = 30;  // group box, starts a group
inline constexpr int kMode0 = 31;    // group start: 31, 32, 34 (a label in between)
inline constexpr int kMode1 = 32;
inline constexpr int kModeNote = 33;
inline constexpr int kMode2 = 34;
inline constexpr int kCustom = 35;  // a group of its own
inline constexpr int kOtherA = 41;  // a second group: 41, 42
inline constexpr int kOtherB = 42;
inline constexpr int kGo = 50;
inline constexpr int kHiddenButton = 51;

// Pages 911-913: captions "Step 1 of 3" ...; edit box kPageEdit holds an integer 0..10.
inline constexpr int kPageTemplate = 911;
inline constexpr int kPageEdit = 100;
inline constexpr int kSheetCaption = 950;  // "Test Wizard"

// Registers the templates and strings above (again, harmlessly, on every call).
void RegisterTestResources();

// A dialog whose table and command handling the test supplies.
class FormDialog : public framework::Dialog {
public:
    FormDialog() : Dialog(kFormTemplate) {}

    std::function<void(framework::DataExchange&)> exchange;
    std::vector<std::pair<int, framework::Notification>> commands;
    std::function<void(int, framework::Notification)> onCommand;

    void DoDataExchange(framework::DataExchange& dx) override {
        if (exchange) exchange(dx);
    }
    void OnCommand(int id, framework::Notification what) override {
        commands.emplace_back(id, what);
        if (onCommand) onCommand(id, what);
    }
};

// A page that logs its events as "<name>:<event>" and answers as told.
class LoggingPage : public framework::PropertyPage {
public:
    LoggingPage(int templateId, std::string name, std::vector<std::string>& log)
        : PropertyPage(templateId), m_name(std::move(name)), m_log(log) {}

    int m_nValue = 5;
    BOOL refuseKillActive = FALSE;
    BOOL refuseSetActive = FALSE;
    BOOL nextResult = TRUE;
    BOOL backResult = TRUE;
    BOOL finishResult = TRUE;
    std::function<void()> onSetActive;

    BOOL OnInitDialog() override {
        Log("Init");
        return PropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override {
        Log("SetActive");
        if (onSetActive) onSetActive();
        if (refuseSetActive) return FALSE;
        return PropertyPage::OnSetActive();
    }
    BOOL OnKillActive() override {
        Log("KillActive");
        if (refuseKillActive) return FALSE;
        return PropertyPage::OnKillActive();
    }
    BOOL OnWizardBack() override {
        Log("Back");
        return backResult;
    }
    BOOL OnWizardNext() override {
        Log("Next");
        return nextResult;
    }
    BOOL OnWizardFinish() override {
        Log("Finish");
        return finishResult;
    }
    void DoDataExchange(framework::DataExchange& dx) override {
        dx.Integer(kPageEdit, m_nValue, 0, 10);
    }
    void OnDestroy() override { Log("Destroy"); }

private:
    void Log(const char* event) { m_log.push_back(m_name + ":" + event); }

    std::string m_name;
    std::vector<std::string>& m_log;
};

}  // namespace framework_test
