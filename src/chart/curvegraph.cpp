#include "curvegraph.h"

#include "samplestore.h"

CurveGraph::CurveGraph(QCPAxis *keyAxis, QCPAxis *valueAxis)
    : QCPGraph(keyAxis, valueAxis)
{ }

void CurveGraph::setStore(const SampleStore *store)
{
    m_store = store;
    if (m_store)
        setData(m_store->data());
}

bool CurveGraph::drawsStore() const
{
    return m_store && m_store->data() == mDataContainer;
}

QCPRange CurveGraph::getValueRange(
    bool &foundRange, QCP::SignDomain inSignDomain, const QCPRange &inKeyRange) const
{
    if (!drawsStore() || inSignDomain != QCP::sdBoth)
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    int from = 0;
    int to = m_store->size();
    // QCPDataContainer::valueRange() treats the default QCPRange as "no key restriction"; so do we.
    if (inKeyRange != QCPRange()) {
        from = int(mDataContainer->findBegin(inKeyRange.lower, false) - mDataContainer->constBegin());
        to = int(mDataContainer->findEnd(inKeyRange.upper, false) - mDataContainer->constBegin());
    }
    const SampleStore::Extremes e = m_store->valueRange(from, to);
    foundRange = from < to;
    return foundRange ? QCPRange(e.min, e.max) : QCPRange();
}

void CurveGraph::getOptimizedLineData(QVector<QCPGraphData> *lineData,
    const QCPGraphDataContainer::const_iterator &begin,
    const QCPGraphDataContainer::const_iterator &end) const
{
    if (!lineData)
        return;
    QCPAxis *keyAxis = mKeyAxis.data();
    if (!drawsStore() || !keyAxis || keyAxis->orientation() != Qt::Horizontal) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }
    const QCPRange range = keyAxis->range();
    const int first = int(begin - mDataContainer->constBegin());
    const int last = int(end - mDataContainer->constBegin());
    m_store->lineData(first, last, range.lower, range.upper, keyAxis->axisRect()->width(), lineData);
}
