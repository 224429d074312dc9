// The real wizard in its Win32 window, driven as a user would with window messages, against
// the Linux simulator on a COM port that Wine maps onto its pty. The script around each test
// (with-sim.sh) starts the simulator and says in the environment where: VELTRIX_SIM_PORT (the
// COM number), VELTRIX_SIM_STATE (the simulator's state file), VELTRIX_SIM_LINK (the link that
// goes when the simulator ends) and VELTRIX_SIM_STOP_FILE (on drive Z:, made by the test to
// stop the simulator).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/win32/Win32Host.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "tests/win32/Win32Kit.h"

namespace win32_test {
namespace {

using framework::ID_WIZBACK;
using framework::ID_WIZFINISH;
using framework::ID_WIZNEXT;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A step is left by a command exchange over the mapped port: a few seconds at most.
constexpr int kStepTimeoutMs = 30000;

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// A Linux path as this program sees it: drive Z: is the Linux root.
std::string OnDriveZ(const std::string& path) {
    std::string windows = "Z:" + path;
    for (char& c : windows) {
        if (c == '/') c = '\\';
    }
    return windows;
}

class WizardFlowTest : public testing::Test {
protected:
    WizardFlowTest() {
        resources::RegisterResources();
        sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION);
        watch.Attach(sheet->GetDevice());
        sheet->Create();
        window = host.WindowOf(*sheet);
        if (window == nullptr) throw std::runtime_error("the sheet has no window");
        window->Present();
        Pump(Frame());
    }
    ~WizardFlowTest() override {
        watch.Detach();
        sheet.reset();
    }
    void SetUp() override { ASSERT_GT(com, 0) << "VELTRIX_SIM_PORT is not set"; }

    HWND Frame() const { return window->Frame(); }
    HWND Of(int id) const {
        HWND w = window->WindowFor(id);
        if (w == nullptr) throw std::runtime_error("no such control: " + std::to_string(id));
        return w;
    }
    // Enter, then the wait until the wizard is on the step (0-based) or the time is up.
    bool EnterTo(int step) {
        PressKey(Frame(), VK_RETURN);
        return WaitFor([&] { return sheet->GetActiveIndex() == step; }, kStepTimeoutMs, Frame());
    }
    // The item of a list that holds the text; -1 when none does.
    int FindItem(int id, const std::string& text) {
        HWND list = Of(id);
        const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char item[512] = {};
            SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(item));
            if (std::string(item).find(text) != std::string::npos) return i;
        }
        return -1;
    }
    void ChooseText(int id, const std::string& text) {
        const int index = FindItem(id, text);
        ASSERT_GE(index, 0) << text;
        Choose(Of(id), index);
        EXPECT_EQ(SendMessageA(Of(id), CB_GETCURSEL, 0, 0), index);
    }
    // Step 1 with the simulator's port and the rate chosen.
    void ChoosePort(const std::string& baud) {
        ChooseText(IDC_PORT, "( COM" + std::to_string(com) + " )");
        ChooseText(IDC_BAUDRATE, baud);
    }
    std::string PortLabel() {
        char item[512] = {};
        SendMessageA(Of(IDC_PORT), CB_GETLBTEXT, SendMessageA(Of(IDC_PORT), CB_GETCURSEL, 0, 0),
                     reinterpret_cast<LPARAM>(item));
        return item;
    }
    void Picture(const std::string& name) {
        const std::string dir = VELTRIX_SCREENSHOT_DIR;
        CreateDirectoryA(dir.c_str(), nullptr);
        EXPECT_TRUE(SaveWindowPicture(Frame(), dir + "\\" + name + ".bmp")) << name;
    }
    std::vector<std::string> NewBoxes() {
        std::vector<std::string> texts = boxes.Texts();
        texts.erase(texts.begin(), texts.begin() + static_cast<long>(seenBoxes));
        seenBoxes = boxes.Boxes().size();
        return texts;
    }

    const int com = std::atoi(Setting("VELTRIX_SIM_PORT").c_str());
    framework::win32::Win32Host host;
    framework::ScopedHost use{host};
    BoxAnswerer boxes;
    std::size_t seenBoxes = 0;
    device::LineTrace noTrace;
    device::LineWatch watch{noTrace, [this](const std::string& text) { host.ShowBusyText(text); }};
    std::unique_ptr<CVeltrixInstrumentSettingsDlg> sheet;
    framework::win32::WizardWindow* window = nullptr;
};

