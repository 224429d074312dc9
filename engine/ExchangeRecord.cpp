#include "engine/ExchangeRecord.h"

namespace engine {

std::string SecondsText(int ms) {
    std::string text = std::to_string(ms / 1000);
    if (const int tenths = (ms % 1000) / 100; tenths != 0) text += "." + std::to_string(tenths);
    return text + " s";
}

std::string CauseOf(const Exchange& exchange) {
    switch (exchange.outcome) {
        case ExchangeOutcome::Answered:
            return exchange.refused ? "refused (reply \"" + exchange.reply + "\")" : "answered";
        case ExchangeOutcome::ErrorReply:
            return "error reply \"" + exchange.errorReply + "\"";
        case ExchangeOutcome::NoReply:
            return "no reply within " + SecondsText(exchange.timeoutMs);
        case ExchangeOutcome::WrongChecksum:
            return "wrong checksum in the reply";
        case ExchangeOutcome::Garbled:
            return "unreadable reply (" + std::string(device::ReplyCodeText(exchange.readCode)) +
                   ")";
        case ExchangeOutcome::NotReady:
            return "did not report ready within " + SecondsText(exchange.timeoutMs);
        case ExchangeOutcome::LinkLost:
            return "the link was lost" + (exchange.linkLostReason.empty()
                                              ? std::string()
                                              : ": " + exchange.linkLostReason);
    }
    return {};
}

std::string DescribeFailure(const Exchange& exchange) {
    const std::string command = "\"" + exchange.command + "\"";
    switch (exchange.outcome) {
        case ExchangeOutcome::Answered:
            return exchange.refused ? command + " was refused (reply \"" + exchange.reply + "\")"
                                    : command + " was answered";
        case ExchangeOutcome::ErrorReply:
            return "error reply \"" + exchange.errorReply + "\" to " + command +
                   (exchange.sent ? "" : " (not sent)");
        case ExchangeOutcome::NoReply:
            return "no reply to " + command + " within " + SecondsText(exchange.timeoutMs);
        case ExchangeOutcome::WrongChecksum:
            return "wrong checksum in the reply to " + command;
        case ExchangeOutcome::Garbled:
            return "unreadable reply to " + command + " (" +
                   std::string(device::ReplyCodeText(exchange.readCode)) + ")";
        case ExchangeOutcome::NotReady:
            return "did not report ready within " + SecondsText(exchange.timeoutMs) + " (" +
                   command + " not sent)";
        case ExchangeOutcome::LinkLost:
            return "the link was lost " + std::string(exchange.sent ? "after " : "before ") +
                   command +
                   (exchange.linkLostReason.empty() ? std::string()
                                                    : ": " + exchange.linkLostReason);
    }
    return {};
}

Exchange& ExchangeRecord::Begin(std::string command) {
    Exchange& exchange = m_exchanges.emplace_back();
    exchange.command = std::move(command);
    exchange.setting = m_topic;
    return exchange;
}

Exchange* ExchangeRecord::ReplyTarget() {
    if (m_exchanges.empty() || !m_exchanges.back().sent) return nullptr;
    return &m_exchanges.back();
}

void ExchangeRecord::Fail(std::size_t index) {
    if (index < m_exchanges.size()) m_exchanges[index].failed = true;
}

void ExchangeRecord::FailLast() {
    if (!m_exchanges.empty()) m_exchanges.back().failed = true;
}

void ExchangeRecord::RefuseLast() {
    Exchange* last = ReplyTarget();
    if (last != nullptr && last->outcome == ExchangeOutcome::Answered) last->refused = true;
}

std::vector<Exchange> ExchangeRecord::Failures() const {
    std::vector<Exchange> failures;
    for (const Exchange& exchange : m_exchanges) {
        if (exchange.failed) failures.push_back(exchange);
    }
    return failures;
}

const Exchange* ExchangeRecord::FirstUnsuccessfulSince(std::size_t index) const {
    for (std::size_t i = index; i < m_exchanges.size(); ++i) {
        if (!m_exchanges[i].Succeeded()) return &m_exchanges[i];
    }
    return nullptr;
}

}  // namespace engine
