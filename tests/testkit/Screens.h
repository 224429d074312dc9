#pragma once

#include <string>
#include <vector>

#include "framework/WizardDriver.h"

namespace testkit_test {

// What the wizard's screens say and where their controls are, as a user sees them.

// "Veltrix Instrument Settings V 1.05  -  Step 2 of 5" for step 2 (1-based).
std::string StepCaption(int step);
// The radio button of an instrument mode (0 Veltrix ... 3 OXQ) on step 2.
int ModeButton(int mode);
// The line format step 2 shows for a mode.
std::string LineFormat(int mode);
// Presses Next; true when the wizard then shows the step (1-based).
bool NextTo(framework::WizardDriver& w, int step);
// The filters shown in the enabled position boxes of step 3, position 1 first.
std::vector<int> ShownFilters(const framework::WizardDriver& w);

}  // namespace testkit_test
