#pragma once

#include "station/asker.h"

// The answers of a door nobody watches, a script's or a headless station's: every question takes its
// safe answer at once, nothing is chosen, dropped or accepted on anyone's behalf, and the readings come
// from the client (PROG:READ). What would have been asked is kept for the client to hear. An incomplete
// certificate's run goes ahead as a test report, which claims nothing it lacks.
class UnattendedAsker : public Asker
{
public:
    bool isUnattended() const override { return true; }
    void cannotStart(CalibrationStart::Obstacle, const QString &) override { }
    QString chooseReportFolder(const QString &) override { return QString(); }
    std::optional<LabSettings> nameLab(const LabSettings &) override { return std::nullopt; }
    bool dropUnsavedCurve() override { return false; }
    ChartChoice chartTooSmall(qint64, qint64, std::optional<RecordSetting>) override
    {
        return ChartChoice::Cancel;
    }
    bool startDespiteOverdueSource(const QString &) override { return false; }
    // A test report claims nothing it lacks; the door tells its client what is missing.
    bool startAsTestReport(const QVector<CertificateCompleteness::Missing> &) override { return true; }
    bool startWithoutJournal(const QString &, const QString &) override { return false; }
    bool confirmInstrumentEmissivity(double, const QString &) override { return false; }
    void askReading(int, double, int, int) override { }
    void askSameController(
        const QString &, const QString &, const std::function<void(bool)> &answered) override
    {
        answered(false);
    }
    void withdrawQuestions() override { }
    // The results wait in their journal for a report written later, by someone who can choose a folder.
    ReportChoice reportNotWritten(QString *, const SaveResult &, const QString &, bool) override
    {
        return ReportChoice::Later;
    }
    // Nobody can type the key's password: the certificate is issued unsigned.
    std::optional<SignatureConsent> confirmSignature(
        const QString &, const QString &, const QString &, const QString &, SignatureMoment) override
    {
        return std::nullopt;
    }
    bool writePendingReports(int) override { return false; }
    void settingsNotSaved(const QString &) override { }
};
