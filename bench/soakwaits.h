#pragma once

#include <QtGlobal>

// How long one kind of close or stop request waited: how many, and the longest.
struct SoakWaits
{
    int count = 0;
    qint64 maxNs = 0;

    void add(qint64 ns)
    {
        ++count;
        maxNs = qMax(maxNs, ns);
    }
    double maxMs() const { return double(maxNs) / 1e6; }
};
