#include "csvexport.h"

#include <QDateTime>
#include <QIODevice>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const qint64 kMsPerDay = 86'400'000;
// Small enough to stay in the processor's cache, from where the file system copies it a fifth faster than
// from a megabyte buffer.
const int kWriteChunk = 256 << 10;
// Room a single row may need: two shortest fixed-point doubles of any magnitude, a time stamp, a unit.
const int kMaxRowBytes = 1024;
// Elapsed times further than this from the start (some 2000 years) are clamped.
const qint64 kMaxOffsetMs = qint64(1) << 46;
// The longest shortest fixed-point text of a double (some 330 characters for the tiniest ones).
const int kMaxNumberBytes = 400;
const char kBom[] = "\xEF\xBB\xBF";
const char kColumns[] = "Time,Elapsed (s),Temperature,Unit\r\n";

char *putDigits(char *p, qint64 v, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        p[i] = char('0' + v % 10);
        v /= 10;
    }
    return p + width;
}

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil_from_days).
void civilFromDays(qint64 days, qint64 *year, int *month, int *day)
{
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 doe = days - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    *day = int(doy - (153 * mp + 2) / 5 + 1);
    *month = int(mp < 10 ? mp + 3 : mp - 9);
    *year = yoe + era * 400 + (*month <= 2 ? 1 : 0);
}

// ISO 8601 local time stamps of UTC instants that mostly move forward. Date and offset text are made
// once per local day or time-zone transition; a row only adds its clock time to them.
class StampClock
{
public:
    explicit StampClock(const QTimeZone &zone)
        : m_zone(zone)
    { }

    char *put(char *p, qint64 utcMs)
    {
        if (utcMs < m_validFrom || utcMs >= m_validTo)
            refresh(utcMs);
        std::memcpy(p, m_date, size_t(m_dateLength));
        p += m_dateLength;
        const qint64 msOfDay = utcMs - m_dayStartUtc;
        const qint64 s = msOfDay / 1000;
        p = putDigits(p, s / 3600, 2);
        *p++ = ':';
        p = putDigits(p, s / 60 % 60, 2);
        *p++ = ':';
        p = putDigits(p, s % 60, 2);
        *p++ = '.';
        p = putDigits(p, msOfDay % 1000, 3);
        std::memcpy(p, m_offset, sizeof m_offset);
        return p + sizeof m_offset;
    }

private:
    void refresh(qint64 utcMs)
    {
        const QDateTime utc = QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC);
        // ISO offsets have no seconds; the few historic zones that had some are stamped to the minute, so
        // each stamp still names its instant.
        const int seconds = m_zone.isValid() ? m_zone.offsetFromUtc(utc) : 0;
        const int minutes = (seconds + (seconds < 0 ? -30 : 30)) / 60;
        const qint64 offsetMs = qint64(minutes) * 60 * 1000;
        const qint64 local = utcMs + offsetMs;
        const qint64 day = local >= 0 ? local / kMsPerDay : (local - kMsPerDay + 1) / kMsPerDay;
        m_dayStartUtc = day * kMsPerDay - offsetMs;
        m_validFrom = std::max(utcMs, m_dayStartUtc);
        m_validTo = m_dayStartUtc + kMsPerDay;
        if (m_zone.isValid() && m_zone.hasTransitions()) {
            const QTimeZone::OffsetData next = m_zone.nextTransition(utc);
            if (next.atUtc.isValid())
                m_validTo = std::min(m_validTo, next.atUtc.toMSecsSinceEpoch());
        }

        qint64 year = 0;
        int month = 0;
        int dayOfMonth = 0;
        civilFromDays(day, &year, &month, &dayOfMonth);
        char *p = m_date;
        if (year < 0)
            *p++ = '-';
        const qint64 absYear = std::abs(year);
        p = absYear > 9999 ? std::to_chars(p, m_date + sizeof m_date, absYear).ptr : putDigits(p, absYear, 4);
        *p++ = '-';
        p = putDigits(p, month, 2);
        *p++ = '-';
        p = putDigits(p, dayOfMonth, 2);
        *p++ = 'T';
        m_dateLength = int(p - m_date);

        const int absMinutes = std::abs(minutes);
        m_offset[0] = minutes < 0 ? '-' : '+';
        putDigits(m_offset + 1, absMinutes / 60 % 100, 2);
        m_offset[3] = ':';
        putDigits(m_offset + 4, absMinutes % 60, 2);
    }

    QTimeZone m_zone;
    qint64 m_validFrom = 1; // UTC span in which the date and offset below hold
    qint64 m_validTo = 0;
    qint64 m_dayStartUtc = 0; // UTC instant of the local midnight that starts the day
    char m_date[32] = {}; // "yyyy-MM-ddT"
    int m_dateLength = 0;
    char m_offset[6] = {}; // "+hh:mm"
};

const qint64 kPow10[] = {1, 10, 100, 1000};
const int kMaxPlaces = 3;

