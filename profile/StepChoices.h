#pragma once

// A profile's choices set on the wizard's steps as a user sets them, through each step's
// controls, so that Finish writes them; and what the steps hold, as a profile. The command
// line's apply and read and the window's "Load profile..." and "Save profile..." share it.
// Only choices that differ from what the step shows are made: typing a filter position marks
// the table for writing on Finish, so a table that stays is not written.

#include <string>

#include "profile/Profile.h"

class CVeltrixInstrumentSettingsDlg;

namespace profile {

// Steps by index in the sheet: 1 mode, 2 filters, 3 measurement, 4 plate.
inline constexpr int kModeStep = 1;
inline constexpr int kFilterStep = 2;
inline constexpr int kMeasurementStep = 3;
inline constexpr int kPlateStep = 4;

// Sets the profile's choices on the step, which is shown and has read the instrument. "" when
// it took every choice the profile names for it; otherwise what it could not take, as
// "baud: 19200 is not offered in oxq mode (offered: 9600, ...)". A setting whose read failed is
// left as the step shows it (the step has said so).
std::string ChooseOnStep(CVeltrixInstrumentSettingsDlg& sheet, int step, const Profile& wanted);

// What the steps hold now: every setting that was read, as the step that shows it shows it now
// (the user may have changed it); settings not read are left out.
Profile HeldByTheSteps(CVeltrixInstrumentSettingsDlg& sheet);

}  // namespace profile
