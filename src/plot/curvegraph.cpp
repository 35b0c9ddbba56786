#include "curvegraph.h"

#include "columnspans.h"
#include "recording/samplestore.h"

#include <algorithm>
#include <cmath>
#include <limits>

QVector<QVector<Sample>> splitAtGaps(const QVector<Sample> &points, double gap)
{
    QVector<QVector<Sample>> stretches;
    for (const Sample &d : points) {
        if (stretches.isEmpty() || (gap > 0 && d.key - stretches.last().last().key > gap))
            stretches.append(QVector<Sample>());
        stretches.last().append(d);
    }
    return stretches;
}

CurveGraph::CurveGraph(QCPAxis *keyAxis, QCPAxis *valueAxis)
    : QCPGraph(keyAxis, valueAxis)
{ }

void CurveGraph::setStore(const SampleStore *store)
{
    m_store = store;
}

QVector<QVector<QPointF>> CurveGraph::visibleLines() const
{
    const QCPAxis *keyAxis = mKeyAxis.data();
    if (!keyAxis || !mValueAxis || m_store->isEmpty() || keyAxis->range().size() <= 0)
        return {};
    const QCPRange range = keyAxis->range();
    const int columns = keyAxis->orientation() == Qt::Horizontal ? keyAxis->axisRect()->width()
                                                                 : keyAxis->axisRect()->height();
    QVector<Sample> lineData;
    m_store->lineData(0, m_store->size(), range.lower, range.upper, columns, &lineData);
    // Dense data comes as one or two points per pixel column, so neighbours up to two columns apart are
    // still one stretch.
    const double gap
        = m_gapSeconds > 0 ? std::max(m_gapSeconds, 2.0 * range.size() / std::max(columns, 1)) : 0;
    const QVector<QVector<Sample>> stretches = splitAtGaps(lineData, gap);
    const bool reversed = keyAxis->rangeReversed() != (keyAxis->orientation() == Qt::Vertical);
    QVector<QVector<QPointF>> lines;
    // QCPGraph maps its own point type to pixels; only the few points per column are converted to it.
    QVector<QCPGraphData> points;
    for (const QVector<Sample> &stretch : stretches) {
        points.clear();
        points.reserve(stretch.size());
        for (const Sample &d : stretch)
            points.append(QCPGraphData(d.key, d.value));
        if (reversed)
            std::reverse(points.begin(), points.end());
        lines.append(dataToLines(points));
    }
    if (reversed)
        std::reverse(lines.begin(), lines.end());
    return lines;
}

void CurveGraph::draw(QCPPainter *painter)
{
    if (!m_store) {
        QCPGraph::draw(painter);
        return;
    }
    if (mLineStyle == lsNone)
        return;
    const QVector<QVector<QPointF>> lines = visibleLines();
    if (lines.isEmpty())
        return;
    if (selected())
        mSelectionDecorator->applyPen(painter);
    else
        painter->setPen(mPen);
    painter->setBrush(Qt::NoBrush);
    for (const QVector<QPointF> &line : lines)
        drawLinePlot(painter, line);
}

double CurveGraph::selectTest(const QPointF &pos, bool onlySelectable, QVariant *details) const
{
    if (!m_store)
        return QCPGraph::selectTest(pos, onlySelectable, details);
    if ((onlySelectable && mSelectable == QCP::stNone) || m_store->isEmpty() || !mKeyAxis)
        return -1;
    if (!mKeyAxis->axisRect()->rect().contains(pos.toPoint())
        && !mParentPlot->interactions().testFlag(QCP::iSelectPlottablesBeyondAxisRect))
        return -1;
    const QVector<QVector<QPointF>> lines = visibleLines();
    if (lines.isEmpty())
        return -1;
    double best = std::numeric_limits<double>::max();
    for (const QVector<QPointF> &line : lines) {
        best = std::min(best, QCPVector2D(pos).distanceSquaredToLine(line[0], line[0]));
        for (int i = 1; i < line.size(); ++i)
            best = std::min(best, QCPVector2D(pos).distanceSquaredToLine(line[i - 1], line[i]));
    }
    // The curve is selected as a whole; any non-empty range marks it.
    if (details)
        details->setValue(QCPDataSelection(QCPDataRange(0, 1)));
    return std::sqrt(best);
}

QCPRange CurveGraph::getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain) const
{
    if (!m_store)
        return QCPGraph::getKeyRange(foundRange, inSignDomain);
    int first = 0;
    int last = m_store->size() - 1;
    if (inSignDomain == QCP::sdPositive)
        first = m_store->upperBound(0);
    else if (inSignDomain == QCP::sdNegative)
        last = m_store->lowerBound(0) - 1;
    foundRange = first <= last;
    return foundRange ? QCPRange(m_store->at(first).key, m_store->at(last).key) : QCPRange();
}

QCPRange CurveGraph::getValueRange(
    bool &foundRange, QCP::SignDomain inSignDomain, const QCPRange &inKeyRange) const
{
    if (!m_store)
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    int from = 0;
    int to = m_store->size();
    // As in QCPDataContainer::valueRange(), the default QCPRange means "no key restriction".
    if (inKeyRange != QCPRange()) {
        from = m_store->lowerBound(inKeyRange.lower);
        to = m_store->upperBound(inKeyRange.upper);
    }
    const SampleStore::Extremes e = m_store->valueRange(from, to);
    QCPRange range(e.min, e.max);
    foundRange = from < to;
    // Log axes are not used here; keep only the part of the range in the requested sign domain.
    if (inSignDomain == QCP::sdPositive) {
        foundRange = foundRange && range.upper > 0;
        range.lower = std::max(range.lower, range.upper * 1e-9);
    } else if (inSignDomain == QCP::sdNegative) {
        foundRange = foundRange && range.lower < 0;
        range.upper = std::min(range.upper, range.lower * 1e-9);
    }
    return foundRange ? range : QCPRange();
}

void CurveGraph::drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const
{
    const QCPAxis *keyAxis = mKeyAxis.data();
    const QPen pen = painter->pen();
    if (pen.style() == Qt::NoPen || pen.color().alpha() == 0)
        return;
    // Sparse lines keep the ordinary stroke; so does anything not drawn left to right on screen.
    if (!keyAxis || keyAxis->orientation() != Qt::Horizontal || lines.size() < 2
        || lines.size() < 3 * keyAxis->axisRect()->width() / 2 || pen.style() != Qt::SolidLine) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    const ColumnSpans split = splitIntoColumnSpans(lines, std::max(1.0, pen.widthF()));
    if (!split.spans.isEmpty()) {
        // Whole pixels without antialiasing take the raster engine's plain fill, the point of spans.
        // QCustomPlot also sets the high-quality hint, which the raster engine takes for antialiasing.
        painter->save();
        painter->setAntialiasing(false);
        painter->setRenderHints(painter->renderHints(), false);
        painter->setPen(Qt::NoPen);
        painter->setBrush(pen.brush());
        painter->drawRects(split.spans);
        painter->restore();
    }
    for (const QPolygonF &line : split.lines)
        QCPGraph::drawLinePlot(painter, line);
}
