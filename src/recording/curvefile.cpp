#include "curvefile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QIODevice>
#include <QLocale>
#include <QTimeZone>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace {

const qint64 kMsPerDay = 86'400'000;
const int kWriteChunk = 1 << 20;
const int kReadChunk = 4 << 20;
// Room a single row may need: two fixed-point doubles of any magnitude and a clock time.
const int kMaxRowBytes = 1024;
// The shortest data line that yields a sample: "0\t0\n".
const qint64 kMinRowBytes = 4;
// Longer lines are no curve lines; they count as empty ones instead of growing the buffer without end.
const qint64 kMaxLineBytes = 64 << 10;
// Row times further than this from the start (some 2000 years) are clamped.
const qint64 kMaxOffsetMs = qint64(1) << 46;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz");

// Reports a percentage only when its whole value changes; with no total nothing can be computed.
class ProgressGate
{
public:
    ProgressGate(const CurveProgress &progress, qint64 total)
        : m_progress(progress)
        , m_total(total)
    { }

    void rowDone(qint64 count)
    {
        if (!m_progress || m_total <= 0)
            return;
        const int percent = std::min(100, int(float(count) / float(m_total) * 100));
        if (percent != m_last) {
            m_last = percent;
            m_progress(percent);
        }
    }

private:
    const CurveProgress &m_progress;
    qint64 m_total = 0;
    int m_last = -1;
};

// Local clock time of UTC instants that only move forward. Looking the offset up for every row would cost
// more than writing it, so it is kept until the next time-zone transition, and at most for a day.
class LocalClock
{
public:
    qint64 msOfDay(qint64 utcMs)
    {
        if (utcMs < m_validFrom || utcMs >= m_validTo)
            refresh(utcMs);
        const qint64 local = utcMs + m_offsetMs;
        return ((local % kMsPerDay) + kMsPerDay) % kMsPerDay;
    }

private:
    void refresh(qint64 utcMs)
    {
        m_offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).offsetFromUtc()) * 1000;
        m_validFrom = utcMs;
        m_validTo = utcMs + kMsPerDay;
        // Looked up once: finding the system zone asks the file system each time.
        if (!m_zone.isValid())
            m_zone = QTimeZone::systemTimeZone();
        const QTimeZone::OffsetData next
            = m_zone.nextTransition(QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC));
        if (next.atUtc.isValid())
            m_validTo = std::min(m_validTo, next.atUtc.toMSecsSinceEpoch());
    }

    QTimeZone m_zone;
    qint64 m_offsetMs = 0;
    qint64 m_validFrom = 1;
    qint64 m_validTo = 0;
};

char *putTwo(char *p, int v)
{
    p[0] = char('0' + v / 10);
    p[1] = char('0' + v % 10);
    return p + 2;
}

// "hh:mm:ss:zzz"
char *putClock(char *p, qint64 msOfDay)
{
    const int ms = int(msOfDay % 1000);
    const int s = int(msOfDay / 1000);
    p = putTwo(p, s / 3600);
    *p++ = ':';
    p = putTwo(p, s / 60 % 60);
    *p++ = ':';
    p = putTwo(p, s % 60);
    *p++ = ':';
    p[0] = char('0' + ms / 100);
    p[1] = char('0' + ms / 10 % 10);
    p[2] = char('0' + ms % 10);
    return p + 3;
}

char *putExactFixed(char *p, char *end, double v, int decimals);

