#include "profile/PageRules.h"

#include "framework/RecordingHost.h"
#include "resources/Resource.h"
#include "wizard/ConnectPage.h"
#include "wizard/FilterSlidePage.h"
#include "wizard/InstrumentModePage.h"
#include "wizard/PlateMovementPage.h"

namespace profile {
namespace {

std::vector<std::string> ItemsOf(const framework::Dialog& page, int id) {
    std::vector<std::string> items;
    for (int i = 0; i < page.GetListCount(id); ++i)
        items.push_back(page.GetListItemText(id, i));
    return items;
}

}  // namespace

std::vector<std::string> ConnectRates() {
    ConnectPage page;
    page.Create();
    return ItemsOf(page, IDC_BAUDRATE);
}

std::vector<std::string> OfferedRates(int mode) {
    InstrumentModePage page;
    page.Create();
    page.m_nMode = mode;
    page.FillBaudRateList();
    return ItemsOf(page, IDC_BAUDRATE);
}

std::string FilterValueRefusal(int value) {
    // The page's data exchange shows its message in a box; keep it instead.
    framework::RecordingHost host;
    framework::ScopedHost use(host);
    FilterSlidePage page;
    page.Create();
    page.SetControlText(IDC_POS1, std::to_string(value));
    if (page.UpdateData(TRUE)) return {};
    return host.Boxes().empty() ? std::string("refused") : host.Boxes().back().text;
}

int PlateChoiceCount(int firstButton) {
    PlateMovementPage page;
    page.Create();
    return static_cast<int>(page.RadioGroupOf(firstButton).size());
}

}  // namespace profile
