// libFuzzer target for the curve file reader: any bytes must read without a crash, a hang or a runaway
// allocation, and whatever reads back must survive a write (with the file's own date, so row times go
// wherever a crafted date and crafted durations take them) and a second read unchanged in size.

#include "recording/curvefile.h"

#include <QBuffer>

#include <cmath>
#include <cstdlib>

namespace {
// Small enough that a fuzzed file cannot ask for much memory, large enough to pass the cap.
const int kMaxRows = 200'000;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    CurveFileContents contents;
    int last = -1;
    const CurveReadResult result = readCurve(
        &buffer, &contents,
        [&last](int percent) {
            // Whole percentages, each reported once, never past 100.
            if (percent < 0 || percent > 100 || percent == last)
                std::abort();
            last = percent;
        },
        kMaxRows);
    if (result != CurveReadResult::Ok)
        return 0;
    const QVector<Sample> &samples = contents.samples;
    for (int i = 0; i < samples.size(); ++i) {
        if (!std::isfinite(samples[i].key) || !std::isfinite(samples[i].value))
            std::abort();
        if (i > 0 && samples[i].key < samples[i - 1].key)
            std::abort();
    }
    if (!samples.isEmpty() && contents.highest < contents.lowest)
        std::abort();

    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    CurveFileHeader header;
    header.unit = contents.unit;
    header.startMsecs = contents.startMsecs;
    header.intervalMs = 100;
    if (!writeCurve(
            &out, header, samples.size(), [&samples](qint64 i) -> const Sample & { return samples[int(i)]; }))
        std::abort();
    QBuffer again(&written);
    again.open(QIODevice::ReadOnly);
    CurveFileContents reread;
    if (readCurve(&again, &reread) != CurveReadResult::Ok || reread.samples.size() != samples.size())
        std::abort();
    // Written rows are all numbers, so a curve stays one.
    if (contents.isCurve() && !reread.isCurve())
        std::abort();
    return 0;
}
