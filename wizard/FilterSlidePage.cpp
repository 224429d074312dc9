#include "wizard/FilterSlidePage.h"

#include <algorithm>
#include <array>
#include <initializer_list>

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Resources.h"
#include "resources/Resource.h"
#include "support/Clock.h"
#include "support/ValueString.h"
#include "wizard/StepRead.h"

namespace {

constexpr std::array kPositionBoxes = {IDC_POS1, IDC_POS2, IDC_POS3, IDC_POS4, IDC_POS5, IDC_POS6};

// While the slide-kind reply is empty the step reads again once a second; an instrument that
// stays silent must not hold the window for ever, so it gives up after this many reads.
constexpr int kSlideKindRereads = 30;
constexpr int kSlideKindRereadPauseMs = 1000;

// Fills each "%d" of format with the next value; "%%" stays a single '%'. Any other sequence
// is copied as it is, so a format text can never read beyond the values given.
std::string FormatIntegers(const std::string& format, std::initializer_list<int> values) {
    std::string out;
    auto next = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size()) {
            if (format[i + 1] == 'd' && next != values.end()) {
                out += std::to_string(*next++);
                ++i;
                continue;
            }
            if (format[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += format[i];
    }
    return out;
}

// Where the table reply separates its numbers: '-' or '/' found after the first character
// (a leading '-' is a sign), else blanks.
char SeparatorOf(const std::string& table) {
    if (table.find('-', 1) != std::string::npos) return '-';
    if (table.find('/', 1) != std::string::npos) return '/';
    return ' ';
}

}  // namespace

FilterSlidePage::FilterSlidePage() : WizardPage(IDD_FILTER_SLIDE) {}

void FilterSlidePage::DoDataExchange(framework::DataExchange& dx) {
    dx.Integer(IDC_POS1, m_nPos1, 0, 999);
    dx.Integer(IDC_POS2, m_nPos2, 0, 999);
    dx.Integer(IDC_POS3, m_nPos3, 0, 999);
    dx.Integer(IDC_POS4, m_nPos4, 0, 999);
    dx.Integer(IDC_POS5, m_nPos5, 0, 999);
    dx.Integer(IDC_POS6, m_nPos6, 0, 999);
}

std::string FilterSlidePage::ReadSlideKind() {
    ValueString kind(Exchange(device::command::kFilterSlideKind));
    // The instrument may need a while to look at the slide; ask it again now and then.
    for (int reread = 0; kind.text.empty() && reread < kSlideKindRereads; ++reread) {
        support::CurrentClock().Sleep(kSlideKindRereadPauseMs);
        kind.text = ReadNextReply();
    }
    kind.RemoveAllChar('+');
    return kind.text;
}

void FilterSlidePage::ReadFilterSlide() {
    StepRead read(GetParentSheet(), "filters");
    const std::string code = ConnectedTypeCode();
    const bool oxq = code == device::kTypeOxq;
    const std::string kind = oxq ? ReadSlideKind() : std::string();

    ValueString table(Exchange(code == device::kTypeVeltrix ? device::command::kFilterTableVeltrix
                                                            : device::command::kFilterTable));
    const char separator = SeparatorOf(table.text);
    std::array<ValueString, 6> tokens;
    for (ValueString& token : tokens)
        token = table.TakeHeadByChar(separator);
    std::array<int*, 6> positions = {&m_nPos1, &m_nPos2, &m_nPos3, &m_nPos4, &m_nPos5, &m_nPos6};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        *positions[i] = std::max(tokens[i].ToInt(), 0);
    }

    bool fourPresent = !tokens[2].text.empty();
    bool sixPresent = !tokens[4].text.empty();
    if (oxq) {
        // The OXQ emulation says by the slide kind whether positions 5 and 6 exist at all.
        const char first = kind.empty() ? '\0' : kind.front();
        sixPresent = first == 'I';
        if (first == '?') {
            ClearTable();
            fourPresent = false;
        } else if (!sixPresent) {
            m_nPos5 = 0;
            m_nPos6 = 0;
        }
    }
    for (std::size_t i = 0; i < kPositionBoxes.size(); ++i) {
        EnableControl(kPositionBoxes[i], i < 4 ? fourPresent : sixPresent);
    }
    const std::size_t present = sixPresent && fourPresent ? 6 : fourPresent ? 4 : 0;
    DescribeFilters(read.Failure(), present);
}

