#include "framework/qt/WizardWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>

#include "framework/Resources.h"
#include "framework/qt/CodePageText.h"
#include "framework/qt/ElidedText.h"
#include "framework/qt/IconImage.h"

namespace framework::qt {
namespace {

// The frame around the pages and the button row, in dialog units.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 7;
// The line of busy text between the pages and the separator.
constexpr int kBusyHeight = 9;

// The template a page is made from, also before its window exists.
const DialogTemplate* TemplateOf(const PropertyPage& page) {
    return page.IsCreated() ? &page.GetTemplate() : FindTemplate(page.GetTemplateId());
}

}  // namespace

WizardWindow::WizardWindow(PropertySheet& sheet, Activity& activity)
    : QWidget(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      m_sheet(&sheet),
      m_activity(activity),
      m_line(new QFrame(this)),
      m_busy(new QLabel(this)) {
    setObjectName(QStringLiteral("wizardWindow"));
    setAttribute(Qt::WA_QuitOnClose, false);
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        if (const DialogTemplate* t = TemplateOf(*sheet.GetPage(i))) FitPageArea(*t);
    }
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);
    m_busy->setObjectName(QStringLiteral("busyText"));
    m_busy->setTextFormat(Qt::PlainText);
    m_busy->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_busy->setWordWrap(false);
    QFont small = m_busy->font();
    if (small.pointSizeF() > 0) small.setPointSizeF(small.pointSizeF() * 0.85);
    m_busy->setFont(small);

    const DialogUnits u = Units();
    m_sheetView = new DialogView(
        sheet, activity, [this](const Control& c) { return PlaceSheetControl(c); },
        u.ToPixels(WidthUnits(), kButtonHeight), this);
    m_sheetView->setObjectName(QStringLiteral("sheetButtons"));
    m_sheetView->SetAfterInput([this] { AfterInput(); });
    m_sheetView->SetRefusedInput([this](int id) {
        if (id == IDCANCEL) RequestStop();
    });
    setWindowTitle(FromCodePage(sheet.GetCaption()));
    Layout();
    // The button that Enter would press is drawn as the default one.
    connect(qApp, &QApplication::focusChanged, this, [this] { ShowDefaultButton(); });
}

WizardWindow::~WizardWindow() {
    disconnect(qApp, nullptr, this, nullptr);
}

void WizardWindow::Detach() {
    m_sheet = nullptr;
    m_sheetView->Detach();
    for (PageView& p : m_pages)
        p.view->Detach();
    m_pages.clear();
    hide();
}

void WizardWindow::AddPage(PropertyPage& page) {
    if (m_sheet == nullptr) return;
    RemovePage(page);
    FitPageArea(page.GetTemplate());
    const DialogUnits units = Units();
    const DialogTemplate& t = page.GetTemplate();
    auto* view = new DialogView(
        page, m_activity, [units](const Control& c) { return units.ToPixels(c.Bounds()); },
        units.ToPixels(t.width, t.height), this);
    view->setObjectName(QStringLiteral("page_%1").arg(page.GetTemplateId()));
    view->SetAfterInput([this] { AfterInput(); });
    view->setVisible(page.IsWindowVisible());
    m_pages.push_back({&page, view});
    Layout();
}

void WizardWindow::RemovePage(const Dialog& page) {
    const auto found = std::find_if(m_pages.begin(), m_pages.end(),
                                    [&page](const PageView& p) { return p.page == &page; });
    if (found == m_pages.end()) return;
    found->view->Detach();
    found->view->hide();
    m_pages.erase(found);
}

DialogView* WizardWindow::ViewOf(const Dialog& dialog) const {
    if (m_sheet == nullptr) return nullptr;
    if (&dialog == m_sheet) return m_sheetView;
    for (const PageView& p : m_pages) {
        if (p.page == &dialog) return p.view;
    }
    return nullptr;
}