// Every step with its buttons and a picture of it; then a whole run by clicks and keys, and
// the settings stored in the instrument. The simulator: Veltrix mode at 9600 baud.
TEST_F(WizardFlowTest, AWholeRunByClicksAndKeysStoresTheSettingsInTheInstrument) {
    const struct {
        bool back;
        bool next;
        bool finish;
    } buttons[] = {{false, true, false},
                   {true, true, false},
                   {true, true, false},
                   {true, true, false},
                   {true, false, true}};
    ChoosePort("9600");
    for (int step = 0; step < 5; ++step) {
        SCOPED_TRACE(step + 1);
        EXPECT_EQ(TextOf(Frame()), "Veltrix Instrument Settings V 1.05  -  Step " +
                                       std::to_string(step + 1) + " of 5");
        EXPECT_EQ(IsWindowEnabled(Of(ID_WIZBACK)) != 0, buttons[step].back);
        EXPECT_EQ(IsWindowVisible(Of(ID_WIZNEXT)) != 0, buttons[step].next);
        EXPECT_EQ(IsWindowVisible(Of(ID_WIZFINISH)) != 0, buttons[step].finish);
        EXPECT_EQ(LOWORD(SendMessageA(Frame(), DM_GETDEFID, 0, 0)),
                  buttons[step].finish ? ID_WIZFINISH : ID_WIZNEXT);
        switch (step) {
            case 1:
                Click(Of(IDC_MODE_MORVANE));
                ChooseText(IDC_BAUDRATE, "38400");
                break;
            case 2:
                TypeText(Of(IDC_POS1), "430");
                break;
            case 3:
                Click(Of(IDC_ACCURACY));
                break;
            case 4:
                Click(Of(IDC_POWER_ON_MOVE_IN));
                break;
            default:
                break;
        }
        Pump(Frame());
        Picture("step" + std::to_string(step + 1));
        if (step < 4) {
            ASSERT_TRUE(EnterTo(step + 1)) << ::testing::PrintToString(boxes.Texts());
        }
    }
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Texts().front();

    // Finish: the settings go to the instrument, one summary box, then the instrument saves.
    boxes.SetHook([this](HWND box) {
        const std::string dir = VELTRIX_SCREENSHOT_DIR;
        SaveWindowPicture(box, dir + "\\summary.bmp");
    });
    PressKey(Frame(), VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return sheet->IsEnded(); }, 60000, Frame()));
    EXPECT_EQ(sheet->GetResult(), framework::IDOK);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text,
              "Filterslide defined successfully\n"
              "Instrument changed to +MV, Version: V 3.10\n"
              "Measurement mode set successfully\n"
              "Default for plate movement set successfully\n");
    EXPECT_EQ(boxes.Boxes()[0].caption, "test_win32_wizard");
    EXPECT_TRUE(boxes.Boxes()[0].okOnly);

    std::ifstream file(OnDriveZ(Setting("VELTRIX_SIM_STATE")));
    ASSERT_TRUE(file) << Setting("VELTRIX_SIM_STATE");
    std::string state((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::erase_if(state, [](char c) { return c == ' ' || c == '\n'; });
    EXPECT_THAT(state, HasSubstr("\"mode\":1"));
    EXPECT_THAT(state, HasSubstr("\"baud\":38400"));
    EXPECT_THAT(state, HasSubstr("\"filters\":[430,"));
    EXPECT_THAT(state, HasSubstr("\"measurementMode\":1"));
}

// Find any with the wrong rate chosen: the selection first, then every port at every rate,
// until the simulator (Dravell mode at 2400 baud) answers; the boxes then show what answered.
TEST_F(WizardFlowTest, FindAnyFindsTheInstrumentAndShowsWhereItIs) {
    ChoosePort("9600");
    const std::string port = PortLabel();
    Click(Of(IDC_FIND_ANY));
    EXPECT_THAT(boxes.Texts(), ::testing::IsEmpty());
    EXPECT_EQ(SendMessageA(Of(IDC_PORT), CB_GETCURSEL, 0, 0), FindItem(IDC_PORT, port));
    EXPECT_EQ(TextOf(Of(IDC_BAUDRATE)), "2400");
    EXPECT_EQ(window->BusyText(), "Found Dravell (+DL) on " + port + " at 2400 baud");
    // Enter now goes on to the next step.
    ASSERT_TRUE(EnterTo(1));
}

// The instrument goes while the wizard is on step 2: Next says the connection was lost, and
// the window is free for the user again.
TEST_F(WizardFlowTest, ALostPortIsReportedAndTheWizardStaysOnItsStep) {
    ChoosePort("9600");
    const std::string port = PortLabel();
    ASSERT_TRUE(EnterTo(1));
    NewBoxes();
    std::ofstream(Setting("VELTRIX_SIM_STOP_FILE")) << "stop\n";
    const std::string link = OnDriveZ(Setting("VELTRIX_SIM_LINK"));
    ASSERT_TRUE(WaitFor([&] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; },
                        kStepTimeoutMs, Frame()))
        << "the simulator did not stop";
    Click(Of(ID_WIZNEXT));
    Pump(Frame());
    EXPECT_THAT(NewBoxes(),
                ElementsAre(AllOf(HasSubstr("The connection to the instrument on " + port),
                                  HasSubstr("was lost"))));
    EXPECT_FALSE(sheet->IsEnded());
    EXPECT_FALSE(host.GetActivity().IsBusy());
    EXPECT_TRUE(IsWindowEnabled(Frame()));
}

