#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/StringList.h"
#include "support/StringTable.h"

namespace {

constexpr int Threads = 4;
constexpr int Rows = 200;

std::string Cell(int thread, int row) {
    return std::to_string(thread) + ":" + std::to_string(row);
}

// Several threads write interleaved rows, sub-tables and objects while others read: every
// write lands, the maxima end at the highest index written, and nothing is torn.
TEST(StringTableThreads, ConcurrentWritersAndReaders) {
    StringTable table(3);
    std::atomic<bool> badRead{false};
    std::vector<std::thread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([&table, t] {
            for (int row = t; row < Rows; row += Threads) {
                table.SetString(row, t, Cell(t, row));
                table.SetString(Rows + row % 7, row, t, Cell(t, row));
            }
        });
        workers.emplace_back([&table, &badRead, t] {
            for (int row = 0; row < Rows; ++row) {
                const std::string seen = table.GetString(row, row % Threads);
                if (!seen.empty() && seen != Cell(row % Threads, row)) badRead = true;
                const std::string deep = table.GetString(Rows + row % 7, row, row % Threads);
                if (!deep.empty() && deep != Cell(row % Threads, row)) badRead = true;
                static_cast<void>(table.GetMaxIndex(1 + t % 3));
            }
        });
    }
    for (auto& worker : workers)
        worker.join();

    EXPECT_FALSE(badRead);
    for (int row = 0; row < Rows; ++row) {
        EXPECT_EQ(table.GetString(row, row % Threads), Cell(row % Threads, row));
        EXPECT_EQ(table.GetString(Rows + row % 7, row, row % Threads), Cell(row % Threads, row));
    }
    EXPECT_EQ(table.GetMaxIndex(1), Rows + 6);
    EXPECT_EQ(table.GetMaxIndex(2), Rows - 1);
    EXPECT_EQ(table.GetMaxIndex(3), Threads - 1);
}

TEST(StringTableThreads, ListGrowsUnderConcurrentWrites) {
    StringList list;
    std::vector<std::thread> workers;
    for (int t = 0; t < Threads; ++t) {
        workers.emplace_back([&list, t] {
            int lastSeen = -1;
            for (int index = t; index < Rows; index += Threads) {
                list.SetString(index, Cell(t, index));
                // The last index only ever grows, and covers what this thread wrote.
                const int last = list.GetLastIndex();
                EXPECT_GE(last, index);
                EXPECT_GE(last, lastSeen);
                lastSeen = last;
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(list.GetLastIndex(), Rows - 1);
    for (int index = 0; index < Rows; ++index) {
        EXPECT_EQ(list.GetString(index), Cell(index % Threads, index));
    }
}

}  // namespace
