#pragma once

#include "station/issuerecord.h"

#include <QProcess>

// A certificate's issue record as the tests of its machine-readable form need it: an evaluated step that
// passes, one that fails, one whose reference has no solution and one never reached.
inline CalibrationStepResult sampleStep(int index, double setPoint, const QVector<double> &readings)
{
    CalibrationStepResult r;
    r.step = index;
    r.setPoint = setPoint;
    r.stable = true;
    r.stableAtMs = 60000 * (index + 1);
    for (const double offset : {-0.01, 0.0, 0.01})
        r.dwell.add(setPoint + offset);
    r.readings = readings;
    r.ambientC = 23;
    return r;
}

inline IssueRecord sampleRecord()
{
    IssueRecord record;
    CalibrationRun &run = record.run.header.run;
    // At ε_u 0.90 a −30 °C source of ε 1.00 on 3–5 µm asks for less radiance than the ambient's share.
    run.instrument = QStringLiteral("IR-200 <#4471> & co");
    run.operatorName = QStringLiteral("李四");
    run.emissivity = 0.90;
    run.source.emissivity = 1.0;
    run.source.make = QStringLiteral("Ostrel");
    run.source.serial = QStringLiteral("BB-0042");
    run.source.certificate = QStringLiteral("NIM-2026-118");
    run.certificate.bandLowUm = 3;
    run.certificate.bandHighUm = 5;
    run.certificate.customer = QStringLiteral("华东计量有限公司");
    run.certificate.customerAddress = QStringLiteral("上海市徐汇区漕溪北路 1 号");
    run.certificate.customerCountry = QStringLiteral("CN");
    run.certificate.signatory = QStringLiteral("张三");
    run.certificate.make = QStringLiteral("Ircon");
    run.certificate.model = QStringLiteral("IR-200");
    run.certificate.serial = QStringLiteral("4471");
    run.toleranceC = 1;
    for (const double setPoint : {-30.0, 50.0, 100.0, 150.0}) {
        CalibrationStep step;
        step.setPoint = setPoint;
        run.steps << step;
    }
    record.run.results = {sampleStep(0, -30, {-31.0, -31.2, -30.9}), sampleStep(1, 50, {50.2, 50.3, 50.1}),
        sampleStep(2, 100, {102.5, 102.6, 102.4})};
    CalibrationStepResult notReached;
    notReached.step = 3;
    notReached.setPoint = 150;
    notReached.outcome = CalibrationStepResult::Outcome::NotReached;
    record.run.results << notReached;
    record.run.end = CalibrationJournal::End::Finished;
    record.run.header.model = QStringLiteral("BB-500");
    record.run.header.port = QStringLiteral("/dev/ttyUSB0");
    record.run.header.started = QDateTime(QDate(2026, 12, 9), QTime(9, 0), Qt::OffsetFromUTC, 8 * 3600);
    record.run.header.wallAtZero = record.run.header.started;
    record.run.header.certificateNumber = QStringLiteral("OST-20261209-007");
    record.issuedAt = QDateTime(QDate(2026, 12, 10), QTime(10, 30), Qt::OffsetFromUTC, 8 * 3600);
    record.lab.name = QStringLiteral("Ostrel 校准实验室");
    record.lab.address = QStringLiteral("北京市海淀区 1 号");
    record.lab.prefix = QStringLiteral("OST");
    record.lab.country = QStringLiteral("CN");
    return record;
}

// Runs a checker to its end (bounded), its output merged; the exit code, or -1 when it did not run.
inline int runTool(const QString &program, const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}
