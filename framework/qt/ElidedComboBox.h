#pragma once

// A drop-down list whose closed box shows a text too long for it shortened in the middle, with
// the whole text as its tooltip: a long port path keeps its start, the end that tells two
// adapters apart (serial number, port) and "( COMn )". The opened list shows every item whole.
//   auto* box = new framework::qt::ElidedComboBox(parent);
//   box->addItem("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KQ3XY-if00-port0  ( COM1 )");
//   box->RefreshToolTip();   // after a change made with the box's signals blocked

#include <QComboBox>

namespace framework::qt {

class ElidedComboBox : public QComboBox {
public:
    explicit ElidedComboBox(QWidget* parent);

    // The text the closed box shows.
    QString ShownText() const;
    // The tooltip follows the current item: its whole text when the box shortens it, else none.
    void RefreshToolTip();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int TextRoom() const;
};

}  // namespace framework::qt
