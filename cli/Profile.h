#pragma once

// The settings profiles of the command line are the window's too (profile/): their reader and
// writer, the words they use and what the steps accept, under the command line's names.

#include "profile/PageRules.h"
#include "profile/Profile.h"
#include "profile/ProfileFile.h"
#include "profile/Vocabulary.h"

namespace cli {

using profile::ConnectRates;
using profile::kMeasurementNames;
using profile::kModeNames;
using profile::kPlateChoiceNames;
using profile::kPlateGroups;
using profile::kPositionBoxes;
using profile::ListOf;
using profile::NameAt;
using profile::PlateGroup;
using profile::PositionOf;
using profile::Profile;
using profile::ProfileDocument;
using profile::ProfileOf;
using profile::ReadProfile;
using profile::ReadProfileFile;
using profile::SettingsOf;
using profile::WriteProfile;

}  // namespace cli
