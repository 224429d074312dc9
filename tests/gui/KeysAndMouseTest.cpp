// The real wizard on an X server (Xvfb), driven by key presses and mouse clicks that enter
// through the window as the screen's own would, so that focus and the routing of a click to
// the widget under the mouse are the real ones: Enter on each button of each step, Cancel
// clicked while the program is busy, a link lost on the way, the radio groups, the port list.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "device/InstrumentCommands.h"
#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/qt/ElidedComboBox.h"
#include "framework/qt/QtHost.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "sim/PtyServer.h"
#include "tests/testkit/GuiTest.h"

namespace gui_test {
namespace {

using framework::ID_WIZBACK;
using framework::ID_WIZFINISH;
using framework::ID_WIZNEXT;
using framework::IDCANCEL;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;
using testkit_test::BoxAnswerer;
using testkit_test::ProcessEvents;
using testkit_test::WaitFor;
namespace cmd = device::command;

// Commands that change the instrument's settings or store them.
bool IsWrite(const std::string& command) {
    for (const std::string_view head :
         {cmd::kDefineFilters, cmd::kChangeMode, cmd::kSaveConfiguration, cmd::kSetPoints,
          cmd::kSetFlashes, cmd::kSetMeasurementMode, cmd::kSetPlateMovement}) {
        if (command.rfind(head, 0) == 0 && command != cmd::kReadPlateMovement) return true;
    }
    return false;
}

class KeysAndMouseTest : public testing::Test {
protected:
    KeysAndMouseTest() { resources::RegisterResources(); }
    ~KeysAndMouseTest() override {
        sheet.reset();
        device::SetExtraPorts({});
    }

    // Simulated instruments listed as COM1, COM2, ... (`extraNodes` after them); then the
    // wizard opens on step 1, shown and active on the X server.
    void Open(int count, std::vector<std::string> extraNodes = {}) {
        sheet.reset();
        instruments.clear();
        std::vector<std::string> nodes;
        for (int i = 0; i < count; ++i) {
            std::string error;
            instruments.push_back(sim::PtyServer::Start(sim::ServerConfig{}, error));
            ASSERT_NE(instruments.back(), nullptr) << error;
            nodes.push_back(instruments.back()->SlavePath());
        }
        nodes.insert(nodes.end(), extraNodes.begin(), extraNodes.end());
        device::SetExtraPorts(nodes);
        sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION);
        sheet->Create();
        window = host.WindowOf(*sheet);
        ASSERT_NE(window, nullptr);
        window->Present();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        ProcessEvents();
    }

