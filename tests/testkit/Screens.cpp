#include "tests/testkit/Screens.h"

#include <array>
#include <cstdlib>

#include "resources/Resource.h"

namespace testkit_test {

std::string StepCaption(int step) {
    return "Veltrix Instrument Settings V 1.05  -  Step " + std::to_string(step) + " of 5";
}

int ModeButton(int mode) {
    static constexpr std::array kButtons = {IDC_MODE_VELTRIX, IDC_MODE_MORVANE, IDC_MODE_DRAVELL,
                                            IDC_MODE_OXQ};
    return kButtons.at(static_cast<std::size_t>(mode));
}

std::string LineFormat(int mode) {
    return mode == 3 ? "7 databits, 2 stop bits, even parity" : "8 databits, 1 stop bit, no parity";
}

bool NextTo(framework::WizardDriver& w, int step) {
    w.Next();
    return w.ActiveIndex() == step - 1 && w.Caption() == StepCaption(step);
}

std::vector<int> ShownFilters(const framework::WizardDriver& w) {
    std::vector<int> filters;
    for (const int box : {IDC_POS1, IDC_POS2, IDC_POS3, IDC_POS4, IDC_POS5, IDC_POS6}) {
        if (w.IsEnabled(box)) filters.push_back(std::atoi(w.Text(box).c_str()));
    }
    return filters;
}

}  // namespace testkit_test
