#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// What can go wrong with one reply. A fault applies to the commands that begin with `on`
// (every command when it is empty) and fires `times` more times (-1: every time).
enum class FaultKind {
    Reply,        // answer `text` instead of executing the command ("busy" and "err" too)
    Silence,      // neither execute nor answer
    BadChecksum,  // send a wrong checksum (checksummed frames only)
    NoCr,         // leave out the frame's final CR
    StrayCr,      // send a CR before the reply's STX
    StrayEtx,     // send an ETX before the reply's STX
    Delay,        // wait `delayMs` before replying
    Pace,         // send the reply at the line's speed, 10 bit times per byte
};

struct Fault {
    FaultKind kind = FaultKind::Reply;
    std::string on;
    int times = -1;
    std::string text;
    int delayMs = 0;
    bool operator==(const Fault&) const = default;
};

// Reads "KIND[=VALUE][,times=N][,on=COMMAND]", e.g. "busy,times=3", "err=ERR 12 plate jam",
// "delay=800,on=FC 0", "reply=-,on=DB CNF WRITE". "on=" comes last and takes the rest of the
// text, so a command may hold commas. False with a message when the text is not a fault.
bool ParseFault(std::string_view text, Fault& fault, std::string& error);
// The fault kinds and their syntax, one line each, for the program's help.
std::string FaultHelp();

// What the faults that matched one command do to its reply.
struct FaultEffects {
    std::optional<std::string> reply;
    bool silent = false;
    bool badChecksum = false;
    bool noCr = false;
    bool strayCr = false;
    bool strayEtx = false;
    bool pace = false;
    int delayMs = 0;
};

class FaultSet {
public:
    void Add(Fault fault) { m_faults.push_back(std::move(fault)); }
    void Clear() { m_faults.clear(); }
    const std::vector<Fault>& All() const { return m_faults; }
    // Every fault that matches `command` counts one use; spent faults are dropped.
    FaultEffects Take(std::string_view command);

private:
    std::vector<Fault> m_faults;
};

}  // namespace sim
