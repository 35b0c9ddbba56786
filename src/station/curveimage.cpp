#include "curveimage.h"

#include "plot/chartranges.h"
#include "plot/curvegraph.h"
#include "recording/curverecorder.h"
#include "recording/samplestore.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// Each source text is marked where it is used, so that the translation tools find it.
QString text(const char *source)
{
    return QCoreApplication::translate("CurveImage", source);
}

// A mark's label: stable for 0, step n for n > 0, the end for -1.
QString markLabel(int step)
{
    return step == 0 ? text(QT_TRANSLATE_NOOP("CurveImage", "稳定"))
        : step > 0   ? text(QT_TRANSLATE_NOOP("CurveImage", "步骤%1")).arg(step)
                     : text(QT_TRANSLATE_NOOP("CurveImage", "结束"));
}

QPen markPen(int step)
{
    if (step == 0)
        return QPen(QColor(0, 160, 0), 1, Qt::DashLine);
    return QPen(step > 0 ? QColor(0, 90, 200) : QColor(120, 120, 120), 1, Qt::SolidLine);
}

} // namespace

QPixmap curveImage(const CurveRecorder &recorder, const QSize &size)
{
    const QSharedPointer<SampleStore> curve = recorder.curve();
    if (!curve || curve->isEmpty())
        return QPixmap();
    QCustomPlot plot;
    plot.resize(size);
    plot.setBackground(QBrush(Qt::white));
    plot.legend->setVisible(true);
    plot.xAxis->setLabel(text(QT_TRANSLATE_NOOP("CurveImage", "时间(秒)")));
    plot.yAxis->setLabel(recorder.info().unit == 1 ? text(QT_TRANSLATE_NOOP("CurveImage", "温度(℉)"))
                                                   : text(QT_TRANSLATE_NOOP("CurveImage", "温度(℃)")));
    const double gap = std::max(2.5 * recorder.info().intervalMs / 1000.0, 1.0);

    auto *temperature = new CurveGraph(plot.xAxis, plot.yAxis);
    temperature->setPen(QPen(QColor(255, 128, 0), 2));
    temperature->setName(text(QT_TRANSLATE_NOOP("CurveImage", "实温")));
    temperature->setStore(curve.data());
    temperature->setGapSeconds(gap);
    const QSharedPointer<SampleStore> ambient = recorder.ambientCurve();
    auto *ambientGraph = new CurveGraph(plot.xAxis, plot.yAxis);
    ambientGraph->setPen(QPen(QColor(0, 112, 192), 2));
    ambientGraph->setName(text(QT_TRANSLATE_NOOP("CurveImage", "环温")));
    ambientGraph->setStore(ambient.data());
    ambientGraph->setGapSeconds(gap);
    // Without a thermometer a legend entry would promise a curve.
    if (!ambient || ambient->isEmpty())
        ambientGraph->removeFromLegend();

    const double last = curve->at(curve->size() - 1).key;
    QVector<double> keys = recorder.setPointKeys();
    QVector<double> values = recorder.setPointValues();
    if (!keys.isEmpty()) {
        // The latest set point reaches on to the newest sample.
        keys.append(std::max(keys.constLast(), last));
        values.append(values.constLast());
        QCPGraph *setPoints = plot.addGraph();
        setPoints->setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
        setPoints->setLineStyle(QCPGraph::lsStepLeft);
        setPoints->setName(text(QT_TRANSLATE_NOOP("CurveImage", "设定值")));
        setPoints->setData(keys, values, true);
    }

    int row = 0;
    for (const CurveRecorder::Mark &mark : recorder.marks()) {
        const QPen pen = markPen(mark.step);
        auto *line = new QCPItemStraightLine(&plot);
        line->point1->setCoords(mark.at, 0);
        line->point2->setCoords(mark.at, 1);
        line->setPen(pen);
        // At the top of the plot, beside its line; neighbouring labels take turns in three rows.
        auto *label = new QCPItemText(&plot);
        label->position->setTypeX(QCPItemPosition::ptPlotCoords);
        label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        label->position->setAxes(plot.xAxis, plot.yAxis);
        label->position->setAxisRect(plot.axisRect());
        label->position->setCoords(mark.at, 0.01 + 0.05 * (row++ % 3));
        label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setClipToAxisRect(true);
        label->setText(markLabel(mark.step));
        label->setColor(pen.color());
        QFont font = label->font();
        font.setPixelSize(11);
        label->setFont(font);
    }

    const SampleStore::Extremes e = curve->valueRange();
    plot.xAxis->setRange(curve->at(0).key, last);
    plot.yAxis->setRange(wholeCurveValueRange(e.min, e.max));
    const QPixmap pixmap = plot.toPixmap(size.width(), size.height());
    // The graphs are the plot's; the stores are the recorder's and outlive them.
    temperature->setStore(nullptr);
    ambientGraph->setStore(nullptr);
    return pixmap;
}
