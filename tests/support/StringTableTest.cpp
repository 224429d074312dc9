#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "support/StringList.h"
#include "support/StringTable.h"

namespace {

using support::TextRow;

// Counts its own deletions, so that ownership can be checked.
class Tracked : public support::TableObject {
public:
    explicit Tracked(int& deletions) : m_deletions(deletions) {}
    ~Tracked() override { ++m_deletions; }

private:
    int& m_deletions;
};

TEST(StringTable, NewTablesAreEmpty) {
    StringTable table(2);
    EXPECT_EQ(table.GetMaxIndex(1), -1);
    EXPECT_EQ(table.GetString(3, 4), "");
    EXPECT_EQ(table.GetString(0, 0, 0, 0), "");
    EXPECT_EQ(table.GetItem(0), nullptr);
    EXPECT_EQ(table.GetSubTable(0), nullptr);
    EXPECT_EQ(table.GetDimension(), 2);
    EXPECT_EQ(StringList().GetLastIndex(), -1);
    EXPECT_EQ(StringList().GetDimension(), 1);
}

TEST(StringTable, TwoIndexWriteCreatesTheRowOnDemand) {
    StringTable table(2);
    EXPECT_EQ(table.SetString(5, 2, "t"), TRUE);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(table.GetElement(i), nullptr) << i;
    EXPECT_EQ(table.GetRow(5), (TextRow{"", "", "t"}));
    EXPECT_EQ(table.GetString(5, 2), "t");
    EXPECT_EQ(table.GetString(5, 7), "");
    EXPECT_EQ(table.GetMaxIndex(1), 5);
    EXPECT_EQ(table.GetMaxIndex(2), 2);
    EXPECT_EQ(table.GetMaxIndex(0), -1);
    EXPECT_EQ(table.GetMaxIndex(5), -1);

    // Maxima are only ever raised.
    table.SetString(1, 0, "u");
    EXPECT_EQ(table.GetMaxIndex(1), 5);
    EXPECT_EQ(table.GetMaxIndex(2), 2);
    table.SetString(5, 2, "v");
    EXPECT_EQ(table.GetString(5, 2), "v");
}

TEST(StringTable, OneIndexFormsOfTableAndList) {
    StringTable table(1);
    table.SetString(7, "x");
    EXPECT_EQ(table.GetString(0, 7), "x");
    EXPECT_EQ(table.GetString(7), "x");
    EXPECT_EQ(table.GetMaxIndex(1), 7);
    EXPECT_EQ(table.GetMaxIndex(2), 7);

    StringList list;
    list.SetString(3, "COM3");
    EXPECT_EQ(list.GetString(3), "COM3");
    EXPECT_EQ(list.GetString(3, 0), "COM3");
    EXPECT_EQ(list.GetLastIndex(), 3);
    EXPECT_EQ(list.GetMaxIndex(2), 0);
    // GetLong and SetLong use the cell (0, index), not the row.
    EXPECT_EQ(list.GetLong(3), 0);
    list.SetLong(3, -42);
    EXPECT_EQ(list.GetLong(3), -42);
    EXPECT_EQ(list.GetString(0, 3), "-42");
    EXPECT_EQ(list.GetString(3), "COM3");
    list.SetLong(9, 2147483647);
    EXPECT_EQ(list.GetLong(9), 2147483647);
    EXPECT_EQ(list.GetLastIndex(), 9);
}

TEST(StringTable, ThreeAndFourIndicesUseSubTables) {
    StringTable table(4);
    EXPECT_EQ(table.SetString(1, 2, 3, "a"), TRUE);
    EXPECT_EQ(table.SetString(0, 1, 2, 3, "b"), TRUE);
    EXPECT_EQ(table.GetString(1, 2, 3), "a");
    EXPECT_EQ(table.GetString(1, 2, 4), "");
    EXPECT_EQ(table.GetString(0, 1, 2, 3), "b");
    EXPECT_EQ(table.GetString(0, 1, 2, 4), "");
    EXPECT_EQ(table.GetString(2, 0, 0, 0), "");
    ASSERT_NE(table.GetSubTable(1), nullptr);
    EXPECT_EQ(table.GetSubTable(1)->GetDimension(), 2);
    EXPECT_EQ(table.GetSubTable(1)->GetString(2, 3), "a");
    EXPECT_EQ(table.GetSubTable(0)->GetDimension(), 3);
    EXPECT_EQ(table.GetSubTable(0)->GetSubTable(1)->GetDimension(), 2);
    EXPECT_EQ(table.GetMaxIndex(1), 1);
    EXPECT_EQ(table.GetMaxIndex(2), 2);
    EXPECT_EQ(table.GetMaxIndex(3), 3);
    EXPECT_EQ(table.GetMaxIndex(4), 3);
}

TEST(StringTable, PresetsSizeNewRowsAndPassDown) {
    StringTable table(2);
    table.SetString(0, 1, "old");
    table.SetPresetSize(2, 10);
    table.SetString(1, 0, "x");
    EXPECT_EQ(table.GetRow(1).size(), 10u);
    EXPECT_EQ(table.GetRow(0).size(), 2u);
    EXPECT_EQ(table.GetString(1, 9), "");
    // A write beyond the preset still grows the row.
    table.SetString(1, 12, "y");
    EXPECT_EQ(table.GetRow(1).size(), 13u);

    // Zero or negative sizes and unknown levels change nothing.
    table.SetPresetSize(2, 0);
    table.SetPresetSize(2, -1);
    table.SetPresetSize(0, 3);
    table.SetPresetSize(5, 3);
    table.SetString(2, 0, "z");
    EXPECT_EQ(table.GetRow(2).size(), 10u);

    StringTable deep(4);
    deep.SetPresetSize(2, 4);
    deep.SetPresetSize(3, 6);
    deep.SetString(0, 1, 2, "x");
    EXPECT_EQ(deep.GetSubTable(0)->GetRow(1).size(), 6u);
    deep.SetPresetSize(4, 5);
    deep.SetString(1, 0, 0, 0, "y");
    EXPECT_EQ(deep.GetSubTable(1)->GetSubTable(0)->GetRow(0).size(), 5u);

    StringList list;
    list.SetPresetCount(8);
    EXPECT_EQ(list.GetLastIndex(), -1);
    EXPECT_EQ(list.GetElement(7), nullptr);
}

TEST(StringTable, StoredObjectsAreOwned) {
    int deletions = 0;
    {
        StringTable table(4);
        auto first = std::make_unique<Tracked>(deletions);
        Tracked* firstPtr = first.get();
        EXPECT_EQ(table.SetItem(2, std::move(first)), TRUE);
        EXPECT_EQ(table.GetItem(2), firstPtr);
        EXPECT_EQ(table.GetRowItem(2), firstPtr);
        EXPECT_EQ(table.GetMaxIndex(1), 2);

        // Storing the object already stored keeps it; another one replaces and deletes it.
        EXPECT_EQ(table.SetItem(2, std::unique_ptr<support::TableObject>(firstPtr)), TRUE);
        EXPECT_EQ(deletions, 0);
        EXPECT_EQ(table.GetItem(2), firstPtr);
        table.SetItem(2, std::make_unique<Tracked>(deletions));
        EXPECT_EQ(deletions, 1);
        EXPECT_NE(table.GetItem(2), nullptr);
        table.SetItem(2, nullptr);
        EXPECT_EQ(deletions, 2);
        EXPECT_EQ(table.GetItem(2), nullptr);

        table.SetItem(1, 2, std::make_unique<Tracked>(deletions));
        table.SetItem(3, 2, 1, std::make_unique<Tracked>(deletions));
        table.SetItem(4, 3, 2, 1, std::make_unique<Tracked>(deletions));
        EXPECT_NE(table.GetItem(1, 2), nullptr);
        EXPECT_NE(table.GetItem(3, 2, 1), nullptr);
        EXPECT_NE(table.GetItem(4, 3, 2, 1), nullptr);
        EXPECT_EQ(table.GetItem(4, 3, 2, 0), nullptr);
        EXPECT_EQ(table.GetSubTable(4)->GetDimension(), 3);
        EXPECT_EQ(table.GetMaxIndex(1), 4);
        EXPECT_EQ(table.GetMaxIndex(4), 1);
    }
    EXPECT_EQ(deletions, 5);
}

TEST(StringTable, ElementsOfAnotherShapeReadEmptyAndAreNotOverwritten) {
    int deletions = 0;
    StringTable table(2);
    table.SetString(0, 0, "row");
    table.SetItem(3, std::make_unique<Tracked>(deletions));
    table.SetString(5, 1, 1, "sub");

    EXPECT_EQ(table.GetItem(0), nullptr);
    EXPECT_EQ(table.GetSubTable(0), nullptr);
    EXPECT_EQ(table.GetString(0, 1, 2), "");
    EXPECT_EQ(table.GetItem(0, 1), nullptr);
    EXPECT_EQ(table.GetString(3, 0), "");
    EXPECT_EQ(table.GetRow(3), TextRow());
    EXPECT_EQ(table.GetString(3, 0, 0), "");
    EXPECT_EQ(table.GetString(5, 1), "");
    EXPECT_EQ(table.GetItem(5), nullptr);

    EXPECT_EQ(table.SetItem(0, std::make_unique<Tracked>(deletions)), FALSE);
    EXPECT_EQ(deletions, 1);  // the table took the object and let it go
    EXPECT_EQ(table.SetString(0, 1, 2, "x"), FALSE);
    EXPECT_EQ(table.SetString(3, 0, "x"), FALSE);
    EXPECT_EQ(table.SetString(5, 0, "x"), FALSE);
    EXPECT_EQ(table.SetItem(5, std::make_unique<Tracked>(deletions)), FALSE);
    EXPECT_EQ(table.GetString(0, 0), "row");
    EXPECT_NE(table.GetItem(3), nullptr);
    EXPECT_EQ(table.GetString(5, 1, 1), "sub");
    EXPECT_EQ(deletions, 2);
}

TEST(StringTable, NegativeIndicesReadEmptyAndWriteNothing) {
    const std::function<BOOL(StringTable&)> writes[] = {
        [](StringTable& t) { return t.SetString(-1, "x"); },
        [](StringTable& t) { return t.SetString(-1, 0, "x"); },
        [](StringTable& t) { return t.SetString(0, -1, "x"); },
        [](StringTable& t) { return t.SetString(0, 0, -1, "x"); },
        [](StringTable& t) { return t.SetString(0, 0, 0, -1, "x"); },
        [](StringTable& t) { return t.SetItem(-1, std::make_unique<support::TableObject>()); },
        [](StringTable& t) { return t.SetItem(0, -1, std::make_unique<support::TableObject>()); },
        [](StringTable& t) {
            return t.SetItem(0, 0, -1, std::make_unique<support::TableObject>());
        },
        [](StringTable& t) {
            return t.SetItem(0, 0, 0, -1, std::make_unique<support::TableObject>());
        },
    };
    for (const auto& write : writes) {
        StringTable table(4);
        EXPECT_EQ(write(table), FALSE);
        EXPECT_EQ(table.GetElement(0), nullptr);
        for (int level = 1; level <= 4; ++level)
            EXPECT_EQ(table.GetMaxIndex(level), -1);
    }
    StringTable table(2);
    table.SetString(0, 0, "x");
    EXPECT_EQ(table.GetString(-1), "");
    EXPECT_EQ(table.GetString(0, -1), "");
    EXPECT_EQ(table.GetString(-1, 0, 0), "");
    EXPECT_EQ(table.GetItem(-1), nullptr);
    EXPECT_EQ(table.GetElement(-1), nullptr);
    EXPECT_EQ(table.GetRow(-1), TextRow());
    EXPECT_EQ(StringList().GetLong(-1), 0);
}

// An override of the two-index read changes the one-index read built on it.
class ShoutingTable : public StringTable {
public:
    ShoutingTable() : StringTable(1) {}
    using StringTable::GetString;
    std::string GetString(int row, int col) const override {
        return StringTable::GetString(row, col) + "!";
    }
};

TEST(StringTable, OuterOperationsGoThroughTheInnerOnes) {
    ShoutingTable table;
    table.SetString(2, "x");
    EXPECT_EQ(table.GetString(2), "x!");
}

}  // namespace
