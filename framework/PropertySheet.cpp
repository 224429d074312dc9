#include "framework/PropertySheet.h"

#include <algorithm>

#include "framework/Host.h"
#include "framework/Resources.h"

namespace framework {
namespace {

// The sheet's own controls: the wizard buttons in a row, then the sheet's own additions. The
// host places the row under the pages; Finish starts hidden, as the last page shows it.
DialogTemplate SheetFrame(std::vector<ControlTemplate> extraButtons) {
    DialogTemplate frame;
    const auto button = [](int id, const char* text, bool visible) {
        ControlTemplate c;
        c.id = id;
        c.kind = ControlKind::PushButton;
        c.text = text;
        c.rect = {0, 0, 50, 14};
        c.visible = visible;
        return c;
    };
    frame.controls = {button(ID_WIZBACK, "< Back", true), button(ID_WIZNEXT, "Next >", true),
                      button(ID_WIZFINISH, "Finish", false), button(IDCANCEL, "Cancel", true)};
    for (ControlTemplate& extra : extraButtons)
        frame.controls.push_back(std::move(extra));
    return frame;
}

}  // namespace

PropertySheet::PropertySheet(int captionId, Dialog* parent, int selectPage,
                             std::vector<ControlTemplate> extraButtons)
    : Dialog(SheetFrame(std::move(extraButtons))), m_captionId(captionId), m_startPage(selectPage) {
    SetParentWindow(parent);
}

PropertySheet::~PropertySheet() {
    DestroyWindow();
    for (PropertyPage* page : m_pages) {
        page->m_sheet = nullptr;
        page->SetParentWindow(nullptr);
    }
}

BOOL PropertySheet::OnInitDialog() {
    UpdateTitle();
    if (!m_pages.empty()) ActivatePage(std::clamp(m_startPage, 0, GetPageCount() - 1));
    return TRUE;
}

void PropertySheet::OnCommand(int id, Notification what) {
    if (what != Notification::Clicked) return;
    switch (id) {
        case ID_WIZNEXT:
            PressNext();
            break;
        case ID_WIZBACK:
            PressBack();
            break;
        case ID_WIZFINISH:
            PressFinish();
            break;
        case IDCANCEL:
            Close();
            break;
        default:
            break;
    }
}

void PropertySheet::DestroyWindow() {
    if (!IsCreated()) return;
    if (!m_ended) EndDialog(IDCANCEL);
    // The frame hears of its destruction before its pages, as a parent window does.
    Dialog::DestroyWindow();
    for (PropertyPage* page : m_pages)
        page->DestroyWindow();
    m_activeIndex = -1;
}

void PropertySheet::AddPage(PropertyPage* page) {
    if (page == nullptr || GetPageIndex(page) >= 0) return;
    if (page->m_sheet != nullptr) page->m_sheet->RemovePage(page);
    m_pages.push_back(page);
    page->m_sheet = this;
    page->SetParentWindow(this);
}

void PropertySheet::RemovePage(PropertyPage* page) {
    RemovePage(GetPageIndex(page));
}

void PropertySheet::RemovePage(int index) {
    PropertyPage* page = GetPage(index);
    if (page == nullptr) return;
    const bool wasActive = index == m_activeIndex;
    page->DestroyWindow();
    m_pages.erase(m_pages.begin() + index);
    page->m_sheet = nullptr;
    page->SetParentWindow(nullptr);
    if (index < m_activeIndex) --m_activeIndex;
    if (!wasActive) return;
    m_activeIndex = -1;
    if (IsCreated() && !m_pages.empty()) ActivatePage(std::min(index, GetPageCount() - 1));
    UpdateTitle();
}

PropertyPage* PropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)]
                                                : nullptr;
}

int PropertySheet::GetPageIndex(const PropertyPage* page) const {
    const auto found = std::find(m_pages.begin(), m_pages.end(), page);
    return found == m_pages.end() ? -1 : static_cast<int>(found - m_pages.begin());
}

