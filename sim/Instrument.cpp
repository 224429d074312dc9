#include "sim/Instrument.h"

namespace sim {

Instrument::Instrument(State state)
    : m_state(state), m_stored(std::move(state)), m_reader(m_state.mode == kModeVeltrix) {}

void Instrument::SetCurrent(State state) {
    m_state = std::move(state);
    m_reader.SetChecksummed(m_state.mode == kModeVeltrix);
}

std::vector<Exchange> Instrument::Receive(std::string_view bytes) {
    std::vector<Exchange> exchanges;
    for (char byte : bytes) {
        const auto frame = m_reader.Push(byte);
        if (!frame) continue;
        bool modeChanged = false;
        exchanges.push_back(Handle(*frame, modeChanged));
        if (modeChanged) {
            m_reader.SetChecksummed(m_state.mode == kModeVeltrix);
            break;
        }
    }
    return exchanges;
}

Exchange Instrument::Handle(const Frame& frame, bool& modeChanged) {
    Exchange exchange;
    exchange.command = frame.text;
    if (!frame.checksumOk) {
        // Not executed; the error reply goes back in the frame that came.
        exchange.outcome = Outcome::BadChecksum;
        exchange.reply = kChecksumErrorReply;
        exchange.wire = ChecksummedFrame(exchange.reply);
        return exchange;
    }
    const bool typeQuery = frame.text == "!" || frame.text == "BR";
    if (m_state.mode == kModeVeltrix && frame.kind == FrameKind::Short && !typeQuery) {
        exchange.outcome = Outcome::WrongFrameKind;
        return exchange;
    }
    const FaultEffects effects = m_faults.Take(frame.text);
    if (effects.silent) {
        exchange.outcome = Outcome::Silenced;
        return exchange;
    }
    const int oldBaud = m_state.baud;
    if (effects.reply) {
        exchange.reply = *effects.reply;
    } else {
        const StoreFunction store = [this](const State& state) {
            if (m_store && !m_store(state)) return false;
            m_stored = state;
            return true;
        };
        Answer answer = Respond(m_state, frame.text, store);
        exchange.reply = std::move(answer.reply);
        modeChanged = answer.modeChanged;
    }
    exchange.wire = Wire(exchange.reply, frame.kind, effects);
    exchange.delayMs = effects.delayMs;
    exchange.paceBaud = effects.pace ? oldBaud : 0;
    return exchange;
}

std::string Instrument::Wire(std::string_view reply, FrameKind kind,
                             const FaultEffects& effects) const {
    std::string wire;
    if (effects.strayCr) wire += kCr;
    if (effects.strayEtx) wire += kEtx;
    if (kind == FrameKind::Checksummed) {
        std::string frame = ChecksummedFrame(reply);
        if (effects.badChecksum) frame[frame.size() - 2] ^= '\xFF';
        wire += frame;
    } else {
        wire += ShortFrame(reply);
    }
    if (effects.noCr) wire.pop_back();
    return wire;
}

}  // namespace sim
