#include "ttwidget.h"

#include "corvelescale.h"
#include "plot/chartranges.h"
#include "plot/curvegraph.h"
#include "recording/samplestore.h"
#include "recording/writefilethread.h"
#include "settings/chartsettings.h"
#include "settings/settings.h"
#include "ui_ttwidget.h"
#include "widgets/buttonstyles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>

namespace {
const double kTimeFloor = 0;
const double kTemperatureFloor = -50;
const double kMinTimeWidth = 1.0;
const double kMaxTimeWidth = 100000;
const double kMinTemperatureWidth = 0.1;
const double kMaxTemperatureWidth = 10000;
const float kImportMargin = 10;
// The legend looks for a quieter corner at most this often while a recording draws.
const qint64 kLegendCheckMs = 1000;
} // namespace

ttwidget::ttwidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ttwidget)
{
    ui->setupUi(this);
    connect(ui->pushButton_export, &QPushButton::clicked, this, &ttwidget::exportRequested);

    plot = new QCustomPlot(this);
    plot->setInteractions(
        QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectPlottables | QCP::iSelectAxes | QCP::iSelectLegend);
    // Dense curves are drawn as one polyline, not as thousands of single segments.
    plot->setPlottingHint(QCP::phFastPolylines, true);
    plot->xAxis->setLabel(tr("时间(秒)"));
    plot->yAxis->setLabel(tr("温度(℃)"));
    plot->legend->setVisible(true);
    plot->setBackground(QBrush(Qt::white));
    for (QCPAxis *axis : {plot->xAxis, plot->yAxis}) {
        axis->setTickLabelColor(Qt::black);
        axis->setLabelColor(Qt::black);
        axis->setBasePen(QPen(Qt::black));
        axis->setTickPen(QPen(Qt::black));
        axis->setSubTickPen(QPen(Qt::black));
        QFont font = axis->labelFont();
        font.setPixelSize(14);
        axis->setLabelFont(font);
    }
    plot->yAxis->setRange(0, 100);
    connect(plot->yAxis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this,
        &ttwidget::yAxisRangeChanged);
    connect(plot->xAxis, QOverload<const QCPRange &>::of(&QCPAxis::rangeChanged), this,
        &ttwidget::xAxisRangeChanged);

    ui->pushButton_hc->setText(tr("暂停"));
    tempGraph = new CurveGraph(plot->xAxis, plot->yAxis);
    tempGraph->setPen(QPen(QColor(255, 128, 0), 2));
    tempGraph->setName(tr("实温"));
    ambientGraph = new CurveGraph(plot->xAxis, plot->yAxis);
    ambientGraph->setPen(QPen(QColor(0, 112, 192), 2));
    ambientGraph->setName(tr("环温"));
    setPointGraph = plot->addGraph();
    setPointGraph->setPen(QPen(QColor(200, 0, 0), 1, Qt::DashLine));
    setPointGraph->setLineStyle(QCPGraph::lsStepLeft);
    setPointGraph->setName(tr("设定值"));
    setPointGraph->setSelectable(QCP::stNone);
    setPointGraph->removeFromLegend();
    plot->xAxis->setRange(0, 30);

    applyDisabledStyle(ui->pushButton_startstop);
    applyDisabledStyle(ui->pushButton_hc);
    applyDisabledStyle(ui->pushButton_mode);
    applyPlainStyle(ui->pushButton_horizontal);
    applyPlainStyle(ui->pushButton_vertical);
    applyPlainStyle(ui->pushButton_export);

    setRecorder(&m_ownRecorder);
    applySettings(readChartSettings(appSettings));
    m_store = QSharedPointer<SampleStore>::create(m_recorder->cacheSize());
    m_curveInfo = newCurveInfo(0);
    tempGraph->setStore(m_store.data());
    m_ambientStore = QSharedPointer<SampleStore>::create();
    ambientGraph->setStore(m_ambientStore.data());
    showAmbientGraph();

    ui->pushButton_startstop->setText(tr("开始"));
    ui->pushButton_mode->setText(tr("全局"));
    ui->widget_menu->hide();
}

ttwidget::~ttwidget()
{
    delete hScale;
    delete vScale;
    tempGraph->setStore(nullptr);
    ambientGraph->setStore(nullptr);
    delete ui;
}

