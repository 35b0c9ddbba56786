#pragma once

#include "qcp.h"

class SampleStore;

// A graph that draws a SampleStore through its min/max pyramid: a frame costs in proportion to the pixels
// drawn, and value fitting does not scan the samples. With any other data container (after a setData of
// vectors) it behaves as a plain QCPGraph. The store must outlive the graph or be unset first.
class CurveGraph : public QCPGraph
{
    Q_OBJECT

public:
    CurveGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

    // Shows the store's samples; call again after the store resets or is reassigned.
    void setStore(const SampleStore *store);

    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
        const QCPRange &inKeyRange = QCPRange()) const override;

protected:
    void getOptimizedLineData(QVector<QCPGraphData> *lineData,
        const QCPGraphDataContainer::const_iterator &begin,
        const QCPGraphDataContainer::const_iterator &end) const override;

private:
    bool drawsStore() const;

    const SampleStore *m_store = nullptr;
};
