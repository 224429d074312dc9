#include "tests/testkit/GuiTest.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QThread>

namespace testkit_test {

void ProcessEvents() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void PressKey(QWidget& window, int key, const QString& text) {
    QWidget* target = window.focusWidget() != nullptr ? window.focusWidget() : &window;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void MouseClick(QWidget& widget) {
    const QPointF at = QRectF(widget.rect()).center();
    const QPointF global = widget.mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&widget, &release);
}

void TypeInto(QWidget& widget, const QString& text) {
    widget.setFocus();
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
    }
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

BoxAnswerer::BoxAnswerer() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Look(); });
    m_timer.start(5);
}

BoxAnswerer::~BoxAnswerer() = default;

std::vector<std::string> BoxAnswerer::Texts() const {
    std::vector<std::string> texts;
    for (const SeenBox& box : m_boxes)
        texts.push_back(box.text.toStdString());
    return texts;
}

void BoxAnswerer::Look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) return;
    const auto buttons = box->buttons();
    m_boxes.push_back(
        {box->windowTitle(), box->text(), box->icon(), box->textFormat(),
         static_cast<int>(buttons.size()),
         buttons.size() == 1 && box->standardButton(buttons.front()) == QMessageBox::Ok});
    if (m_hook) m_hook(*box);
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->reject();
    }
}

FileDialogAnswerer::FileDialogAnswerer() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Look(); });
    m_timer.start(5);
}

void FileDialogAnswerer::Look() {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    m_seen.emplace_back(dialog->windowTitle().toStdString(),
                        dialog->acceptMode() == QFileDialog::AcceptSave);
    if (m_answers.empty()) {
        dialog->reject();
        return;
    }
    dialog->selectFile(QString::fromStdString(m_answers.front()));
    m_answers.erase(m_answers.begin());
    // The dialog's own checks of the name (it exists, it may be overwritten) are the platform's,
    // not the program's: the answer is taken as given.
    static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
}

}  // namespace testkit_test