void ttwidget::setRecorder(CurveRecorder *recorder)
{
    m_recorder->disconnect(this);
    m_recorder = recorder;
    connect(recorder, &CurveRecorder::drained, this, &ttwidget::refreshChart);
    connect(recorder, &CurveRecorder::pausedChanged, this, &ttwidget::pausedChanged);
    connect(recorder, &CurveRecorder::pausedChanged, this,
        [this](bool paused) { ui->pushButton_hc->setText(paused ? tr("继续") : tr("暂停")); });
    connect(recorder, &CurveRecorder::recordingChanged, this, &ttwidget::followRecording);
    connect(recorder, &CurveRecorder::markAdded, this, &ttwidget::addMark);
    connect(recorder, &CurveRecorder::adopted, this, &ttwidget::showAdoptedCurve);
}

void ttwidget::applySettings(const ChartSettings &settings)
{
    setCacheSize(settings.cacheSize);
    setSampleInterval(settings.sampleIntervalMs);
}

void ttwidget::setUnit(int u)
{
    m_recorder->setUnit(u);
    // Numbers taken in another unit keep theirs; an empty curve has none to keep.
    if (!isRecording() && m_store->isEmpty())
        m_curveInfo.unit = u;
    labelTemperatureAxis();
}

void ttwidget::labelTemperatureAxis()
{
    if (m_curveInfo.unit == 1)
        plot->yAxis->setLabel(tr("温度(℉)"));
    else if (m_curveInfo.unit == 2)
        plot->yAxis->setLabel(tr("温度(℃)"));
}

void ttwidget::markCurveSaved(const QString &fileName)
{
    if (showsRecording())
        m_recorder->markSaved(fileName);
    if (!fileName.isEmpty())
        m_curveFile = fileName;
}

bool ttwidget::hasUnsavedCurve() const
{
    return showsRecording() && m_recorder->hasUnsavedCurve();
}

void ttwidget::stopAndClose()
{
    stopRecording();
    dropPopup(hScale);
    dropPopup(vScale);
    close();
}

void ttwidget::disableRecordControls()
{
    m_recordControlsOn = false;
    // A running recording must stay stoppable.
    if (!isRecording())
        applyDisabledStyle(ui->pushButton_startstop);
    applyDisabledStyle(ui->pushButton_hc);
    applyDisabledStyle(ui->pushButton_mode);
}

void ttwidget::enableRecordControls(bool on)
{
    if (!on)
        return;
    m_recordControlsOn = true;
    applyActiveStyle(ui->pushButton_startstop);
    applyActiveStyle(ui->pushButton_hc);
    applyActiveStyle(ui->pushButton_mode);
}

void ttwidget::UpdateTemp(double v)
{
    m_recorder->setReading(v);
}

void ttwidget::UpdateTempAmb(double v)
{
    m_recorder->setAmbientReading(v);
}

void ttwidget::setShowAmbient(bool on)
{
    m_showAmbient = on;
    showAmbientGraph();
    plot->replot(QCustomPlot::rpRefreshHint);
}

// Without a thermometer there is nothing to show, and a legend entry would promise a curve.
void ttwidget::showAmbientGraph()
{
    const bool visible = m_showAmbient && !m_ambientStore->isEmpty();
    ambientGraph->setVisible(visible);
    if (visible)
        ambientGraph->addToLegend();
    else
        ambientGraph->removeFromLegend();
}

void ttwidget::on_pushButton_startstop_clicked()
{
    if (isRecording())
        stopRecording();
    else
        startRecording();
}

void ttwidget::stopRecording()
{
    m_recorder->stop();
}

void ttwidget::startRecording()
{
    m_recorder->start();
}

// Whoever started or stopped the recording: the window, a remote client, a run.
void ttwidget::followRecording(bool recording)
{
    if (!recording) {
        showAmbientGraph();
        ui->pushButton_startstop->setText(tr("开始"));
        if (!m_recordControlsOn)
            applyDisabledStyle(ui->pushButton_startstop);
        if (!isPaused())
            plot->replot(QCustomPlot::rpRefreshHint);
        emit recordingChanged(false);
        return;
    }
    showCurve(m_recorder->curve(), m_recorder->info());
    emit shownCurveChanged();
    emit recordingChanged(true);
    ui->pushButton_startstop->setText(tr("停止"));
    // Whatever the last curve left on the time axis, the new one starts in view.
    plot->xAxis->setRange(recordingStartWindow(plot->xAxis->range(), m_mode == wholeCurveMode));
    m_ambientStore = m_recorder->ambientCurve();
    ambientGraph->setStore(m_ambientStore.data());
    showAmbientGraph();
}

