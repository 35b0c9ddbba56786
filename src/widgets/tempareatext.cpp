#include "tempareatext.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>

namespace {
const int kFirstPixelSize = 10;
const int kLastPixelSize = 39;
const int kMaxDecimals = 6;
} // namespace

QString unitSuffix(int unit)
{
    return unit == 1 ? QStringLiteral("℉") : QStringLiteral("℃");
}

QString readingText(float t, int unit, bool valid, int decimal)
{
    if (!valid)
        return QStringLiteral("---");
    const int decimals = qBound(0, decimal, kMaxDecimals);
    return QString::number(double(t), 'f', decimals) + unitSuffix(unit);
}

QString unconfirmedReadingText(float t, int unit, int decimal)
{
    return readingText(t, unit, true, decimal) + QLatin1Char('?');
}

QString warningTileStyleSheet()
{
    return QStringLiteral("QLabel{background-color: rgb(255, 255, 255);color:rgb(215, 13, 24)}");
}

QString tileStyleSheet(const QColor &color)
{
    const QString base = QStringLiteral("QLabel{background-color: rgb(255, 255, 255);color:%1}");
    if (color == QColor(Qt::red))
        return base.arg(QStringLiteral("rgb(0, 0, 0)"));
    if (color == QColor(Qt::blue))
        return base.arg(QStringLiteral("blue"));
    if (color == QColor(Qt::green))
        return base.arg(QStringLiteral("rgb(255,128,0)"));
    return base.arg(QStringLiteral("white"));
}

int fitFontPixelSize(QFont font, const QString &text, int availableWidth)
{
    for (int size = kFirstPixelSize; size <= kLastPixelSize; ++size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) > availableWidth)
            return size;
    }
    return kLastPixelSize;
}
