#include "framework/qt/DialogView.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "framework/qt/CodePageText.h"
#include "framework/qt/ControlWidgets.h"

namespace framework::qt {

namespace {

// Pixels kept free inside a group box's frame and before the next control.
constexpr int kFrameInset = 4;
constexpr int kGap = 2;

bool Usable(const Control& control) {
    return control.IsEnabled() && control.IsVisible();
}

}  // namespace

DialogView::DialogView(Dialog& dialog, Activity& activity, Placement place, QSize area,
                       QWidget* parent)
    : QWidget(parent), m_dialog(&dialog), m_activity(activity), m_area(area) {
    for (const auto& control : dialog.Controls()) {
        QWidget* widget = CreateControlWidget(*control, this);
        QRect where = place(*control);
        // A drop-down list's template height includes its opened list; closed, it is one line.
        if (control->Kind() == ControlKind::DropDownList) {
            where.setHeight(widget->sizeHint().height());
        }
        widget->setGeometry(where);
        Connect(*control, *widget);
        m_entries.push_back({control.get(), control->Kind(), widget, where});
    }
    for (const Entry& entry : m_entries)
        FitText(entry);
    // Group boxes only frame other controls: below them, they must not take their clicks.
    for (const Entry& entry : m_entries) {
        if (entry.control->Kind() == ControlKind::GroupBox) entry.widget->lower();
        if (entry.kind == ControlKind::RadioButton) entry.widget->installEventFilter(this);
    }
    UpdateTabStops();
}

void DialogView::Detach() {
    m_dialog = nullptr;
    for (Entry& entry : m_entries)
        entry.control = nullptr;
}

QWidget* DialogView::WidgetFor(int id) const {
    if (id == IDC_STATIC) return nullptr;
    for (const Entry& entry : m_entries) {
        if (entry.control != nullptr && entry.control->Id() == id) return entry.widget;
    }
    return nullptr;
}

QWidget* DialogView::WidgetFor(const Control& control) const {
    return Find(&control);
}

QWidget* DialogView::Find(const Control* control) const {
    // Compared as an address only: after Detach the control may no longer exist.
    if (control == nullptr) return nullptr;
    for (const Entry& entry : m_entries) {
        if (entry.control == control) return entry.widget;
    }
    return nullptr;
}

void DialogView::Mirror(const Control& control, ControlChange what) {
    for (const Entry& entry : m_entries) {
        if (entry.control != &control) continue;
        MirrorControl(*entry.widget, control, what);
        if (what == ControlChange::Text) FitText(entry);
        if (entry.kind == ControlKind::RadioButton && what != ControlChange::Text) {
            UpdateTabStops();
        }
        return;
    }
}

QWidget* DialogView::FirstInputWidget() const {
    for (const Entry& entry : m_entries) {
        QWidget* w = entry.widget;
        if (qobject_cast<QPushButton*>(w) != nullptr) continue;
        if ((w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled() && !w->isHidden()) return w;
    }
    return nullptr;
}

void DialogView::FitText(const Entry& entry) {
    QWidget& widget = *entry.widget;
    int needed = 0;
    if (entry.kind == ControlKind::RadioButton || entry.kind == ControlKind::PushButton) {
        needed = widget.sizeHint().width();
    } else if (auto* label = qobject_cast<QLabel*>(&widget);
               label != nullptr && !(label->alignment() & Qt::AlignHCenter) &&
               entry.placed.height() < 2 * label->fontMetrics().height()) {
        needed = label->fontMetrics().horizontalAdvance(label->text()) + 1;
    } else {
        return;
    }
    QRect where = entry.placed;
    if (needed > where.width()) {
        where.setWidth(std::max(where.width(), std::min(needed, RightLimit(entry) - where.x())));
    }
    widget.setGeometry(where);
}

int DialogView::RightLimit(const Entry& entry) const {
    const QRect& at = entry.placed;
    int limit = m_area.width();
    for (const Entry& other : m_entries) {
        if (&other == &entry) continue;
        const QRect& o = other.placed;
        if (other.kind == ControlKind::GroupBox) {
            if (o.contains(at)) limit = std::min(limit, o.x() + o.width() - kFrameInset);
        } else if (o.top() <= at.bottom() && o.bottom() >= at.top() &&
                   o.left() >= at.x() + at.width()) {
            limit = std::min(limit, o.left() - kGap);
        }
    }
    return limit;
}

void DialogView::Connect(const Control& control, QWidget& widget) {
    // The id is taken now: the control may be gone by the time a late signal arrives.
    const Control* c = &control;
    const int id = control.Id();
    if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
        // textEdited fires for the user's typing only, never for the mirror's setText.
        connect(edit, &QLineEdit::textEdited, this, [this, c, id](const QString& text) {
            Deliver(c, [id, bytes = ToCodePage(text)](Dialog& d) { d.TypeText(id, bytes); });
        });
    } else if (auto* box = qobject_cast<QComboBox*>(&widget)) {
        connect(box, &QComboBox::activated, this, [this, c, id](int index) {
            Deliver(c, [id, index](Dialog& d) { d.SelectItem(id, index); });
        });
    } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, c, id] { Deliver(c, [id](Dialog& d) { d.Click(id); }); });
    }
}

