#pragma once

#include "qcp.h"
#include "recording/sample.h"

class SampleStore;

// Splits key-sorted points wherever neighbours lie more than `gap` apart; `gap` 0 keeps them together.
QVector<QVector<Sample>> splitAtGaps(const QVector<Sample> &points, double gap);

// A graph that draws a SampleStore instead of its own data container: through the store's min/max
// pyramid a frame costs in proportion to the pixels drawn, and fitting does not scan the samples. Where a
// line denser than the pixels reaches further up and down within a pixel column than the pen is wide, the
// column is filled as one vertical span (splitIntoColumnSpans), which looks the same and costs a fraction of
// stroking the zigzag. Without a store it is a plain QCPGraph. GUI thread only; the store must stay alive
// while it is set.
class CurveGraph : public QCPGraph
{
    Q_OBJECT

public:
    CurveGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

    void setStore(const SampleStore *store);
    const SampleStore *store() const { return m_store; }
    // Neighbouring samples further apart than this (seconds) are not joined, so a stretch without
    // readings shows as a gap; 0 joins every sample.
    void setGapSeconds(double seconds) { m_gapSeconds = seconds; }

    double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
        const QCPRange &inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter *painter) override;
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;

private:
    // Pixel polylines of the visible part of the store, one per stretch without a gap; none when
    // nothing is visible.
    QVector<QVector<QPointF>> visibleLines() const;

    const SampleStore *m_store = nullptr;
    double m_gapSeconds = 0;
};
