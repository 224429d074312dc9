// The real wizard in its window, against the instrument simulator on a pseudo-terminal:
// every step as the user sees it, a whole run by clicks and keys, and a picture of each step.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/qt/CodePageText.h"
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
using testkit_test::BoxAnswerer;
using testkit_test::PressKey;
using testkit_test::ProcessEvents;
using testkit_test::TypeInto;
using testkit_test::WaitFor;

// A step is left by a command exchange over the pty: a few seconds at most.
constexpr int kStepTimeoutMs = 20000;

class WizardOnScreenTest : public testing::Test {
protected:
    WizardOnScreenTest() {
        resources::RegisterResources();
        std::string error;
        simulator = sim::PtyServer::Start(sim::ServerConfig{}, error);
        if (simulator == nullptr) throw std::runtime_error("no simulator: " + error);
        device::SetExtraPorts({simulator->SlavePath()});
        sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION);
        sheet->Create();
        window = host.WindowOf(*sheet);
        if (window == nullptr) throw std::runtime_error("the sheet has no window");
        window->Present();
        ProcessEvents();
    }
    ~WizardOnScreenTest() override {
        sheet.reset();
        device::SetExtraPorts({});
    }

    template <typename T>
    T& Widget(int id) {
        auto* w = qobject_cast<T*>(window->WidgetFor(id));
        if (w == nullptr) throw std::runtime_error("no such widget: " + std::to_string(id));
        return *w;
    }
    // Enter, then the wait until the wizard is on the step (0-based) or the time is up.
    bool EnterTo(int step) {
        PressKey(*window, Qt::Key_Return);
        return WaitFor([&] { return sheet->GetActiveIndex() == step; }, kStepTimeoutMs);
    }
    // Picks an item of a drop-down list with the arrow keys, as a user would.
    void Choose(int id, const QString& text) {
        auto& box = Widget<QComboBox>(id);
        box.setFocus();
        const int target = box.findText(text);
        ASSERT_GE(target, 0) << text.toStdString();
        for (int i = 0; i < box.count() && box.currentIndex() != target; ++i)
            PressKey(*window, box.currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        EXPECT_EQ(box.currentText(), text);
    }
    // Every control of the active page and of the sheet has a widget that shows its text,
    // visibility and enabled state.
    void ExpectScreenEqualsModel() {
        for (framework::Dialog* dialog : {static_cast<framework::Dialog*>(sheet->GetActivePage()),
                                          static_cast<framework::Dialog*>(sheet.get())}) {
            framework::qt::DialogView* view = window->ViewOf(*dialog);
            ASSERT_NE(view, nullptr);
            for (const auto& control : dialog->Controls()) {
                SCOPED_TRACE(control->Id());
                QWidget* w = view->WidgetFor(*control);
                ASSERT_NE(w, nullptr);
                EXPECT_EQ(w->isHidden(), !control->IsVisible());
                EXPECT_EQ(w->isEnabled(), control->IsEnabled());
                const QString text = framework::qt::FromCodePage(control->Text());
                if (auto* label = qobject_cast<QLabel*>(w)) {
                    EXPECT_EQ(label->text(), text);
                }
                if (auto* button = qobject_cast<QAbstractButton*>(w)) {
                    EXPECT_EQ(button->text(), text);
                    if (qobject_cast<QRadioButton*>(w)) {
                        EXPECT_EQ(button->isChecked(), control->IsChecked());
                    }
                }
                if (auto* edit = qobject_cast<QLineEdit*>(w)) {
                    EXPECT_EQ(edit->text(), text);
                }
                if (auto* box = qobject_cast<QComboBox*>(w)) {
                    EXPECT_EQ(box->count(), control->ItemCount());
                    EXPECT_EQ(box->currentIndex(), control->Selection());
                }
            }
        }
    }

    framework::qt::QtHost host;
    framework::ScopedHost use{host};
    BoxAnswerer boxes;
    std::unique_ptr<sim::PtyServer> simulator;
    std::unique_ptr<CVeltrixInstrumentSettingsDlg> sheet;
    framework::qt::WizardWindow* window = nullptr;
};

