#pragma once

#include <string_view>

// Command texts and fixed replies of the instrument, without framing. Texts that end in a blank
// are prefixes: the caller appends the arguments.
namespace device::command {

// Ready handshake before every command.
inline constexpr std::string_view kReadyPoll = "??";      // framed, "+VT" instruments
inline constexpr std::string_view kShortReadyPoll = "?";  // short frame, the other types
inline constexpr std::string_view kReady = "S";           // reply: the command may be sent
inline constexpr std::string_view kErrorReply = "ERR";    // a reply beginning so reports an error
inline constexpr std::string_view kAccepted = "+";        // reply: the command was accepted
inline constexpr std::string_view kCommandH = "H";        // after an error reply, and on step 2

// Firmware version.
inline constexpr std::string_view kVersionVeltrix = "RV0";
inline constexpr std::string_view kVersion = "V";

// Instrument mode and line settings, and storing the configuration.
inline constexpr std::string_view kChangeMode = "DB CNF RCMODE ";
inline constexpr std::string_view kSaveConfiguration = "DB CNF WRITE";
inline constexpr std::string_view kCommandBA = "BA";  // step 2 in Veltrix mode

// Filter slide.
inline constexpr std::string_view kDefineFilters = "DF ";
inline constexpr std::string_view kFilterSlideKind = "FC 0";
inline constexpr std::string_view kFilterTableVeltrix = "GW";
inline constexpr std::string_view kFilterTable = "I";
inline constexpr std::string_view kFilterRange = "DB FLT WR";
inline constexpr std::string_view kFilterSlideIn = "DB FLT MOVE I";
inline constexpr std::string_view kFilterSlideOut = "DB FLT MOVE E";

// Measurement mode.
inline constexpr std::string_view kSetFlashesEight = "DN 8";  // first of the three
inline constexpr std::string_view kSetPoints = "DM ";
inline constexpr std::string_view kSetFlashes = "DN ";
inline constexpr std::string_view kSetMeasurementMode = "MM";
inline constexpr std::string_view kReadFlashes = "RN";
inline constexpr std::string_view kReadPoints = "RM";
inline constexpr std::string_view kReadMeasurementMode = "SS M_MODE";

// Plate-carrier movement defaults.
inline constexpr std::string_view kSetPlateMovement = "DB PLT SET ";
inline constexpr std::string_view kReadPlateMovement = "DB PLT SET ?";

}  // namespace device::command
