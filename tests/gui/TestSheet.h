#pragma once

// A small wizard of three pages, one control of each kind on the first, for the host's tests.
// Pages log what their controls report and can be given a handler; they show Back, Next and
// Finish as a wizard does (Back from the second page on, Finish instead of Next on the last).

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/DataExchange.h"
#include "framework/PropertySheet.h"

namespace gui_test {

inline constexpr int kSheetCaption = 9100;  // "Test wizard"
inline constexpr int kFirstPage = 9101;     // captions "Test wizard - Step 1 of 3" ...
inline constexpr int kPageCount = 3;

// Controls of the first page.
inline constexpr int kLabel = 11;
inline constexpr int kList = 12;  // items "one", "two", "three", none selected
inline constexpr int kRadioA = 13;
inline constexpr int kRadioB = 14;
inline constexpr int kRadioC = 15;  // a text too long for its place
inline constexpr int kEdit = 16;
inline constexpr int kButton = 17;
inline constexpr int kHiddenLabel = 18;

void RegisterTestTemplates();

class TestPage : public framework::PropertyPage {
public:
    explicit TestPage(int templateId) : PropertyPage(templateId) {}

    std::vector<std::pair<int, framework::Notification>> commands;
    std::function<void(int, framework::Notification)> onCommand;
    int m_nChoice = -1;

    BOOL OnSetActive() override;
    void OnCommand(int id, framework::Notification what) override;
    void DoDataExchange(framework::DataExchange& dx) override;
    // Commands of this id and kind seen so far.
    int Count(int id, framework::Notification what) const;
};

class TestSheet : public framework::PropertySheet {
public:
    TestSheet();
    ~TestSheet() override;

    TestPage first{kFirstPage};
    TestPage second{kFirstPage + 1};
    TestPage third{kFirstPage + 2};
};

}  // namespace gui_test
