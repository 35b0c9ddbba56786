#pragma once

#include <QtGlobal>

// One recorded point: key = seconds since the recording started, value = degrees.
struct Sample
{
    double key = 0;
    double value = 0;
};
// Plain data: containers may move and zero-fill it as raw bytes.
Q_DECLARE_TYPEINFO(Sample, Q_PRIMITIVE_TYPE);