// Fixed-point text as QString::number(v, 'f', decimals) gives it: correctly rounded, except that an exact
// tie rounds away from zero (29.25 -> "29.3") where to_chars would round to even. Ordinary values take an
// integer shortcut; anything near a rounding boundary takes the exact path.
char *putFixed(char *p, char *end, double v, int decimals)
{
    static const double kPow10[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    if (decimals < 0 || decimals > 6)
        return putExactFixed(p, end, v, decimals);
    const double scaled = std::abs(v) * kPow10[decimals];
    // Below 2^31 one rounding of the product errs by at most 2^-22, so a fraction this far from one
    // half rounds the same way as the exact decimal value would.
    const double frac = scaled - std::floor(scaled);
    if (!(scaled < 2147483648.0) || std::abs(frac - 0.5) < 1e-5)
        return putExactFixed(p, end, v, decimals);
    const quint64 n = quint64(scaled + 0.5);
    const quint64 unit = quint64(kPow10[decimals]);
    if (v < 0) // as Qt: -0.04 prints "-0.0", but negative zero prints "0.0"
        *p++ = '-';
    p = std::to_chars(p, end, n / unit).ptr;
    if (decimals > 0) {
        *p++ = '.';
        quint64 rest = n % unit;
        for (int i = decimals - 1; i >= 0; --i) {
            p[i] = char('0' + rest % 10);
            rest /= 10;
        }
        p += decimals;
    }
    return p;
}

char *putExactFixed(char *p, char *end, double v, int decimals)
{
    // v is a tie at `decimals` exactly when v * 2^(decimals + 1) is an odd integer; scaling by a power of
    // two is exact.
    const double scaled = std::ldexp(v, decimals + 1);
    const bool tie = std::abs(scaled) < 9e15 && scaled == std::floor(scaled) && std::fmod(scaled, 2.0) != 0;
    if (!tie) {
        const std::to_chars_result r = std::to_chars(p, end, v, std::chars_format::fixed, decimals);
        return r.ec == std::errc() ? r.ptr : p;
    }
    // A tie has exactly decimals + 1 digits after the point, the last one a 5: drop it and carry one up.
    const std::to_chars_result r = std::to_chars(p, end, v, std::chars_format::fixed, decimals + 1);
    if (r.ec != std::errc())
        return p;
    char *last = r.ptr - 1;
    char *const first = *p == '-' ? p + 1 : p;
    char *q = last - 1;
    if (decimals == 0)
        --q; // the point goes too
    char *const digitsEnd = q + 1;
    for (;; --q) {
        if (q < first) {
            // Every digit carried over: 9.95 -> 10.0, so the number grows by one leading 1.
            std::memmove(first + 1, first, size_t(digitsEnd - first));
            *first = '1';
            return digitsEnd + 1;
        }
        if (*q == '.')
            continue;
        if (*q != '9') {
            ++*q;
            break;
        }
        *q = '0';
    }
    return digitsEnd;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

void trim(const char *&b, const char *&e)
{
    while (b < e && isSpace(*b))
        ++b;
    while (e > b && isSpace(e[-1]))
        --e;
}

// A finite decimal number filling the whole field (surrounding blanks allowed, as QString::toDouble()
// allows them); anything else is no number and reads as 0, since a non-finite key could not be kept in
// order.
bool fieldValue(const char *b, const char *e, double *value)
{
    *value = 0;
    trim(b, e);
    if (b < e && *b == '+' && e - b > 1 && b[1] != '-')
        ++b;
    double v = 0;
    const std::from_chars_result r = std::from_chars(b, e, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

// The milliseconds a duration stands for as it was written ("12.34" with 2 decimals is 12340), so a row's
// clock time agrees with the duration printed beside it. Saturates far beyond any recording.
qint64 writtenMs(const char *b, const char *e, int decimals)
{
    static const qint64 kMsPerUnit[] = {1000, 100, 10, 1};
    const bool negative = b < e && *b == '-';
    qint64 units = 0;
    for (const char *p = negative ? b + 1 : b; p < e; ++p) {
        if (*p != '.')
            units = std::min(units * 10 + (*p - '0'), kMaxOffsetMs);
    }
    const qint64 ms = std::min(units * kMsPerUnit[std::clamp(decimals, 0, 3)], kMaxOffsetMs);
    return negative ? -ms : ms;
}

enum class Section { FirstLine, Header, ColumnLine, Rows };

class CurveParser
{
public:
    CurveParser(CurveFileContents *out, const CurveProgress &progress, int maxRows, qint64 bytesLeft)
        : m_out(out)
        , m_progress(progress)
        , m_maxRows(maxRows)
        , m_bytesLeft(bytesLeft)
    { }

    // False once the row cap is passed.
    bool line(const char *b, const char *e)
    {
        switch (m_section) {
        case Section::FirstLine:
            m_section = Section::Header;
            return true;
        case Section::Header:
            header(b, e);
            return true;
        case Section::ColumnLine:
            m_out->hasColumns = true;
            m_section = Section::Rows;
            return true;
        case Section::Rows:
            return row(b, e);
        }
        return true;
    }

private:
    void header(const char *b, const char *e)
    {
        const QString text = QString::fromUtf8(b, int(e - b)).trimmed();
        if (text.startsWith(QLatin1String("Date:"))) {
            const QDateTime date = QLocale::c().toDateTime(text.mid(5), kDateFormat);
            if (date.isValid()) {
                m_out->hasDate = true;
                m_out->startMsecs = date.toMSecsSinceEpoch();
            }
            return;
        }
        const QStringList parts = text.split(QLatin1Char(':'), Qt::KeepEmptyParts);
        if (parts.size() != 2)
            return;
        if (parts[0] == QLatin1String("DataCounts")) {
            m_out->declaredCount = parts[1].toInt();
            // A crafted count must not reserve more than the rest of the file can hold.
            const qint64 room = std::min<qint64>(
                {qint64(m_out->declaredCount), m_bytesLeft / kMinRowBytes, qint64(m_maxRows)});
            if (room > 0)
                m_out->samples.reserve(int(room));
            m_gate = std::make_unique<ProgressGate>(m_progress, m_out->declaredCount);
            m_section = Section::ColumnLine;
        } else if (parts[0] == QLatin1String("Unit")) {
            m_out->hasUnit = true;
            m_out->unit = parts[1].toInt();
        } else if (parts[0] == QLatin1String("Emissivity")) {
            m_out->hasEmissivity = true;
            m_out->emissivity = parts[1].toFloat();
        }
    }

    bool row(const char *b, const char *e)
    {
        trim(b, e);
        const char *tab = static_cast<const char *>(std::memchr(b, '\t', size_t(e - b)));
        if (tab) {
            if (m_out->samples.size() >= m_maxRows)
                return false;
            const char *secondEnd
                = static_cast<const char *>(std::memchr(tab + 1, '\t', size_t(e - tab - 1)));
            if (!secondEnd)
                secondEnd = e;
            double key = 0;
            double value = 0;
            const bool keyIsNumber = fieldValue(b, tab, &key);
            const bool valueIsNumber = fieldValue(tab + 1, secondEnd, &value);
            if (keyIsNumber && valueIsNumber)
                ++m_out->numericRows;
            m_out->samples.append(Sample {key, value});
        }
        ++m_rows;
        if (m_gate)
            m_gate->rowDone(m_rows);
        return true;
    }

    CurveFileContents *m_out = nullptr;
    const CurveProgress &m_progress;
    int m_maxRows = 0;
    qint64 m_bytesLeft = 0;
    Section m_section = Section::FirstLine;
    qint64 m_rows = 0;
    std::unique_ptr<ProgressGate> m_gate;
};

} // namespace

int durationDecimals(int intervalMs)
{
    if (intervalMs >= 1000)
        return 0;
    if (intervalMs >= 100)
        return 1;
    if (intervalMs >= 10)
        return 2;
    return 1;
}

QString curveFileName(const QString &chosen)
{
    if (!QFileInfo(chosen).suffix().isEmpty())
        return chosen;
    return chosen.endsWith(QLatin1Char('.')) ? chosen + QStringLiteral("txt")
                                             : chosen + QStringLiteral(".txt");
}

bool writeCurve(QIODevice *device, const CurveFileHeader &header, qint64 count, const CurveSampleAt &sampleAt,
    const CurveProgress &progress)
{
    const qint64 n = count;
    QByteArray head;
    const auto putLine = [&head](const QString &text) { head += text.toUtf8() + "\r\n"; };
    putLine(header.appName);
    putLine(QStringLiteral("Date:")
        + QLocale::c().toString(QDateTime::fromMSecsSinceEpoch(header.startMsecs), kDateFormat));
    putLine(QStringLiteral("Emissivity:") + QString::number(double(header.emissivity), 'g', 6));
    putLine(QStringLiteral("Unit:") + QString::number(header.unit));
    if (header.unit == 1 || header.unit == 2)
        putLine(QStringLiteral("UnitSymbol:") + header.unitSymbol);
    putLine(QStringLiteral("DataCounts:") + QString::number(n));
    putLine(QStringLiteral("Duration,Temperature,Time"));
    if (device->write(head) != head.size())
        return false;

    const int decimals = durationDecimals(header.intervalMs);
    ProgressGate gate(progress, n);
    LocalClock clock;
    // Rows take some 30 bytes; a short curve needs no megabyte of buffer.
    const int chunk = int(std::min<qint64>(kWriteChunk, 64 * n + 64));
    QByteArray buffer(chunk + kMaxRowBytes, Qt::Uninitialized);
    char *const start = buffer.data();
    char *const limit = start + buffer.size();
    char *p = start;
    for (qint64 i = 0; i < n; ++i) {
        const Sample &d = sampleAt(i);
        char *const duration = p;
        p = putFixed(p, limit, d.key, decimals);
        // From the duration, not the row number: rows go missing when the oldest are dropped and while
        // there is no reading.
        const qint64 offsetMs = writtenMs(duration, p, decimals);
        *p++ = '\t';
        p = putFixed(p, limit, d.value, 1);
        *p++ = '\t';
        p = putClock(p, clock.msOfDay(header.startMsecs + offsetMs));
        *p++ = '\r';
        *p++ = '\n';
        if (p - start >= chunk) {
            if (device->write(start, p - start) != p - start)
                return false;
            p = start;
        }
        gate.rowDone(i + 1);
    }
    return p == start || device->write(start, p - start) == p - start;
}

void CurveFileContents::sortSamples()
{
    const auto byKey = [](const Sample &a, const Sample &b) { return a.key < b.key; };
    if (!std::is_sorted(samples.cbegin(), samples.cend(), byKey))
        std::stable_sort(samples.begin(), samples.end(), byKey);
    if (!samples.isEmpty()) {
        const auto [lo, hi] = std::minmax_element(samples.cbegin(), samples.cend(),
            [](const Sample &a, const Sample &b) { return a.value < b.value; });
        lowest = lo->value;
        highest = hi->value;
    }
}

CurveReadResult readCurve(
    QIODevice *device, CurveFileContents *out, const CurveProgress &progress, int maxRows)
{
    *out = CurveFileContents();
    const qint64 bytesLeft = device->isSequential() ? qint64(kReadChunk) : device->size() - device->pos();
    CurveParser parser(out, progress, maxRows, bytesLeft);

    // Small files get a small buffer; a sequential device of unknown size gets the full chunk.
    const int chunk = int(std::clamp<qint64>(bytesLeft + 1, 4096, kReadChunk));
    QByteArray buffer;
    qint64 carried = 0; // bytes of an unfinished line kept at the front of the buffer
    bool skipping = false; // inside an overlong line, already handed on as an empty one
    bool atEnd = false;
    while (!atEnd) {
        buffer.resize(int(carried) + chunk);
        const qint64 got = device->read(buffer.data() + carried, chunk);
        if (got < 0)
            return CurveReadResult::ReadError;
        atEnd = got == 0;
        const char *p = buffer.constData();
        const char *const end = p + carried + got;
        for (;;) {
            const char *nl = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
            if (!nl)
                break;
            if (!skipping && !parser.line(p, nl - p > kMaxLineBytes ? p : nl))
                return CurveReadResult::TooLarge;
            skipping = false;
            p = nl + 1;
        }
        if (!skipping && end - p > kMaxLineBytes) {
            if (!parser.line(p, p))
                return CurveReadResult::TooLarge;
            skipping = true;
        }
        if (skipping)
            p = end;
        if (atEnd && p < end && !parser.line(p, end))
            return CurveReadResult::TooLarge;
        carried = end - p;
        std::memmove(buffer.data(), p, size_t(carried));
    }

    out->sortSamples();
    return CurveReadResult::Ok;
}
