#include "framework/qt/ControlWidgets.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "framework/qt/CodePageText.h"
#include "framework/qt/ElidedComboBox.h"

namespace framework::qt {
namespace {

void MirrorText(QWidget& widget, const Control& control) {
    const QString text = FromCodePage(control.Text());
    switch (control.Kind()) {
        case ControlKind::Label:
            static_cast<QLabel&>(widget).setText(text);
            break;
        case ControlKind::GroupBox:
            static_cast<QGroupBox&>(widget).setTitle(text);
            break;
        case ControlKind::PushButton:
        case ControlKind::RadioButton:
            static_cast<QAbstractButton&>(widget).setText(text);
            break;
        case ControlKind::EditBox: {
            // Setting the same text again would move the caret while the user types.
            auto& edit = static_cast<QLineEdit&>(widget);
            if (edit.text() != text) edit.setText(text);
            break;
        }
        case ControlKind::DropDownList:
            break;  // a list shows its selected item, not a text of its own
    }
}

void MirrorItems(QComboBox& box, const Control& control) {
    box.clear();
    for (const std::string& item : control.Items())
        box.addItem(FromCodePage(item));
    // A refilled box selects its first item by itself; the model's selection decides.
    box.setCurrentIndex(control.Selection());
    // The opened list shows every item whole (long port names), however narrow the box.
    QAbstractItemView& list = *box.view();
    list.setMinimumWidth(list.sizeHintForColumn(0) + 2 * list.frameWidth() +
                         list.verticalScrollBar()->sizeHint().width());
}

// One aspect of the control's state into its widget, with the widget's signals blocked.
void MirrorQuietly(QWidget& widget, const Control& control, ControlChange what) {
    switch (what) {
        case ControlChange::Text:
            MirrorText(widget, control);
            break;
        case ControlChange::Items:
            if (auto* box = qobject_cast<QComboBox*>(&widget)) MirrorItems(*box, control);
            break;
        case ControlChange::Selection:
            if (auto* box = qobject_cast<QComboBox*>(&widget)) {
                box->setCurrentIndex(control.Selection());
            }
            break;
        case ControlChange::Checked:
            if (auto* radio = qobject_cast<QRadioButton*>(&widget)) {
                radio->setChecked(control.IsChecked());
            }
            break;
        case ControlChange::Enabled:
            widget.setEnabled(control.IsEnabled());
            break;
        case ControlChange::Visible:
            widget.setVisible(control.IsVisible());
            break;
    }
}

}  // namespace

QString ControlObjectName(int id) {
    return id == IDC_STATIC ? QStringLiteral("control_static")
                            : QStringLiteral("control_%1").arg(id);
}

QWidget* CreateControlWidget(const Control& control, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (control.Kind()) {
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            // Texts may come from the instrument: never let them be read as markup.
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignTop |
                                (control.IsCentred() ? Qt::AlignHCenter : Qt::AlignLeft));
            widget = label;
            break;
        }
        case ControlKind::GroupBox:
            widget = new QGroupBox(parent);
            break;
        case ControlKind::PushButton: {
            auto* button = new QPushButton(parent);
            // Enter is the window's: it presses the focused push button or the default one.
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case ControlKind::RadioButton: {
            auto* radio = new QRadioButton(parent);
            radio->setAutoExclusive(false);
            widget = radio;
            break;
        }
        case ControlKind::EditBox:
            widget = new QLineEdit(parent);
            break;
        case ControlKind::DropDownList: {
            auto* box = new ElidedComboBox(parent);
            box->setEditable(false);
            widget = box;
            break;
        }
    }
    widget->setObjectName(ControlObjectName(control.Id()));
    MirrorAll(*widget, control);
    return widget;
}

void MirrorControl(QWidget& widget, const Control& control, ControlChange what) {
    {
        const QSignalBlocker quiet(&widget);
        MirrorQuietly(widget, control, what);
    }
    // The box's own signals were blocked: its tooltip follows the new item now.
    if (auto* box = dynamic_cast<ElidedComboBox*>(&widget)) box->RefreshToolTip();
}

void MirrorAll(QWidget& widget, const Control& control) {
    for (const ControlChange what :
         {ControlChange::Text, ControlChange::Items, ControlChange::Selection,
          ControlChange::Checked, ControlChange::Enabled, ControlChange::Visible}) {
        MirrorControl(widget, control, what);
    }
}

}  // namespace framework::qt
