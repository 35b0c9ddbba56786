#pragma once

#include "station/asker.h"

#include <QCoreApplication>
#include <QPointer>

class CalibrationRunner;
class ChartFileActions;
class QInputDialog;
class QMessageBox;
class QWidget;

// The operator's answers, in boxes and dialogs over the window: the questions before a run, the
// instrument's reading, the same-controller question at a resume, and what to do with a report that
// could not be written. GUI thread only.
class WindowAsker : public Asker
{
    Q_DECLARE_TR_FUNCTIONS(WindowAsker)

public:
    // All outlive the asker; `window` parents the boxes, `chartFiles` offers to save an unsaved curve.
    WindowAsker(QWidget *window, CalibrationRunner *runner, ChartFileActions *chartFiles);

    // Boxes about the start open over `from` (the run dialog) while it is set.
    void askFrom(QWidget *from) { m_from = from; }
    // The run ended or moved on: a reading dialog still open is moot and closes.
    void dropMootReading();

    bool isUnattended() const override { return false; }
    void cannotStart(CalibrationStart::Obstacle obstacle, const QString &detail) override;
    QString chooseReportFolder(const QString &startIn) override;
    std::optional<LabSettings> nameLab(const LabSettings &stored) override;
    bool dropUnsavedCurve() override;
    ChartChoice chartTooSmall(qint64 heldMs, qint64 neededMs, std::optional<RecordSetting> fits) override;
    bool startDespiteOverdueSource(const QString &due) override;
    bool startAsTestReport(const QVector<CertificateCompleteness::Missing> &missing) override;
    bool startWithoutJournal(const QString &folder, const QString &error) override;
    bool confirmInstrumentEmissivity(double epsilon, const QString &instrument) override;
    void askReading(int step, double setPoint, int reading, int readings) override;
    void askSameController(const QString &held, const QString &reported,
        const std::function<void(bool same)> &answered) override;
    void withdrawQuestions() override;
    ReportChoice reportNotWritten(
        QString *folder, const SaveResult &result, const QString &failedFile, bool mayWait) override;
    std::optional<SignatureConsent> confirmSignature(const QString &number, const QString &signatory,
        const QString &keyName, const QString &refusal, SignatureMoment moment) override;
    bool writePendingReports(int count) override;
    void settingsNotSaved(const QString &message) override;

private:
    QWidget *boxParent() const;

    QWidget *m_window;
    CalibrationRunner *m_runner;
    ChartFileActions *m_chartFiles;
    QPointer<QWidget> m_from;
    QPointer<QMessageBox> m_question; // whether the controller is ours, at the operator's resume
    QPointer<QInputDialog> m_readingDialog;
};
