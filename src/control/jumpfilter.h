#pragma once

#include <QtGlobal>

// Holds back implausible readings without holding back real changes. Works in the controller's wire
// units, so a change of exactly the limit is never rejected through float rounding.
// A reading is shown when it lies within maxJump of the last shown one, or of where the trend of the
// shown readings predicts it. Otherwise it is held back; a single outlier, or two, never shows. Three
// held-back readings in a row that lie on one straight line (a step, or a ramp faster than the limit)
// are a real change: the third is shown and its slope becomes the trend.
class JumpFilter
{
public:
    explicit JumpFilter(int maxJump = 500);

    // Forget everything: the next reading is shown whatever its value.
    void reset();
    // The value to show for a reading taken at nowMs (monotonic milliseconds).
    int filter(int reading, qint64 nowMs);

    bool hasAccepted() const { return m_hasAccepted; }
    int lastAccepted() const { return m_accepted.value; }

private:
    struct Point
    {
        int value = 0;
        qint64 at = 0;
    };

    void accept(const Point &point, double slope);
    bool near(double expected, int reading) const;

    int m_maxJump = 500;
    bool m_hasAccepted = false;
    Point m_accepted;
    double m_slope = 0; // wire units per millisecond
    Point m_held[3];
    int m_heldCount = 0;
};
