#include "csvimport.h"

#include <QDateTime>
#include <QIODevice>
#include <QList>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");
const QByteArray kColumns("Time,Elapsed (s),Temperature");
// Longer lines are no table lines; they are skipped as a whole.
const qint64 kMaxLineBytes = 64 << 10;

bool number(QByteArray field, double *value)
{
    *value = 0;
    field = field.trimmed();
    double v = 0;
    const char *end = field.constData() + field.size();
    const std::from_chars_result r = std::from_chars(field.constData(), end, v, std::chars_format::general);
    if (field.isEmpty() || r.ec != std::errc() || r.ptr != end || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

int unitCode(const QByteArray &field)
{
    const QString text = QString::fromUtf8(field).trimmed();
    if (text == QStringLiteral("℃"))
        return 2;
    if (text == QStringLiteral("℉"))
        return 1;
    return 0;
}

} // namespace

bool looksLikeCsvCurve(const QByteArray &start)
{
    const QByteArray text = start.startsWith(kBom) ? start.mid(kBom.size()) : start;
    return text.startsWith(kColumns);
}

CurveReadResult readCsvCurve(
    QIODevice *device, CurveFileContents *out, const CurveProgress &progress, int maxRows)
{
    *out = CurveFileContents();
    const qint64 total = device->isSequential() ? 0 : device->size();
    int lastPercent = -1;
    bool header = true;
    QByteArray line;
    while (true) {
        line = device->readLine(kMaxLineBytes);
        if (line.isEmpty()) {
            if (device->atEnd())
                break;
            return CurveReadResult::ReadError;
        }
        if (!line.endsWith('\n') && !device->atEnd()) {
            // An overlong line: the rest of it goes unread.
            while (!line.endsWith('\n') && !device->atEnd())
                line = device->readLine(kMaxLineBytes);
            continue;
        }
        if (header) {
            header = false;
            if (!looksLikeCsvCurve(line))
                return CurveReadResult::Ok;
            out->hasColumns = true;
            continue;
        }
        const QList<QByteArray> fields = line.trimmed().split(',');
        if (fields.size() < 3)
            continue;
        if (out->samples.size() >= maxRows)
            return CurveReadResult::TooLarge;
        double key = 0;
        double value = 0;
        const bool keyIsNumber = number(fields[1], &key);
        const bool valueIsNumber = number(fields[2], &value);
        if (keyIsNumber && valueIsNumber)
            ++out->numericRows;
        out->samples.append(Sample {key, value});
        if (!out->hasDate && keyIsNumber) {
            const QDateTime at
                = QDateTime::fromString(QString::fromLatin1(fields[0].trimmed()), Qt::ISODateWithMs);
            if (at.isValid()) {
                out->hasDate = true;
                out->startMsecs = at.toMSecsSinceEpoch() - std::llround(key * 1000);
            }
        }
        if (!out->hasUnit && fields.size() > 3) {
            if (const int unit = unitCode(fields[3])) {
                out->hasUnit = true;
                out->unit = unit;
            }
        }
        if (progress && total > 0) {
            const int percent = int(std::min<qint64>(100, device->pos() * 100 / total));
            if (percent != lastPercent) {
                lastPercent = percent;
                progress(percent);
            }
        }
    }
    out->declaredCount = out->samples.size();
    out->sortSamples();
    return CurveReadResult::Ok;
}
