#include "framework/qt/QtHost.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "framework/Ids.h"
#include "framework/PropertySheet.h"
#include "framework/qt/CodePageText.h"

namespace framework::qt {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return QMessageBox::NoIcon;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::Warning;
}

// A box whose lines stay whole up to half the screen's width: the base breaks a text wider
// than 500 pixels wherever a blank falls ("at position" | "1 !"). A label at least as wide as
// its longest line keeps every line whole.
class WholeLineBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* event) override {
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label != nullptr && screen() != nullptr) {
            label->ensurePolished();
            int longest = 0;
            for (const QString& line : label->text().split(QLatin1Char('\n')))
                longest = std::max(longest, label->fontMetrics().horizontalAdvance(line) + 1);
            if (longest <= screen()->availableGeometry().width() / 2) {
                label->setMinimumWidth(longest);
            }
        }
        QMessageBox::showEvent(event);
    }
};

}  // namespace

QtHost::QtHost()
    : m_gate([this](QObject* target) {
          return std::any_of(m_windows.begin(), m_windows.end(),
                             [target](const auto& w) { return w->IsCancelButton(target); });
      }) {}

QtHost::~QtHost() {
    for (auto& window : m_windows)
        window->Detach();
}

void QtHost::RunModal(PropertySheet& sheet) {
    WizardWindow* window = WindowOf(sheet);
    // Without a window nobody could answer the sheet: it counts as cancelled.
    if (window == nullptr || sheet.IsEnded() || m_quitRequested) return;
    QEventLoop loop;
    m_runs.push_back({&sheet, &loop});
    window->Present();
    loop.exec();
    m_runs.pop_back();
}

int QtHost::ShowMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
    Activity::Scope busy(m_activity);
    WizardWindow* owner = CurrentWindow();
    // While the box is up the program waits for the user, not for the line.
    if (owner != nullptr) owner->ShowBusyText(QString());
    if (owner != nullptr && !owner->isVisible()) owner = nullptr;
    WholeLineBox box(BoxIcon(icon), FromCodePage(caption), FromCodePage(text), QMessageBox::Ok,
                     owner);
    // Texts may come from the instrument: never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setObjectName(QStringLiteral("messageBox"));
    // The box waits for the user, so it shows the normal cursor even while the program is busy.
    const bool busyCursor = m_cursorDepth > 0;
    if (busyCursor) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    if (busyCursor) QGuiApplication::restoreOverrideCursor();
    return IDOK;
}

void QtHost::BeginWaitCursor() {
    if (m_cursorDepth++ == 0) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtHost::EndWaitCursor() {
    // An end without a begin is ignored rather than taking away someone else's cursor.
    if (m_cursorDepth == 0) return;
    if (--m_cursorDepth == 0) QGuiApplication::restoreOverrideCursor();
}

void QtHost::RepaintWhileWaiting() {
    Activity::Scope busy(m_activity);
    // Input is taken off the queue and dropped now: held back, it would be carried out once
    // the wait is over, long after the user gave it.
    InputGate::Closed closed(m_gate);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::Quit() {
    m_quitRequested = true;
    for (const ModalRun& run : m_runs)
        run.loop->exit();
    for (QEventLoop* wait : m_waits)
        wait->exit();
}

bool QtHost::TakeStopRequest() {
    return m_activity.TakeStopRequest();
}

void QtHost::ShowNote(const std::string& text) {
    if (WizardWindow* window = CurrentWindow()) window->ShowNote(FromCodePage(text));
}

std::string QtHost::AskFileName(const FileDialogRequest& request) {
    Activity::Scope busy(m_activity);
    WizardWindow* owner = CurrentWindow();
    if (owner != nullptr && !owner->isVisible()) owner = nullptr;
    QFileDialog dialog(owner, FromCodePage(request.title));
    dialog.setObjectName(QStringLiteral("fileDialog"));
    const bool save = request.kind == FileDialogKind::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters({FromCodePage(request.filterName) + QStringLiteral(" (") +
                               QString::fromStdString(request.pattern) + QStringLiteral(")"),
                           QStringLiteral("All files (*)")});
    if (!request.defaultSuffix.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

void QtHost::OnControlChanged(Control& control, ControlChange what) {
    for (const auto& window : m_windows) {
        if (DialogView* view = window->ViewOf(control.Owner())) {
            view->Mirror(control, what);
            return;
        }
    }
}

void QtHost::OnDialogChanged(Dialog& dialog, DialogChange what) {
    switch (what) {
        case DialogChange::Created:
            if (auto* sheet = dynamic_cast<PropertySheet*>(&dialog)) {
                MakeWindow(*sheet);
            } else if (auto* page = dynamic_cast<PropertyPage*>(&dialog);
                       page != nullptr && page->GetParent() != nullptr) {
                if (WizardWindow* window = WindowOf(*page->GetParent())) window->AddPage(*page);
            }
            return;
        case DialogChange::Destroyed:
            // Matched by address: from a base destructor the dynamic type is lost.
            RetireWindow(dialog);
            for (const auto& window : m_windows)
                window->RemovePage(dialog);
            return;
        case DialogChange::Ended:
            for (const ModalRun& run : m_runs) {
                if (run.sheet == &dialog) run.loop->exit();
            }
            return;
        default:
            break;
    }
    for (const auto& window : m_windows) {
        if (window->ViewOf(dialog) != nullptr) window->OnDialogChanged(dialog, what);
    }
}

void QtHost::ShowBusyText(const std::string& text) {
    if (WizardWindow* window = CurrentWindow()) window->ShowBusyText(FromCodePage(text));
}

bool QtHost::WaitUntil(const std::function<bool()>& done, int pollMs) {
    if (m_quitRequested) return false;
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.exit();
    });
    poll.start(std::max(pollMs, 1));
    m_waits.push_back(&loop);
    loop.exec();
    m_waits.pop_back();
    return !m_quitRequested;
}

WizardWindow* QtHost::WindowOf(const Dialog& sheet) const {
    for (const auto& window : m_windows) {
        if (window->Sheet() == &sheet) return window.get();
    }
    return nullptr;
}

WizardWindow* QtHost::ModalWindow() const {
    return m_runs.empty() ? nullptr : WindowOf(*m_runs.back().sheet);
}

WizardWindow* QtHost::CurrentWindow() const {
    if (WizardWindow* window = ModalWindow()) return window;
    return m_windows.empty() ? nullptr : m_windows.back().get();
}

void QtHost::MakeWindow(PropertySheet& sheet) {
    if (WindowOf(sheet) != nullptr) return;
    m_windows.push_back(std::make_unique<WizardWindow>(sheet, m_activity));
}

void QtHost::RetireWindow(const Dialog& sheet) {
    const auto found = std::find_if(m_windows.begin(), m_windows.end(),
                                    [&sheet](const auto& w) { return w->Sheet() == &sheet; });
    if (found == m_windows.end()) return;
    (*found)->Detach();
    m_retired.push_back(std::move(*found));
    m_windows.erase(found);
    m_activity.RunWhenIdle([this] { m_retired.clear(); });
}

}  // namespace framework::qt
