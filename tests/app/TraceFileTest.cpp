// A trace file that cannot be written: besides the line on the error stream, a box, since a
// start from the desktop shows no terminal; then the program ends.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>

#include "app/InstrumentSettingsApp.h"
#include "app/Program.h"
#include "tests/testkit/GuiTest.h"

namespace {

TEST(TraceFileTest, ATraceFileThatCannotBeWrittenIsReportedInABoxToo) {
    const QString name = QCoreApplication::applicationName();
    testkit_test::BoxAnswerer boxes;
    InstrumentSettingsApp application;
    std::string program = "veltrix-instrument-settings";
    std::string option = "--trace";
    std::string file = "/nonexistent-veltrix-folder/trace.txt";
    char* argv[] = {program.data(), option.data(), file.data(), nullptr};

    EXPECT_EQ(app::RunProgram(application, 3, argv), 1);
    QCoreApplication::setApplicationName(name);

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0],
              "Cannot write the trace file " + file + ": No such file or directory");
    EXPECT_TRUE(boxes.Boxes()[0].onlyOk);
}

}  // namespace
