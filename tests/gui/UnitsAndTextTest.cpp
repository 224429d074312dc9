// Dialog units on screen, the code page's texts as Qt strings, and one line elided to fit.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>

#include "framework/qt/CodePageText.h"
#include "framework/qt/DialogUnits.h"
#include "framework/qt/ElidedText.h"

namespace gui_test {
namespace {

using framework::qt::DialogUnits;
using framework::qt::FromCodePage;
using framework::qt::ToCodePage;

TEST(DialogUnitsTest, UnitsScaleByTheBaseUnitsAndRoundHalfAway) {
    const DialogUnits units(6, 13);
    const struct {
        int units;
        int x;
        int y;
    } cases[] = {{0, 0, 0},   {4, 6, 7},       {1, 2, 2},    {2, 3, 3},   {3, 5, 5},
                 {8, 12, 13}, {278, 417, 452}, {-1, -2, -2}, {-4, -6, -7}};
    for (const auto& c : cases) {
        EXPECT_EQ(units.X(c.units), c.x) << c.units;
        EXPECT_EQ(units.Y(c.units), c.y) << c.units;
    }
}

TEST(DialogUnitsTest, RectanglesMapTheirEdgesSoNeighboursTouch) {
    const DialogUnits units(7, 15);
    const QRect left = units.ToPixels({10, 10, 25, 13});
    const QRect right = units.ToPixels({35, 23, 25, 13});
    EXPECT_EQ(left.x() + left.width(), right.x());
    EXPECT_EQ(left.y() + left.height(), right.y());
    EXPECT_EQ(units.ToPixels(278, 148), QSize(487, 278));
}

TEST(DialogUnitsTest, BaseUnitsComeFromTheFontAndStayAtLeastOnePixel) {
    QFont font;
    font.setPointSize(8);
    const QFontMetrics metrics(font);
    const DialogUnits units(metrics);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_DOUBLE_EQ(units.BaseX(), letters / 52.0);
    EXPECT_DOUBLE_EQ(units.BaseY(), metrics.height());
    EXPECT_EQ(DialogUnits(0, -3).X(4), 1);
    EXPECT_EQ(DialogUnits(0, -3).Y(8), 1);
}

TEST(CodePageTextTest, BytesMapByTheCodePage) {
    const struct {
        std::string bytes;
        const char16_t* text;
    } cases[] = {
        {"Plain ASCII", u"Plain ASCII"},
        {"\x80 \x85 \x8A \x99 \x9F", u"\u20ac \u2026 \u0160 \u2122 \u0178"},
        // The five bytes the code page leaves undefined keep their own code.
        {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008d\u008f\u0090\u009d"},
        {"\xA0\xB5\xE9\xFF", u"\u00a0\u00b5\u00e9\u00ff"},
        {std::string("before\0after", 12), u"before"},
        {std::string("\0", 1), u""},
        {"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromCodePage(c.bytes), QString::fromUtf16(c.text)) << c.bytes;
}

TEST(CodePageTextTest, EveryByteButZeroComesBackUnchanged) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(ToCodePage(FromCodePage(all)), all);
}

TEST(CodePageTextTest, CharactersBeyondTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(ToCodePage(QString::fromUtf16(u"\u03a9 \u20ac \U0001F600")), "? \x80 ?");
}

TEST(ElidedTextTest, TheLongestWordGivesWayFirstAndTheWholeLineFitsAlways) {
    const QFontMetrics metrics{QFont()};
    const QString text = QStringLiteral(
        "Waiting on /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KQ3XY-if00-port0  ( COM1 ) at "
        "9600 baud, 8N1");
    const QString rest = QStringLiteral("  ( COM1 ) at 9600 baud, 8N1");
    const int full = metrics.horizontalAdvance(text);
    const int restWidth = metrics.horizontalAdvance(QStringLiteral("Waiting on /dev/s…0") + rest);
    const struct {
        int width;
        bool whole;      // the text unchanged
        bool wordsKept;  // the words around the path whole
    } cases[] = {{full, true, true},
                 {full - 1, false, true},
                 {restWidth + 40, false, true},
                 {restWidth / 2, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const QString shown = framework::qt::ElideLongestWord(text, metrics, c.width);
        EXPECT_LE(metrics.horizontalAdvance(shown), c.width) << shown.toStdString();
        EXPECT_EQ(shown == text, c.whole) << shown.toStdString();
        if (c.wordsKept) {
            EXPECT_TRUE(shown.startsWith(QStringLiteral("Waiting on /"))) << shown.toStdString();
            EXPECT_TRUE(shown.endsWith(rest)) << shown.toStdString();
        } else {
            EXPECT_TRUE(shown.startsWith(QStringLiteral("Wait"))) << shown.toStdString();
            EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
        }
    }
}

}  // namespace
}  // namespace gui_test
