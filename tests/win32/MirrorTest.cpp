// The Win32 window shows what the model holds, control by control for every page of the
// wizard, and only the user's input reaches the model.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/PropertySheet.h"
#include "framework/win32/Win32Host.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "tests/win32/Win32Kit.h"

namespace win32_test {
namespace {

using framework::ControlKind;

// The five step templates in a sheet of plain pages: no step logic, just the controls.
class TemplateSheet : public framework::PropertySheet {
public:
    TemplateSheet() : PropertySheet(IDS_SHEET_CAPTION) {
        for (auto& page : pages)
            AddPage(&page);
        SetWizardMode();
    }
    ~TemplateSheet() override { DestroyWindow(); }

    framework::PropertyPage pages[5] = {
        framework::PropertyPage(IDD_CONNECT), framework::PropertyPage(IDD_INSTRUMENT_MODE),
        framework::PropertyPage(IDD_FILTER_SLIDE), framework::PropertyPage(IDD_MEASUREMENT_MODE),
        framework::PropertyPage(IDD_PLATE_MOVEMENT)};
};

// What a user of each kind of control meets, as the system reports it.
struct Expected {
    ControlKind kind;
    const char* windowClass;
    DWORD typeMask;
    DWORD type;
    bool tabStop;  // for radio buttons: the group's one stop
};

constexpr Expected kExpected[] = {
    {ControlKind::Label, "Static", SS_TYPEMASK, SS_LEFT, false},
    {ControlKind::GroupBox, "Button", BS_TYPEMASK, BS_GROUPBOX, false},
    {ControlKind::PushButton, "Button", BS_TYPEMASK, BS_PUSHBUTTON, true},
    {ControlKind::RadioButton, "Button", BS_TYPEMASK, BS_AUTORADIOBUTTON, false},
    {ControlKind::EditBox, "Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL, true},
    {ControlKind::DropDownList, "ComboBox", CBS_DROPDOWNLIST, CBS_DROPDOWNLIST, true},
};

const Expected& ExpectedOf(ControlKind kind) {
    for (const Expected& e : kExpected) {
        if (e.kind == kind) return e;
    }
    return kExpected[0];
}

class MirrorTest : public testing::Test {
protected:
    MirrorTest() {
        resources::RegisterResources();
        sheet = std::make_unique<TemplateSheet>();
        sheet->Create();
        window = host.WindowOf(*sheet);
        if (window == nullptr) throw std::runtime_error("the sheet has no window");
        window->Present();
        Pump(window->Frame());
    }

    framework::PropertyPage& Page(int index) { return sheet->pages[index]; }
    HWND Of(int index, int id) { return window->ViewOf(Page(index))->WindowFor(id); }
    void Activate(int index) {
        ASSERT_TRUE(sheet->SetActivePage(index));
        Pump(window->Frame());
    }

    framework::win32::Win32Host host;
    framework::ScopedHost use{host};
    std::unique_ptr<TemplateSheet> sheet;
    framework::win32::WizardWindow* window = nullptr;
};

TEST_F(MirrorTest, EveryControlOfEveryTemplateIsMadeAsTheTemplateSays) {
    for (int index = 0; index < 5; ++index) {
        SCOPED_TRACE(index + 1);
        Activate(index);
        framework::PropertyPage& page = Page(index);
        framework::win32::DialogView* view = window->ViewOf(page);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(TextOf(window->Frame()), "Veltrix Instrument Settings V 1.05  -  Step " +
                                               std::to_string(index + 1) + " of 5");
        EXPECT_TRUE(IsWindowVisible(view->Window()));
        const HFONT font = reinterpret_cast<HFONT>(SendMessageA(view->Window(), WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        for (const auto& control : page.Controls()) {
            SCOPED_TRACE(control->Id());
            HWND w = view->WindowFor(*control);
            ASSERT_NE(w, nullptr);
            const Expected& want = ExpectedOf(control->Kind());
            const LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
            EXPECT_EQ(ClassOf(w), want.windowClass);
            DWORD type = want.type;
            if (control->Kind() == ControlKind::Label && control->IsCentred()) type = SS_CENTER;
            EXPECT_EQ(static_cast<DWORD>(style) & want.typeMask, type);
            if (control->Kind() != ControlKind::RadioButton) {
                EXPECT_EQ((style & WS_TABSTOP) != 0, want.tabStop);
            }
            EXPECT_EQ((style & WS_GROUP) != 0, control->IsGroupStart());
            if (control->Kind() == ControlKind::Label) {
                EXPECT_NE(style & SS_NOPREFIX, 0);
            }
            EXPECT_EQ(GetDlgCtrlID(w),
                      control->Id() == framework::IDC_STATIC ? 0xFFFF : control->Id());
            if (control->Kind() != ControlKind::DropDownList) {
                EXPECT_EQ(TextOf(w), control->Text());
            }
            EXPECT_EQ((style & WS_VISIBLE) != 0, control->IsVisible());
            EXPECT_EQ(IsWindowEnabled(w) != 0, control->IsEnabled());
            // Dialog units through the page's own font, as the dialog manager maps them.
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(w, WM_GETFONT, 0, 0)), font);
            const framework::Rect& b = control->Bounds();
            RECT want_r{b.x, b.y, b.x + b.w, b.y + b.h};
            MapDialogRect(view->Window(), &want_r);
            const RECT got = PlaceOf(w);
            EXPECT_EQ(got.left, want_r.left);
            EXPECT_EQ(got.top, want_r.top);
            EXPECT_EQ(got.right, want_r.right);
            if (control->Kind() == ControlKind::DropDownList) {
                // Closed, the box is one line; opened, its list shows several items.
                RECT open{};
                SendMessageA(w, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open));
                EXPECT_GT(open.bottom - open.top, 3 * (want_r.bottom - want_r.top));
            } else {
                EXPECT_EQ(got.bottom, want_r.bottom);
            }
        }
    }
}

// The base units are the font's: the average width of the 52 letters, and its height.
TEST_F(MirrorTest, DialogUnitsComeFromTheFontSelectedIntoTheDialog) {
    HWND page = window->ViewOf(Page(0))->Window();
    HDC dc = GetDC(page);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(page, WM_GETFONT, 0, 0)));
    SIZE letters{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(page, dc);
    RECT unit{0, 0, 4, 8};
    MapDialogRect(page, &unit);
    EXPECT_EQ(unit.right, (letters.cx / 26 + 1) / 2);
    EXPECT_EQ(unit.bottom, metrics.tmHeight);
    EXPECT_GE(unit.right, 5) << "a font of real size";
}

TEST_F(MirrorTest, ProgramChangesReachTheWindowsWithoutComingBackAsInput) {
    Activate(2);
    framework::PropertyPage& page = Page(2);
    page.SetControlText(IDC_POS1, "430");
    page.ShowControl(IDC_POS5, true);
    page.EnableControl(IDC_POS2, false);
    EXPECT_EQ(TextOf(Of(2, IDC_POS1)), "430");
    EXPECT_TRUE(IsWindowVisible(Of(2, IDC_POS5)));
    EXPECT_FALSE(IsWindowEnabled(Of(2, IDC_POS2)));
    page.ShowControl(IDC_POS5, false);
    EXPECT_FALSE(IsWindowVisible(Of(2, IDC_POS5)));

    Activate(0);
    framework::PropertyPage& connect = Page(0);
    connect.ResetList(IDC_BAUDRATE);
    for (const char* item : {"38400", "19200", "9600"})
        connect.AddListItem(IDC_BAUDRATE, item);
    connect.SelectListItem(IDC_BAUDRATE, 2);
    HWND box = Of(0, IDC_BAUDRATE);
    EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 2);

