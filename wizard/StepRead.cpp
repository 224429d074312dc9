#include "wizard/StepRead.h"

#include "framework/Host.h"

StepRead::StepRead(CVeltrixInstrumentSettingsDlg* sheet, std::string setting, Telling telling,
                   Need need)
    : m_sheet(sheet), m_need(need) {
    if (m_sheet == nullptr) return;
    m_start = m_sheet->Record().Size();
    m_topic.emplace(m_sheet->Record(), std::move(setting));
    if (telling == Tells) m_reading.emplace(*m_sheet);
}

const engine::Exchange* StepRead::Failure() {
    if (m_sheet == nullptr) return nullptr;
    engine::ExchangeRecord& record = m_sheet->Record();
    for (std::size_t i = m_start; i < record.Size(); ++i) {
        const engine::Exchange& exchange = record.At(i);
        // A reply the step does not look at still must not report an error.
        const bool failed = m_need == Sending
                                ? !exchange.sent ||
                                      exchange.outcome == engine::ExchangeOutcome::LinkLost ||
                                      exchange.outcome == engine::ExchangeOutcome::ErrorReply
                                : !exchange.Succeeded();
        if (failed) {
            record.Fail(i);
            return &record.At(i);
        }
    }
    return nullptr;
}

void StepRead::Tell(const std::string& what) {
    const engine::Exchange* failure = Failure();
    if (failure == nullptr || failure->outcome == engine::ExchangeOutcome::LinkLost) return;
    framework::MessageBox(ReadFailureMessage(what, *failure));
}

std::string ReadFailureMessage(const std::string& what, const engine::Exchange& failure) {
    return "Could not read " + what + " from the instrument: " + engine::DescribeFailure(failure) +
           ".\nWhat this step shows was not read from the instrument.";
}