TEST_F(WizardOnScreenTest, EachStepShowsItsControlsAndButtons) {
    const QString dir = QStringLiteral(VELTRIX_SCREENSHOT_DIR);
    ASSERT_TRUE(QDir().mkpath(dir));
    const struct {
        bool back;
        bool next;
        bool finish;
    } buttons[] = {{false, true, false},
                   {true, true, false},
                   {true, true, false},
                   {true, true, false},
                   {true, false, true}};
    for (int step = 0; step < 5; ++step) {
        SCOPED_TRACE(step + 1);
        if (step > 0) {
            ASSERT_TRUE(EnterTo(step)) << "boxes: " << boxes.Boxes().size();
        }
        ProcessEvents();
        EXPECT_EQ(
            window->windowTitle().toStdString(),
            "Veltrix Instrument Settings V 1.05  -  Step " + std::to_string(step + 1) + " of 5");
        EXPECT_EQ(Widget<QPushButton>(ID_WIZBACK).isEnabled(), buttons[step].back);
        EXPECT_EQ(!Widget<QPushButton>(ID_WIZNEXT).isHidden(), buttons[step].next);
        EXPECT_EQ(!Widget<QPushButton>(ID_WIZFINISH).isHidden(), buttons[step].finish);
        EXPECT_FALSE(Widget<QPushButton>(IDCANCEL).isHidden());
        ExpectScreenEqualsModel();
        const QString file = dir + QStringLiteral("/step%1.png").arg(step + 1);
        EXPECT_TRUE(window->grab().save(file)) << file.toStdString();
    }
    EXPECT_TRUE(boxes.Boxes().empty()) << boxes.Texts().front();
    // The first step's lists, as the user met them.
    PressKey(*window, Qt::Key_Escape);
    EXPECT_TRUE(sheet->IsEnded());
}

TEST_F(WizardOnScreenTest, TheFirstStepOffersTheSimulatorAndTheRates) {
    auto& ports = Widget<QComboBox>(IDC_PORT);
    ASSERT_GE(ports.count(), 1);
    EXPECT_TRUE(ports.itemText(0).startsWith(QString::fromStdString(simulator->SlavePath())));
    EXPECT_EQ(ports.currentIndex(), 0);
    auto& rates = Widget<QComboBox>(IDC_BAUDRATE);
    QStringList items;
    for (int i = 0; i < rates.count(); ++i)
        items << rates.itemText(i);
    EXPECT_EQ(items.join(' '), "38400 19200 9600 4800 2400 1200 600 300");
    EXPECT_EQ(rates.currentText(), "9600");
}

TEST_F(WizardOnScreenTest, AWholeRunByClicksAndKeysStoresTheSettingsInTheInstrument) {
    ASSERT_TRUE(EnterTo(1));
    Widget<QRadioButton>(IDC_MODE_MORVANE).click();
    Choose(IDC_BAUDRATE, "38400");
    ASSERT_TRUE(EnterTo(2));
    auto& pos1 = Widget<QLineEdit>(IDC_POS1);
    pos1.selectAll();
    TypeInto(pos1, "430");
    ASSERT_TRUE(EnterTo(3)) << (boxes.Boxes().empty() ? "" : boxes.Texts().back());
    Widget<QRadioButton>(IDC_ACCURACY).click();
    ASSERT_TRUE(EnterTo(4));
    Widget<QRadioButton>(IDC_POWER_ON_MOVE_IN).click();
    // Finish: the settings go to the instrument, one summary box, then the instrument saves.
    PressKey(*window, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return sheet->IsEnded(); }, 60000)) << boxes.Texts().size();
    EXPECT_EQ(sheet->GetResult(), framework::IDOK);
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text.toStdString(),
              "Filterslide defined successfully\n"
              "Instrument changed to +MV, Version: V 3.10\n"
              "Measurement mode set successfully\n"
              "Default for plate movement set successfully\n");

    const sim::State stored = simulator->Stored();
    EXPECT_EQ(stored.mode, sim::kModeMorvane);
    EXPECT_EQ(stored.baud, 38400);
    ASSERT_FALSE(stored.filters.empty());
    EXPECT_EQ(stored.filters[0], 430);
    EXPECT_EQ(stored.measurementMode, 1);
    EXPECT_EQ(stored.plate[0], 1);
}

}  // namespace
}  // namespace gui_test
