#pragma once

// The Qt host in force with the test wizard open in its window, as a modal run would show it
// (without the modal loop, so a test can act between events).

#include <gtest/gtest.h>

#include <QWidget>

#include "framework/Host.h"
#include "framework/qt/QtHost.h"
#include "tests/gui/TestSheet.h"
#include "tests/testkit/GuiTest.h"

namespace gui_test {

using testkit_test::BoxAnswerer;
using testkit_test::PressKey;
using testkit_test::ProcessEvents;
using testkit_test::TypeInto;

class HostFixture : public testing::Test {
protected:
    HostFixture();
    ~HostFixture() override;

    // The window of the sheet; fails the test when there is none.
    framework::qt::WizardWindow& Window();
    // The widget of a control of the active page (or of a sheet button), cast to T.
    template <typename T>
    T& Widget(int id) {
        auto* w = qobject_cast<T*>(Window().WidgetFor(id));
        if (w == nullptr) ADD_FAILURE() << "no widget of that kind for control " << id;
        return *w;
    }

    framework::qt::QtHost host;
    framework::ScopedHost use{host};
    TestSheet sheet;
};

}  // namespace gui_test
