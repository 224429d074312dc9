#include "sim/Instrument.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using sim::ChecksummedFrame;
using sim::Exchange;
using sim::Instrument;
using sim::Outcome;
using sim::ShortFrame;

sim::State InMode(int mode) {
    sim::State state;
    state.mode = mode;
    return state;
}

// All bytes the instrument would send for `bytes`.
std::string Wire(Instrument& instrument, std::string_view bytes) {
    std::string wire;
    for (const Exchange& e : instrument.Receive(bytes))
        wire += e.wire;
    return wire;
}

sim::Fault MakeFault(std::string_view text) {
    sim::Fault fault;
    std::string error;
    EXPECT_TRUE(sim::ParseFault(text, fault, error)) << error;
    return fault;
}

const std::string kTypeQuery = "\x02!\r\0"s;

TEST(SimInstrument, AnswersTheTypeQueriesInTheShortFrameInEveryMode) {
    const char* codes[] = {"+VT", "+MV", "+DL", "+OQ"};
    for (int mode = 0; mode < sim::kModeCount; ++mode) {
        Instrument instrument(InMode(mode));
        EXPECT_EQ(Wire(instrument, kTypeQuery), ShortFrame(codes[mode])) << mode;
        EXPECT_EQ(Wire(instrument,
                       "\x02"
                       "BR\r\0"s),
                  ShortFrame(codes[mode]))
            << mode;
    }
}

TEST(SimInstrument, NativeModeTalksInChecksummedFramesAndRefusesOthers) {
    Instrument instrument(InMode(0));
    EXPECT_EQ(Wire(instrument, ChecksummedFrame("??")), "\x02S\x03R\r"s);
    EXPECT_EQ(Wire(instrument, "\0\r"s + ChecksummedFrame("RV0") + "\0"s),
              ChecksummedFrame("V 3.10"));

    const auto shortCommand = instrument.Receive(ShortFrame("V"));
    ASSERT_EQ(shortCommand.size(), 1u);
    EXPECT_EQ(shortCommand[0].outcome, Outcome::WrongFrameKind);
    EXPECT_TRUE(shortCommand[0].wire.empty());

    // A wrong checksum: not executed, and answered with the error reply.
    std::string bad = ChecksummedFrame("DN 55");
    bad[bad.size() - 2] ^= 0x20;
    const auto refused = instrument.Receive(bad);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].outcome, Outcome::BadChecksum);
    EXPECT_EQ(refused[0].wire, ChecksummedFrame(sim::kChecksumErrorReply));
    EXPECT_EQ(instrument.Current().flashes, 8);
    // A command of the emulations: the error reply, in the native frame.
    EXPECT_EQ(Wire(instrument, ChecksummedFrame("SS M_MODE")),
              ChecksummedFrame(sim::kUnknownCommandReply));
}

TEST(SimInstrument, EmulationModesTalkInShortFrames) {
    for (int mode = 1; mode < sim::kModeCount; ++mode) {
        Instrument instrument(InMode(mode));
        EXPECT_EQ(Wire(instrument, ShortFrame("?")), ShortFrame("S"));
        EXPECT_EQ(Wire(instrument, ShortFrame("I")), ShortFrame("405-450-492-550-600-620"));
        EXPECT_EQ(Wire(instrument, ShortFrame("SS M_MODE")), ShortFrame("M_MODE 0"));
    }
}

TEST(SimInstrument, ModeChangeAnswersOnTheOldFramingThenUsesTheNewOne) {
    Instrument instrument(InMode(0));
    const auto exchanges = instrument.Receive(ChecksummedFrame("DB CNF RCMODE 4 19200 E 7 2") +
                                              ChecksummedFrame("??"));
    ASSERT_EQ(exchanges.size(), 1u) << "bytes sent with the mode change are dropped";
    EXPECT_EQ(exchanges[0].wire, ChecksummedFrame("+"));
    EXPECT_EQ(instrument.OwnLine(), (sim::Line{19200, true}));

    EXPECT_EQ(Wire(instrument, kTypeQuery), ShortFrame("+OQ"));
    EXPECT_EQ(Wire(instrument, ShortFrame("DB CNF RCMODE 0 9600 N 8 1")), ShortFrame("+"));
    EXPECT_EQ(instrument.OwnLine(), (sim::Line{9600, false}));
    EXPECT_EQ(Wire(instrument, ChecksummedFrame("RV0")), ChecksummedFrame("V 3.10"));
}

TEST(SimInstrument, WriteKeepsTheStoredStateApartFromTheCurrentOne) {
    Instrument instrument(InMode(1));
    Wire(instrument, ShortFrame("MM2"));
    EXPECT_EQ(instrument.Stored().measurementMode, 0);
    int stores = 0;
    instrument.SetStoreFunction([&](const sim::State&) { return ++stores == 1; });
    EXPECT_EQ(Wire(instrument, ShortFrame("DB CNF WRITE")), ShortFrame("+"));
    EXPECT_EQ(instrument.Stored(), instrument.Current());

    Wire(instrument, ShortFrame("MM1"));
    EXPECT_EQ(Wire(instrument, ShortFrame("DB CNF WRITE")), ShortFrame("-"));
    EXPECT_EQ(instrument.Stored().measurementMode, 2) << "a failed store keeps the old one";
}

