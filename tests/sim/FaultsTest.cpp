#include "sim/Faults.h"

#include <gtest/gtest.h>

namespace {

using sim::Fault;
using sim::FaultKind;

TEST(SimFaults, ParsesEveryKindWithItsDefaults) {
    struct Case {
        const char* text;
        Fault expected;
    };
    const Case cases[] = {
        {"busy", {FaultKind::Reply, "?", -1, "B", 0}},
        {"busy=W,times=3", {FaultKind::Reply, "?", 3, "W", 0}},
        {"err,times=2", {FaultKind::Reply, "?", 2, "ERR 12 plate jam", 0}},
        {"err=ERR 7 lamp,on=V", {FaultKind::Reply, "V", -1, "ERR 7 lamp", 0}},
        {"reply=-,on=DB CNF WRITE", {FaultKind::Reply, "DB CNF WRITE", -1, "-", 0}},
        {"silence", {FaultKind::Silence, "", -1, "", 0}},
        {"checksum,times=1", {FaultKind::BadChecksum, "", 1, "", 0}},
        {"nocr", {FaultKind::NoCr, "", -1, "", 0}},
        {"stray-cr", {FaultKind::StrayCr, "", -1, "", 0}},
        {"stray-etx", {FaultKind::StrayEtx, "", -1, "", 0}},
        {"delay=800,times=1,on=FC 0", {FaultKind::Delay, "FC 0", 1, "", 800}},
        {"pace", {FaultKind::Pace, "", -1, "", 0}},
        {"silence,on=A,B", {FaultKind::Silence, "A,B", -1, "", 0}},
    };
    for (const Case& c : cases) {
        Fault fault;
        std::string error;
        ASSERT_TRUE(sim::ParseFault(c.text, fault, error)) << c.text << ": " << error;
        EXPECT_EQ(fault, c.expected) << c.text;
    }
}

TEST(SimFaults, RejectsMalformedFaultsWithAMessage) {
    for (const char* text : {"", "jam", "reply", "delay", "delay=x", "delay=-5", "delay=60001",
                             "silence=3", "busy,times=0", "busy,times=", "busy,twice", "nocr,"}) {
        Fault fault;
        std::string error;
        EXPECT_FALSE(sim::ParseFault(text, fault, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(SimFaults, MatchOnTheCommandHeadAndExpireWhenSpent) {
    sim::FaultSet faults;
    faults.Add({FaultKind::Delay, "DB PLT SET", 2, "", 100});
    faults.Add({FaultKind::NoCr, "", 1, "", 0});
    EXPECT_EQ(faults.Take("RN").delayMs, 0);
    EXPECT_EQ(faults.All().size(), 1u) << "the unscoped fault spent its one use on RN";
    EXPECT_EQ(faults.Take("DB PLT SET ?").delayMs, 100);
    EXPECT_FALSE(faults.Take("DB PLT SET 2 2 3 3").noCr);
    EXPECT_TRUE(faults.All().empty());
    EXPECT_EQ(faults.Take("DB PLT SET ?").delayMs, 0);
}

}  // namespace
