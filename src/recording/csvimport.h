#pragma once

#include "curvefile.h"

class QIODevice;

// Reads back a table written by writeCsv() (csvexport.h) as a curve, at the full precision the table
// holds: the recording's start is the first row's time less its elapsed seconds, the unit its unit
// column. A row whose elapsed time or temperature is no number reads as 0 there and does not count as a
// number row. Safe on any thread.

// Whether the bytes at the start of a file are such a table's first line.
bool looksLikeCsvCurve(const QByteArray &start);

CurveReadResult readCsvCurve(
    QIODevice *device, CurveFileContents *out, const CurveProgress &progress = {}, int maxRows = 50'000'000);
