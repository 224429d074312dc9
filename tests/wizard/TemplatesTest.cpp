#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/Resources.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace wizard_test {
namespace {

using framework::ControlKind;
using framework::ControlTemplate;
using framework::DialogTemplate;
using ::testing::ElementsAreArray;

const DialogTemplate& Template(int id) {
    resources::RegisterResources();
    const DialogTemplate* t = framework::FindTemplate(id);
    EXPECT_NE(t, nullptr) << id;
    static const DialogTemplate none;
    return t != nullptr ? *t : none;
}

const ControlTemplate* Find(const DialogTemplate& t, int id) {
    for (const ControlTemplate& c : t.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

bool Inside(const framework::Rect& inner, const framework::Rect& outer) {
    return inner.x > outer.x && inner.y > outer.y && inner.x + inner.w < outer.x + outer.w &&
           inner.y + inner.h < outer.y + outer.h;
}

bool Overlap(const framework::Rect& a, const framework::Rect& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

// The radio buttons from first to before the next group start, as the data exchange reads them.
std::vector<int> RadioGroup(const DialogTemplate& t, int first) {
    std::vector<int> ids;
    auto it = std::find_if(t.controls.begin(), t.controls.end(),
                           [&](const ControlTemplate& c) { return c.id == first; });
    for (auto c = it; c != t.controls.end(); ++c) {
        if (c != it && c->groupStart) break;
        if (c->kind == ControlKind::RadioButton) ids.push_back(c->id);
    }
    return ids;
}

TEST(StepTemplates, ShareSizeFontAndNameTheirStepInTheCaption) {
    const int ids[] = {IDD_CONNECT, IDD_INSTRUMENT_MODE, IDD_FILTER_SLIDE, IDD_MEASUREMENT_MODE,
                       IDD_PLATE_MOVEMENT};
    for (int step = 1; step <= 5; ++step) {
        const DialogTemplate& t = Template(ids[step - 1]);
        EXPECT_EQ(t.caption,
                  "Veltrix Instrument Settings V 1.05  -  Step " + std::to_string(step) + " of 5");
        EXPECT_EQ(t.width, 278);
        EXPECT_EQ(t.height, 148);
        EXPECT_EQ(t.fontName, "MS Sans Serif");
        EXPECT_EQ(t.fontSize, 8);
        for (const ControlTemplate& c : t.controls) {
            SCOPED_TRACE(c.id);
            EXPECT_GE(c.rect.x, 0);
            EXPECT_GE(c.rect.y, 0);
            EXPECT_LE(c.rect.x + c.rect.w, t.width);
            EXPECT_LE(c.rect.y + c.rect.h, t.height);
            EXPECT_TRUE(c.items.empty());
            if (c.kind == ControlKind::PushButton) {
                EXPECT_EQ(c.rect.w, 50);
                EXPECT_EQ(c.rect.h, 14);
            }
        }
    }
}

TEST(StepTemplates, RadioGroupsHoldExactlyTheirButtonsInPositionOrder) {
    struct Group {
        int dialog;
        int first;
        std::vector<int> buttons;
    };
    const Group groups[] = {
        {IDD_INSTRUMENT_MODE,
         IDC_MODE_VELTRIX,
         {IDC_MODE_VELTRIX, IDC_MODE_MORVANE, IDC_MODE_DRAVELL, IDC_MODE_OXQ}},
        {IDD_MEASUREMENT_MODE, IDC_NORMAL, {IDC_NORMAL, IDC_ACCURACY, IDC_CENTER}},
        {IDD_MEASUREMENT_MODE, IDC_CUSTOM, {IDC_CUSTOM}},
        {IDD_PLATE_MOVEMENT, IDC_POWER_ON_MOVE_IN, {IDC_POWER_ON_MOVE_IN, IDC_POWER_ON_MOVE_OUT}},
        {IDD_PLATE_MOVEMENT, IDC_END_MOVE_IN, {IDC_END_MOVE_IN, IDC_END_MOVE_OUT, IDC_END_NO_MOVE}},
        {IDD_PLATE_MOVEMENT,
         IDC_REMOTE_ON_MOVE_IN,
         {IDC_REMOTE_ON_MOVE_IN, IDC_REMOTE_ON_MOVE_OUT, IDC_REMOTE_ON_NO_MOVE}},
        {IDD_PLATE_MOVEMENT,
         IDC_REMOTE_OFF_MOVE_IN,
         {IDC_REMOTE_OFF_MOVE_IN, IDC_REMOTE_OFF_MOVE_OUT, IDC_REMOTE_OFF_NO_MOVE}},
    };
    for (const Group& g : groups) {
        SCOPED_TRACE(g.first);
        const DialogTemplate& t = Template(g.dialog);
        ASSERT_NE(Find(t, g.first), nullptr);
        EXPECT_TRUE(Find(t, g.first)->groupStart);
        EXPECT_THAT(RadioGroup(t, g.first), ElementsAreArray(g.buttons));
    }
}

TEST(StepTemplates, GroupBoxesSurroundTheirControlsAndNothingElseOverlaps) {
    struct Frame {
        int dialog;
        int box;  // IDC_STATIC: the dialog's only group box
        std::vector<int> inside;
    };
    const Frame frames[] = {
        {IDD_CONNECT,
         framework::IDC_STATIC,
         {IDC_PORT_LABEL, IDC_PORT, IDC_BAUDRATE_LABEL, IDC_BAUDRATE, IDC_FIND_ANY}},
        {IDD_INSTRUMENT_MODE,
         IDC_INSTRUMENT_MODE_GROUP,
         {IDC_MODE_VELTRIX, IDC_MODE_MORVANE, IDC_MODE_DRAVELL, IDC_MODE_OXQ}},
        {IDD_INSTRUMENT_MODE, IDC_NEW_PORT_GROUP, {IDC_BAUDRATE, IDC_LINE_FORMAT}},
        {IDD_FILTER_SLIDE,
         IDC_FILTERSLIDE_GROUP,
         {IDC_SLIDE_OUT, IDC_SLIDE_IN, IDC_POS1, IDC_POS2, IDC_POS3, IDC_POS4, IDC_POS5, IDC_POS6,
          IDC_POS56_GROUP}},
        {IDD_FILTER_SLIDE, IDC_POS56_GROUP, {IDC_POS5_LABEL, IDC_POS5, IDC_POS6_LABEL, IDC_POS6}},
        {IDD_MEASUREMENT_MODE,
         IDC_MEASUREMENT_MODE_GROUP,
         {IDC_NORMAL, IDC_ACCURACY, IDC_CENTER, IDC_CUSTOM}},
        {IDD_MEASUREMENT_MODE,
         IDC_CUSTOM_GROUP,
         {IDC_FLASHES_LABEL, IDC_FLASHES, IDC_POINTS_LABEL, IDC_POINTS, IDC_DISTANCE_LABEL,
          IDC_DISTANCE, IDC_MICROMETRE_LABEL}},
        {IDD_PLATE_MOVEMENT, IDC_POWER_ON_GROUP, {IDC_POWER_ON_MOVE_IN, IDC_POWER_ON_MOVE_OUT}},
        {IDD_PLATE_MOVEMENT, IDC_END_GROUP, {IDC_END_MOVE_IN, IDC_END_MOVE_OUT, IDC_END_NO_MOVE}},
        {IDD_PLATE_MOVEMENT,
         IDC_REMOTE_ON_GROUP,
         {IDC_REMOTE_ON_MOVE_IN, IDC_REMOTE_ON_MOVE_OUT, IDC_REMOTE_ON_NO_MOVE}},
        {IDD_PLATE_MOVEMENT,
         IDC_REMOTE_OFF_GROUP,
         {IDC_REMOTE_OFF_MOVE_IN, IDC_REMOTE_OFF_MOVE_OUT, IDC_REMOTE_OFF_NO_MOVE}},
    };
    for (const Frame& f : frames) {
        SCOPED_TRACE(f.box);
        const DialogTemplate& t = Template(f.dialog);
        const auto box = std::find_if(t.controls.begin(), t.controls.end(), [&](const auto& c) {
            return c.id == f.box && c.kind == ControlKind::GroupBox;
        });
        ASSERT_NE(box, t.controls.end());
        for (const int id : f.inside) {
            SCOPED_TRACE(id);
            ASSERT_NE(Find(t, id), nullptr);
            EXPECT_TRUE(Inside(Find(t, id)->rect, box->rect));
        }
    }
    // Controls other than group boxes never cover one another.
    for (const int dialog : {IDD_CONNECT, IDD_INSTRUMENT_MODE, IDD_FILTER_SLIDE,
                             IDD_MEASUREMENT_MODE, IDD_PLATE_MOVEMENT}) {
        const DialogTemplate& t = Template(dialog);
        for (std::size_t i = 0; i < t.controls.size(); ++i) {
            for (std::size_t j = i + 1; j < t.controls.size(); ++j) {
                const ControlTemplate& a = t.controls[i];
                const ControlTemplate& b = t.controls[j];
                if (a.kind == ControlKind::GroupBox || b.kind == ControlKind::GroupBox) continue;
                EXPECT_FALSE(Overlap(a.rect, b.rect)) << dialog << ": " << a.id << " " << b.id;
            }
        }
    }
}

TEST(StepTemplates, HiddenControlsAndTextsInTheSingleByteCodePage) {
    const DialogTemplate& slide = Template(IDD_FILTER_SLIDE);
    for (const int id : {IDC_POS5_LABEL, IDC_POS6_LABEL, IDC_POS5, IDC_POS6, IDC_POS56_GROUP}) {
        EXPECT_FALSE(Find(slide, id)->visible) << id;
    }
    EXPECT_TRUE(Find(slide, IDC_POS4)->visible);
    const DialogTemplate& measurement = Template(IDD_MEASUREMENT_MODE);
    for (const ControlTemplate& c : measurement.controls) {
        const bool preset = c.id == IDC_MEASUREMENT_MODE_GROUP || c.id == IDC_NORMAL ||
                            c.id == IDC_ACCURACY || c.id == IDC_CENTER;
        EXPECT_EQ(c.visible, preset) << c.id;
    }
    EXPECT_EQ(Find(measurement, IDC_MICROMETRE_LABEL)->text, "\xB5m");
    const ControlTemplate* note = Find(Template(IDD_PLATE_MOVEMENT), IDC_NOT_AVAILABLE);
    EXPECT_TRUE(note->centred);
    EXPECT_EQ(note->text, "Not possible for [instr/version]");
}

}  // namespace
}  // namespace wizard_test
