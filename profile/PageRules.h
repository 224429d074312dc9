#pragma once

// What the wizard's steps accept, asked of the steps themselves: each question builds the
// step's page on its own, outside any sheet (so it talks to no instrument), and looks at its
// controls or runs its data exchange.

#include <string>
#include <vector>

namespace profile {

// The baud rates step 1 offers, in its order.
std::vector<std::string> ConnectRates();
// The baud rates step 2 offers for a mode (position of its button).
std::vector<std::string> OfferedRates(int mode);
// "" when a position box of step 3 takes the value; otherwise the step's own message.
std::string FilterValueRefusal(int value);
// How many buttons step 5's group has that starts at firstButton.
int PlateChoiceCount(int firstButton);

}  // namespace profile
