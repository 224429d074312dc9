// The real wizard in its window when the line or the instrument fails: a simulated instrument
// that goes away on each step, one that stops answering, input given while the window is busy,
// and the busy line with a long port path.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <vector>

#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/WizardDriver.h"
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
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testkit_test::BoxAnswerer;
using testkit_test::MouseClick;
using testkit_test::ProcessEvents;

// A lost line must leave the window free again at once: well before the 10 s of a reply's
// longest wait, a bound no healthy run comes near even under the sanitizers.
constexpr qint64 kFreeAgainMs = 8000;

class LineFailureTest : public testing::Test {
protected:
    LineFailureTest() { resources::RegisterResources(); }
    ~LineFailureTest() override {
        watch.Detach();
        sheet.reset();
        device::SetExtraPorts({});
    }

    // Instruments in Morvane mode at 9600 baud, listed as COM1, COM2, ...; `extraNodes` come
    // after them. Then the wizard opens on step 1.
    void Open(int count, std::vector<std::string> extraNodes = {}) {
        std::vector<std::string> nodes;
        for (int i = 0; i < count; ++i) {
            sim::ServerConfig config;
            config.state.mode = sim::kModeMorvane;
            std::string error;
            instruments.push_back(sim::PtyServer::Start(config, error));
            ASSERT_NE(instruments.back(), nullptr) << error;
            nodes.push_back(instruments.back()->SlavePath());
        }
        nodes.insert(nodes.end(), extraNodes.begin(), extraNodes.end());
        device::SetExtraPorts(nodes);
        sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION);
        watch.Attach(sheet->GetDevice());
        sheet->Create();
        window = host.WindowOf(*sheet);
        ASSERT_NE(window, nullptr);
        window->Present();
        ProcessEvents();
    }

    template <typename T>
    T& Widget(int id) {
        auto* w = qobject_cast<T*>(window->WidgetFor(id));
        if (w == nullptr) throw std::runtime_error("no such widget: " + std::to_string(id));
        return *w;
    }
    // Clicks a button as the user would and returns how long the window was busy with it.
    qint64 Press(int id) {
        QElapsedTimer busy;
        busy.start();
        MouseClick(*window->WidgetFor(id));
        return busy.elapsed();
    }
    // Next until the wizard shows the step (0-based); false when it does not get there.
    bool NextTo(int step) {
        while (sheet->GetActiveIndex() < step) {
            const int before = sheet->GetActiveIndex();
            Press(ID_WIZNEXT);
            if (sheet->GetActiveIndex() == before) return false;
        }
        return true;
    }
    void BackToStepOne() {
        while (sheet->GetActiveIndex() > 0)
            Press(ID_WIZBACK);
    }
    std::vector<std::string> NewBoxes() {
        std::vector<std::string> texts = boxes.Texts();
        texts.erase(texts.begin(), texts.begin() + static_cast<long>(seenBoxes));
        seenBoxes = boxes.Boxes().size();
        return texts;
    }
    std::string PortLabel(int index) const {
        return instruments[static_cast<std::size_t>(index)]->SlavePath() + "  ( COM" +
               std::to_string(index + 1) + " )";
    }

    framework::qt::QtHost host;
    framework::ScopedHost use{host};
    device::LineTrace noTrace;
    device::LineWatch watch{noTrace, [this](const std::string& text) { host.ShowBusyText(text); }};
    BoxAnswerer boxes;
    std::size_t seenBoxes = 0;
    std::vector<std::unique_ptr<sim::PtyServer>> instruments;
    std::unique_ptr<CVeltrixInstrumentSettingsDlg> sheet;
    framework::qt::WizardWindow* window = nullptr;
};