BOOL PropertySheet::SetActivePage(int index) {
    if (GetPage(index) == nullptr) return FALSE;
    if (!IsCreated()) {
        m_startPage = index;
        return TRUE;
    }
    if (index == m_activeIndex) return TRUE;
    PropertyPage* current = GetActivePage();
    if (current != nullptr && !current->OnKillActive()) return FALSE;
    return ActivatePage(index);
}

BOOL PropertySheet::SetActivePage(PropertyPage* page) {
    return SetActivePage(GetPageIndex(page));
}

int PropertySheet::DoModal() {
    if (m_modalRunning) return -1;
    m_ended = false;
    m_result = IDCANCEL;
    m_modalRunning = true;
    Dialog* owner = GetParentWindow();
    const bool ownerWasEnabled = owner != nullptr && owner->IsWindowEnabled();
    if (ownerWasEnabled) owner->EnableWindow(false);
    Create();
    if (!m_ended) CurrentHost().RunModal(*this);
    m_modalRunning = false;
    DestroyWindow();
    if (ownerWasEnabled) owner->EnableWindow(true);
    return m_result;
}

void PropertySheet::EndDialog(int result) {
    if (m_ended) return;
    m_ended = true;
    m_result = result;
    NotifyDialogChanged(DialogChange::Ended);
}

void PropertySheet::Close() {
    EndDialog(IDCANCEL);
}

BOOL PropertySheet::ActivatePage(int index) {
    PropertyPage* page = GetPage(index);
    if (page == nullptr) return FALSE;
    PropertyPage* previous = GetActivePage();
    const int previousIndex = m_activeIndex;
    // The page counts as active while it handles its activation.
    m_activeIndex = index;
    const bool made = !page->IsCreated();
    if (made) {
        page->ShowWindow(false);
        if (!page->Create()) {
            m_activeIndex = previousIndex;
            MessageBox("The page cannot be shown: dialog template " +
                           std::to_string(page->GetTemplateId()) + " is missing.",
                       MessageIcon::Error);
            return FALSE;
        }
        if (!KeepActivatedPage(*page, previous)) {
            m_activeIndex = previousIndex;
            page->DestroyWindow();
            return FALSE;
        }
    }
    if (!page->OnSetActive()) {
        m_activeIndex = previousIndex;
        return FALSE;
    }
    if (!KeepActivatedPage(*page, previous)) {
        m_activeIndex = previousIndex;
        if (made) page->DestroyWindow();
        return FALSE;
    }
    if (previous != nullptr && previous != page) previous->ShowWindow(false);
    page->ShowWindow(true);
    UpdateTitle();
    NotifyDialogChanged(DialogChange::ActivePage);
    OnPageShown(*page);
    return TRUE;
}

bool PropertySheet::KeepActivatedPage(PropertyPage& /*page*/, PropertyPage* /*previous*/) {
    return true;
}

void PropertySheet::PressNext() {
    PropertyPage* page = GetActivePage();
    if (page == nullptr || m_activeIndex + 1 >= GetPageCount()) return;
    if (!page->OnKillActive() || !page->OnWizardNext()) return;
    ActivatePage(m_activeIndex + 1);
}

void PropertySheet::PressBack() {
    PropertyPage* page = GetActivePage();
    if (page == nullptr || m_activeIndex == 0) return;
    if (!page->OnKillActive() || !page->OnWizardBack()) return;
    ActivatePage(m_activeIndex - 1);
}

void PropertySheet::PressFinish() {
    PropertyPage* page = GetActivePage();
    if (page != nullptr && page->OnWizardFinish()) EndDialog(IDOK);
}

void PropertySheet::UpdateTitle() {
    const PropertyPage* page = GetActivePage();
    if (page != nullptr && !page->GetCaption().empty()) {
        SetCaption(page->GetCaption());
    } else {
        SetCaption(LoadString(m_captionId));
    }
}

}  // namespace framework