void DialogView::Deliver(const Control* control, const std::function<void(Dialog&)>& input) {
    QWidget* widget = Find(control);
    if (m_dialog == nullptr || widget == nullptr) return;
    // Input that reaches a widget while the program is busy (waiting on the line, or inside
    // another input) would run a page's handler inside another one: it is not taken.
    if (m_activity.IsBusy()) {
        MirrorAll(*widget, *control);
        if (m_refusedInput) m_refusedInput(control->Id());
        return;
    }
    {
        Activity::Scope busy(m_activity);
        input(*m_dialog);
    }
    // The view may have been detached meanwhile; then the control is gone too.
    if (QWidget* still = Find(control)) MirrorAll(*still, *control);
    if (m_afterInput) m_afterInput();
}

void DialogView::UpdateTabStops() {
    if (m_dialog == nullptr) return;
    for (const Entry& entry : m_entries) {
        if (entry.kind != ControlKind::RadioButton || entry.control == nullptr) continue;
        const std::vector<Control*> group = m_dialog->RadioGroupOf(entry.control->Id());
        const auto checked = std::find_if(group.begin(), group.end(), [](const Control* c) {
            return c->IsChecked() && Usable(*c);
        });
        const auto stop = checked != group.end()
                              ? checked
                              : std::find_if(group.begin(), group.end(),
                                             [](const Control* c) { return Usable(*c); });
        const bool isStop = stop != group.end() && *stop == entry.control;
        entry.widget->setFocusPolicy(isStop ? Qt::StrongFocus : Qt::ClickFocus);
    }
}

bool DialogView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || m_dialog == nullptr) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    int step = 0;
    switch (key.key()) {
        case Qt::Key_Up:
        case Qt::Key_Left:
            step = -1;
            break;
        case Qt::Key_Down:
        case Qt::Key_Right:
            step = 1;
            break;
        default:
            return false;
    }
    for (const Entry& entry : m_entries) {
        if (entry.widget == watched && entry.control != nullptr) {
            MoveInGroup(*entry.control, step);
            return true;
        }
    }
    return false;
}

void DialogView::MoveInGroup(const Control& radio, int step) {
    const std::vector<Control*> group = m_dialog->RadioGroupOf(radio.Id());
    const auto n = static_cast<int>(group.size());
    const int at = static_cast<int>(std::find(group.begin(), group.end(), &radio) - group.begin());
    for (int k = 1; k < n; ++k) {
        const Control* next = group[static_cast<std::size_t>(((at + step * k) % n + n) % n)];
        if (!Usable(*next)) continue;
        const int id = next->Id();
        Deliver(next, [id](Dialog& d) { d.Click(id); });
        if (QWidget* w = Find(next)) w->setFocus(Qt::TabFocusReason);
        return;
    }
}

}  // namespace framework::qt