    Activate(3);
    framework::PropertyPage& measurement = Page(3);
    measurement.CheckRadio(IDC_ACCURACY, true);
    EXPECT_EQ(SendMessageA(Of(3, IDC_ACCURACY), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(Of(3, IDC_NORMAL), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    // One Tab stop per radio group: the checked button.
    EXPECT_NE(GetWindowLongPtrA(Of(3, IDC_ACCURACY), GWL_STYLE) & WS_TABSTOP, 0);
    EXPECT_EQ(GetWindowLongPtrA(Of(3, IDC_NORMAL), GWL_STYLE) & WS_TABSTOP, 0);
    // The sheet's buttons too, and the title.
    sheet->EnableControl(framework::ID_WIZBACK, false);
    EXPECT_FALSE(IsWindowEnabled(window->WindowFor(framework::ID_WIZBACK)));
    sheet->SetCaption("Another title");
    EXPECT_EQ(TextOf(window->Frame()), "Another title");
}

TEST_F(MirrorTest, TheUsersInputReachesTheModel) {
    Activate(3);
    Click(Of(3, IDC_CENTER));
    EXPECT_TRUE(Page(3).IsRadioChecked(IDC_CENTER));
    EXPECT_FALSE(Page(3).IsRadioChecked(IDC_NORMAL));
    Click(Of(3, IDC_NORMAL));
    EXPECT_TRUE(Page(3).IsRadioChecked(IDC_NORMAL));
    EXPECT_FALSE(Page(3).IsRadioChecked(IDC_CENTER));
    EXPECT_EQ(SendMessageA(Of(3, IDC_CENTER), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    Activate(2);
    TypeText(Of(2, IDC_POS1), "492");
    EXPECT_EQ(Page(2).GetControlText(IDC_POS1), "492");

    Activate(0);
    Page(0).ResetList(IDC_BAUDRATE);
    Page(0).AddListItem(IDC_BAUDRATE, "9600");
    Page(0).AddListItem(IDC_BAUDRATE, "4800");
    Choose(Of(0, IDC_BAUDRATE), 1);
    EXPECT_EQ(Page(0).GetListSelection(IDC_BAUDRATE), 1);

    // A control that the model disabled takes nothing, and the window goes back to the model.
    Activate(2);
    Page(2).EnableControl(IDC_POS2, false);
    const std::string before = Page(2).GetControlText(IDC_POS2);
    TypeText(Of(2, IDC_POS2), "999");
    EXPECT_EQ(Page(2).GetControlText(IDC_POS2), before);
    EXPECT_EQ(TextOf(Of(2, IDC_POS2)), before);
}

TEST_F(MirrorTest, NextBackAndCancelAreTheSheetsButtons) {
    const struct {
        int id;
        const char* text;
    } buttons[] = {{framework::ID_WIZBACK, "< Back"},
                   {framework::ID_WIZNEXT, "Next >"},
                   {framework::ID_WIZFINISH, "Finish"},
                   {framework::IDCANCEL, "Cancel"}};
    for (const auto& b : buttons) {
        HWND w = GetDlgItem(window->Frame(), b.id);
        ASSERT_NE(w, nullptr) << b.id;
        EXPECT_EQ(TextOf(w), b.text);
    }
    Click(GetDlgItem(window->Frame(), framework::ID_WIZNEXT));
    EXPECT_EQ(sheet->GetActiveIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(window->ViewOf(Page(1))->Window()));
    EXPECT_FALSE(IsWindowVisible(window->ViewOf(Page(0))->Window()));
    // Enter presses the default button: Next, as long as Finish does not show.
    EXPECT_EQ(LOWORD(SendMessageA(window->Frame(), DM_GETDEFID, 0, 0)), framework::ID_WIZNEXT);
    Click(GetDlgItem(window->Frame(), framework::ID_WIZBACK));
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    PressKey(window->Frame(), VK_ESCAPE);
    EXPECT_TRUE(sheet->IsEnded());
    EXPECT_EQ(sheet->GetResult(), framework::IDCANCEL);
}

// The platform's dialog keys: Enter presses the push button with the focus (Back goes back),
// else the default button; Tab stops once in a radio group, at its checked button.
TEST_F(MirrorTest, EnterPressesTheFocusedPushButtonElseTheDefaultOne) {
    Click(GetDlgItem(window->Frame(), framework::ID_WIZNEXT));
    ASSERT_EQ(sheet->GetActiveIndex(), 1);
    HWND back = GetDlgItem(window->Frame(), framework::ID_WIZBACK);
    SendMessageA(window->Frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(back), TRUE);
    PressKey(window->Frame(), VK_RETURN);
    EXPECT_EQ(sheet->GetActiveIndex(), 0);
    // On a list, Enter is the default button's: Next.
    SendMessageA(window->Frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Of(0, IDC_PORT)), TRUE);
    PressKey(window->Frame(), VK_RETURN);
    EXPECT_EQ(sheet->GetActiveIndex(), 1);

    Activate(3);
    Page(3).CheckRadio(IDC_CENTER, true);
    SendMessageA(window->Frame(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Of(3, IDC_CENTER)), TRUE);
    ASSERT_EQ(GetFocus(), Of(3, IDC_CENTER));
    // The arrow keys move the selection within the group, as the user sees it and the model.
    PressKey(window->Frame(), VK_UP);
    EXPECT_EQ(GetFocus(), Of(3, IDC_ACCURACY));
    EXPECT_TRUE(Page(3).IsRadioChecked(IDC_ACCURACY));
    EXPECT_FALSE(Page(3).IsRadioChecked(IDC_CENTER));
}

}  // namespace
}  // namespace win32_test