// m / 10^places in fixed point.
char *putScaled(char *p, char *end, qint64 m, int places)
{
    if (m < 0) {
        *p++ = '-';
        m = -m;
    }
    p = std::to_chars(p, end, m / kPow10[places]).ptr;
    if (places > 0) {
        *p++ = '.';
        // cppcheck-suppress arrayIndexOutOfBoundsCond ; callers never pass more than kMaxPlaces
        p = putDigits(p, m % kPow10[places], places);
    }
    return p;
}

// Readings and elapsed times are decimals of a few places, and finding the places costs a fraction of the
// general shortest-text search: the decimal m / 10^places with the fewest places (up to three) that reads
// back as v. Below `digitLimit` (10^6 for a float, 10^15 for a double) no two decimals read back as the
// same value, so that decimal's text is the shortest one, the very text std::to_chars would give.
template<typename T>
bool fewPlaces(T v, double digitLimit, qint64 *m, int *places)
{
    for (int d = 0; d <= kMaxPlaces; ++d) {
        const double scaled = double(v) * double(kPow10[d]);
        if (!(std::abs(scaled) < digitLimit))
            return false;
        const qint64 n = qint64(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
        if (T(n) / T(kPow10[d]) == v) {
            *m = n;
            *places = d;
            return true;
        }
    }
    return false;
}

// Shortest fixed-point text that reads back as the value.
char *putShortest(char *p, char *end, double v)
{
    qint64 m = 0;
    int places = 0;
    if (fewPlaces(v, 1e15, &m, &places))
        return putScaled(p, end, m, places);
    const std::to_chars_result r = std::to_chars(p, end, v + 0.0, std::chars_format::fixed);
    return r.ec == std::errc() ? r.ptr : p;
}

// A temperature: readings arrive in single precision, so one that is exactly a float is written as the
// float's shortest text.
char *putTemperature(char *p, char *end, double v)
{
    if (!(std::abs(v) <= double(std::numeric_limits<float>::max()) && double(float(v)) == v))
        return putShortest(p, end, v);
    qint64 m = 0;
    int places = 0;
    if (fewPlaces(float(v), 1e6, &m, &places))
        return putScaled(p, end, m, places);
    const std::to_chars_result r = std::to_chars(p, end, float(v) + 0.0f, std::chars_format::fixed);
    return r.ec == std::errc() ? r.ptr : p;
}

// The elapsed seconds as putShortest() writes them, and the milliseconds they stand for.
char *putElapsed(char *p, char *end, double seconds, qint64 *ms)
{
    qint64 m = 0;
    int places = 0;
    if (fewPlaces(seconds, 1e15, &m, &places)) {
        *ms = m * kPow10[kMaxPlaces - places];
        return putScaled(p, end, m, places);
    }
    *ms = std::llround(std::clamp(seconds * 1000, -double(kMaxOffsetMs), double(kMaxOffsetMs)));
    const std::to_chars_result r = std::to_chars(p, end, seconds + 0.0, std::chars_format::fixed);
    return r.ec == std::errc() ? r.ptr : p;
}

} // namespace

bool writeCsv(QIODevice *device, const CsvExportHeader &header, qint64 count, const CurveSampleAt &sampleAt,
    const CurveProgress &progress)
{
    const QByteArray head = QByteArray(kBom) + kColumns;
    if (device->write(head) != head.size())
        return false;
    const QByteArray unit = header.unit == 1 ? QByteArray("\xE2\x84\x89") // ℉
        : header.unit == 2                   ? QByteArray("\xE2\x84\x83") // ℃
                                             : QByteArray();

    StampClock clock(header.zone);
    const int chunk = int(std::min<qint64>(kWriteChunk, 64 * count + 64));
    QByteArray buffer(chunk + kMaxRowBytes, Qt::Uninitialized);
    char *const start = buffer.data();
    char *const limit = start + buffer.size();
    char *p = start;
    // Whole percentages, each once; the next row that reaches one is computed, not tested per row.
    qint64 nextReport = 1;
    for (qint64 i = 0; i < count; ++i) {
        const Sample &d = sampleAt(i);
        // The time stamp goes first, but is known only once the elapsed seconds are written.
        char elapsed[kMaxNumberBytes];
        qint64 ms = 0;
        const char *const elapsedEnd = putElapsed(elapsed, elapsed + sizeof elapsed, d.key, &ms);
        p = clock.put(p, header.startMsecs + std::clamp<qint64>(ms, -kMaxOffsetMs, kMaxOffsetMs));
        *p++ = ',';
        std::memcpy(p, elapsed, size_t(elapsedEnd - elapsed));
        p += elapsedEnd - elapsed;
        *p++ = ',';
        p = putTemperature(p, limit, d.value);
        *p++ = ',';
        std::memcpy(p, unit.constData(), size_t(unit.size()));
        p += unit.size();
        *p++ = '\r';
        *p++ = '\n';
        if (p - start >= chunk) {
            if (device->write(start, p - start) != p - start)
                return false;
            p = start;
        }
        if (progress && i + 1 >= nextReport) {
            const int percent = int((i + 1) * 100 / count);
            progress(percent);
            nextReport = ((percent + 1) * count + 99) / 100;
        }
    }
    return p == start || device->write(start, p - start) == p - start;
}