void ttwidget::refreshChart()
{
    // The ambient graph appears with its first sample.
    showAmbientGraph();
    if (isPaused())
        return;
    moveAxes();
    showSetPointTrace();
    if (!m_legendPlaced.isValid() || m_legendPlaced.hasExpired(kLegendCheckMs))
        placeLegend();
    plot->replot(QCustomPlot::rpRefreshHint);
}

void ttwidget::moveAxes()
{
    const int n = m_store->size();
    if (n == 0)
        return;
    const SampleStore &store = *m_store;
    const double newest = store.at(n - 1).key;
    // A single-point range is no range: QCustomPlot keeps the axis as it is.
    plot->xAxis->setRange(
        m_mode == followMode ? followRange(plot->xAxis->range(), newest) : QCPRange(store.at(0).key, newest));
    if (m_autoFit) {
        tempGraph->rescaleAxes(false);
        // The set point in view too: how far the source still has to go is what the operator looks for.
        bool found = false;
        QCPRange values = plot->yAxis->range();
        const QCPRange set = setPointGraph->getValueRange(found, QCP::sdBoth, plot->xAxis->range());
        if (found)
            values.expand(set);
        if (showsRecording() && !m_recorder->setPointValues().isEmpty())
            values.expand(m_recorder->setPointValues().constLast());
        if (values != plot->yAxis->range())
            plot->yAxis->setRange(wholeCurveValueRange(values.lower, values.upper));
    } else if (m_mode == wholeCurveMode) {
        const SampleStore::Extremes e = store.valueRange();
        plot->yAxis->setRange(wholeCurveValueRange(e.min, e.max));
    } else if (const std::optional<QCPRange> shifted
        = keepValueInView(plot->yAxis->range(), store.at(n - 1).value, kTemperatureFloor)) {
        plot->yAxis->setRange(*shifted);
    }
}

void ttwidget::markStable()
{
    m_recorder->markStable();
}

// A mark's label in the language in force: stable for 0, step n for n > 0, the end for -1.
QString ttwidget::markLabel(int step)
{
    return step == 0 ? tr("稳定") : step > 0 ? tr("步骤%1").arg(step) : tr("结束");
}

void ttwidget::markStep(bool start)
{
    m_recorder->markStep(start);
}

void ttwidget::addMark(const CurveRecorder::Mark &recorded)
{
    if (!showsRecording())
        return;
    const int step = recorded.step;
    const QPen pen = step == 0
        ? QPen(QColor(0, 160, 0), 1, Qt::DashLine)
        : QPen(step > 0 ? QColor(0, 90, 200) : QColor(120, 120, 120), 1, Qt::SolidLine);
    auto *mark = new QCPItemStraightLine(plot);
    const double at = recorded.at;
    mark->point1->setCoords(at, 0);
    mark->point2->setCoords(at, 1);
    mark->setPen(pen);
    mark->setSelectable(false);
    m_stableMarks.append(mark);
    // At the top of the plot, beside its line; neighbouring labels take turns in three rows.
    auto *text = new QCPItemText(plot);
    text->position->setTypeX(QCPItemPosition::ptPlotCoords);
    text->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    text->position->setAxes(plot->xAxis, plot->yAxis);
    text->position->setAxisRect(plot->axisRect());
    text->position->setCoords(at, 0.01 + 0.05 * ((m_stableMarks.size() / 2) % 3));
    text->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setClipToAxisRect(true);
    text->setText(markLabel(step));
    // Kept for a change of language.
    text->setProperty(kMarkStep, step);
    text->setColor(pen.color());
    QFont font = text->font();
    font.setPixelSize(11);
    text->setFont(font);
    text->setPadding(QMargins(2, 0, 2, 0));
    text->setSelectable(false);
    m_stableMarks.append(text);
}

void ttwidget::setSetPoint(double celsius)
{
    m_recorder->setSetPoint(celsius);
}

// The latest set point reaches on to the newest sample.
void ttwidget::showSetPointTrace()
{
    if (!showsRecording() || m_recorder->setPointKeys().isEmpty() || m_store->isEmpty()) {
        setPointGraph->data()->clear();
        setPointGraph->removeFromLegend();
        return;
    }
    QVector<double> keys = m_recorder->setPointKeys();
    QVector<double> values = m_recorder->setPointValues();
    keys.append(std::max(keys.constLast(), m_store->at(m_store->size() - 1).key));
    values.append(values.constLast());
    setPointGraph->setData(keys, values, true);
    setPointGraph->addToLegend();
}

