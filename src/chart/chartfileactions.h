#pragma once

#include "files/saveresult.h"
#include "recording/writefilethread.h"

#include <QLocale>
#include <QObject>
#include <QPageSize>
#include <QString>

#include <functional>

class QWidget;
class ttwidget;

// The chart's curve files as the operator handles them: the file dialogs, the question before an unsaved
// curve is lost, the wait dialog while a WriteFileThread reads or writes, and the boxes that tell how it
// went. The chart keeps the curve and draws it. GUI thread only.
class ChartFileActions : public QObject
{
    Q_OBJECT

public:
    // The chart outlives this; the question about an unsaved curve opens over `window`, which owns this.
    explicit ChartFileActions(ttwidget *chart, QWidget *window = nullptr);

    // Tells the operator, and is true, while the chart records: the curve may then be neither replaced
    // nor written, and the chart settings not changed.
    bool refuseWhileRecording();
    // True when no unsaved curve is in the way, or the operator saved it or chose to drop it. A curve
    // still recording is saved only after `stopRecording` (when given) stopped it and returned true.
    bool mayDiscardCurve(const std::function<bool()> &stopRecording = nullptr);

    // Refused while recording. An import replaces the curve on screen; a save reports success only once
    // the file is complete on disk, and otherwise names the file and the system's reason. A curve without
    // samples is not saved: no reader would take the file back.
    void importCurve(const QString &fileName);
    void exportCurve(const QString &fileName);
    // The shown curve as a spreadsheet table (csvexport.h), written like a curve file and refused like
    // one; it does not count as saving the curve, which a table cannot bring back.
    void exportCsv(const QString &fileName);
    // The plot as it is shown, PDF for a ".pdf" name and PNG for any other; allowed while recording.
    void exportImage(const QString &fileName);

public slots:
    // Ask for a file name, then do the above; opening first asks before an unsaved curve is lost.
    void openCurve();
    void exportCurveAs();
    void exportCsvAs();
    void exportImageAs();

private:
    bool refuse(const QString &refusal);
    // A name after the shown curve's start, or now for a curve without one.
    QString suggestedName(const QString &suffix) const;
    // Runs the worker while the wait dialog shows; whether its work succeeded.
    bool runFileWorker(WriteFileThread *worker);
    bool runWriteJob(const QString &fileName, WriteFileThread::Direction direction);
    SaveResult writeImageFile(const QString &fileName);
    // The paper a chart exported as PDF is laid out on: Letter in the United States, A4 elsewhere.
    static QPageSize::PageSizeId paperFor(const QLocale &locale);
    SaveResult writeImage(const QString &fileName, int width, int height);
    void reportSaved(const QString &title, const QString &text);
    void showError(const QString &message);

    ttwidget *m_chart;
    QWidget *m_window;
};
