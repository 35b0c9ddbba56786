#pragma once

#include "plot/chartplacement.h"
#include "plot/qcp.h"
#include "recording/curveinfo.h"
#include "recording/curverecorder.h"
#include "recording/writefilethread.h"

#include <QElapsedTimer>
#include <QSharedPointer>
#include <QWidget>

class CorveleScale;
class CurveGraph;
class SampleStore;
struct ChartSettings;

namespace Ui {
class ttwidget;
}

// The temperature-time chart: draws what a CurveRecorder records, its own until setRecorder() gives it
// the station's, or a curve read from a file, and holds the shown curve for ChartFileActions to save.
// Whoever starts or stops the recording, the chart follows. GUI thread only, but for UpdateTemp() and
// UpdateTempAmb(), which any thread may call.
class ttwidget : public QWidget
{
    Q_OBJECT

public:
    enum Mode { followMode = 0, wholeCurveMode = 1 };
    static constexpr double NoReading = CurveRecorder::NoReading;

    // Takes the stored chart settings.
    explicit ttwidget(QWidget *parent = nullptr);
    ~ttwidget() override;

    // Draws `recorder`, which outlives the chart, in place of its own; before any recording starts.
    void setRecorder(CurveRecorder *recorder);

    // The unit of the next recording (and of the empty curve shown before any): 1 Fahrenheit, 2 Celsius;
    // other codes keep the axis label but are written to files. The axis names the shown curve's unit.
    void setUnit(int u);
    // Capacity (samples) and interval (ms) of the next recording; the curve on screen stays.
    void setCacheSize(int n) { m_recorder->setCacheSize(n); }
    void setSampleInterval(int ms) { m_recorder->setSampleInterval(ms); }
    void applySettings(const ChartSettings &settings);

    // startRecording() begins a new curve, replacing the one shown, and ends any pause; stopRecording()
    // keeps what the collector stamped before it.
    void startRecording();
    void stopRecording();
    bool isRecording() const { return m_recorder->isRecording(); }
    // The operator's pause: the view stands still while the recording goes on.
    void setPaused(bool on) { m_recorder->setPaused(on); }
    bool isPaused() const { return m_recorder->isPaused(); }
    // The time axis follows the newest samples or shows the whole curve.
    void setMode(Mode mode);
    Mode mode() const { return m_mode; }
    // The temperature axis fits the curve at every refresh.
    void setAutoFit(bool on) { m_autoFit = on; }
    bool isAutoFit() const { return m_autoFit; }
    // Shows or hides the ambient graph and its legend entry; a graph without samples stays hidden.
    void setShowAmbient(bool on);
    bool showsAmbient() const { return m_showAmbient; }
    // A zoom popup for the time or the temperature axis, replacing one already open, beside `button`
    // when given; the view pauses while one is open.
    void showHorizontalZoom(const QWidget *button = nullptr);
    void showVerticalZoom(const QWidget *button = nullptr);

    // A curve with samples that was neither written to a file nor read from one.
    bool hasUnsavedCurve() const;
    // The shown curve is now in that file.
    void markCurveSaved(const QString &fileName = QString());
    // The file the shown curve was opened from or last saved to; empty for one never in a file.
    QString curveFile() const { return m_curveFile; }
    // Whether the shown curve was opened from a file rather than recorded here.
    bool isOpenedCurve() const { return m_opened; }
    // Why the curve may not be replaced now (recording), or written now (recording, or nothing to
    // write); empty when it may.
    QString recordingRefusal() const;
    QString curveWriteRefusal() const;
    // The curve and header a writer takes, unchanged by a recording that goes on.
    CurveSnapshot snapshot() const;
    // Shows a curve read from a file in place of the shown one, as saved, with the axes on it.
    void showOpenedCurve(const CurveFileContents &contents, const CurveInfo &info,
        const QSharedPointer<SampleStore> &store, const QString &fileName = QString());
    // Writes the curve file on this thread without asking or reporting, for a program that saves its own
    // curves; it then counts as saved. Refused while recording and for a curve without samples.
    SaveResult saveCurveQuietly(const QString &fileName);
    // Stops the recording and closes the widget; used at shutdown.
    void stopAndClose();
    void disableRecordControls();
    void enableRecordControls(bool on);

    // Writes the shown curve on this thread, even one without samples; it does not count as saving it.
    SaveResult writeCurveFile(const QString &fileName);

