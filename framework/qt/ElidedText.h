#pragma once

// Fitting a line of text into a width by shortening its longest word in the middle, so that
// a long port path keeps its start and its end and the words around it stay whole:
// "Waiting on /dev/serial/by-id/usb-FTDI_…-if00-port0  ( COM1 ) at 9600 baud, 8N1".

#include <QFontMetrics>
#include <QString>

namespace framework::qt {

// The text as it is when it fits; else with its longest blank-free run elided in the middle,
// keeping more of its end than of its start; else, when even that is too wide, elided at the
// right.
QString ElideLongestWord(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace framework::qt
