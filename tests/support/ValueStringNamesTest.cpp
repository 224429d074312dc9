#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "support/ValueString.h"

namespace {

TEST(ValueStringNames, ColumnNames) {
    const struct {
        int column;
        const char* name;
    } cases[] = {
        {-1, "<>"},  {INT_MIN, "<>"}, {0, "A"},     {25, "Z"},     {26, "AA"}, {27, "AB"},
        {701, "ZZ"}, {702, "AAA"},    {703, "AAB"}, {1351, "AYZ"}, {1352, ""}, {INT_MAX, ""},
    };
    for (const auto& c : cases) {
        ValueString value("old");
        EXPECT_EQ(value.SetColumnName(c.column).text, c.name) << c.column;
    }
}

TEST(ValueStringNames, EveryNamedColumnReadsBack) {
    ValueString value;
    for (int column = 0; column <= 1351; ++column) {
        ASSERT_EQ(value.SetColumnName(column).ColumnIndex(), column);
    }
}

TEST(ValueStringNames, ColumnIndexOfAnyText) {
    const struct {
        std::string name;
        int index;
    } cases[] = {
        {"", -1},
        {"A", 0},
        {"ZZ", 701},
        {"AAA", 702},
        {"a", 32},
        {"@", -1},
        // Bytes are signed 8-bit values on every processor.
        {"\x80", -193},
        {"AAAAAAA", 321272406},
        {"FXSHRXX", INT_MAX},
        // Results beyond an int give -1, however long the text.
        {"FXSHRXY", -1},
        {"ZZZZZZZ", -1},
        {std::string(7, '\x80'), -1},
        {std::string(40, 'Z'), -1},
        // Leading '@' adds nothing, so a long text can still name a small column.
        {std::string(30, '@') + "B", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueString(c.name).ColumnIndex(), c.index) << c.name;
}

TEST(ValueStringNames, CellNames) {
    ValueString value;
    EXPECT_EQ(value.SetCellName(0, 0).text, "A1");
    EXPECT_EQ(value.SetCellName(27, 9).text, "AB10");
    EXPECT_EQ(value.SetCellName(-1, 0).text, "<>1");
    EXPECT_EQ(value.SetCellName(1352, 4).text, "5");
    EXPECT_EQ(value.SetCellName(0, INT_MAX).text, "A2147483648");
}

TEST(ValueStringNames, ParseCellName) {
    const struct {
        const char* name;
        BOOL ok;
        int column;
        int row;
    } cases[] = {
        {"A1", TRUE, 0, 0},
        {"AB10", TRUE, 27, 9},
        {"A1x", TRUE, 0, 0},
        {"AYZ1351", TRUE, 1351, 1350},
        {"A0", FALSE, 0, 0},
        {"ABCD1", FALSE, 0, 0},
        {"1A", FALSE, 0, 0},
        {"A", FALSE, 0, 0},
        {"", FALSE, 0, 0},
        {"@1", FALSE, 0, 0},
        {"A2147483648", FALSE, 0, 0},
    };
    for (const auto& c : cases) {
        int column = 5;
        int row = 5;
        EXPECT_EQ(ValueString(c.name).ParseCellName(column, row), c.ok) << c.name;
        EXPECT_EQ(column, c.column) << c.name;
        EXPECT_EQ(row, c.row) << c.name;
    }
}

}  // namespace