    // Read-back for the window and for tests. Unit and emissivity are those of the shown curve.
    int unitCode() const { return m_curveInfo.unit; }
    float emissivityValue() const { return m_curveInfo.emissivity; }
    const CurveInfo &curveInfo() const { return m_curveInfo; }
    int cacheSizeValue() const { return m_recorder->cacheSize(); }
    int sampleIntervalValue() const { return m_recorder->sampleInterval(); }
    const SampleStore &curve() const { return *m_store; }
    // Ambient readings of the shown recording; not part of curve files, so empty for an opened curve.
    const SampleStore &ambientCurve() const { return *m_ambientStore; }
    // Marks this moment of the running recording with a vertical line (the source became stable); the
    // mark is no sample and never reaches a curve file. Nothing while not recording. The marks go when a
    // recording starts or a curve is opened.
    void markStable();
    // Marks the start or the end of a calibration step the same way, in a colour of its own; starts are
    // numbered from the recording's first.
    void markStep(bool start);
    // The controller's set point with each reading, drawn as a dashed step trace while recording.
    void setSetPoint(double celsius);
    // The blackbody model a recording started now is taken with.
    void setModelName(const QString &name) { m_recorder->setModelName(name); }
    // The line above an exported picture: the curve's date, model, set point and file, as far as known.
    QString exportTitle() const;
    // Where the legend is now.
    LegendCorner legendCorner() const { return m_legendCorner; }
    // The whole shown curve, as the whole-curve view shows it, rendered at `size` without changing the
    // view on screen.
    QPixmap wholeCurvePixmap(const QSize &size);
    // Seconds of the latest collector tick since the recording started; 0 when not recording.
    double lastElapsed() const { return m_recorder->lastElapsed(); }
    QCustomPlot *chartPlot() const { return plot; }
    CorveleScale *horizontalPopup() const { return hScale; }
    CorveleScale *verticalPopup() const { return vScale; }

    // The description a new recording gets; also what an opened file leaves unsaid.
    CurveInfo newCurveInfo(qint64 startMsecs) const { return m_recorder->newCurveInfo(startMsecs); }

signals:
    // The chart's own 保存曲线 button.
    void exportRequested();
    // Every change of the pause, whoever made it (pause button, zoom popup, new recording).
    void pausedChanged(bool paused);
    // A recording started or a curve was opened in place of the shown one.
    void shownCurveChanged();
    // A recording started (true) or stopped, whoever asked.
    void recordingChanged(bool recording);

public slots:
    void hScaleDestory();
    void horizontalZoomin();
    void horizontalZoomout();
    void vScaleDestory();
    void verticalZoomin();
    void verticalZoomout();
    void UpdateTemp(double v);
    // Latest thermometer reading, recorded beside the blackbody's at each tick; NoReading when none.
    void UpdateTempAmb(double v);
    void xAxisRangeChanged(QCPRange range);
    void yAxisRangeChanged(QCPRange range);

private slots:
    // The chart's own buttons, connected by name.
    void on_pushButton_startstop_clicked();
    void on_pushButton_hc_clicked();
    void on_pushButton_mode_clicked();
    void on_pushButton_horizontal_clicked();
    void on_pushButton_vertical_clicked();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Presses stop here rather than travel on to the main window.
    void mousePressEvent(QMouseEvent *event) override;

private:
    void refreshChart();
    void moveAxes();
    void resumeAfterInspection();
    void showAmbientGraph();
    void showCurve(const QSharedPointer<SampleStore> &store, const CurveInfo &info);
    void labelTemperatureAxis();
    void zoomAxis(QCPAxis *axis, bool zoomIn, double minWidth, double maxWidth);
    CorveleScale *openPopup(CorveleScale *old, const QWidget *button, void (ttwidget::*destroy)(),
        void (ttwidget::*zoomin)(), void (ttwidget::*zoomout)());
    void titlePopups();
    void placeLegend();
    void showSetPointTrace();
    void dropPopup(CorveleScale *&popup);
    void addMark(const CurveRecorder::Mark &mark);
    void followRecording(bool recording);
    // The recorder took back a recording a crash left: shown whole, as an opened curve is.
    void showAdoptedCurve();
    // Whether the shown curve is the recorder's, recording or recorded.
    bool showsRecording() const { return m_store == m_recorder->curve(); }
    static QString markLabel(int step);
    static constexpr const char *kMarkStep = "markStep";
    void retranslateCaptions();

    CurveRecorder m_ownRecorder;
    CurveRecorder *m_recorder = &m_ownRecorder;
    Mode m_mode = followMode;
    bool m_autoFit = false;
    bool m_showAmbient = true;
    CorveleScale *hScale = nullptr;
    CorveleScale *vScale = nullptr;
    QCustomPlot *plot = nullptr;
    Ui::ttwidget *ui = nullptr;
    CurveGraph *tempGraph = nullptr;
    CurveGraph *ambientGraph = nullptr;
    // Between enableRecordControls(true) and disableRecordControls().
    bool m_recordControlsOn = false;

    // The shown curve; replaced, never cleared in place, so a writer's reference stays unchanged. Its
    // description is replaced with it.
    QSharedPointer<SampleStore> m_store;
    CurveInfo m_curveInfo;
    // Ambient readings beside it; none for an opened curve.
    QSharedPointer<SampleStore> m_ambientStore;
    // Owned by the plot.
    QVector<QCPAbstractItem *> m_stableMarks;
    QCPGraph *setPointGraph = nullptr;
    QString m_curveFile;
    bool m_opened = false;
    LegendCorner m_legendCorner = LegendCorner::TopRight;
    QElapsedTimer m_legendPlaced;
};