void ttwidget::placeLegend()
{
    m_legendPlaced.start();
    QCPAxisRect *rect = plot->axisRect();
    const QRect area = rect->rect();
    QSize size = plot->legend->outerRect().size();
    if (size.isEmpty())
        size = static_cast<QCPLayoutElement *>(plot->legend)->minimumOuterSizeHint();
    if (area.isEmpty() || size.isEmpty())
        return;
    QVector<QPointF> points;
    const auto addGraph = [&](const QCPGraph *graph, const SampleStore *store) {
        if (!graph->visible() || !store || store->isEmpty())
            return;
        QVector<Sample> data;
        store->lineData(
            0, store->size(), plot->xAxis->range().lower, plot->xAxis->range().upper, area.width(), &data);
        for (const Sample &d : qAsConst(data))
            points.append(QPointF(plot->xAxis->coordToPixel(d.key), plot->yAxis->coordToPixel(d.value)));
    };
    addGraph(tempGraph, m_store.data());
    addGraph(ambientGraph, m_ambientStore.data());
    for (auto it = setPointGraph->data()->constBegin(); it != setPointGraph->data()->constEnd(); ++it)
        points.append(QPointF(plot->xAxis->coordToPixel(it->key), plot->yAxis->coordToPixel(it->value)));
    m_legendCorner = quietestCorner(points, area, size, 0, m_legendCorner);
    static const Qt::Alignment kAlignments[] = {Qt::AlignTop | Qt::AlignRight, Qt::AlignTop | Qt::AlignLeft,
        Qt::AlignBottom | Qt::AlignRight, Qt::AlignBottom | Qt::AlignLeft};
    rect->insetLayout()->setInsetAlignment(0, kAlignments[int(m_legendCorner)]);
}

