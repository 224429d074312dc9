#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sim/CommandSet.h"
#include "sim/Faults.h"
#include "sim/Frame.h"
#include "sim/State.h"

namespace sim {

enum class Outcome {
    Answered,
    Silenced,        // a fault kept the instrument from hearing the command
    BadChecksum,     // the frame's checksum did not fit: not executed, an error reply
    WrongFrameKind,  // a short frame other than a type query in the native mode: ignored
};

// One frame received and what the instrument does about it.
struct Exchange {
    std::string command;
    Outcome outcome = Outcome::Answered;
    std::string reply;  // the reply text, before framing
    std::string wire;   // the bytes to send; empty when nothing is sent
    int delayMs = 0;    // wait before sending
    int paceBaud = 0;   // send at this speed, 10 bit times per byte; 0: at once
};

// The simulated instrument without any input or output: bytes from the host go in, the
// replies to send come out. Replies travel in the frame of the command that asked (so the
// type query gets a short frame in every mode); the native mode takes checksummed frames,
// the emulation modes short ones.
class Instrument {
public:
    explicit Instrument(State state = {});

    // Frames the bytes and answers each complete command. A mode change answers on the old
    // line and drops the rest of `bytes`, which the host sent before it could follow.
    std::vector<Exchange> Receive(std::string_view bytes);
    // Forgets a frame begun but not finished (its bytes came on a line we do not listen to).
    void DropPartialFrame() { m_reader.Reset(); }

    Line OwnLine() const { return LineOf(m_state.mode, m_state.baud); }
    const State& Current() const { return m_state; }
    void SetCurrent(State state);
    // The state as "DB CNF WRITE" stored it last (at first the one the instrument started with).
    const State& Stored() const { return m_stored; }
    // Called to keep the state on "DB CNF WRITE"; when it fails the command is refused.
    void SetStoreFunction(StoreFunction store) { m_store = std::move(store); }
    FaultSet& Faults() { return m_faults; }

private:
    Exchange Handle(const Frame& frame, bool& modeChanged);
    std::string Wire(std::string_view reply, FrameKind kind, const FaultEffects& effects) const;

    State m_state;
    State m_stored;
    StoreFunction m_store;
    FaultSet m_faults;
    FrameReader m_reader;
};

}  // namespace sim
