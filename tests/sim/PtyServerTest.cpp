#include "sim/PtyServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "PtyClient.h"
#include "sim/StateFile.h"

namespace {

using namespace std::string_literals;
using sim::ChecksummedFrame;
using sim::Direction;
using sim::ShortFrame;
using sim_test::PtyClient;

const std::string kTypeQuery = "\x02!\r\0"s;
constexpr bool kFramed = true;
constexpr bool kShort = false;

std::unique_ptr<sim::PtyServer> StartServer(sim::ServerConfig config = {}) {
    std::string error;
    auto server = sim::PtyServer::Start(std::move(config), error);
    EXPECT_TRUE(server) << error;
    return server;
}

sim::ServerConfig InMode(int mode, int baud = 9600) {
    sim::ServerConfig config;
    config.state.mode = mode;
    config.state.baud = baud;
    return config;
}

sim::Fault MakeFault(std::string_view text) {
    sim::Fault fault;
    std::string error;
    EXPECT_TRUE(sim::ParseFault(text, fault, error)) << error;
    return fault;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

TEST(SimPtyServer, AnswersTheTypeQueryInEveryModeOnItsOwnLine) {
    for (int mode = 0; mode < sim::kModeCount; ++mode) {
        const auto server = StartServer(InMode(mode, 4800));
        ASSERT_TRUE(server);
        PtyClient host(server->SlavePath());
        ASSERT_TRUE(host.IsOpen());
        ASSERT_TRUE(host.SetLine(4800, mode == sim::kModeOxq)) << mode;
        EXPECT_EQ(host.Ask(kTypeQuery, kShort), ShortFrame(sim::TypeCode(mode))) << mode;
    }
}

TEST(SimPtyServer, ExchangesChecksummedFramesInNativeModeAndLogsThem) {
    const std::string logPath = ::testing::TempDir() + "sim_pty_log.jsonl";
    std::remove(logPath.c_str());
    sim::ServerConfig config;
    config.logFile = logPath;
    const auto server = StartServer(config);
    ASSERT_TRUE(server);
    PtyClient host(server->SlavePath());
    ASSERT_TRUE(host.SetLine(9600, false));
    EXPECT_EQ(host.Ask(ChecksummedFrame("??"), kFramed), ChecksummedFrame("S"));
    EXPECT_EQ(host.Ask(ChecksummedFrame("RV0"), kFramed), ChecksummedFrame("V 3.10"));
    ASSERT_TRUE(server->Traffic().WaitFor(Direction::Sent, 2, 1000));
    EXPECT_EQ(server->Traffic().Texts(Direction::Received),
              (std::vector<std::string>{"??", "RV0"}));
    EXPECT_EQ(server->Traffic().Texts(Direction::Sent), (std::vector<std::string>{"S", "V 3.10"}));
    const auto entries = server->Traffic().Entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[1].note, "02 53 03 52 0D");

    std::ifstream log(logPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("{\"t\":", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(R"("dir":"rx","text":"??"})"), std::string::npos) << lines[0];
    EXPECT_NE(lines[3].find(R"("dir":"tx","text":"V 3.10","note":"02 56 20 33)"), std::string::npos)
        << lines[3];
    std::remove(logPath.c_str());
}

TEST(SimPtyServer, StaysSilentWhileTheHostsLineDiffers) {
    const auto server = StartServer(InMode(sim::kModeOxq));
    ASSERT_TRUE(server);
    PtyClient host(server->SlavePath());
    ASSERT_TRUE(host.SetLine(9600, false));
    EXPECT_EQ(host.Ask(kTypeQuery, kShort, 300), "");
    ASSERT_TRUE(host.SetLine(4800, true));
    EXPECT_EQ(host.Ask(kTypeQuery, kShort, 300), "");
    EXPECT_TRUE(server->Traffic().Texts(Direction::Received).empty());
    EXPECT_EQ(server->Traffic().Texts(Direction::Dropped).size(), 2u);

    ASSERT_TRUE(host.SetLine(9600, true));
    EXPECT_EQ(host.Ask(kTypeQuery, kShort), ShortFrame("+OQ"));
}

TEST(SimPtyServer, FollowsAModeChangeWhenTheHostSwitchesItsLineRightAfterThePlus) {
    const auto server = StartServer();
    ASSERT_TRUE(server);
    PtyClient host(server->SlavePath());
    ASSERT_TRUE(host.SetLine(9600, false));
    EXPECT_EQ(host.Ask(ChecksummedFrame("DB CNF RCMODE 4 19200 E 7 2"), kFramed),
              ChecksummedFrame("+"));
    ASSERT_TRUE(host.SetLine(19200, true));
    EXPECT_EQ(host.Ask(kTypeQuery, kShort), ShortFrame("+OQ"));
    EXPECT_EQ(host.Ask(ShortFrame("?"), kShort), ShortFrame("S"));

    EXPECT_EQ(host.Ask(ShortFrame("DB CNF RCMODE 1 38400 N 8 1"), kShort), ShortFrame("+"));
    ASSERT_TRUE(host.SetLine(38400, false));
    EXPECT_EQ(host.Ask(kTypeQuery, kShort), ShortFrame("+MV"));
    EXPECT_EQ(server->Current().mode, sim::kModeMorvane);
    EXPECT_EQ(server->Current().baud, 38400);
}

TEST(SimPtyServer, WritesTheStateFileAndStartsFromItAgain) {
    const std::string path = ::testing::TempDir() + "sim_pty_state.json";
    std::remove(path.c_str());
    sim::ServerConfig config = InMode(sim::kModeDravell);
    config.stateFile = path;
    {
        const auto server = StartServer(config);
        ASSERT_TRUE(server);
        PtyClient host(server->SlavePath());
        ASSERT_TRUE(host.SetLine(9600, false));
        EXPECT_EQ(host.Ask(ShortFrame("MM2"), kShort), ShortFrame("+"));
        EXPECT_EQ(host.Ask(ShortFrame("DB PLT SET 1 3 3 2"), kShort), ShortFrame("+"));
        EXPECT_EQ(host.Ask(ShortFrame("DB CNF WRITE"), kShort), ShortFrame("+"));
        EXPECT_EQ(server->Stored(), server->Current());
    }
    sim::ServerConfig again;
    std::string error;
    ASSERT_EQ(sim::LoadStateFile(path, again.state, error), sim::LoadResult::Loaded) << error;
    const auto server = StartServer(again);
    ASSERT_TRUE(server);
    PtyClient host(server->SlavePath());
    ASSERT_TRUE(host.SetLine(9600, false));
    EXPECT_EQ(host.Ask(kTypeQuery, kShort), ShortFrame("+DL"));
    EXPECT_EQ(host.Ask(ShortFrame("SS M_MODE"), kShort), ShortFrame("M_MODE 2"));
    EXPECT_EQ(host.Ask(ShortFrame("DB PLT SET ?"), kShort), ShortFrame("1 3 3 2"));
    std::remove(path.c_str());
}

TEST(SimPtyServer, RefusesTheWriteWhenTheStateFileCannotBeWritten) {
    sim::ServerConfig config = InMode(sim::kModeMorvane);
    config.stateFile = "/nonexistent-dir/state.json";
    const auto server = StartServer(config);
    ASSERT_TRUE(server);
    PtyClient host(server->SlavePath());
    ASSERT_TRUE(host.SetLine(9600, false));
    EXPECT_EQ(host.Ask(ShortFrame("DB CNF WRITE"), kShort), ShortFrame("-"));
}

TEST(SimPtyServer, SurvivesRandomBytesAndTheHostReopeningThePort) {
    const auto server = StartServer(InMode(sim::kModeVeltrix));
    ASSERT_TRUE(server);
    unsigned seed = 2024;
    for (int round = 0; round < 4; ++round) {
        PtyClient host(server->SlavePath());
        ASSERT_TRUE(host.IsOpen()) << "round " << round;
        ASSERT_TRUE(host.SetLine(9600, false));
        for (int chunk = 0; chunk < 50; ++chunk) {
            std::string noise;
            for (int i = 0; i < 64; ++i) {
                seed = seed * 1103515245u + 12345u;
                noise += static_cast<char>(seed >> 16);
            }
            host.Write(noise);
            host.ReadFor(1);
        }
        ASSERT_TRUE(host.SetLine(server->Current().baud, server->Current().mode == 3));
        // What the noise left: error replies to frames it made by chance, say.
        host.ReadFor(100);
        EXPECT_EQ(host.Ask(kTypeQuery, kShort), ShortFrame(sim::TypeCode(server->Current().mode)));
    }
}

TEST(SimPtyServer, FaultsChangedAtRunTimeApplyToTheNextCommand) {
    const auto server = StartServer(InMode(sim::kModeMorvane, 1200));
    ASSERT_TRUE(server);
    PtyClient host(server->SlavePath());
    ASSERT_TRUE(host.SetLine(1200, false));

    server->AddFault(MakeFault("delay=300,times=1,on=V"));
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(host.Ask(ShortFrame("V"), kShort), ShortFrame("V 3.10"));
    EXPECT_GE(MillisecondsSince(start), 300);

    server->AddFault(MakeFault("silence,on=SS"));
    EXPECT_EQ(host.Ask(ShortFrame("SS M_MODE"), kShort, 300), "");
    server->ClearFaults();
    EXPECT_EQ(host.Ask(ShortFrame("SS M_MODE"), kShort), ShortFrame("M_MODE 0"));

    sim::State older = server->Current();
    older.version = "V 3.05";
    server->SetCurrent(older);
    EXPECT_EQ(host.Ask(ShortFrame("DB PLT SET ?"), kShort), ShortFrame("-"));

    // 25 bytes at 1200 baud take about 208 ms when paced.
    server->AddFault(MakeFault("pace"));
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(host.Ask(ShortFrame("I"), kShort), ShortFrame("405-450-492-550-600-620"));
    EXPECT_GE(MillisecondsSince(start), 190);
}

TEST(SimPtyServer, StopsPromptlyEvenWhileAReplyIsDelayed) {
    auto server = StartServer(InMode(sim::kModeMorvane));
    ASSERT_TRUE(server);
    server->AddFault(MakeFault("delay=60000"));
    PtyClient host(server->SlavePath());
    ASSERT_TRUE(host.SetLine(9600, false));
    ASSERT_TRUE(host.Write(ShortFrame("V")));
    ASSERT_TRUE(server->Traffic().WaitFor(Direction::Received, 1, 2000));
    const auto start = std::chrono::steady_clock::now();
    server.reset();
    EXPECT_LT(MillisecondsSince(start), 1000);
}

}  // namespace