QString ttwidget::exportTitle() const
{
    const qint64 start = m_curveInfo.startMsecs;
    QStringList parts;
    // An empty chart has no start: the day it was drawn, the same picture for every export that day.
    parts << (start > 0 && !m_store->isEmpty()
            ? QDateTime::fromMSecsSinceEpoch(start).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
            : QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
    const bool recorded = showsRecording();
    if (recorded && !m_recorder->curveModel().isEmpty())
        parts << tr("型号: %1").arg(m_recorder->curveModel());
    if (recorded && !m_recorder->setPointValues().isEmpty())
        // 60.25 must not print as 60.2: as many decimals as the set point has, one at least.
        parts << tr("设定值: %1")
                     .arg(QString::number(m_recorder->setPointValues().constLast(), 'f', 3)
                              .remove(QRegularExpression(QStringLiteral("0{1,2}$"))))
                + (m_curveInfo.unit == 1 ? tr("℉") : tr("℃"));
    if (!m_curveFile.isEmpty())
        parts << QFileInfo(m_curveFile).fileName();
    return parts.join(QStringLiteral("    "));
}

QPixmap ttwidget::wholeCurvePixmap(const QSize &size)
{
    const QCPRange keys = plot->xAxis->range();
    const QCPRange values = plot->yAxis->range();
    if (!m_store->isEmpty()) {
        const SampleStore::Extremes e = m_store->valueRange();
        plot->xAxis->setRange(m_store->at(0).key, m_store->at(m_store->size() - 1).key);
        plot->yAxis->setRange(wholeCurveValueRange(e.min, e.max));
    }
    const QPixmap pixmap = plot->toPixmap(size.width(), size.height());
    plot->xAxis->setRange(keys);
    plot->yAxis->setRange(values);
    plot->replot(QCustomPlot::rpQueuedReplot);
    return pixmap;
}

void ttwidget::showCurve(const QSharedPointer<SampleStore> &store, const CurveInfo &info)
{
    // The marks and the set points belong to the curve on screen.
    for (QCPAbstractItem *mark : qAsConst(m_stableMarks))
        plot->removeItem(mark);
    m_stableMarks.clear();
    m_curveFile.clear();
    m_opened = false;
    m_store = store;
    showSetPointTrace();
    m_curveInfo = info;
    tempGraph->setStore(m_store.data());
    // Ticks without a reading leave no sample; a stretch of them (a silent or vanished controller) shows
    // as a break. Under a second is no break: readings come every half second, and ticks may run late.
    const double gap = std::max(2.5 * info.intervalMs / 1000.0, 1.0);
    tempGraph->setGapSeconds(gap);
    ambientGraph->setGapSeconds(gap);
    labelTemperatureAxis();
}

void ttwidget::on_pushButton_mode_clicked()
{
    setMode(m_mode == followMode ? wholeCurveMode : followMode);
}

void ttwidget::setMode(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    if (mode == wholeCurveMode) {
        // A stopped or opened curve is shown whole at once; a recording's next refresh would do the same.
        if (!isPaused() && !isRecording()) {
            moveAxes();
            placeLegend();
            plot->replot(QCustomPlot::rpRefreshHint);
        }
        return;
    }
    if (!m_store->isEmpty())
        plot->xAxis->setRange(
            followWindowFromWholeCurve(plot->xAxis->range(), m_store->at(m_store->size() - 1).key));
}

void ttwidget::on_pushButton_hc_clicked()
{
    setPaused(!isPaused());
}

void ttwidget::resumeAfterInspection()
{
    if (!hScale && !vScale)
        m_recorder->endInspection();
}

CorveleScale *ttwidget::openPopup(CorveleScale *old, const QWidget *button, void (ttwidget::*destroy)(),
    void (ttwidget::*zoomin)(), void (ttwidget::*zoomout)())
{
    dropPopup(old);
    // Over the window it belongs to, so a click on the window does not bury it.
    auto *popup = new CorveleScale(button ? button->window() : nullptr);
    if (button) {
        const QRect screen = button->screen() ? button->screen()->availableGeometry() : QRect();
        const QRect at(button->mapToGlobal(QPoint(0, 0)), button->size());
        popup->move(screen.isEmpty() ? at.topLeft() : popupPosition(at, popup->size(), screen));
    }
    connect(popup, &CorveleScale::disapper, this, destroy);
    connect(popup, &CorveleScale::zoomin_clicked, this, zoomin);
    connect(popup, &CorveleScale::zoomout_clicked, this, zoomout);
    m_recorder->pauseForInspection();
    popup->show();
    return popup;
}

void ttwidget::titlePopups()
{
    if (hScale)
        hScale->setWindowTitle(tr("水平缩放"));
    if (vScale)
        vScale->setWindowTitle(tr("垂直缩放"));
}

void ttwidget::dropPopup(CorveleScale *&popup)
{
    if (!popup)
        return;
    // It may be inside its own timer handler, and it must not reach us once replaced.
    popup->disconnect(this);
    popup->hide();
    popup->deleteLater();
    popup = nullptr;
}

void ttwidget::on_pushButton_horizontal_clicked()
{
    showHorizontalZoom();
}

void ttwidget::on_pushButton_vertical_clicked()
{
    showVerticalZoom();
}

void ttwidget::showHorizontalZoom(const QWidget *button)
{
    hScale = openPopup(
        hScale, button, &ttwidget::hScaleDestory, &ttwidget::horizontalZoomin, &ttwidget::horizontalZoomout);
    titlePopups();
}

void ttwidget::showVerticalZoom(const QWidget *button)
{
    vScale = openPopup(
        vScale, button, &ttwidget::vScaleDestory, &ttwidget::verticalZoomin, &ttwidget::verticalZoomout);
    titlePopups();
}

void ttwidget::hScaleDestory()
{
    dropPopup(hScale);
    resumeAfterInspection();
}

void ttwidget::vScaleDestory()
{
    dropPopup(vScale);
    resumeAfterInspection();
}

void ttwidget::zoomAxis(QCPAxis *axis, bool zoomIn, double minWidth, double maxWidth)
{
    if (!plot->isVisible())
        return;
    if (std::optional<QCPRange> range = zoomStep(axis->range(), zoomIn, minWidth, maxWidth)) {
        // Zooming in on the temperature must not lose the reading being recorded.
        if (axis == plot->yAxis && isRecording() && !m_store->isEmpty()) {
            if (const std::optional<QCPRange> shifted
                = keepValueInView(*range, m_store->at(m_store->size() - 1).value, kTemperatureFloor))
                range = shifted;
        }
        axis->setRange(*range);
        placeLegend();
        plot->replot(QCustomPlot::rpRefreshHint);
    }
}

void ttwidget::horizontalZoomin()
{
    zoomAxis(plot->xAxis, true, kMinTimeWidth, kMaxTimeWidth);
}

void ttwidget::horizontalZoomout()
{
    zoomAxis(plot->xAxis, false, kMinTimeWidth, kMaxTimeWidth);
}

void ttwidget::verticalZoomin()
{
    zoomAxis(plot->yAxis, true, kMinTemperatureWidth, kMaxTemperatureWidth);
}

void ttwidget::verticalZoomout()
{
    zoomAxis(plot->yAxis, false, kMinTemperatureWidth, kMaxTemperatureWidth);
}

void ttwidget::xAxisRangeChanged(QCPRange range)
{
    if (const std::optional<QCPRange> guarded = guardedRange(range, kTimeFloor))
        plot->xAxis->setRange(*guarded);
}

void ttwidget::yAxisRangeChanged(QCPRange range)
{
    if (const std::optional<QCPRange> guarded = guardedRange(range, kTemperatureFloor))
        plot->yAxis->setRange(*guarded);
}

QString ttwidget::recordingRefusal() const
{
    return isRecording() ? tr("正在记录曲线，请先停止！") : QString();
}

QString ttwidget::curveWriteRefusal() const
{
    if (isRecording())
        return recordingRefusal();
    if (m_store->isEmpty())
        return tr("没有可保存的曲线");
    return QString();
}

SaveResult ttwidget::saveCurveQuietly(const QString &fileName)
{
    if (const QString refusal = curveWriteRefusal(); !refusal.isEmpty())
        return SaveResult::failure(refusal);
    const SaveResult saved = writeCurveFile(fileName);
    if (saved && showsRecording())
        m_recorder->markSaved(fileName);
    return saved;
}

CurveSnapshot ttwidget::snapshot() const
{
    CurveSnapshot shot;
    shot.header = m_curveInfo.fileHeader(
        QCoreApplication::applicationName(), m_curveInfo.unit == 1 ? tr("℉") : tr("℃"));
    shot.store = m_store;
    return shot;
}

SaveResult ttwidget::writeCurveFile(const QString &fileName)
{
    return WriteFileThread::writeCurveFile(fileName, snapshot());
}

void ttwidget::showOpenedCurve(const CurveFileContents &contents, const CurveInfo &info,
    const QSharedPointer<SampleStore> &store, const QString &fileName)
{
    if (store) {
        // Whoever opens a file has saved the recording or let it go.
        m_recorder->drop();
        showCurve(store, info);
        m_curveFile = fileName;
        m_opened = !fileName.isEmpty();
        m_ambientStore = QSharedPointer<SampleStore>::create();
        ambientGraph->setStore(m_ambientStore.data());
        showAmbientGraph();
        if (!store->isEmpty()) {
            plot->xAxis->setRange(store->at(0).key, store->at(store->size() - 1).key);
            plot->yAxis->setRange(
                float(contents.lowest) - kImportMargin, float(contents.highest) + kImportMargin);
        }
        placeLegend();
        emit shownCurveChanged();
    }
    // Always: a curve without samples must not leave the previous picture standing.
    plot->replot(QCustomPlot::rpRefreshHint);
}

void ttwidget::showAdoptedCurve()
{
    const QSharedPointer<SampleStore> &store = m_recorder->curve();
    showCurve(store, m_recorder->info());
    m_ambientStore = m_recorder->ambientCurve();
    ambientGraph->setStore(m_ambientStore.data());
    showAmbientGraph();
    if (!store->isEmpty()) {
        const SampleStore::Extremes values = store->valueRange();
        plot->xAxis->setRange(store->at(0).key, store->at(store->size() - 1).key);
        plot->yAxis->setRange(float(values.min) - kImportMargin, float(values.max) + kImportMargin);
    }
    placeLegend();
    emit shownCurveChanged();
    plot->replot(QCustomPlot::rpRefreshHint);
}

void ttwidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateCaptions();
    }
    QWidget::changeEvent(event);
}

void ttwidget::retranslateCaptions()
{
    plot->xAxis->setLabel(tr("时间(秒)"));
    labelTemperatureAxis();
    ui->pushButton_startstop->setText(isRecording() ? tr("停止") : tr("开始"));
    ui->pushButton_mode->setText(m_mode != followMode ? tr("模式1") : tr("模式2"));
    ui->pushButton_hc->setText(isPaused() ? tr("继续") : tr("暂停"));
    tempGraph->setName(tr("实温"));
    ambientGraph->setName(tr("环温"));
    setPointGraph->setName(tr("设定值"));
    for (QCPAbstractItem *item : qAsConst(m_stableMarks)) {
        if (auto *text = qobject_cast<QCPItemText *>(item))
            text->setText(markLabel(text->property(kMarkStep).toInt()));
    }
    titlePopups();
    plot->replot(QCustomPlot::rpRefreshHint);
}

void ttwidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (plot)
        plot->resize(ui->graphicwidget->size());
}

void ttwidget::mousePressEvent(QMouseEvent *event)
{
    Q_UNUSED(event)
}