// On each step one instrument goes, as if its cable were pulled; the next Next (Finish on the
// last step) says so once, naming the port, and the window is free again at once. Step 1 then
// connects to the next instrument and the walk goes on to the next step.
TEST_F(LineFailureTest, AnInstrumentGoneOnAnyStepIsReportedOnceAndTheWindowIsFreeAtOnce) {
    Open(5);
    for (int step = 0; step < 5; ++step) {
        SCOPED_TRACE("instrument gone on step " + std::to_string(step + 1));
        BackToStepOne();
        ASSERT_TRUE(framework::WizardDriver(*sheet).SelectIndex(IDC_PORT, step));
        if (step > 0) {
            ASSERT_TRUE(NextTo(1)) << ::testing::PrintToString(NewBoxes());
            // The last round asks for a mode change too, which Finish cannot make either.
            if (step == 4) Widget<QRadioButton>(IDC_MODE_DRAVELL).click();
            ASSERT_TRUE(NextTo(step)) << ::testing::PrintToString(NewBoxes());
        }
        NewBoxes();
        const std::string port = PortLabel(step);
        QElapsedTimer sinceLoss;
        sinceLoss.start();
        instruments[static_cast<std::size_t>(step)].reset();
        Press(step == 4 ? ID_WIZFINISH : ID_WIZNEXT);
        EXPECT_LT(sinceLoss.elapsed(), kFreeAgainMs);
        if (step == 0) {
            EXPECT_THAT(NewBoxes(), ElementsAre(AllOf(HasSubstr("Could not connect instrument!"),
                                                      HasSubstr(port))));
            EXPECT_EQ(sheet->GetActiveIndex(), 0);
        } else {
            EXPECT_THAT(NewBoxes(),
                        ElementsAre(AllOf(
                            HasSubstr("The connection to the instrument on " + port + " was lost"),
                            HasSubstr("Go back to step 1 to connect again"))));
        }
    }
    EXPECT_FALSE(sheet->IsEnded());
}

// An instrument that stops answering its ready polls: the first command waits the bound and
// says so; the later ones poll once each and say nothing more.
TEST_F(LineFailureTest, ASilentInstrumentIsReportedOnceAndWaitedForOnce) {
    Open(1);
    constexpr int kBoundMs = 1000;
    sheet->m_nReadyWaitLimitMs = kBoundMs;
    ASSERT_TRUE(NextTo(3));
    NewBoxes();
    instruments[0]->AddFault(sim::Fault{sim::FaultKind::Silence, "?", -1, {}, 0});
    const std::size_t pollsBefore =
        instruments[0]->Traffic().Texts(sim::Direction::Received).size();
    const qint64 busyMs = Press(ID_WIZNEXT);

    EXPECT_EQ(sheet->GetActiveIndex(), 4);
    EXPECT_THAT(NewBoxes(), ElementsAre("The instrument on " + PortLabel(0) +
                                        " did not report ready within 1 s."));
    // Step 5 reads the version and the plate defaults: the bound once (two polls of 900 ms
    // each), then one poll. The count says that the bound was waited once; the time only that
    // it was not the 30 s of the default bound.
    const std::size_t polls =
        instruments[0]->Traffic().Texts(sim::Direction::Received).size() - pollsBefore;
    EXPECT_EQ(polls, 3u);
    EXPECT_LT(busyMs, 15000);

    // Answering again, the step comes up without a word.
    instruments[0]->ClearFaults();
    Press(ID_WIZBACK);
    Press(ID_WIZNEXT);
    EXPECT_EQ(sheet->GetActiveIndex(), 4);
    EXPECT_TRUE(NewBoxes().empty());
}

// A click on Next while the window is busy with Next is dropped when it comes, not carried out
// once the exchange is over.
TEST_F(LineFailureTest, ANextClickedWhileBusyDoesNothingAfterwards) {
    Open(1);
    int clicks = 0;
    QTimer during;
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (host.GetActivity().IsBusy() && clicks < 3) {
            MouseClick(*window->WidgetFor(ID_WIZNEXT));
            ++clicks;
        }
    });
    during.start(50);
    ASSERT_TRUE(NextTo(1));
    during.stop();
    ProcessEvents();
    EXPECT_GT(clicks, 0);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_TRUE(NewBoxes().empty());
}

