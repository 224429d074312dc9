#include "framework/qt/InputGate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace framework::qt {
namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
            return true;
        default:
            return false;
    }
}

bool IsMouseButton(QEvent::Type type) {
    return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease;
}

bool IsKey(QEvent::Type type) {
    return type == QEvent::KeyPress || type == QEvent::KeyRelease;
}

// The keys that press a push button with the focus.
bool PressesButton(const QKeyEvent& key) {
    return key.key() == Qt::Key_Space || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

}  // namespace

InputGate::InputGate(std::function<bool(QObject*)> isCancel) : m_isCancel(std::move(isCancel)) {
    QCoreApplication::instance()->installEventFilter(this);
}

InputGate::~InputGate() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool InputGate::eventFilter(QObject* target, QEvent* event) {
    const QEvent::Type type = event->type();
    if (m_closed == 0 || !IsUserInput(type)) return false;
    // A click or a key reaches the screen's window first, which hands it on to the widget
    // under the mouse (or, for a release, the one pressed) or with the focus: it is judged
    // there. A press elsewhere than on Cancel stops at the window, so it moves no focus either.
    if (target->isWindowType()) {
        if (type == QEvent::MouseButtonPress) {
            const auto& mouse = static_cast<const QMouseEvent&>(*event);
            return !IsCancel(QApplication::widgetAt(mouse.globalPosition().toPoint()));
        }
        if (type == QEvent::MouseButtonRelease || IsKey(type)) return false;
    }
    if (IsKey(type)) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (key.key() == Qt::Key_Escape) return false;
        return !(PressesButton(key) && IsCancel(QApplication::focusWidget()));
    }
    return !(IsMouseButton(type) && IsCancel(target));
}

bool InputGate::IsCancel(QObject* object) const {
    return object != nullptr && m_isCancel && m_isCancel(object);
}

}  // namespace framework::qt
