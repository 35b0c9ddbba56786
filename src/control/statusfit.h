#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <climits>
#include <functional>

// Which form of each status-bar part fits a width. Parts give way one after another in a fixed order: each
// takes its shorter forms in turn, and a part that may be cut is cut in the middle last of all, keeping its
// leading words. A part that never gives way keeps its full form even when nothing else is left to give.
// Knows no widgets: the widths come from the caller's function, so the rule is tested with any font.
class StatusFit
{
public:
    static constexpr int kNever = INT_MAX;

    struct Part
    {
        QStringList forms; // the full form first, then shorter ones; none (or an empty first) shows nothing
        int givesWay = kNever; // lower gives way first; kNever keeps the full form
        int kept
            = -1; // when >= 0, the last form may be cut in the middle, keeping this many leading characters
    };
    using TextWidth = std::function<int(const QString &)>;

    // The text each part shows, in the parts' order, so that the shown texts and a `gap` between each two
    // that show fit in `width` where giving way can make them fit.
    static QStringList fit(const QVector<Part> &parts, int width, int gap, const TextWidth &widthOf);
    // `text` cut in the middle to fit `width`, its first `kept` characters whole; at least them and "…".
    static QString cutMiddle(const QString &text, int kept, int width, const TextWidth &widthOf);
};
