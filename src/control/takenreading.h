#pragma once

#include <QDateTime>
#include <QString>

// One answer the run took for the instrument under test's reading: its value and where it came from, and
// for one the instrument sent, its raw reply and when it came, kept as the original observation. An answer
// that was no reading (an error pattern, a timeout, a lost link) keeps what it was in `fault`. A plain value.
struct TakenReading
{
    enum class Source { Typed, Driver, Remote };

    Source source = Source::Typed;
    double value = 0; // °C; none when `fault` is set
    QString raw; // as the driver shows it: hex for binary instruments, escaped text otherwise
    QDateTime utc; // when it was taken
    QString fault; // empty for a reading; otherwise why there is none ("not ready", "no reply")

    bool isReading() const { return fault.isEmpty(); }
    bool operator==(const TakenReading &other) const
    {
        return source == other.source && value == other.value && raw == other.raw && utc == other.utc
            && fault == other.fault;
    }

    // The word the journal and the report rows use: "typed", "driver" or "remote".
    static QString sourceWord(Source source);
    static Source sourceFromWord(const QString &word, bool *ok);
};
