#include "framework/qt/ElidedText.h"

namespace framework::qt {
namespace {

struct Word {
    qsizetype start = 0;
    qsizetype length = 0;
};

Word LongestWord(const QString& text) {
    Word longest;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !text.at(i).isSpace()) continue;
        if (i - start > longest.length) longest = {start, i - start};
        start = i + 1;
    }
    return longest;
}

// The word shortened to fit room, the ellipsis in its middle: a sixth of the room for its
// start, the rest for its end, where a port path has what tells two adapters apart.
QString ElideKeepingEnd(const QString& word, const QFontMetrics& metrics, int room) {
    const QString dots(QChar(0x2026));
    qsizetype head = 0;
    while (head < word.size() && metrics.horizontalAdvance(word.left(head + 1)) <= room / 6)
        ++head;
    qsizetype tail = 0;
    while (head + tail < word.size() &&
           metrics.horizontalAdvance(word.left(head) + dots + word.right(tail + 1)) <= room) {
        ++tail;
    }
    return word.left(head) + dots + word.right(tail);
}

}  // namespace

QString ElideLongestWord(const QString& text, const QFontMetrics& metrics, int width) {
    const int needed = metrics.horizontalAdvance(text);
    if (needed <= width) return text;
    const Word word = LongestWord(text);
    const QString middle = text.mid(word.start, word.length);
    // Widths do not quite add up (kerning), so the word gives up a little more if need be.
    for (int room = metrics.horizontalAdvance(middle) - (needed - width); room > 0;
         room -= metrics.averageCharWidth()) {
        QString shortened = text;
        shortened.replace(word.start, word.length, ElideKeepingEnd(middle, metrics, room));
        if (metrics.horizontalAdvance(shortened) <= width) return shortened;
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

}  // namespace framework::qt
