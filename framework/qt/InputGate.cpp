#include "framework/qt/InputGate.h"

#include <QApplication>
#include <QKeyEvent>

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

}  // namespace

InputGate::InputGate(std::function<bool(QObject*)> isCancel) : m_isCancel(std::move(isCancel)) {
    QCoreApplication::instance()->installEventFilter(this);
}

InputGate::~InputGate() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool InputGate::eventFilter(QObject* target, QEvent* event) {
    if (m_closed == 0 || !IsUserInput(event->type())) return false;
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        return false;
    }
    if (IsMouseButton(event->type()) && m_isCancel && m_isCancel(target)) return false;
    return true;
}

}  // namespace framework::qt
