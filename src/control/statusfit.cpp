#include "statusfit.h"

#include <algorithm>
#include <numeric>

namespace {

const QString kEllipsis = QStringLiteral("…");

int totalWidth(const QStringList &shown, int gap, const StatusFit::TextWidth &widthOf)
{
    int total = 0;
    int count = 0;
    for (const QString &text : shown) {
        if (text.isEmpty())
            continue;
        total += widthOf(text);
        ++count;
    }
    return total + gap * std::max(0, count - 1);
}

} // namespace

QStringList StatusFit::fit(const QVector<Part> &parts, int width, int gap, const TextWidth &widthOf)
{
    QStringList shown;
    QVector<int> form(parts.size(), 0);
    for (const Part &part : parts)
        shown << part.forms.value(0);

    QVector<int> order(parts.size());
    std::iota(order.begin(), order.end(), 0);
    // Equal ranks give way in the order they are shown.
    std::stable_sort(order.begin(), order.end(),
        [&parts](int a, int b) { return parts.at(a).givesWay < parts.at(b).givesWay; });

    for (int i : order) {
        const Part &part = parts.at(i);
        if (part.givesWay == kNever || shown.at(i).isEmpty())
            continue;
        while (totalWidth(shown, gap, widthOf) > width && form[i] + 1 < part.forms.size())
            shown[i] = part.forms.at(++form[i]);
    }
    for (int i : order) {
        const Part &part = parts.at(i);
        const int total = totalWidth(shown, gap, widthOf);
        if (part.givesWay == kNever || part.kept < 0 || shown.at(i).isEmpty() || total <= width)
            continue;
        shown[i] = cutMiddle(shown.at(i), part.kept, width - (total - widthOf(shown.at(i))), widthOf);
    }
    return shown;
}

QString StatusFit::cutMiddle(const QString &text, int kept, int width, const TextWidth &widthOf)
{
    if (widthOf(text) <= width)
        return text;
    const QString head = text.left(kept);
    const QString rest = text.mid(kept);
    // The end of a name tells apart ports that begin alike, so both ends stay.
    for (int n = rest.size() - 1; n > 0; --n) {
        const QString cut = head + rest.left((n + 1) / 2) + kEllipsis + rest.right(n / 2);
        if (widthOf(cut) <= width)
            return cut;
    }
    return head + kEllipsis;
}
