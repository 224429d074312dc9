// The window shows what the model holds, and only the user's input reaches the model.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "tests/gui/HostFixture.h"

namespace gui_test {
namespace {

using framework::Notification;

class MirrorTest : public HostFixture {
protected:
    framework::PropertyPage& Page() { return sheet.first; }
    std::vector<bool> Checked() {
        return {Widget<QRadioButton>(kRadioA).isChecked(),
                Widget<QRadioButton>(kRadioB).isChecked(),
                Widget<QRadioButton>(kRadioC).isChecked()};
    }
};

TEST_F(MirrorTest, WidgetsShowTheTemplateOfTheActivePage) {
    EXPECT_EQ(Window().windowTitle(), "Test wizard - Step 1 of 3");
    EXPECT_EQ(Widget<QLabel>(kLabel).text(), "A label");
    EXPECT_EQ(Widget<QPushButton>(kButton).text(), "Press");
    EXPECT_EQ(Widget<QRadioButton>(kRadioB).text(), "Beta");
    EXPECT_EQ(Widget<QComboBox>(kList).count(), 3);
    EXPECT_EQ(Widget<QComboBox>(kList).currentIndex(), -1) << "no item selected in the model";
    EXPECT_TRUE(Widget<QLabel>(kHiddenLabel).isHidden());
    EXPECT_TRUE(Widget<QLabel>(kLabel).isVisible());
    // The group box lies under the controls it frames, so they get the clicks.
    const QPoint radio = Widget<QRadioButton>(kRadioA).geometry().center();
    EXPECT_EQ(Window().ActivePageView()->childAt(radio), &Widget<QRadioButton>(kRadioA));
}

TEST_F(MirrorTest, ProgramChangesReachTheWidgetsWithoutComingBackAsInput) {
    Page().SetControlText(kLabel, "Other text");
    Page().ShowControl(kHiddenLabel, true);
    Page().EnableControl(kButton, false);
    Page().CheckRadio(kRadioB, true);
    Page().SelectListItem(kList, 2);
    EXPECT_EQ(Widget<QLabel>(kLabel).text(), "Other text");
    EXPECT_FALSE(Widget<QLabel>(kHiddenLabel).isHidden());
    EXPECT_FALSE(Widget<QPushButton>(kButton).isEnabled());
    EXPECT_EQ(Checked(), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(Widget<QComboBox>(kList).currentText(), "three");
    EXPECT_TRUE(sheet.first.commands.empty());

    // An edit box reports a text set by the program once, as the model does; the widget adds
    // nothing of its own.
    Page().SetControlText(kEdit, "42");
    EXPECT_EQ(Widget<QLineEdit>(kEdit).text(), "42");
    EXPECT_EQ(sheet.first.Count(kEdit, Notification::Changed), 1);
    EXPECT_EQ(sheet.first.commands.size(), 1u);
}

TEST_F(MirrorTest, ARefilledListShowsNoSelectionUntilTheModelSelects) {
    Page().SelectListItem(kList, 1);
    Page().ResetList(kList);
    for (const char* item : {"38400", "9600", "300"})
        Page().AddListItem(kList, item);
    auto& box = Widget<QComboBox>(kList);
    EXPECT_EQ(box.count(), 3);
    EXPECT_EQ(box.currentIndex(), -1);
    Page().SelectListItem(kList, 1);
    EXPECT_EQ(box.currentText(), "9600");
    Page().SelectListItem(kList, -1);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_TRUE(sheet.first.commands.empty());
}

TEST_F(MirrorTest, ARadioGroupCanShowNoneChecked) {
    Page().CheckRadio(kRadioA, true);
    Page().CheckRadio(kRadioA, false);
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, false}));
    // Data exchange into the group with a position out of range clears it, too.
    sheet.first.m_nChoice = 1;
    Page().UpdateData(FALSE);
    EXPECT_EQ(Checked(), (std::vector<bool>{false, true, false}));
    sheet.first.m_nChoice = 7;
    Page().UpdateData(FALSE);
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, false}));
}