    QWidget& WidgetOf(int id) {
        QWidget* w = window->WidgetFor(id);
        if (w == nullptr) throw std::runtime_error("no such widget: " + std::to_string(id));
        return *w;
    }
    // A key pressed and released on the window, handed by it to the widget with the focus.
    void Key(Qt::Key key) {
        QTest::keyClick(window->windowHandle(), key);
        ProcessEvents();
    }
    // Enter with the focus on the control.
    void EnterOn(int id) {
        WidgetOf(id).setFocus();
        Key(Qt::Key_Return);
    }
    // A left click on the window where the control is, handed on to the widget under it.
    void ClickOn(int id) {
        QWidget& w = WidgetOf(id);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                          w.mapTo(window, w.rect().center()));
    }
    std::vector<std::string> Received(int instrument = 0) const {
        return instruments[static_cast<std::size_t>(instrument)]->Traffic().Texts(
            sim::Direction::Received);
    }
    std::vector<std::string> Writes(int instrument = 0) const {
        std::vector<std::string> writes;
        for (const std::string& command : Received(instrument)) {
            if (IsWrite(command)) writes.push_back(command);
        }
        return writes;
    }
    framework::PropertyPage& Page() { return *sheet->GetActivePage(); }
    // Clicks Cancel once the instrument has heard a command that begins so, while the window
    // waits.
    void CancelOnceHeard(const std::string& head) {
        QObject::connect(&watcher, &QTimer::timeout, [this, head] {
            const std::vector<std::string> heard = Received();
            if (cancelled || !host.GetActivity().IsBusy() ||
                std::none_of(heard.begin(), heard.end(), [&](const std::string& command) {
                    return command.rfind(head, 0) == 0;
                })) {
                return;
            }
            cancelled = true;
            ClickOn(IDCANCEL);
        });
        watcher.start(20);
    }
    void SaveScreen(const QString& name) {
        const QString dir = QStringLiteral(VELTRIX_SCREENSHOT_DIR);
        QDir().mkpath(dir);
        EXPECT_TRUE(window->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png")));
    }

    framework::qt::QtHost host;
    framework::ScopedHost use{host};
    BoxAnswerer boxes;
    std::vector<std::unique_ptr<sim::PtyServer>> instruments;
    std::unique_ptr<CVeltrixInstrumentSettingsDlg> sheet;
    framework::qt::WizardWindow* window = nullptr;
    QTimer watcher;
    bool cancelled = false;
};

// Enter presses the push button with the focus, whichever it is, and nothing is written until
// the user presses Finish: on each step Back goes back, Next goes on, Cancel cancels.
TEST_F(KeysAndMouseTest, EnterPressesTheFocusedButtonOnEachStep) {
    for (int step = 0; step < 5; ++step) {
        SCOPED_TRACE("step " + std::to_string(step + 1));
        Open(1);
        for (int s = 0; s < step; ++s) {
            EnterOn(ID_WIZNEXT);
            ASSERT_EQ(sheet->GetActiveIndex(), s + 1) << ::testing::PrintToString(boxes.Texts());
        }
        SaveScreen(QStringLiteral("keys-step%1").arg(step + 1));
        if (step > 0) {
            EnterOn(ID_WIZBACK);
            EXPECT_EQ(sheet->GetActiveIndex(), step - 1);
            // Space presses a button as Enter does.
            WidgetOf(ID_WIZNEXT).setFocus();
            Key(Qt::Key_Space);
            EXPECT_EQ(sheet->GetActiveIndex(), step);
        }
        EnterOn(IDCANCEL);
        EXPECT_TRUE(sheet->IsEnded());
        EXPECT_EQ(sheet->GetResult(), IDCANCEL);
        EXPECT_THAT(Writes(), IsEmpty());
        EXPECT_THAT(boxes.Texts(), IsEmpty());
    }
}

// Enter on Finish stores the settings; Enter on a control that is no push button presses the
// default button, which on the last step is Finish.
TEST_F(KeysAndMouseTest, EnterOnFinishOrOnARadioOfTheLastStepStores) {
    for (const int focus : {ID_WIZFINISH, IDC_POWER_ON_MOVE_IN}) {
        SCOPED_TRACE(focus);
        Open(1);
        for (int s = 0; s < 4; ++s)
            EnterOn(ID_WIZNEXT);
        ASSERT_EQ(sheet->GetActiveIndex(), 4);
        EXPECT_THAT(Writes(), IsEmpty());
        EnterOn(focus);
        EXPECT_TRUE(sheet->IsEnded());
        EXPECT_EQ(sheet->GetResult(), framework::IDOK);
        EXPECT_THAT(Writes(), Contains(std::string(cmd::kSaveConfiguration)));
    }
}

// A click on Cancel while Find any searches stops the search after the attempt in progress;
// a click on Next meanwhile does nothing, now or later, and takes no focus.
TEST_F(KeysAndMouseTest, ACancelClickStopsFindAny) {
    Open(1);
    instruments[0]->AddFault(sim::Fault{sim::FaultKind::Silence, "!", -1, {}, 0});
    QTimer::singleShot(300, [this] {
        cancelled = host.GetActivity().IsBusy();
        ClickOn(ID_WIZNEXT);
        ClickOn(IDCANCEL);
    });
    ClickOn(IDC_FIND_ANY);
    ProcessEvents();
    EXPECT_TRUE(cancelled) << "the click came after the search";
    EXPECT_EQ(window->BusyText(), "Find any stopped");
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_FALSE(sheet->IsEnded());
    EXPECT_FALSE(WidgetOf(ID_WIZNEXT).hasFocus());
    // One attempt, at 8N1 and at 7E2: two type queries, not the whole search.
    EXPECT_LE(Received().size(), 2u);
}

// A click on Cancel while the wizard waits for the instrument to store its settings ends the
// wizard once the wait is over; one while the settings are being sent keeps them from being
// stored.
TEST_F(KeysAndMouseTest, ACancelClickAfterFinishEndsTheWizard) {
    const std::string store(cmd::kSaveConfiguration);
    const std::string mode(cmd::kSetMeasurementMode);
    const struct {
        const char* during;
        std::string heard;
        std::vector<sim::Fault> faults;
        bool storeSent;
    } cases[] = {
        // The store is refused: without the click the wizard would stay open.
        {"the store",
         store,
         {sim::Fault{sim::FaultKind::Delay, store, -1, {}, 1500},
          sim::Fault{sim::FaultKind::Reply, store, -1, "-", 0}},
         true},
        {"the apply", mode, {sim::Fault{sim::FaultKind::Delay, mode, -1, {}, 1500}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.during);
        Open(1);
        cancelled = false;
        EnterOn(ID_WIZNEXT);
        // Morvane mode, so that the measurement mode goes as one command.
        WidgetOf(IDC_MODE_VELTRIX).setFocus();
        Key(Qt::Key_Down);
        for (int s = 1; s < 4; ++s)
            EnterOn(ID_WIZNEXT);
        ASSERT_EQ(sheet->GetActiveIndex(), 4);
        for (const sim::Fault& fault : c.faults)
            instruments[0]->AddFault(fault);
        CancelOnceHeard(c.heard);
        EnterOn(ID_WIZFINISH);
        ASSERT_TRUE(WaitFor([&] { return sheet->IsEnded(); }, 20000));
        watcher.stop();
        watcher.disconnect();
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(sheet->GetResult(), IDCANCEL);
        EXPECT_EQ(!Received().empty() && Received().back() == store, c.storeSent)
            << ::testing::PrintToString(Received());
    }
}

// The instrument goes away on step 3: Next and Finish say what to do and the wizard stays
// where it was, never on a step full of zeros; Back goes to step 1, which connects to another
// instrument, and from there the steps read that one.
TEST_F(KeysAndMouseTest, AfterALostLinkTheWizardStaysUntilStepOneConnectsAgain) {
    Open(2);
    EnterOn(ID_WIZNEXT);
    EnterOn(ID_WIZNEXT);
    ASSERT_EQ(sheet->GetActiveIndex(), 2);
    ASSERT_THAT(boxes.Texts(), IsEmpty());
    instruments[0].reset();

    for (int press = 0; press < 2; ++press) {
        EnterOn(ID_WIZNEXT);
        EXPECT_EQ(sheet->GetActiveIndex(), 2);
        ASSERT_EQ(boxes.Texts().size(), press + 1u);
        EXPECT_THAT(boxes.Texts().back(), HasSubstr("was lost"));
        EXPECT_THAT(boxes.Texts().back(), HasSubstr("Go back to step 1 to connect again."));
    }
    EXPECT_EQ(window->windowTitle(), "Veltrix Instrument Settings V 1.05  -  Step 3 of 5");
    EXPECT_TRUE(WidgetOf(ID_WIZNEXT).isVisible());
    SaveScreen(QStringLiteral("lost-link"));

    EnterOn(ID_WIZBACK);
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    auto& ports = dynamic_cast<QComboBox&>(WidgetOf(IDC_PORT));
    ports.setFocus();
    Key(Qt::Key_Down);
    ASSERT_EQ(ports.currentIndex(), 1);
    EnterOn(ID_WIZNEXT);
    EnterOn(ID_WIZNEXT);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    EXPECT_EQ(boxes.Texts().size(), 2u) << boxes.Texts().back();
}

// The link goes while the next step reads: the lost-link message, and the wizard stays on the
// step it was on; the step that could not read comes up whole once the link is back.
TEST_F(KeysAndMouseTest, AStepWhoseReadsMeetALostLinkIsNotShown) {
    Open(2);
    EnterOn(ID_WIZNEXT);
    ASSERT_EQ(sheet->GetActiveIndex(), 1);
    instruments[0].reset();
    EnterOn(ID_WIZNEXT);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_THAT(boxes.Texts(), ElementsAre(HasSubstr("was lost")));
    EXPECT_FALSE(WidgetOf(ID_WIZBACK).isHidden());
    EXPECT_TRUE(WidgetOf(ID_WIZBACK).isEnabled());

    EnterOn(ID_WIZBACK);
    auto& ports = dynamic_cast<QComboBox&>(WidgetOf(IDC_PORT));
    ports.setFocus();
    Key(Qt::Key_Down);
    EnterOn(ID_WIZNEXT);
    EnterOn(ID_WIZNEXT);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    EXPECT_EQ(Page().GetControlText(IDC_POS1), "405");
    EXPECT_THAT(Received(1), Contains(std::string(cmd::kFilterTableVeltrix)));
    EXPECT_EQ(boxes.Texts().size(), 1u);
}

// Each radio group is one Tab stop, its checked button; the arrow keys check the next or the
// previous button of the group, going round, as a click would.
TEST_F(KeysAndMouseTest, ArrowKeysMoveTheSelectionWithinEachRadioGroup) {
    Open(1);
    const struct {
        int step;
        int group;  // any button of the group
    } groups[] = {
        {1, IDC_MODE_VELTRIX},
        {3, IDC_NORMAL},
        {4, IDC_POWER_ON_MOVE_IN},
        {4, IDC_END_MOVE_IN},
    };
    for (const auto& g : groups) {
        SCOPED_TRACE(g.group);
        while (sheet->GetActiveIndex() < g.step)
            EnterOn(ID_WIZNEXT);
        ASSERT_EQ(sheet->GetActiveIndex(), g.step) << ::testing::PrintToString(boxes.Texts());
        std::vector<int> usable;
        int checked = -1;
        int tabStops = 0;
        for (framework::Control* c : Page().RadioGroupOf(g.group)) {
            if (!c->IsEnabled() || !c->IsVisible()) continue;
            if (c->IsChecked()) checked = static_cast<int>(usable.size());
            usable.push_back(c->Id());
            tabStops += (WidgetOf(c->Id()).focusPolicy() & Qt::TabFocus) != 0 ? 1 : 0;
        }
        ASSERT_GE(usable.size(), 2u);
        ASSERT_GE(checked, 0);
        EXPECT_EQ(tabStops, 1);
        const int n = static_cast<int>(usable.size());
        const int stop = usable[static_cast<std::size_t>(checked)];
        EXPECT_TRUE(WidgetOf(stop).focusPolicy() & Qt::TabFocus);

        WidgetOf(stop).setFocus();
        int at = checked;
        for (const Qt::Key key :
             {Qt::Key_Down, Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Left, Qt::Key_Down}) {
            at = (at + (key == Qt::Key_Down || key == Qt::Key_Right ? 1 : -1) + n) % n;
            Key(key);
            const int id = usable[static_cast<std::size_t>(at)];
            EXPECT_TRUE(Page().GetControl(id)->IsChecked()) << id;
            EXPECT_TRUE(dynamic_cast<QRadioButton&>(WidgetOf(id)).isChecked()) << id;
            EXPECT_TRUE(WidgetOf(id).hasFocus()) << id;
            EXPECT_TRUE(WidgetOf(id).focusPolicy() & Qt::TabFocus) << id;
        }
        // Tab leaves the group.
        Key(Qt::Key_Tab);
        for (const int id : usable)
            EXPECT_FALSE(WidgetOf(id).hasFocus()) << id;
        SaveScreen(QStringLiteral("radio-%1").arg(g.group));
        // Step 2 is left in Morvane mode, so that steps 4 and 5 offer their choices.
        if (g.step == 1) {
            WidgetOf(IDC_MODE_MORVANE).setFocus();
            dynamic_cast<QRadioButton&>(WidgetOf(IDC_MODE_MORVANE)).click();
        }
    }
    EXPECT_THAT(Writes(), IsEmpty());
    EXPECT_THAT(boxes.Texts(), IsEmpty());
}

// A long port name: the closed list shows it shortened in the middle, keeping its end (the
// adapter's serial number) and "( COM1 )", with the whole label as its tooltip.
TEST_F(KeysAndMouseTest, TheClosedPortListShortensALongNameInTheMiddle) {
    const std::filesystem::path dir =
        std::filesystem::path(VELTRIX_SCREENSHOT_DIR).parent_path() / "keys" / "by-id";
    std::filesystem::create_directories(dir);
    const std::filesystem::path link = dir / "usb-FTDI_FT232R_USB_UART_A10KQ3XY-if00-port0";
    std::string error;
    auto instrument = sim::PtyServer::Start(sim::ServerConfig{}, error);
    ASSERT_NE(instrument, nullptr) << error;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(instrument->SlavePath(), link);
    Open(0, {link.string()});

    auto& ports = dynamic_cast<framework::qt::ElidedComboBox&>(WidgetOf(IDC_PORT));
    const QString label = QString::fromStdString(link.string()) + QStringLiteral("  ( COM1 )");
    ASSERT_EQ(ports.currentText(), label);
    const QString shown = ports.ShownText();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("/"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("A10KQ3XY-if00-port0  ( COM1 )")))
        << shown.toStdString();
    EXPECT_EQ(ports.toolTip(), label);
    SaveScreen(QStringLiteral("long-port"));
    // A short item fits and needs no tooltip.
    auto& rates = dynamic_cast<framework::qt::ElidedComboBox&>(WidgetOf(IDC_BAUDRATE));
    EXPECT_EQ(rates.ShownText(), "9600");
    EXPECT_EQ(rates.toolTip(), "");
    std::filesystem::remove(link);
}

// A box's line that the screen has room for stays one line.
TEST_F(KeysAndMouseTest, TheFilterRangeMessageKeepsItsFirstLineWhole) {
    Open(1);
    EnterOn(ID_WIZNEXT);
    EnterOn(ID_WIZNEXT);
    ASSERT_EQ(sheet->GetActiveIndex(), 2);
    std::vector<QString> shownLines;
    boxes.SetHook([&](QMessageBox& box) {
        auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        const int lineHeight = label->fontMetrics().lineSpacing();
        shownLines.push_back(QString::number(label->height() / lineHeight));
        const QString dir = QStringLiteral(VELTRIX_SCREENSHOT_DIR);
        box.grab().save(dir + QStringLiteral("/filter-range-box.png"));
    });
    auto& pos1 = WidgetOf(IDC_POS1);
    pos1.setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_A, Qt::ControlModifier);
    for (const char digit : std::string("800"))
        QTest::keyClick(window->windowHandle(), digit);
    EnterOn(ID_WIZNEXT);
    EXPECT_EQ(sheet->GetActiveIndex(), 2);
    ASSERT_THAT(
        boxes.Texts(),
        ElementsAre(StartsWith(
            "Please enter an integer between 340 and 750 for the filter at position 1 !\n")));
    // Two lines of text: the message's own line break only.
    EXPECT_THAT(shownLines, ElementsAre(QStringLiteral("2")));
}

}  // namespace
}  // namespace gui_test
