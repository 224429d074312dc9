#pragma once

// A step's read of one setting: the exchanges made while it lives are tagged with the setting,
// and the first that did not succeed is the read's failure, marked as such in the sheet's
// record. A step that tells the user itself (its first reads after connecting) keeps the ready
// wait's own message back and shows one message naming the setting, command and cause.
//   StepRead read(GetParentSheet(), "filters", StepRead::Tells);
//   ... Exchange(...) ...
//   if (const engine::Exchange* failed = read.Failure()) settings.filters.SetFailed(*failed);
//   read.Tell("the filter slide");

#include <cstddef>
#include <optional>
#include <string>

#include "engine/CVeltrixInstrumentSettingsDlg.h"

class StepRead {
public:
    enum Telling { Quiet, Tells };
    // What a step needs of its exchanges: replies it reads, or only that its command went out
    // and was not answered by an error (a reply the step does not look at otherwise).
    enum Need { Replies, Sending };

    StepRead(CVeltrixInstrumentSettingsDlg* sheet, std::string setting, Telling telling = Quiet,
             Need need = Replies);

    // The first exchange since the start that failed in a way that matters, marked failed in
    // the record; null when none did (or without a sheet).
    const engine::Exchange* Failure();
    // One message box naming what could not be read, the command and the cause; nothing when
    // all went well or the link was lost (that has been said).
    void Tell(const std::string& what);

private:
    CVeltrixInstrumentSettingsDlg* m_sheet;
    std::size_t m_start = 0;
    Need m_need;
    std::optional<engine::SettingTopic> m_topic;
    std::optional<CVeltrixInstrumentSettingsDlg::StepReading> m_reading;
};

// "Could not read the filter slide from the instrument: wrong checksum in the reply to "GW".
// What this step shows was not read from the instrument."
std::string ReadFailureMessage(const std::string& what, const engine::Exchange& failure);