// An instrument that stays busy: the step waits for it. Esc pressed meanwhile is not lost:
// the window says it stops after this exchange, and the wizard ends once it is over.
TEST_F(WizardFlowTest, ABusyInstrumentIsWaitedForAndEscEndsTheWizardAfterTheExchange) {
    sheet->m_nReadyWaitLimitMs = 2000;
    ChoosePort("9600");
    ASSERT_TRUE(EnterTo(1)) << ::testing::PrintToString(boxes.Texts());
    NewBoxes();
    // Esc in the middle of the wait, posted as a key would be; the busy line looked at as the
    // window repaints.
    static framework::win32::WizardWindow* busyWindow = nullptr;
    static std::vector<std::string> shown;
    busyWindow = window;
    shown.clear();
    const UINT_PTR esc = SetTimer(nullptr, 0, 700, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        HWND focus = GetFocus();
        PostMessageA(focus != nullptr ? focus : busyWindow->Frame(), WM_KEYDOWN, VK_ESCAPE, 1);
    });
    const UINT_PTR look = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (shown.empty() || shown.back() != busyWindow->BusyText())
            shown.push_back(busyWindow->BusyText());
    });
    Click(Of(IDC_MODE_MORVANE));
    PressKey(Frame(), VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return sheet->IsEnded(); }, kStepTimeoutMs, Frame()))
        << ::testing::PrintToString(boxes.Texts());
    KillTimer(nullptr, esc);
    KillTimer(nullptr, look);
    EXPECT_EQ(sheet->GetResult(), framework::IDCANCEL);
    EXPECT_THAT(shown, ::testing::Contains(HasSubstr("Stopping after this exchange")));
    // The wait ran out without a word of its own; the step says once what it could not read.
    EXPECT_THAT(NewBoxes(), ElementsAre(HasSubstr("Could not read the filter slide")));
}

}  // namespace
}  // namespace win32_test
