#pragma once

// The record of one instrument run: every exchange the sheet had with the instrument since step
// 1 connected, with its command, whether it went out, its reply and how it ended. The engine
// writes it in its command transaction; the steps and the engine mark the exchanges they gave
// up on, naming the setting that cost. The faces read it and never match message texts.
//   engine::SettingTopic topic(sheet.Record(), "filters");   // exchanges from here read filters
//   sheet.SendCommand("GW"); sheet.ReadReply(reply);
//   if (const engine::Exchange* last = sheet.Record().Last(); !last->Succeeded()) ...

#include <cstdint>
#include <string>
#include <vector>

#include "device/ReplyCode.h"

namespace engine {

enum class ExchangeOutcome {
    Answered,       // a reply came in its frame
    ErrorReply,     // the instrument reported an error ("ERR ..."): three while polled, or as
                    // the reply itself
    NoReply,        // nothing within the read's time-out
    WrongChecksum,  // the reply's checksum did not fit
    Garbled,        // bytes came, but not a frame (no STX, no ETX, no CR)
    NotReady,       // the ready wait ran out: the command was not sent
    LinkLost,       // the port went
};

struct Exchange {
    std::string command;
    std::string setting;  // what it reads or writes ("filters"); "" for none
    bool sent = false;
    std::string reply;  // the reply's text without its frame, as far as one came
    ExchangeOutcome outcome = ExchangeOutcome::Answered;
    std::string errorReply;  // the last error reply seen, e.g. "ERR 12 plate jam"
    int timeoutMs = 0;       // NoReply: the read's time-out; NotReady: the ready wait's bound
    device::ReplyCode readCode = device::ReplyCode::Ok;  // NoReply, WrongChecksum, Garbled
    std::string linkLostReason;                          // LinkLost
    bool refused = false;  // answered, but not with what the command needed ("+")
    bool failed = false;   // the step or engine operation that ran it gave up because of it

    bool Succeeded() const { return outcome == ExchangeOutcome::Answered && !refused; }
};

// How the exchange ended, without its command: "no reply within 0.6 s".
std::string CauseOf(const Exchange& exchange);
// The same naming the command: "no reply to \"DB CNF WRITE\" within 10 s".
std::string DescribeFailure(const Exchange& exchange);
// "0.6 s", "10 s".
std::string SecondsText(int ms);

class ExchangeRecord {
public:
    void Clear() { m_exchanges.clear(); }
    // A command about to go through the ready wait; tagged with the current topic.
    Exchange& Begin(std::string command);
    // The exchange the next reply belongs to: the last one, when it was sent; null otherwise
    // (a read after a command that never went out changes nothing).
    Exchange* ReplyTarget();
    // Marks the exchange at index (the last one: FailLast) as one its step gave up on.
    void Fail(std::size_t index);
    void FailLast();
    // The last exchange, when a reply came, was refused: the reply is not what it needed.
    void RefuseLast();

    Exchange& At(std::size_t index) { return m_exchanges.at(index); }
    const std::vector<Exchange>& All() const { return m_exchanges; }
    const Exchange* Last() const { return m_exchanges.empty() ? nullptr : &m_exchanges.back(); }
    std::size_t Size() const { return m_exchanges.size(); }
    // The exchanges marked failed, in order.
    std::vector<Exchange> Failures() const;
    // The first exchange from index on that did not succeed; null when all did.
    const Exchange* FirstUnsuccessfulSince(std::size_t index) const;

    const std::string& Topic() const { return m_topic; }
    void SetTopic(std::string topic) { m_topic = std::move(topic); }

private:
    std::vector<Exchange> m_exchanges;
    std::string m_topic;
};

// Tags the exchanges made during its life with a setting, then restores the previous tag.
class SettingTopic {
public:
    SettingTopic(ExchangeRecord& record, std::string setting)
        : m_record(record), m_previous(record.Topic()) {
        record.SetTopic(std::move(setting));
    }
    ~SettingTopic() { m_record.SetTopic(m_previous); }
    SettingTopic(const SettingTopic&) = delete;
    SettingTopic& operator=(const SettingTopic&) = delete;

private:
    ExchangeRecord& m_record;
    std::string m_previous;
};

}  // namespace engine