// Cancel during Find any stops the search once the attempt in progress is over; the wizard
// stays on step 1 and says that the search stopped.
TEST_F(LineFailureTest, CancelStopsFindAnyAfterTheAttemptInProgress) {
    Open(1);
    instruments[0]->AddFault(sim::Fault{sim::FaultKind::Silence, "!", -1, {}, 0});
    QElapsedTimer sinceCancel;
    QString whileStopping;
    QTimer::singleShot(300, [&] {
        MouseClick(*window->WidgetFor(framework::IDCANCEL));
        sinceCancel.start();
        whileStopping = window->BusyText();
    });
    MouseClick(*window->WidgetFor(IDC_FIND_ANY));
    ASSERT_TRUE(sinceCancel.isValid());
    EXPECT_TRUE(whileStopping.startsWith("Stopping after this exchange: Waiting on "))
        << whileStopping.toStdString();
    // The attempt in progress (the selected port at 9600 baud: a type query at 8N1, then one
    // at 7E2) was the last: the next would have set port 1 to 38400 baud at 8N1. The search
    // at every rate would take minutes; stopped, it ends within seconds.
    SerialDevice& device = *sheet->GetDevice();
    EXPECT_EQ(device.GetBaudRate(), 9600);
    EXPECT_EQ(device.GetParity(), 'E');
    EXPECT_LT(sinceCancel.elapsed(), 15000);
    ProcessEvents();
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    EXPECT_FALSE(sheet->IsEnded());
    EXPECT_EQ(window->BusyText(), "Find any stopped");
    EXPECT_TRUE(NewBoxes().empty());
}

// With nothing on any port, Find any says so and how much it tried.
TEST_F(LineFailureTest, FindAnyWithNothingAttachedSaysSo) {
    // Only these two ports, whatever the machine has: one missing, one no serial port.
    struct TwoPorts : device::PortSource {
        std::unique_ptr<device::PortMap> Open() override {
            return std::make_unique<device::ListPortMap>(std::vector<device::PortValue>{
                {"/dev/veltrix-gui-missing", "COM1"}, {"/dev/null", "COM2"}});
        }
    } ports;
    device::ScopedPortSource useOnly(ports);
    Open(0);
    MouseClick(*window->WidgetFor(IDC_FIND_ANY));
    EXPECT_THAT(NewBoxes(), ElementsAre("No instrument answered on any port at any baud rate\n"
                                        "Tried 2 ports at 8 baud rates."));
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
}

// A long port name: the busy line stays one line, eliding the path in the middle, with the
// whole text as its tooltip; the port list opens wide enough for it.
TEST_F(LineFailureTest, TheBusyLineFitsALongPortPath) {
    const std::filesystem::path dir =
        std::filesystem::path(VELTRIX_SCREENSHOT_DIR).parent_path() / "serial" / "by-id";
    std::filesystem::create_directories(dir);
    const std::filesystem::path link = dir / "usb-FTDI_FT232R_USB_UART_A10KQ3XY-if00-port0";
    sim::ServerConfig config;
    std::string error;
    auto instrument = sim::PtyServer::Start(config, error);
    ASSERT_NE(instrument, nullptr) << error;
    std::filesystem::remove(link);
    std::filesystem::create_symlink(instrument->SlavePath(), link);
    Open(0, {link.string()});

    auto& ports = Widget<QComboBox>(IDC_PORT);
    ports.showPopup();
    ProcessEvents();
    const int widest = ports.view()->fontMetrics().horizontalAdvance(ports.itemText(0));
    EXPECT_GE(ports.view()->viewport()->width(), widest);
    ports.hidePopup();

    const QString wanted = QStringLiteral("Waiting on ") + QString::fromStdString(link.string());
    auto* line = window->findChild<QLabel*>(QStringLiteral("busyText"));
    ASSERT_NE(line, nullptr);
    QString shown;
    QString tip;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        if (!line->toolTip().startsWith(wanted) || !shown.isEmpty()) return;
        shown = line->text();
        tip = line->toolTip();
        const QString pictures = QStringLiteral(VELTRIX_SCREENSHOT_DIR);
        QDir().mkpath(pictures);
        EXPECT_TRUE(window->grab().save(pictures + QStringLiteral("/busy-long-port.png")));
    });
    look.start(1);
    ASSERT_TRUE(NextTo(1));
    look.stop();

    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(tip.endsWith(QStringLiteral("  ( COM1 ) at 9600 baud, 8N1"))) << tip.toStdString();
    EXPECT_FALSE(shown.contains('\n'));
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Waiting on /"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("port0  ( COM1 ) at 9600 baud, 8N1")))
        << shown.toStdString();
    EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
    EXPECT_LE(line->fontMetrics().horizontalAdvance(shown), line->width());
    EXPECT_LE(line->height(), 2 * line->fontMetrics().height());
    std::filesystem::remove(link);
}

}  // namespace
}  // namespace gui_test