TEST(SimInstrument, ReadyPollFaultsFireTheirNumberOfTimes) {
    Instrument instrument(InMode(1));
    const std::string poll = ShortFrame("?");
    instrument.Faults().Add(MakeFault("busy,times=2"));
    EXPECT_EQ(Wire(instrument, poll + poll + poll),
              ShortFrame("B") + ShortFrame("B") + ShortFrame("S"));
    instrument.Faults().Add(MakeFault("err,times=1"));
    EXPECT_EQ(Wire(instrument, poll), ShortFrame("ERR 12 plate jam"));
    EXPECT_EQ(Wire(instrument, ShortFrame("H")), ShortFrame("+"));
    EXPECT_EQ(Wire(instrument, poll), ShortFrame("S"));
    EXPECT_TRUE(instrument.Faults().All().empty());
}

TEST(SimInstrument, ScopedFaultsChangeOnlyTheirCommand) {
    Instrument instrument(InMode(0));
    instrument.Faults().Add(MakeFault("silence,on=DB CNF RCMODE"));
    instrument.Faults().Add(MakeFault("reply=-,times=1,on=DB CNF WRITE"));
    const auto silenced = instrument.Receive(ChecksummedFrame("DB CNF RCMODE 1 9600 N 8 1"));
    ASSERT_EQ(silenced.size(), 1u);
    EXPECT_EQ(silenced[0].outcome, Outcome::Silenced);
    EXPECT_EQ(instrument.Current().mode, 0) << "a silenced command is not executed";

    bool stored = false;
    instrument.SetStoreFunction([&](const sim::State&) { return stored = true; });
    EXPECT_EQ(Wire(instrument, ChecksummedFrame("DB CNF WRITE")), ChecksummedFrame("-"));
    EXPECT_FALSE(stored);
    EXPECT_EQ(Wire(instrument, ChecksummedFrame("DB CNF WRITE")), ChecksummedFrame("+"));
    EXPECT_TRUE(stored);
    EXPECT_EQ(Wire(instrument, ChecksummedFrame("??")), ChecksummedFrame("S"));
}

TEST(SimInstrument, FramingFaultsSpoilTheWireForm) {
    struct Case {
        const char* text;
        int mode;
        std::string expected;
    };
    const std::string good = ChecksummedFrame("8");
    const Case cases[] = {
        {"checksum", 0, good.substr(0, 3) + static_cast<char>(good[3] ^ 0xFF) + "\r"},
        {"nocr", 0, good.substr(0, good.size() - 1)},
        {"nocr", 1, "\x02M_MODE 0"},
        {"stray-cr", 0, "\r" + good},
        {"stray-etx", 1, "\x03" + ShortFrame("M_MODE 0")},
        {"checksum", 1, ShortFrame("M_MODE 0")},
    };
    for (const Case& c : cases) {
        Instrument instrument(InMode(c.mode));
        instrument.Faults().Add(MakeFault(c.text));
        const std::string frame = c.mode == 0 ? ChecksummedFrame("RN") : ShortFrame("SS M_MODE");
        EXPECT_EQ(Wire(instrument, frame), c.expected) << c.text << " mode " << c.mode;
    }
}

TEST(SimInstrument, DelayAndPacingTravelWithTheReply) {
    sim::State state = InMode(2);
    state.baud = 2400;
    Instrument instrument(state);
    instrument.Faults().Add(MakeFault("delay=800,on=FC 0"));
    instrument.Faults().Add(MakeFault("delay=50,on=FC"));
    instrument.Faults().Add(MakeFault("pace"));
    const auto delayed = instrument.Receive(ShortFrame("FC 0"));
    ASSERT_EQ(delayed.size(), 1u);
    EXPECT_EQ(delayed[0].delayMs, 850);
    EXPECT_EQ(delayed[0].paceBaud, 2400);
    const auto plain = instrument.Receive(ShortFrame("RN"));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].delayMs, 0);
}

TEST(SimInstrument, SurvivesRandomBytesAndStillAnswers) {
    for (int mode = 0; mode < sim::kModeCount; ++mode) {
        Instrument instrument(InMode(mode));
        unsigned seed = 12345u + static_cast<unsigned>(mode);
        std::string noise;
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1103515245u + 12345u;
            noise += static_cast<char>(seed >> 16);
        }
        instrument.Receive(noise);
        instrument.DropPartialFrame();
        EXPECT_EQ(Wire(instrument, kTypeQuery), ShortFrame(sim::TypeCode(mode)));
    }
}

}  // namespace
