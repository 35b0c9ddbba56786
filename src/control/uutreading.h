#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>

// One answer from the instrument under test, as a run records it: the value or why there is none, and the
// raw reply that is the original observation.
struct UutReading
{
    enum class Kind { Value, Error, Timeout, Garbage, Lost };
    Kind kind = Kind::Lost;
    double value = 0; // Value only: °C for readings, the emissivity for emissivity queries
    QString raw; // the raw reply: hex ("01 5e") for binary drivers, escaped text ("!T050.12\r") otherwise
    QString meaning; // Error: the pattern's meaning ("not ready"); Timeout/Garbage/Lost: a plain reason
    bool pausesRun = false; // Error with action pause; Timeout, Garbage (after retries) and Lost always
    int attempts = 1; // requests sent for it (1 + retries used)
    QDateTime utc; // when the reply (or the give-up) came; set by the link
};
Q_DECLARE_METATYPE(UutReading)