void WizardWindow::OnDialogChanged(Dialog& dialog, DialogChange what) {
    DialogView* view = ViewOf(dialog);
    if (view == nullptr) return;
    switch (what) {
        case DialogChange::Caption:
            if (&dialog == m_sheet) setWindowTitle(FromCodePage(dialog.GetCaption()));
            break;
        case DialogChange::Icon:
            if (&dialog == m_sheet) {
                const IconHandle icon =
                    dialog.GetIcon(true) ? dialog.GetIcon(true) : dialog.GetIcon(false);
                setWindowIcon(MakeIcon(icon));
            }
            break;
        case DialogChange::Focus:
            if (QWidget* w = view->WidgetFor(dialog.GetFocusId())) w->setFocus();
            break;
        case DialogChange::WindowVisible:
            if (&dialog != m_sheet) {
                view->setVisible(dialog.IsWindowVisible());
            } else if (m_presented) {
                setVisible(dialog.IsWindowVisible());
            }
            break;
        case DialogChange::WindowEnabled:
            (&dialog == m_sheet ? static_cast<QWidget*>(this) : view)
                ->setEnabled(dialog.IsWindowEnabled());
            break;
        case DialogChange::ActivePage:
            FocusActivePage();
            ShowDefaultButton();
            break;
        case DialogChange::Created:
        case DialogChange::Destroyed:
        case DialogChange::Ended:
            break;  // the host makes and retires windows and ends the modal run
    }
}

void WizardWindow::Present() {
    m_presented = true;
    if (m_sheet == nullptr || !m_sheet->IsWindowVisible()) return;
    show();
    raise();
    activateWindow();
    FocusActivePage();
}

void WizardWindow::ShowBusyText(const QString& text) {
    m_busyText = text;
    QString shown = text;
    if (m_activity.IsBusy() && m_activity.IsStopRequested()) {
        shown = text.isEmpty() ? QStringLiteral("Stopping after this exchange")
                               : QStringLiteral("Stopping after this exchange: ") + text;
    }
    m_busy->setToolTip(shown);
    m_busy->setText(ElideLongestWord(shown, m_busy->fontMetrics(), m_busy->width()));
}

QString WizardWindow::BusyText() const {
    return m_busy->toolTip();
}

void WizardWindow::ShowNote(const QString& text) {
    m_note = text;
    ShowBusyText(text);
}

bool WizardWindow::IsCancelButton(const QObject* object) const {
    return m_sheet != nullptr && object != nullptr && object == m_sheetView->WidgetFor(IDCANCEL);
}

void WizardWindow::RequestStop() {
    m_activity.RequestStop();
    ShowBusyText(m_busyText);
}

QWidget* WizardWindow::WidgetFor(int id) const {
    if (DialogView* page = ActivePageView()) {
        if (QWidget* w = page->WidgetFor(id)) return w;
    }
    return m_sheet != nullptr ? m_sheetView->WidgetFor(id) : nullptr;
}

DialogView* WizardWindow::ActivePageView() const {
    const PropertyPage* active = m_sheet != nullptr ? m_sheet->GetActivePage() : nullptr;
    return active != nullptr ? ViewOf(*active) : nullptr;
}

