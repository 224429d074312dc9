#include "framework/qt/ElidedComboBox.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "framework/qt/ElidedText.h"

namespace framework::qt {

ElidedComboBox::ElidedComboBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, [this] { RefreshToolTip(); });
}

QString ElidedComboBox::ShownText() const {
    return ElideLongestWord(currentText(), fontMetrics(), TextRoom());
}

void ElidedComboBox::RefreshToolTip() {
    setToolTip(ShownText() == currentText() ? QString() : currentText());
}

// As the base paints a closed, non-editable box, with the label shortened to fit.
void ElidedComboBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = ShownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void ElidedComboBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    RefreshToolTip();
}

int ElidedComboBox::TextRoom() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // The style draws the label one pixel in from each side of the field.
    return field.width() - 2;
}

}  // namespace framework::qt