void FilterSlidePage::DescribeFilters(const engine::Exchange* failure, std::size_t present) {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    if (sheet == nullptr) return;
    engine::SettingRead<std::vector<int>>& filters = sheet->Settings().filters;
    if (failure != nullptr) {
        filters.SetFailed(*failure);
    } else if (present == 0) {
        filters.SetNotHeld(engine::kNoFilterSlide);
    } else {
        const std::array positions = {m_nPos1, m_nPos2, m_nPos3, m_nPos4, m_nPos5, m_nPos6};
        filters.SetRead(std::vector<int>(positions.begin(),
                                         positions.begin() + static_cast<std::ptrdiff_t>(present)));
    }
}

void FilterSlidePage::ClearTable() {
    m_nPos1 = m_nPos2 = m_nPos3 = m_nPos4 = m_nPos5 = m_nPos6 = 0;
}

void FilterSlidePage::ReadFilterRange() {
    ValueString range(Exchange(device::command::kFilterRange));
    if (range.text == "-") return;
    // "min-max"; a part that is no integer keeps the value held so far.
    const ValueString head = range.TakeHeadByChar('-');
    if (head.IsInteger()) m_nFilterMin = head.ToInt();
    const ValueString tail = range.TakeTailByChar('-');
    if (tail.IsInteger()) m_nFilterMax = tail.ToInt();
}

BOOL FilterSlidePage::OnInitDialog() {
    {
        // The range the positions are checked against belongs to the read as well.
        StepRead read(GetParentSheet(), "filters", StepRead::Tells);
        ReadFilterSlide();
        m_bFilterSlideChanged = 0;
        ReadFilterRange();
        if (const engine::Exchange* failure = read.Failure()) DescribeFilters(failure, 0);
        read.Tell("the filter slide");
    }
    // Positions 5 and 6 are always on screen; whether they can be edited follows the slide.
    for (const int id : {IDC_POS56_GROUP, IDC_POS5_LABEL, IDC_POS5, IDC_POS6_LABEL, IDC_POS6}) {
        ShowControl(id);
    }
    return WizardPage::OnInitDialog();
}

void FilterSlidePage::OnCommand(int id, framework::Notification what) {
    if (what == framework::Notification::Clicked) {
        if (id == IDC_SLIDE_IN) OnSlideIn();
        if (id == IDC_SLIDE_OUT) OnSlideOut();
        return;
    }
    const bool positionBox =
        std::find(kPositionBoxes.begin(), kPositionBoxes.end(), id) != kPositionBoxes.end();
    if (what == framework::Notification::Changed && positionBox) OnFilterChanged();
}

void FilterSlidePage::OnSlideIn() {
    Exchange(device::command::kFilterSlideIn);
    ReadFilterSlide();
    UpdateData(FALSE);
    m_bFilterSlideChanged = 0;
}

void FilterSlidePage::OnSlideOut() {
    const std::string code = ConnectedTypeCode();
    Exchange(device::command::kFilterSlideOut);
    if (code == device::kTypeOxq) {
        // In the OXQ emulation the slide counts as gone once it is out: no table to read.
        ClearTable();
        for (const int id : kPositionBoxes)
            EnableControl(id, false);
    } else {
        ReadFilterSlide();
    }
    UpdateData(FALSE);
    m_bFilterSlideChanged = 0;
}

void FilterSlidePage::OnFilterChanged() {
    m_bFilterSlideChanged = 1;
}

BOOL FilterSlidePage::OnKillActive() {
    if (!WizardPage::OnKillActive()) return FALSE;
    // Disabled positions count too: the whole table is written when it was edited.
    const std::array positions = {m_nPos1, m_nPos2, m_nPos3, m_nPos4, m_nPos5, m_nPos6};
    BOOL ok = TRUE;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const int value = positions[i];
        if (value != 0 && (value < m_nFilterMin || value > m_nFilterMax)) {
            framework::MessageBox(
                FormatIntegers(framework::LoadString(IDS_FILTER_OUT_OF_RANGE),
                               {m_nFilterMin, m_nFilterMax, static_cast<int>(i) + 1}));
            ok = FALSE;
        }
    }
    return ok;
}