TEST_F(MirrorTest, ClickingARadioGoesThroughTheModel) {
    Widget<QRadioButton>(kRadioC).click();
    EXPECT_TRUE(Page().IsRadioChecked(kRadioC));
    EXPECT_EQ(Checked(), (std::vector<bool>{false, false, true}));
    Widget<QRadioButton>(kRadioA).click();
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false}));
    // A second click on the checked button leaves it checked, as the model says.
    Widget<QRadioButton>(kRadioA).click();
    EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(sheet.first.Count(kRadioA, Notification::Clicked), 2);
    EXPECT_EQ(sheet.first.Count(kRadioC, Notification::Clicked), 1);
}

TEST_F(MirrorTest, ChoosingAListItemGoesThroughTheModel) {
    auto& box = Widget<QComboBox>(kList);
    box.setFocus();
    PressKey(Window(), Qt::Key_Down);
    EXPECT_EQ(Page().GetListSelection(kList), box.currentIndex());
    EXPECT_GE(box.currentIndex(), 0);
    EXPECT_EQ(sheet.first.Count(kList, Notification::SelectionChanged), 1);
}

TEST_F(MirrorTest, TypingGoesThroughTheModelInTheCodePage) {
    auto& edit = Widget<QLineEdit>(kEdit);
    TypeInto(edit, QString::fromUtf8("5\u00e9\u20ac\u03a9"));
    // é and € are in the code page; Ω is not and becomes '?', on screen too.
    EXPECT_EQ(Page().GetControlText(kEdit), "5\xE9\x80?");
    EXPECT_EQ(edit.text(), QString::fromUtf8("5\u00e9\u20ac?"));
    EXPECT_EQ(sheet.first.Count(kEdit, Notification::Changed), 4);
}

TEST_F(MirrorTest, WhatThePageMakesOfTheInputIsWhatTheScreenShows) {
    // A page that accepts digits only puts the old text back.
    sheet.first.onCommand = [this](int id, Notification what) {
        if (id != kEdit || what != Notification::Changed) return;
        const std::string text = Page().GetControlText(kEdit);
        if (text.find_first_not_of("0123456789") != std::string::npos) {
            Page().SetControlText(kEdit, text.substr(0, text.size() - 1));
        }
    };
    auto& edit = Widget<QLineEdit>(kEdit);
    TypeInto(edit, "12x3");
    EXPECT_EQ(Page().GetControlText(kEdit), "123");
    EXPECT_EQ(edit.text(), "123");
}

TEST_F(MirrorTest, InputToADisabledPageIsRefused) {
    Page().EnableWindow(false);
    EXPECT_FALSE(Window().ActivePageView()->isEnabled());
    Widget<QPushButton>(kButton).click();
    EXPECT_EQ(sheet.first.Count(kButton, Notification::Clicked), 0);
}

TEST_F(MirrorTest, TextsTooLongForTheirPlaceGrowUpToTheNextControl) {
    auto& radio = Widget<QRadioButton>(kRadioC);
    const QRect hidden = Widget<QLabel>(kHiddenLabel).geometry();
    // The template gives it 40 units; the label to its right starts at 140.
    EXPECT_GT(radio.width(), Window().Units().X(40));
    EXPECT_LE(radio.x() + radio.width(), hidden.x());
    // A label that gets a long text at run time grows up to the group box's frame.
    Page().SetControlText(kLabel, std::string(200, 'W'));
    const QWidget& label = Widget<QLabel>(kLabel);
    const QWidget* group = Window().ActivePageView()->findChild<QWidget*>("control_static");
    ASSERT_NE(group, nullptr);
    EXPECT_GT(label.width(), Window().Units().X(120));
    EXPECT_LE(label.x() + label.width(), group->x() + group->width());
    // Short texts keep the template's place.
    Page().SetControlText(kLabel, "Short");
    EXPECT_EQ(label.width(), Window().Units().X(134) - Window().Units().X(14));
}

TEST_F(MirrorTest, TextsAreShownPlainAndEndAtAZeroByte) {
    Page().SetControlText(kLabel, std::string("<b>bold</b> &amp;\0hidden", 25));
    auto& label = Widget<QLabel>(kLabel);
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_EQ(label.text(), "<b>bold</b> &amp;");
    Page().SetControlText(kLabel, "Caf\xE9 \x80 5");
    EXPECT_EQ(label.text(), QString::fromUtf8("Caf\u00e9 \u20ac 5"));
}

}  // namespace
}  // namespace gui_test
