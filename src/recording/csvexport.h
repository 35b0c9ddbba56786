#pragma once

#include "curvefile.h"

#include <QTimeZone>

class QIODevice;

// A curve as a table for spreadsheet programs: UTF-8 with a byte order mark (without one Excel reads the
// file in the system's 8-bit code page and garbles ℃), lines ending in CR LF as RFC 4180 has them, and
// the columns
//     Time,Elapsed (s),Temperature,Unit
//     2026-12-08T09:15:02.417+08:00,0.1,36.6,℃
// Time is the start plus the elapsed seconds (rounded to the millisecond) in the zone's local time with
// its offset. Numbers are the shortest fixed-point text that reads back as the sample; temperatures
// arrive in single precision, so one that is exactly a float is written as that float (36.6, not
// 36.59999847412109). Nothing here touches a widget or shared state; safe on any thread.

struct CsvExportHeader
{
    qint64 startMsecs = 0; // recording start, ms since the epoch
    int unit = 2; // 1 Fahrenheit, 2 Celsius; other codes leave the unit column empty
    QTimeZone zone = QTimeZone::utc(); // whose local time the rows show; the file thread passes the system's
};

// Writes the whole table; false when the device refuses bytes. Samples must not go back in time (the
// chart's never do); rows that do are still correct, only slower.
bool writeCsv(QIODevice *device, const CsvExportHeader &header, qint64 count, const CurveSampleAt &sampleAt,
    const CurveProgress &progress = {});