void WizardWindow::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier || m_sheet == nullptr) {
        QWidget::keyPressEvent(event);
    } else if (enter) {
        // The push button with the focus takes Enter, whichever it is (Back goes back, Cancel
        // cancels), as the platform's dialogs do; the default button only when no push button
        // has the focus.
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        if (focused != nullptr) {
            if (focused->isEnabled() && focused->isVisible()) focused->click();
        } else if (!Press(ID_WIZFINISH)) {
            Press(ID_WIZNEXT);
        }
    } else if (event->key() == Qt::Key_Escape) {
        Press(IDCANCEL);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void WizardWindow::closeEvent(QCloseEvent* event) {
    // The model decides whether the window goes; while an exchange runs it stays, and goes
    // once the exchange is over.
    event->ignore();
    if (m_sheet == nullptr) return;
    if (m_activity.IsBusy()) {
        RequestStop();
        return;
    }
    {
        Activity::Scope busy(m_activity);
        m_sheet->Close();
    }
    AfterInput();
}

void WizardWindow::Layout() {
    const DialogUnits u = Units();
    const int width = WidthUnits();
    const int busyY = kMargin + m_pageArea.height() + kMargin / 2;
    const int lineY = busyY + kBusyHeight + kMargin / 2;
    const int rowY = lineY + kMargin;
    const int height = rowY + kButtonHeight + kMargin;

    for (const PageView& p : m_pages)
        p.view->setGeometry(QRect(QPoint(u.X(kMargin), u.Y(kMargin)),
                                  u.ToPixels(m_pageArea.width(), m_pageArea.height())));
    m_line->setGeometry(u.X(kMargin), u.Y(lineY), u.X(width - 2 * kMargin), 2);
    m_sheetView->setGeometry(0, u.Y(rowY), u.X(width), u.Y(kButtonHeight));
    if (m_sheet != nullptr) {
        for (const auto& control : m_sheet->Controls()) {
            if (QWidget* w = m_sheetView->WidgetFor(*control))
                w->setGeometry(PlaceSheetControl(*control));
        }
    }
    m_busy->setGeometry(u.ToPixels(Rect{kMargin, busyY, width - 2 * kMargin, kBusyHeight}));
    setFixedSize(u.ToPixels(width, height));
}

QRect WizardWindow::PlaceSheetControl(const Control& control) const {
    const DialogUnits u = Units();
    const int width = WidthUnits();
    const int cancelX = width - kMargin - kButtonWidth;
    const int nextX = cancelX - kButtonGap - kButtonWidth;
    int x = 0;
    switch (control.Id()) {
        case IDCANCEL:
            x = cancelX;
            break;
        case ID_WIZNEXT:
        case ID_WIZFINISH:
            x = nextX;
            break;
        case ID_WIZBACK:
            x = nextX - kButtonWidth;
            break;
        default:
            return u.ToPixels(control.Bounds());
    }
    return u.ToPixels(Rect{x, 0, kButtonWidth, kButtonHeight});
}

int WizardWindow::WidthUnits() const {
    return kMargin + std::max(m_pageArea.width(), 3 * kButtonWidth + kButtonGap) + kMargin;
}

void WizardWindow::FitPageArea(const DialogTemplate& t) {
    m_pageArea = m_pageArea.expandedTo(QSize(t.width, t.height));
}

bool WizardWindow::Press(int id) {
    auto* button = qobject_cast<QAbstractButton*>(m_sheetView->WidgetFor(id));
    if (button == nullptr || button->isHidden() || !button->isEnabled()) return false;
    button->click();
    return true;
}

void WizardWindow::FocusActivePage() {
    if (!isVisible()) return;
    DialogView* page = ActivePageView();
    QWidget* target = page != nullptr ? page->FirstInputWidget() : nullptr;
    if (target == nullptr) {
        for (const int id : {ID_WIZFINISH, ID_WIZNEXT}) {
            QWidget* button = m_sheetView->WidgetFor(id);
            if (button != nullptr && !button->isHidden() && button->isEnabled()) {
                target = button;
                break;
            }
        }
    }
    if (target != nullptr) target->setFocus();
}

void WizardWindow::ShowDefaultButton() {
    if (m_sheet == nullptr) return;
    QPushButton* target = qobject_cast<QPushButton*>(focusWidget());
    for (const int id : {ID_WIZFINISH, ID_WIZNEXT}) {
        auto* button = qobject_cast<QPushButton*>(m_sheetView->WidgetFor(id));
        if (target == nullptr && button != nullptr && !button->isHidden()) target = button;
    }
    if (target == m_default) return;
    // Only the one drawn so far is looked at: the focus also moves while widgets are deleted.
    if (m_default != nullptr) m_default->setDefault(false);
    m_default = target;
    if (target != nullptr) target->setDefault(true);
}

void WizardWindow::AfterInput() {
    if (m_activity.IsBusy()) return;
    // The user asked to stop meanwhile, and the work did not take the request: Cancel now.
    if (m_sheet != nullptr && m_activity.TakeStopRequest()) {
        Activity::Scope busy(m_activity);
        m_sheet->Close();
    }
    ShowBusyText(m_note);
    m_note.clear();
}

}  // namespace framework::qt
