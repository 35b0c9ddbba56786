#include "control/calibrationjournal.h"
#include "control/calibrationreport.h"
#include "control/calibrationrun.h"
#include "control/calibrationsequencer.h"
#include "control/coverage.h"
#include "control/dwellstatistics.h"
#include "control/radiance.h"
#include "control/stepevaluation.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>
#include <time.h>

using Kind = CalibrationRunError::Kind;
using Sequencer = CalibrationSequencer;

Q_DECLARE_METATYPE(CalibrationRun)
Q_DECLARE_METATYPE(QVector<CalibrationStepResult>)

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

CalibrationStep step(
    double setPoint, double band = 0.1, double window = 30, double dwell = 60, bool ask = true)
{
    CalibrationStep s;
    s.setPoint = setPoint;
    s.band = band;
    s.window = window;
    s.dwell = dwell;
    s.askReading = ask;
    return s;
}

// The sequencer's tables use steps of band 0.1, window 10 s and dwell 20 s, written "35?" when the step
// asks for the reading and "35" when it does not.
QVector<CalibrationStep> steps(const QString &text)
{
    QVector<CalibrationStep> list;
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const bool ask = word.endsWith(QLatin1Char('?'));
        list << step(QString(word).remove(QLatin1Char('?')).toDouble(), 0.1, 10, 20, ask);
    }
    return list;
}

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

QString trace(const Sequencer::Commands &commands)
{
    using K = Sequencer::Command::Kind;
    QStringList words;
    for (const Sequencer::Command &c : commands) {
        const QString n = QString::number(c.step + 1);
        switch (c.kind) {
        case K::MarkStepStart:
            words << "mark+" + n;
            break;
        case K::SendSetPoint:
            words << "send" + n + " " + number(c.setPoint);
            break;
        case K::StartJudge:
            words << "judge" + n + " " + number(c.setPoint) + " " + number(c.band) + " " + number(c.windowMs);
            break;
        case K::StopJudge:
            words << "stopjudge";
            break;
        case K::DwellRestarted:
            words << "redwell" + n;
            break;
        case K::AskReading:
            words << "ask" + n
                    + (c.readings > 1 ? QStringLiteral("/%1of%2").arg(c.reading + 1).arg(c.readings)
                                      : QString());
            break;
        case K::MarkStepEnd:
            words << "mark-" + n;
            break;
        case K::Paused:
            words << (c.reason == Sequencer::OperatorPause   ? "paused:operator"
                    : c.reason == Sequencer::LinkLost        ? "paused:link"
                    : c.reason == Sequencer::NoAnswer        ? "paused:silent"
                    : c.reason == Sequencer::SetPointRefused ? "paused:refused"
                    : c.reason == Sequencer::InstrumentFault ? "paused:instrument"
                                                             : "paused:unconfirmed");
            break;
        case K::Resumed:
            words << "resumed";
            break;
        case K::Finished:
            words << "finished";
            break;
        case K::Aborted:
            words << "aborted";
            break;
        case K::TakeReading:
            words << "take" + n
                    + (c.readings > 1 ? QStringLiteral("/%1of%2").arg(c.reading + 1).arg(c.readings)
                                      : QString());
            break;
        case K::ReadingsRestarted:
            words << "rereads" + n;
            break;
        }
    }
    return words.isEmpty() ? QStringLiteral("-") : words.join(QLatin1Char(' '));
}

QString trace(const Sequencer::Progress &p)
{
    static const char *const phases[]
        = {"idle", "setting", "settling", "dwelling", "waiting", "finished", "aborted"};
    QString text = QStringLiteral("%1/%2 %3").arg(p.step + 1).arg(p.stepCount).arg(phases[int(p.phase)]);
    if (p.pauseReasons != Sequencer::NoPause) {
        QStringList why;
        if (p.pauseReasons & Sequencer::OperatorPause)
            why << "operator";
        if (p.pauseReasons & Sequencer::LinkLost)
            why << "link";
        if (p.pauseReasons & Sequencer::SetPointRefused)
            why << "refused";
        if (p.pauseReasons & Sequencer::NoAnswer)
            why << "silent";
        if (p.pauseReasons & Sequencer::ControllerUnconfirmed)
            why << "unconfirmed";
        if (p.pauseReasons & Sequencer::InstrumentFault)
            why << "instrument";
        text += " paused:" + why.join(QLatin1Char('+'));
    }
    if (p.phase == Sequencer::Phase::Dwelling)
        text += " left=" + QString::number(p.dwellLeftMs);
    if (p.instrumentNeeded > 0)
        text += QStringLiteral(" readings=%1/%2").arg(p.instrumentTaken).arg(p.instrumentNeeded);
    return text + " end=" + QString::number(p.remainingMs);
}

QString trace(const QVector<CalibrationStepResult> &results)
{
    QStringList rows;
    for (const CalibrationStepResult &r : results) {
        QString row = QString::number(r.step + 1) + " "
            + QString::fromLatin1(CalibrationReport::outcomeWord(r.outcome)) + " " + number(r.setPoint);
        if (r.stable) {
            row += QStringLiteral(" stable@%1 settle=%2 n=%3")
                       .arg(r.stableAtMs)
                       .arg(r.settleMs)
                       .arg(r.dwell.count());
            if (r.dwell.count() > 0)
                row += " mean=" + QString::number(r.dwell.mean(), 'f', 3);
            if (r.dwell.ambientCount() > 0)
                row += " amb=" + QString::number(r.dwell.ambientMean(), 'f', 3);
        }
        for (double reading : r.readings)
            row += " r=" + number(reading);
        if (r.readingsSkipped > 0)
            row += " unread=" + QString::number(r.readingsSkipped);
        // "d:raw" from the instrument, "t" typed, "!why" what came instead of a reading.
        for (const TakenReading &t : r.taken) {
            row += t.isReading() && t.source == TakenReading::Source::Driver ? " d:" + t.raw
                : t.isReading()                                              ? QStringLiteral(" t")
                                                                             : " !" + t.fault;
        }
        rows << row;
    }
    return rows.join(QStringLiteral("; "));
}

CalibrationStepResult result(int index, double setPoint, bool stable, qint64 stableAtMs, qint64 settleMs,
    const QVector<double> &readings, const QVector<double> &ambient = {}, double reading = kNone,
    CalibrationStepResult::Outcome outcome = CalibrationStepResult::Outcome::Done)
{
    CalibrationStepResult r;
    r.outcome = outcome;
    r.step = index;
    r.setPoint = setPoint;
    r.stable = stable;
    r.stableAtMs = stableAtMs;
    r.settleMs = settleMs;
    for (double v : readings)
        r.dwell.add(v);
    for (double v : ambient)
        r.dwell.addAmbient(v);
    if (!std::isnan(reading))
        r.readings << reading;
    return r;
}

// A step of equal emissivities (the reference is the dwell mean) with one normal budget item of k = 2.
CalibrationRun plainRun(double budgetExpanded)
{
    CalibrationRun run;
    run.emissivity = run.source.emissivity;
    run.certificate.resolutionC = 0;
    BudgetComponent c;
    c.value = budgetExpanded;
    run.budget << c;
    return run;
}

CalibrationStepResult measuredStep(double source, const QVector<double> &readings, double ambient = 23)
{
    CalibrationStepResult r = result(0, source, true, 0, 0, {source});
    r.readings = readings;
    r.ambientC = ambient;
    return r;
}

// ∫ x³/(eˣ − 1) dx from x to ∞ in closed form: Σ e^(−nx)(x³/n + 3x²/n² + 6x/n³ + 6/n⁴), and below x = 1
// π⁴/15 less the Bernoulli series of the integral from 0.
double planckTail(double x)
{
    if (x < 1) {
        const double bernoulli[][2] = {{0, 1}, {1, -0.5}, {2, 1.0 / 6}, {4, -1.0 / 30}, {6, 1.0 / 42},
            {8, -1.0 / 30}, {10, 5.0 / 66}, {12, -691.0 / 2730}, {14, 7.0 / 6}, {16, -3617.0 / 510}};
        double head = 0;
        for (const auto &[k, b] : bernoulli)
            head += b * std::pow(x, k + 3) / (std::tgamma(k + 1) * (k + 3));
        return std::pow(M_PI, 4) / 15 - head;
    }
    double sum = 0;
    for (int n = 1; n < 10000; ++n) {
        const double term = std::exp(-n * x)
            * (x * x * x / n + 3 * x * x / n / n + 6 * x / n / n / n + 6.0 / n / n / n / n);
        sum += term;
        if (term <= 1e-17 * sum)
            break;
    }
    return sum;
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void runFileReadsFieldsAndDefaults_data();
    void runFileReadsFieldsAndDefaults();
    void runFileSaysTheLowestVersionThatHoldsIt_data();
    void runFileSaysTheLowestVersionThatHoldsIt();
    void badRunFileIsRefusedSayingWhere_data();
    void badRunFileIsRefusedSayingWhere();

    void sequencerStepsThroughRun_data();
    void sequencerStepsThroughRun();

    void dwellStatistics_data();
    void dwellStatistics();

    void journalKeepsEveryRowUntilTheProgramStopped_data();
    void journalKeepsEveryRowUntilTheProgramStopped();

    void referenceCorrectsForEmissivity_data();
    void referenceCorrectsForEmissivity();
    void stepUncertaintyAndVerdict_data();
    void stepUncertaintyAndVerdict();
    void verdictIsDecidedOnMeasuredValues_data();
    void verdictIsDecidedOnMeasuredValues();
    void coverageFactorIsStudentsT_data();
    void coverageFactorIsStudentsT();
    void fewReadingsWidenTheCoverage_data();
    void fewReadingsWidenTheCoverage();
    void sensitivitiesComeFromTheRadianceModel_data();
    void sensitivitiesComeFromTheRadianceModel();
    void bandRadianceMatchesTheClosedForm_data();
    void bandRadianceMatchesTheClosedForm();
    void stepWithoutSolutionIsNotEvaluated();
    void oneReadingNeedsAStatedRepeatability_data();
    void oneReadingNeedsAStatedRepeatability();

    void reportRowsByteForByte_data();
    void reportRowsByteForByte();
    void reportNamesCarryDateAndTime();
    void takenReadingsKeepTheirRawReplies();
};

void TestCalibration::initTestCase()
{
    // A zone without summer time, so a local stable_at has a known offset.
    qputenv("TZ", "Asia/Taipei");
    tzset();
}

void TestCalibration::runFileReadsFieldsAndDefaults_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<CalibrationRun>("expected");

    // Files before version 3 meant one reading per step when they left the field out.
    CalibrationRun older;
    older.readingsPerStep = 1;
    CalibrationRun example = older;
    example.steps << step(35.0);
    QTest::newRow("the documented example")
        << QByteArray(R"({"version": 1, "instrument": "", "operator": "", "distanceMm": 0, "emissivity": 0.95,
                         "steps": [{"setPoint": 35.0, "band": 0.1, "window": 30, "dwell": 60, "askReading": true}]})")
        << example;

    QTest::newRow("only a version 1: every default, one reading") << QByteArray(R"({"version": 1})") << older;
    QTest::newRow("only a version 2: every default, one reading") << QByteArray(R"({"version": 2})") << older;
    QTest::newRow("only a version 3: every default, three readings")
        << QByteArray(R"({"version": 3})") << CalibrationRun();

    CalibrationRun bare = older;
    bare.steps << step(-12.5);
    QTest::newRow("a step with only its set point")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": -12.5}]})") << bare;

    CalibrationRun full = older;
    full.instrument = QStringLiteral("红外测温仪 IR-2 «A»");
    full.operatorName = QStringLiteral("张三");
    full.distanceMm = 300;
    full.emissivity = 1;
    full.steps << step(50, 0.05, 12.5, 0.5, false) << step(80.25, 0, 0.5, 86400, true);
    QTest::newRow("every field, non-ASCII text, fractions and limits")
        << QByteArray(R"({"version": 1, "instrument": "红外测温仪 IR-2 «A»", "operator": "张三",
                         "distanceMm": 300, "emissivity": 1, "steps": [
                         {"setPoint": 50, "band": 0.05, "window": 12.5, "dwell": 0.5, "askReading": false},
                         {"setPoint": 80.25, "band": 0, "window": 0.5, "dwell": 86400}]})")
        << full;

    CalibrationRun two;
    two.instrument = QStringLiteral("IR-200 #4471");
    two.operatorName = QStringLiteral("Li");
    two.distanceMm = 300;
    two.emissivity = 1;
    two.certificate.customer = QStringLiteral("ACME");
    two.certificate.signatory = QStringLiteral("Wang");
    two.certificate.make = QStringLiteral("Acme");
    two.certificate.model = QStringLiteral("IR-200");
    two.certificate.serial = QStringLiteral("4471");
    two.certificate.apertureMm = 50;
    two.source.certificate = QStringLiteral("S-2026-118");
    two.source.due = QStringLiteral("2027-06-30");
    two.source.uncertainty = {{0, 0.30}, {500, 0.80}};
    two.ambientC = 23;
    two.toleranceC = 1;
    two.tolerancePercent = 1;
    two.guarded = true;
    two.readingsPerStep = 3;
    BudgetComponent alignment;
    alignment.name = QStringLiteral("alignment");
    alignment.value = 0.1;
    alignment.distribution = BudgetComponent::Distribution::Rectangular;
    BudgetComponent size;
    size.name = QStringLiteral("size of source");
    size.value = 0.2;
    two.budget = {alignment, size};
    two.steps << step(50) << step(100);
    QTest::newRow("version 2: every new field") << QByteArray(
        R"({"version": 2, "instrument": "IR-200 #4471", "operator": "Li", "distanceMm": 300, "emissivity": 1.0,
 "certificate": {"customer": "ACME", "condition": "as found", "signatory": "Wang",
                 "make": "Acme", "model": "IR-200", "serial": "4471", "resolutionC": 0.1,
                 "bandUm": [8, 14], "apertureMm": 50},
 "source": {"emissivity": 0.95, "certificate": "S-2026-118", "due": "2027-06-30",
            "uncertainty": [{"setPoint": 0, "U": 0.30}, {"setPoint": 500, "U": 0.80}]},
 "ambientC": 23.0,
 "tolerance": {"c": 1.0, "percent": 1.0}, "decisionRule": "guarded", "readingsPerStep": 3,
 "budget": [{"name": "alignment", "value": 0.10, "distribution": "rectangular"},
            {"name": "size of source", "value": 0.20, "distribution": "normal", "k": 2}],
 "steps": [{"setPoint": 50}, {"setPoint": 100}]})")
                                                << two;

    CalibrationRun three = two;
    three.source.make = QStringLiteral("Ostrel");
    three.source.model = QStringLiteral("BB-500");
    three.source.serial = QStringLiteral("S0815");
    three.source.emissivityUncertainty = 0.005;
    three.toleranceOf = CalibrationRun::ToleranceOf::Reference;
    three.ambientUncertaintyC = 0.5;
    three.readingsPerStep = 1;
    three.budget[0].dof = 12;
    three.budget[0].actsAt = BudgetComponent::ActsAt::Source;
    three.budget[1].repeatability = true;
    three.budget[1].basis = QStringLiteral("previous evaluation, 2026-11");
    QTest::newRow("version 3: every new field") << QByteArray(
        R"({"version": 3, "instrument": "IR-200 #4471", "operator": "Li", "distanceMm": 300, "emissivity": 1.0,
 "certificate": {"customer": "ACME", "condition": "as found", "signatory": "Wang",
                 "make": "Acme", "model": "IR-200", "serial": "4471", "resolutionC": 0.1,
                 "bandUm": [8, 14], "apertureMm": 50},
 "source": {"make": "Ostrel", "model": "BB-500", "serial": "S0815",
            "emissivity": 0.95, "emissivityUncertainty": 0.005, "certificate": "S-2026-118", "due": "2027-06-30",
            "uncertainty": [{"setPoint": 0, "U": 0.30}, {"setPoint": 500, "U": 0.80}]},
 "ambientC": 23.0, "ambientUncertaintyC": 0.5,
 "tolerance": {"c": 1.0, "percent": 1.0, "of": "reference"}, "decisionRule": "guarded", "readingsPerStep": 1,
 "budget": [{"name": "alignment", "value": 0.10, "distribution": "rectangular", "dof": 12, "actsAt": "source"},
            {"name": "size of source", "value": 0.20, "distribution": "normal", "k": 2, "actsAt": "reading",
             "repeatability": true, "basis": "previous evaluation, 2026-11"}],
 "steps": [{"setPoint": 50}, {"setPoint": 100}]})")
                                                << three;

    CalibrationRun driven;
    driven.readings.from = ReadingsSource::From::Driver;
    driven.readings.driver = QStringLiteral("ascii-ir.bbuut");
    driven.readings.port = QStringLiteral("/dev/ttyUSB1");
    driven.readings.intervalS = 0.2;
    QTest::newRow("version 4: readings from a driver")
        << QByteArray(R"({"version": 4, "readings": {"source": "driver", "driver": "ascii-ir.bbuut",
                         "port": "/dev/ttyUSB1", "intervalS": 0.2}})")
        << driven;
    CalibrationRun typed;
    typed.readings.intervalS = 60;
    typed.readings.emissivityConfirmed = true;
    QTest::newRow("version 3 with typed readings: an older program may read it") << QByteArray(
        R"({"version": 3, "readings": {"source": "typed", "intervalS": 60,
                         "emissivityConfirmed": true}})") << typed;

    CalibrationRun located;
    located.certificate.customerAddress = QStringLiteral("上海市徐汇区漕溪北路 1 号");
    located.certificate.customerCountry = QStringLiteral("CN");
    QTest::newRow("version 5: the customer's location") << QByteArray(
        R"({"version": 5, "certificate": {"customerAddress": "上海市徐汇区漕溪北路 1 号",
                         "customerCountry": "CN"}})") << located;

    QTest::newRow("version written as 1.0, an unknown field")
        << QByteArray(R"({"version": 1.0, "comment": "kept by hand"})") << older;
}

void TestCalibration::runFileReadsFieldsAndDefaults()
{
    QFETCH(QByteArray, json);
    QFETCH(CalibrationRun, expected);
    CalibrationRunError error;
    QCOMPARE(CalibrationRun::fromJson(json, &error), expected);
    QCOMPARE(int(error.kind), int(Kind::None));

    const CalibrationRun again = CalibrationRun::fromJson(expected.toJson(), &error);
    QCOMPARE(int(error.kind), int(Kind::None));
    QCOMPARE(again, expected);
}

void TestCalibration::runFileSaysTheLowestVersionThatHoldsIt_data()
{
    QTest::addColumn<CalibrationRun>("run");
    QTest::addColumn<int>("version");
    QTest::newRow("typed readings") << CalibrationRun() << 3;
    CalibrationRun driven;
    driven.readings.from = ReadingsSource::From::Driver;
    QTest::newRow("readings from a driver") << driven << 4;
    CalibrationRun addressed;
    addressed.certificate.customerAddress = QStringLiteral("Street 1");
    QTest::newRow("the customer's address") << addressed << 5;
    CalibrationRun country;
    country.certificate.customerCountry = QStringLiteral("DE");
    country.readings.from = ReadingsSource::From::Driver;
    QTest::newRow("the customer's country, readings from a driver") << country << 5;
}

void TestCalibration::runFileSaysTheLowestVersionThatHoldsIt()
{
    QFETCH(CalibrationRun, run);
    QTEST(QJsonDocument::fromJson(run.toJson()).object().value(QLatin1String("version")).toInt(), "version");
}

void TestCalibration::badRunFileIsRefusedSayingWhere_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<double>("minimum"); // the open model's range, checked once the file reads
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("step");
    QTest::addColumn<QString>("field");

    const double lo = -1000;
    const double hi = 1000;
    // The parser places its error just past the character it stumbled on.
    QTest::newRow("syntax error on line 4")
        << QByteArray("{\n  \"version\": 1,\n  \"steps\": [\n    {\"setPoint\" 35.0}\n  ]\n}") << lo << hi
        << 2 << int(Kind::Syntax) << 4 << 18 << 0 << "";
    QTest::newRow("column counts characters, not bytes")
        << QByteArray(R"({"instrument": "黑体炉", x})") << lo << hi << 2 << int(Kind::Syntax) << 1 << 24 << 0
        << "";
    QTest::newRow("infinite number") << QByteArray("{\"version\": 1,\n\"emissivity\": 1e999}") << lo << hi
                                     << 2 << int(Kind::Syntax) << 2 << 20 << 0 << "";
    QTest::newRow("a list, not a run")
        << QByteArray("[1]") << lo << hi << 2 << int(Kind::NotARun) << 0 << 0 << 0 << "";
    QTest::newRow("no version") << QByteArray(R"({"steps": []})") << lo << hi << 2 << int(Kind::NoVersion)
                                << 0 << 0 << 0 << "";
    QTest::newRow("version 0") << QByteArray(R"({"version": 0})") << lo << hi << 2 << int(Kind::BadVersion)
                               << 0 << 0 << 0 << "version";
    QTest::newRow("version as text") << QByteArray(R"({"version": "1"})") << lo << hi << 2
                                     << int(Kind::BadVersion) << 0 << 0 << 0 << "version";
    QTest::newRow("version 1.5") << QByteArray(R"({"version": 1.5})") << lo << hi << 2
                                 << int(Kind::BadVersion) << 0 << 0 << 0 << "version";
    QTest::newRow("newer version, refused before its contents")
        << QByteArray(R"({"version": 6, "steps": "read me differently"})") << lo << hi << 2
        << int(Kind::NewerVersion) << 0 << 0 << 0 << "";
    QTest::newRow("a country that is no ISO code")
        << QByteArray(R"({"version": 5, "certificate": {"customerCountry": "China"}})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "certificate.customerCountry";
    QTest::newRow("an unknown condition")
        << QByteArray(R"({"version": 2, "certificate": {"condition": "used"}})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "certificate.condition";
    QTest::newRow("a band upside down")
        << QByteArray(R"({"version": 2, "certificate": {"bandUm": [14, 8]}})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "certificate.bandUm";
    QTest::newRow("a due date that is no date")
        << QByteArray(R"({"version": 2, "source": {"due": "2027-02-30"}})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "source.due";
    QTest::newRow("uncertainty points out of order") << QByteArray(
        R"({"version": 2, "source": {"uncertainty": [{"setPoint": 500, "U": 0.8}, {"setPoint": 0, "U": 0.3}]}})")
                                                     << lo << hi << 2 << int(Kind::BadValue) << 0 << 0 << 0
                                                     << "source.uncertainty[2].setPoint";
    QTest::newRow("an uncertainty point without U")
        << QByteArray(R"({"version": 2, "source": {"uncertainty": [{"setPoint": 0}]}})") << lo << hi << 2
        << int(Kind::Missing) << 0 << 0 << 0 << "source.uncertainty[1].U";
    QTest::newRow("a negative tolerance") << QByteArray(R"({"version": 2, "tolerance": {"c": -1}})") << lo
                                          << hi << 2 << int(Kind::Negative) << 0 << 0 << 0 << "tolerance.c";
    QTest::newRow("an unknown rule") << QByteArray(R"({"version": 2, "decisionRule": "lenient"})") << lo << hi
                                     << 2 << int(Kind::BadValue) << 0 << 0 << 0 << "decisionRule";
    QTest::newRow("no readings per step") << QByteArray(R"({"version": 2, "readingsPerStep": 0})") << lo << hi
                                          << 2 << int(Kind::NotPositive) << 0 << 0 << 0 << "readingsPerStep";
    QTest::newRow("half a reading") << QByteArray(R"({"version": 2, "readingsPerStep": 1.5})") << lo << hi
                                    << 2 << int(Kind::WrongType) << 0 << 0 << 0 << "readingsPerStep";
    QTest::newRow("a normal component with k 0") << QByteArray(
        R"({"version": 2, "budget": [{"value": 0.1}, {"value": 0.2, "distribution": "normal", "k": 0}]})")
                                                 << lo << hi << 2 << int(Kind::NotPositive) << 0 << 0 << 0
                                                 << "budget[2].k";
    QTest::newRow("an unknown distribution")
        << QByteArray(R"({"version": 2, "budget": [{"value": 0.1, "distribution": "uniform"}]})") << lo << hi
        << 2 << int(Kind::BadValue) << 0 << 0 << 0 << "budget[1].distribution";
    // A hostile or mistyped number is refused by name before anything downstream prints it.
    QTest::newRow("a resolution of 1e300")
        << QByteArray(R"({"version": 3, "certificate": {"resolutionC": 1e300}})") << lo << hi << 2
        << int(Kind::TooLarge) << 0 << 0 << 0 << "certificate.resolutionC";
    QTest::newRow("a budget value beyond 1e6")
        << QByteArray(R"({"version": 3, "budget": [{"value": 0.1}, {"value": 1.5e6}]})") << lo << hi << 2
        << int(Kind::TooLarge) << 0 << 0 << 0 << "budget[2].value";
    QTest::newRow("a budget k beyond 1e6")
        << QByteArray(R"({"version": 3, "budget": [{"value": 0.1, "k": 1e7}]})") << lo << hi << 2
        << int(Kind::TooLarge) << 0 << 0 << 0 << "budget[1].k";
    QTest::newRow("degrees of freedom 0")
        << QByteArray(R"({"version": 3, "budget": [{"value": 0.1, "dof": 0}]})") << lo << hi << 2
        << int(Kind::NotPositive) << 0 << 0 << 0 << "budget[1].dof";
    QTest::newRow("an unknown place to act")
        << QByteArray(R"({"version": 3, "budget": [{"value": 0.1, "actsAt": "lens"}]})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "budget[1].actsAt";
    QTest::newRow("repeatability as text")
        << QByteArray(R"({"version": 3, "budget": [{"value": 0.1, "repeatability": "yes"}]})") << lo << hi
        << 2 << int(Kind::WrongType) << 0 << 0 << 0 << "budget[1].repeatability";
    QTest::newRow("a source uncertainty beyond 1e6")
        << QByteArray(R"({"version": 3, "source": {"uncertainty": [{"setPoint": 0, "U": 2e6}]}})") << lo << hi
        << 2 << int(Kind::TooLarge) << 0 << 0 << 0 << "source.uncertainty[1].U";
    QTest::newRow("an emissivity uncertainty above 1")
        << QByteArray(R"({"version": 3, "source": {"emissivityUncertainty": 1.5}})") << lo << hi << 2
        << int(Kind::TooLarge) << 0 << 0 << 0 << "source.emissivityUncertainty";
    QTest::newRow("a negative ambient uncertainty")
        << QByteArray(R"({"version": 3, "ambientUncertaintyC": -0.5})") << lo << hi << 2
        << int(Kind::Negative) << 0 << 0 << 0 << "ambientUncertaintyC";
    QTest::newRow("a tolerance of something else")
        << QByteArray(R"({"version": 3, "tolerance": {"percent": 1, "of": "span"}})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "tolerance.of";
    QTest::newRow("a tolerance beyond 1e6") << QByteArray(R"({"version": 3, "tolerance": {"c": 1e9}})") << lo
                                            << hi << 2 << int(Kind::TooLarge) << 0 << 0 << 0 << "tolerance.c";
    QTest::newRow("distance as text") << QByteArray(R"({"version": 1, "distanceMm": "300"})") << lo << hi << 2
                                      << int(Kind::WrongType) << 0 << 0 << 0 << "distanceMm";
    QTest::newRow("emissivity 0") << QByteArray(R"({"version": 1, "emissivity": 0})") << lo << hi << 2
                                  << int(Kind::NotPositive) << 0 << 0 << 0 << "emissivity";
    QTest::newRow("emissivity above 1") << QByteArray(R"({"version": 1, "emissivity": 1.01})") << lo << hi
                                        << 2 << int(Kind::TooLarge) << 0 << 0 << 0 << "emissivity";
    QTest::newRow("steps not a list") << QByteArray(R"({"version": 1, "steps": {"setPoint": 35}})") << lo
                                      << hi << 2 << int(Kind::WrongType) << 0 << 0 << 0 << "steps";
    QTest::newRow("second step not an object")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35}, 50]})") << lo << hi << 2
        << int(Kind::WrongType) << 0 << 0 << 2 << "";
    QTest::newRow("set point missing") << QByteArray(R"({"version": 1, "steps": [{"band": 0.2}]})") << lo
                                       << hi << 2 << int(Kind::Missing) << 0 << 0 << 1 << "setPoint";
    QTest::newRow("negative dwell") << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35},
                                                      {"setPoint": 50, "dwell": -1}]})")
                                    << lo << hi << 2 << int(Kind::Negative) << 0 << 0 << 2 << "dwell";
    QTest::newRow("window 0") << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35, "window": 0}]})")
                              << lo << hi << 2 << int(Kind::NotPositive) << 0 << 0 << 1 << "window";
    QTest::newRow("window over a day")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35, "window": 86401}]})") << lo << hi << 2
        << int(Kind::TooLarge) << 0 << 0 << 1 << "window";
    QTest::newRow("readings from a driver in a version 3 file, which an older program would type")
        << QByteArray(R"({"version": 3, "readings": {"source": "driver", "driver": "a.bbuut", "port": "p"}})")
        << lo << hi << 2 << int(Kind::BadValue) << 0 << 0 << 0 << "readings.source";
    QTest::newRow("readings from an unknown source")
        << QByteArray(R"({"version": 4, "readings": {"source": "camera"}})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "readings.source";
    QTest::newRow("readings from a driver without its file")
        << QByteArray(R"({"version": 4, "readings": {"source": "driver", "port": "/dev/ttyS0"}})") << lo << hi
        << 2 << int(Kind::Missing) << 0 << 0 << 0 << "readings.driver";
    QTest::newRow("readings from a driver without a port")
        << QByteArray(R"({"version": 4, "readings": {"source": "driver", "driver": "a.bbuut"}})") << lo << hi
        << 2 << int(Kind::Missing) << 0 << 0 << 0 << "readings.port";
    QTest::newRow("reading interval below 0.2 s")
        << QByteArray(R"({"version": 4, "readings": {"intervalS": 0.1}})") << lo << hi << 2
        << int(Kind::BadValue) << 0 << 0 << 0 << "readings.intervalS";
    QTest::newRow("reading interval above a minute")
        << QByteArray(R"({"version": 4, "readings": {"intervalS": 61}})") << lo << hi << 2
        << int(Kind::TooLarge) << 0 << 0 << 0 << "readings.intervalS";
    QTest::newRow("readings as a list") << QByteArray(R"({"version": 4, "readings": []})") << lo << hi << 2
                                        << int(Kind::WrongType) << 0 << 0 << 0 << "readings";
    QTest::newRow("negative band") << QByteArray(
        R"({"version": 1, "steps": [{"setPoint": 35, "band": -0.1}]})")
                                   << lo << hi << 2 << int(Kind::Negative) << 0 << 0 << 1 << "band";
    QTest::newRow("askReading as a number")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35, "askReading": 1}]})") << lo << hi << 2
        << int(Kind::WrongType) << 0 << 0 << 1 << "askReading";
    QTest::newRow("dwell shorter than one poll")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35, "dwell": 0.4}]})") << lo << hi << 2
        << int(Kind::ShorterThanPoll) << 0 << 0 << 1 << "dwell";
    QTest::newRow("set point above the model's range")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 100}, {"setPoint": 100.01}]})") << 0.0 << 100.0
        << 2 << int(Kind::OutsideModel) << 0 << 0 << 2 << "setPoint";
    QTest::newRow("set points on the model's limits, 0.29 read as two decimals")
        << QByteArray(
               R"({"version": 1, "steps": [{"setPoint": -30}, {"setPoint": 0.29}, {"setPoint": 125}]})")
        << -30.0 << 125.0 << 2 << int(Kind::None) << 0 << 0 << 0 << "";
    QTest::newRow("more decimals than the model sends")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 30.1}, {"setPoint": 30.15}]})") << 0.0 << 410.0
        << 1 << int(Kind::TooPrecise) << 0 << 0 << 2 << "setPoint";
}

void TestCalibration::badRunFileIsRefusedSayingWhere()
{
    QFETCH(QByteArray, json);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, decimals);
    QFETCH(int, kind);
    CalibrationRunError error;
    const CalibrationRun run = CalibrationRun::fromJson(json, &error);
    if (!error.isError())
        error = run.checkModel(minimum, maximum, decimals);
    else
        QCOMPARE(run, CalibrationRun());
    QCOMPARE(int(error.kind), kind);
    QTEST(error.line, "line");
    QTEST(error.column, "column");
    QTEST(error.step, "step");
    QTEST(error.field, "field");
    QCOMPARE(error.message.isEmpty(), kind == int(Kind::None));
    if (kind == int(Kind::TooPrecise))
        QCOMPARE(error.message, QStringLiteral("第 2 步的设定值 30.15 超出该型号的精度（1 位小数）"));
    else if (error.step > 0)
        QVERIFY(error.message.contains(QString::number(error.step)) && error.message.contains(error.field));
}

void TestCalibration::sequencerStepsThroughRun_data()
{
    // Each line: an event at a time in ms, then " | " and the commands it returns; "?" asks for progress,
    // "reads T0-T1 C S" gives a reading every poll from T0 to T1, "judged T0-T1 C S" the same through
    // the run's own stability judge. A run written "/10 …" is on a model with one decimal.
    QTest::addColumn<QString>("run");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("results");

    QTest::newRow("every phase of one step") << "35?"
                                             << QStringList {
                                                    "? 0 | 1/1 idle end=30000",
                                                    "start 0 | mark+1 send1 35",
                                                    "? 0 | 1/1 setting end=30000",
                                                    "ok 1000 | judge1 35 0.1 10000",
                                                    "? 4000 | 1/1 settling end=27000",
                                                    "read 5000 34.95 35 | -",
                                                    "stable 11000 | -",
                                                    "read 11000 35.01 35 | -",
                                                    "amb 12000 22.5 | -",
                                                    "reads 12000-20500 35.02 35 | -",
                                                    "? 21000 | 1/1 dwelling left=10000 end=10000",
                                                    "reads 21000-30500 35.02 35 | -",
                                                    "read 31000 35.10 35 | stopjudge ask1",
                                                    "? 32000 | 1/1 waiting readings=0/1 end=0",
                                                    "entered 40000 35.2 | mark-1 finished",
                                                    "read 41000 35.0 35 | -",
                                                } << "1 done 35 stable@11000 settle=10000 n=39 mean=35.020 amb=22.500 r=35.2 t";
    QTest::newRow("the run's own judge finds the step stable from its readings")
        << "35"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "judged 500-4500 34.5 35 | -",
               "judged 5000-15000 35.05 35 | -",
               "? 15500 | 1/1 dwelling left=19500 end=19500",
               "judged 15500-34500 35.05 35 | -",
               "judged 35000-35000 35.05 35 | stopjudge mark-1 finished",
           } << "1 done 35 stable@15000 settle=15000 n=40 mean=35.050";
    QTest::newRow("steps without a reading follow each other") << "35 50"
                                                               << QStringList {
                                                                      "start 0 | mark+1 send1 35",
                                                                      "ok 0 | judge1 35 0.1 10000",
                                                                      "stable 10000 | -",
                                                                      "? 10000 | 1/2 dwelling left=20000 end=50000",
                                                                      "reads 10000-29500 35.0 35 | -",
                                                                      "tick 29999 | -",
                                                                      "tick 30000 | stopjudge mark-1 mark+2 send2 50",
                                                                      "ok 31000 | judge2 50 0.1 10000",
                                                                      "stable 41000 | -",
                                                                      "reads 41000-60500 50.0 50 | -",
                                                                      "tick 61000 | stopjudge mark-2 finished",
                                                                  } << "1 done 35 stable@10000 settle=10000 n=40 mean=35.000; 2 done 50 stable@41000 settle=10000 n=40 mean=50.000";
    QTest::newRow("a dwell that lost readings starts over") << "35"
                                                            << QStringList {
                                                                   "start 0 | mark+1 send1 35",
                                                                   "ok 0 | judge1 35 0.1 10000",
                                                                   "stable 10000 | -",
                                                                   "reads 10000-27000 35.0 35 | -",
                                                                   "tick 30000 | redwell1",
                                                                   "? 30000 | 1/1 dwelling left=20000 end=20000",
                                                                   "reads 30000-47500 35.0 35 | -",
                                                                   "tick 50000 | stopjudge mark-1 finished",
                                                               } << "1 done 35 stable@30000 settle=30000 n=36 mean=35.000";
    QTest::newRow("leaving the band restarts the dwell") << "35"
                                                         << QStringList {
                                                                "start 0 | mark+1 send1 35",
                                                                "ok 0 | judge1 35 0.1 10000",
                                                                "stable 10000 | -",
                                                                "read 12000 35.0 35 | -",
                                                                "unstable 15000 | -",
                                                                "? 16000 | 1/1 settling end=20000",
                                                                "read 16000 35.5 35 | -",
                                                                "tick 19000 | -",
                                                                "stable 20000 | -",
                                                                "reads 20000-39500 35.02 35 | -",
                                                                "tick 40000 | stopjudge mark-1 finished",
                                                            } << "1 done 35 stable@20000 settle=20000 n=40 mean=35.020";
    QTest::newRow("a read-back set point other than the step's holds the dwell back")
        << "35"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "read 5000 30 30 | -",
               "stable 10000 | -",
               "read 11000 35.0 35 | -",
               "read 12000 35.0 30 | -",
               "read 13000 35.04 35 | -",
               "reads 13500-32500 35.04 35 | -",
               "tick 33000 | stopjudge mark-1 finished",
           } << "1 done 35 stable@13000 settle=13000 n=40 mean=35.040";
    QTest::newRow("set points are sent and compared as the wire carries them")
        << "/10 30.15"
        << QStringList {
               "start 0 | mark+1 send1 30.2",
               "ok 0 | judge1 30.2 0.1 10000",
               "stable 10000 | -",
               "read 10000 30.2 30.1 | -",
               "tick 30000 | -",
               "reads 30000-49500 30.2 30.2 | -",
               "tick 50000 | stopjudge mark-1 finished",
           } << "1 done 30.2 stable@30000 settle=30000 n=40 mean=30.200";
    QTest::newRow("a refused set point is tried three times, then the run pauses")
        << "35 50"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "refused 1000 | send1 35",
               "refused 2000 | send1 35",
               "refused 3000 | paused:refused",
               "? 3500 | 1/2 setting paused:refused end=60000",
               "resume 4000 | resumed send1 35",
               "refused 5000 | send1 35",
               "ok 6000 | judge1 35 0.1 10000",
           } << "";
    QTest::newRow("skipping a refused step goes on with the next")
        << "35 50"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "refused 1000 | send1 35",
               "refused 2000 | send1 35",
               "refused 3000 | paused:refused",
               "skip 4000 | mark-1 resumed mark+2 send2 50",
           } << "1 skipped 35";
    // Its settling counts from the step's first confirmation, not from the one after the link came back.
    QTest::newRow("a lost link mid-dwell pauses; its return sets, confirms and settles again")
        << "35?"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "stable 10000 | -",
               "read 11000 35.0 35 | -",
               "lost 15000 | stopjudge paused:link",
               "read 16000 35.0 35 | -",
               "tick 40000 | -",
               "? 40000 | 1/1 dwelling paused:link left=0 end=30000",
               "back 50000 | resumed send1 35",
               "stable 50500 | -",
               "ok 51000 | judge1 35 0.1 10000",
               "read 52000 35.06 35 | -",
               "stable 61000 | -",
               "reads 61000-80500 35.01 35 | -",
               "tick 81000 | stopjudge ask1",
               "noreading 82000 | mark-1 finished",
           } << "1 done 35 stable@61000 settle=61000 n=40 mean=35.010 unread=1; outage@15000+35000";
    QTest::newRow("a silence pauses; answers send an unconfirmed set point again, else restart the wait")
        << "35"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "silent 3000 | paused:silent",
               "ok 3100 | -",
               "answering 5000 | resumed send1 35",
               "ok 5500 | judge1 35 0.1 10000",
               "stable 15500 | -",
               "reads 15500-16000 35.0 35 | -",
               "silent 19000 | stopjudge paused:silent",
               "? 19500 | 1/1 dwelling paused:silent left=16000 end=30000",
               "tick 40000 | -",
               "answering 40000 | resumed judge1 35 0.1 10000",
               "stable 50000 | -",
               "reads 50000-69500 35.0 35 | -",
               "tick 70000 | stopjudge mark-1 finished",
           } << "1 done 35 stable@50000 settle=44500 n=40 mean=35.000; outage@3000+2000; outage@19000+21000";
    QTest::newRow("an unconfirmed controller holds the run until the operator resumes or vouches for it")
        << "35"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "lost 2000 | stopjudge paused:link",
               "unconfirmed 3000 | -",
               "back 4000 | -",
               "resume 5000 | resumed send1 35",
               "ok 5500 | judge1 35 0.1 10000",
               "silent 9000 | stopjudge paused:silent",
               "unconfirmed 9500 | -",
               "same 10000 | -",
               "answering 10500 | resumed send1 35",
           } << "; outage@2000+2000; outage@9000+1500";
    QTest::newRow("the operator's pause outlasts the link's, and the other way round")
        << "35"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "pause 1000 | stopjudge paused:operator",
               "ok 1500 | -",
               "lost 2000 | -",
               "back 3000 | -",
               "resume 4000 | resumed send1 35",
               "lost 5000 | paused:link",
               "resume 6000 | -",
               "back 7000 | resumed send1 35",
           } << "; outage@2000+1000; outage@5000+2000";
    QTest::newRow("three readings a step, asked in turn; a skipped one is counted, not averaged")
        << "3x 35? 50?"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "stable 10000 | -",
               "reads 10000-29500 35.0 35 | -",
               "tick 30000 | stopjudge ask1/1of3",
               "entered 31000 35.2 | ask1/2of3",
               "noreading 32000 | ask1/3of3",
               "entered 33000 35.4 | mark-1 mark+2 send2 50",
               "abort 34000 | mark-2 aborted",
           } << "1 done 35 stable@10000 settle=10000 n=40 mean=35.000 r=35.2 r=35.4 unread=1 t t; 2 aborted 50";
    QTest::newRow("a skipped step leaves an empty row, and the next one starts")
        << "35? 50"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "stable 10000 | -",
               "read 11000 35.0 35 | -",
               "skip 12000 | stopjudge mark-1 mark+2 send2 50",
           } << "1 skipped 35";
    QTest::newRow("an abort keeps what was measured, and says which steps were never reached")
        << "35 50 80"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "stable 10000 | -",
               "reads 10000-29500 35.0 35 | -",
               "tick 30000 | stopjudge mark-1 mark+2 send2 50",
               "ok 31000 | judge2 50 0.1 10000",
               "stable 41000 | -",
               "read 42000 50.01 50 | -",
               "abort 43000 | stopjudge mark-2 aborted",
               "tick 70000 | -",
               "resume 70000 | -",
           } << "1 done 35 stable@10000 settle=10000 n=40 mean=35.000; 2 aborted 50 stable@41000 settle=10000 n=1 "
                "mean=50.010; 3 not reached 80";
    QTest::newRow("the reading is taken across a lost link; steps held back by it are not marked")
        << "35? 50 80"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "stable 10000 | -",
               "reads 10000-29500 35.0 35 | -",
               "tick 30000 | stopjudge ask1",
               "lost 31000 | paused:link",
               "back 31500 | resumed",
               "lost 31600 | paused:link",
               "entered 32000 35.1 | mark-1",
               "? 32000 | 2/3 setting paused:link end=60000",
               "skip 32500 | -",
               "abort 33000 | aborted",
           } << "1 done 35 stable@10000 settle=10000 n=40 mean=35.000 r=35.1 t; 2 skipped 50; 3 not reached 80; "
                 "outage@31000+500; outage@31600+1400";
    // "@500 " takes the readings from the instrument every 500 ms: "value T C raw" answers the newest
    // request with a reading, "fault T why" with a fault that pauses the run, "retry T why" with one that
    // does not.
    QTest::newRow("the instrument's readings at the interval, dropped when the source leaves its band")
        << "@500 3x 35? 50?"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "stable 10000 | -",
               "reads 10000-29500 35.0 35 | -",
               "tick 30000 | take1/1of3",
               "? 30000 | 1/2 waiting readings=0/3 end=30000",
               "tick 30200 | -",
               "value 30300 35.2 !T035.20 | -",
               "tick 30499 | -",
               "tick 30500 | take1/2of3",
               "unstable 30600 | rereads1",
               "value 30700 35.3 late | -",
               "tick 31000 | -",
               "stable 31000 | take1/1of3",
               "value 31100 35.1 a | -",
               "tick 31500 | take1/2of3",
               "retry 31600 notready | -",
               "tick 32000 | take1/2of3",
               "fault 32100 timeout | paused:instrument ask1/2of3",
               "? 32200 | 1/2 waiting paused:instrument readings=1/3 end=30000",
               "tick 40000 | -",
               "entered 40000 35.15 | resumed take1/3of3",
               "value 40100 35.05 c | stopjudge mark-1 mark+2 send2 50",
               "abort 41000 | mark-2 aborted",
           }
        << "1 done 35 stable@10000 settle=10000 n=40 mean=35.000 r=35.1 r=35.15 r=35.05 d:a !notready !timeout t "
           "d:c; 2 aborted 50";
    QTest::newRow("a fault, then a resume, asks again; the judge watched meanwhile; a lost link sends the "
                  "step again and keeps the fault on record")
        << "@1000 3x 35?"
        << QStringList {
               "start 0 | mark+1 send1 35",
               "ok 0 | judge1 35 0.1 10000",
               "stable 10000 | -",
               "reads 10000-29500 35.0 35 | -",
               "tick 30000 | take1/1of3",
               "value 30100 35.2 r1 | -",
               "tick 31000 | take1/2of3",
               "fault 31100 lost | paused:instrument ask1/2of3",
               "unstable 31500 | rereads1",
               "stable 32000 | -",
               "? 32000 | 1/1 waiting paused:instrument readings=0/3 end=0",
               "resume 33000 | resumed take1/1of3",
               "value 33100 35.0 r2 | -",
               "read 33500 35.0 35 | -",
               "read 34000 35.0 34 | take1/2of3",
               "lost 34100 | stopjudge paused:link",
               "back 35000 | resumed send1 35",
               "abort 35500 | mark-1 aborted",
           }
        << "1 aborted 35 !lost; outage@34100+900";
    QTest::newRow("an empty run ends at once") << ""
                                               << QStringList {
                                                      "? 0 | 1/0 idle end=0",
                                                      "start 0 | finished",
                                                      "pause 100 | -",
                                                  } << "";
}

void TestCalibration::sequencerStepsThroughRun()
{
    QFETCH(QString, run);
    QFETCH(QStringList, script);
    qint64 interval = 0;
    if (run.startsWith(QLatin1Char('@'))) {
        interval = run.section(QLatin1Char(' '), 0, 0).mid(1).toLongLong();
        run = run.section(QLatin1Char(' '), 1);
    }
    const int scale = run.startsWith(QLatin1String("/10 ")) ? 10 : 100;
    // "3x " asks three readings a step.
    const int readings = run.contains(QLatin1String("3x ")) ? 3 : 1;
    Sequencer sequencer(steps(run.mid(scale == 10 ? 4 : 0).remove(QStringLiteral("3x "))), scale, readings);
    if (interval > 0)
        sequencer.takeReadingsFromInstrument(interval);
    for (const QString &line : script) {
        const QStringList parts = line.split(QStringLiteral(" | "));
        const QStringList w = parts.at(0).split(QLatin1Char(' '));
        const qint64 t = w.at(1).toLongLong();
        auto arg = [&w](int i) { return w.at(i).toDouble(); };
        auto reading
            = [&](qint64 at) { return sequencer.reading(at, arg(2), qint16(std::lround(arg(3) * scale))); };
        QString got;
        if (w[0] == "?") {
            got = trace(sequencer.progress(t));
        } else if (w[0] == "start") {
            got = trace(sequencer.start());
        } else if (w[0] == "tick") {
            got = trace(sequencer.tick(t));
        } else if (w[0] == "read") {
            got = trace(reading(t));
        } else if (w[0] == "reads" || w[0] == "judged") {
            const QStringList span = w.at(1).split(QLatin1Char('-'));
            Sequencer::Commands all;
            for (qint64 at = span.at(0).toLongLong(); at <= span.at(1).toLongLong(); at += 500) {
                all += w[0] == "reads"
                    ? reading(at)
                    : sequencer.judgedReading(at, arg(2), qint16(std::lround(arg(3) * scale)), true);
            }
            got = trace(all);
        } else if (w[0] == "amb") {
            got = trace(sequencer.ambient(t, arg(2)));
        } else if (w[0] == "ok" || w[0] == "refused") {
            got = trace(sequencer.confirmation(t, w[0] == "ok"));
        } else if (w[0] == "stable" || w[0] == "unstable") {
            got = trace(sequencer.stability(t, w[0] == "stable"));
        } else if (w[0] == "lost") {
            got = trace(sequencer.linkLost(t));
        } else if (w[0] == "back") {
            got = trace(sequencer.linkBack(t));
        } else if (w[0] == "silent") {
            got = trace(sequencer.silent(t));
        } else if (w[0] == "answering") {
            got = trace(sequencer.answering(t));
        } else if (w[0] == "unconfirmed") {
            got = trace(sequencer.controllerUnconfirmed(t));
        } else if (w[0] == "same") {
            got = trace(sequencer.controllerConfirmed());
        } else if (w[0] == "pause") {
            got = trace(sequencer.pause(t));
        } else if (w[0] == "resume") {
            got = trace(sequencer.resume(t));
        } else if (w[0] == "skip") {
            got = trace(sequencer.skip(t));
        } else if (w[0] == "abort") {
            got = trace(sequencer.abort(t));
        } else if (w[0] == "entered") {
            got = trace(sequencer.readingEntered(t, arg(2)));
        } else if (w[0] == "value" || w[0] == "fault" || w[0] == "retry") {
            TakenReading answer;
            answer.source = TakenReading::Source::Driver;
            if (w[0] == "value") {
                answer.value = arg(2);
                answer.raw = w.at(3);
            } else {
                answer.fault = w.at(2);
            }
            got = trace(sequencer.instrumentAnswer(t, answer, w[0] == "fault"));
        } else if (w[0] == "noreading") {
            got = trace(sequencer.readingSkipped(t));
        } else {
            QFAIL(qPrintable("unknown event " + line));
        }
        QCOMPARE(parts.at(0) + " | " + got, line);
    }
    QString results = trace(sequencer.results());
    for (const CalibrationOutage &o : sequencer.outages())
        results += QStringLiteral("; outage@%1+%2").arg(o.startMs).arg(o.lengthMs);
    QTEST(results, "results");
}

void TestCalibration::dwellStatistics_data()
{
    QTest::addColumn<QVector<double>>("readings");
    QTest::addColumn<QVector<double>>("ambient");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("std");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("ambientMean");

    QTest::newRow("nothing") << QVector<double> {} << QVector<double> {} << kNone << kNone << kNone << kNone
                             << kNone;
    QTest::newRow("one reading has no spread yet")
        << QVector<double> {35.0} << QVector<double> {} << 35.0 << kNone << 35.0 << 35.0 << kNone;
    QTest::newRow("n - 1 in the divisor") << QVector<double> {35.0, 35.2} << QVector<double> {22.0, 23.0}
                                          << 35.1 << std::sqrt(0.02) << 35.0 << 35.2 << 22.5;
    // A plain sum of squares keeps only about six of these digits.
    QTest::newRow("hundredths near 500 degrees")
        << QVector<double> {500.03, 500.01, 500.02, 500.01, 500.03} << QVector<double> {} << 500.02
        << std::sqrt(0.0001) << 500.01 << 500.03 << kNone;
}

void TestCalibration::dwellStatistics()
{
    QFETCH(QVector<double>, readings);
    QFETCH(QVector<double>, ambient);
    DwellStatistics stats;
    for (double v : readings)
        stats.add(v);
    for (double v : ambient)
        stats.addAmbient(v);
    QCOMPARE(stats.count(), readings.size());
    const auto same = [](double got, double want) {
        return std::isnan(want) ? std::isnan(got) : std::abs(got - want) <= 1e-9 * std::abs(want);
    };
    QFETCH(double, mean);
    QFETCH(double, std);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, ambientMean);
    QVERIFY2(same(stats.mean(), mean), qPrintable(number(stats.mean())));
    QVERIFY2(same(stats.standardDeviation(), std), qPrintable(number(stats.standardDeviation())));
    QVERIFY(same(stats.minimum(), minimum));
    QVERIFY(same(stats.maximum(), maximum));
    QVERIFY(same(stats.ambientMean(), ambientMean));
}

void TestCalibration::journalKeepsEveryRowUntilTheProgramStopped_data()
{
    // A journal of a three-step run with two rows written, then what became of its file.
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QByteArray>("tail"); // appended to the file as it stands
    QTest::addColumn<bool>("reads");
    QTest::addColumn<QString>("rows"); // the report's, as trace() gives them

    const QString twoRows
        = "1 done 35 stable@1000 settle=500 n=3 mean=35.010 amb=22.000 r=35.3 unread=1; 2 skipped 50";
    QTest::newRow("an aborted run, as its rows say")
        << "aborted" << QByteArray() << true << twoRows + "; 3 not reached 80";
    QTest::newRow("the program stopped: the rest was never reached")
        << "" << QByteArray() << true << twoRows + "; 3 not reached 80";
    QTest::newRow("a line cut short by a crash is ignored")
        << "" << QByteArray(R"({"result":{"step":2,"outcome":"done")") << true
        << twoRows + "; 3 not reached 80";
    QTest::newRow("nothing is read past a line that does not read")
        << "" << QByteArray("{\"result\":{\"step\":9}}\n{\"end\":\"finished\"}\n") << true
        << twoRows + "; 3 not reached 80";
    QTest::newRow("a row of the earlier format keeps its one reading")
        << ""
        << QByteArray(
               "{\"result\":{\"step\":2,\"outcome\":\"done\",\"setPoint\":80,\"stable\":true,"
               "\"stableAtMs\":9000,\"settleMs\":800,\"dwell\":[1,80,0,80,80,0,0],\"reading\":80.4}}\n")
        << true << twoRows + "; 3 done 80 stable@9000 settle=800 n=1 mean=80.000 r=80.4";
    QTest::newRow("a file that is not a journal") << "not a journal" << QByteArray() << false << "";
}

void TestCalibration::journalKeepsEveryRowUntilTheProgramStopped()
{
    QFETCH(QString, ending);
    QFETCH(QByteArray, tail);
    QFETCH(bool, reads);
    QTemporaryDir dir;
    CalibrationJournal::Header header;
    header.run.instrument = QStringLiteral("IR-1 «测温仪»");
    header.run.steps << step(35) << step(50) << step(80);
    header.runFile = QStringLiteral("/runs/points.bbrun");
    header.runModified = true;
    header.model = QStringLiteral("VBM100");
    header.port = QStringLiteral("/dev/ttyUSB0");
    header.started = QDateTime(QDate(2026, 12, 8), QTime(9, 30, 5, 123), Qt::OffsetFromUTC, 8 * 3600);
    header.wallAtZero = header.started.addMSecs(-4321);
    header.certificateNumber = QStringLiteral("LAB-20261208-007");
    header.run.readingsPerStep = 2;
    header.run.guarded = true;
    QVector<CalibrationStepResult> rows {result(0, 35, true, 1000, 500, {35.0, 35.01, 35.02}, {22.0}, 35.3),
        result(1, 50, false, 0, 0, {}, {}, kNone, CalibrationStepResult::Outcome::Skipped)};
    rows[0].readingsSkipped = 1;
    rows[0].ambientC = 23.5;

    QString path;
    {
        CalibrationJournal journal;
        QString error;
        QVERIFY2(journal.create(dir.filePath(QStringLiteral("journals")), header, &error), qPrintable(error));
        path = journal.path();
        for (const CalibrationStepResult &row : qAsConst(rows))
            QVERIFY2(journal.append(row, &error), qPrintable(error));
        QVERIFY2(journal.appendOutage({1500, 2500}, &error), qPrintable(error));
        if (ending == "aborted") {
            QVERIFY(journal.append(
                result(2, 80, false, 0, 0, {}, {}, kNone, CalibrationStepResult::Outcome::NotReached),
                &error));
            QVERIFY2(journal.end(CalibrationJournal::End::Aborted, &error), qPrintable(error));
        }
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    if (ending == "not a journal")
        QVERIFY(file.resize(0) && file.write("{\"journal\":1}\n") > 0);
    file.write(tail);
    file.close();
    QCOMPARE(CalibrationJournal::list(dir.filePath(QStringLiteral("journals"))), QStringList {path});

    CalibrationJournal::Contents contents;
    QString error;
    QCOMPARE(CalibrationJournal::read(path, &contents, &error), reads);
    QCOMPARE(error.isEmpty(), reads);
    if (!reads)
        return;
    QVERIFY(contents.header == header);
    QCOMPARE(
        contents.end, ending == "aborted" ? CalibrationJournal::End::Aborted : CalibrationJournal::End::None);
    QTEST(trace(CalibrationJournal::reportRows(contents)), "rows");
    // Every statistic comes back exactly, not merely as printed.
    QCOMPARE(contents.results.value(0).dwell.standardDeviation(), rows.at(0).dwell.standardDeviation());
    QCOMPARE(contents.results.value(0).ambientC, 23.5);
    QCOMPARE(contents.outages, (QVector<CalibrationOutage> {{1500, 2500}}));
    QVERIFY(CalibrationJournal::remove(path));
    QVERIFY(CalibrationJournal::list(dir.filePath(QStringLiteral("journals"))).isEmpty());
}

void TestCalibration::referenceCorrectsForEmissivity_data()
{
    QTest::addColumn<double>("source");
    QTest::addColumn<double>("sourceEmissivity");
    QTest::addColumn<double>("setEmissivity");
    QTest::addColumn<double>("ambient");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("expected");

    // Expected values from a separate Python script: Planck's law integrated by the trapezoidal rule
    // over 40000 intervals, T_u found by bisection (c1 = 1.191042972e-16 W·m²/sr, c2 = 1.438776877e-2 m·K).
    QTest::newRow("equal emissivities: the source itself")
        << 321.987 << 0.9 << 0.9 << 23.0 << 8.0 << 14.0 << 321.987;
    QTest::newRow("0 °C") << 0.0 << 0.95 << 1.0 << 23.0 << 8.0 << 14.0 << 1.2937;
    QTest::newRow("50 °C") << 50.0 << 0.95 << 1.0 << 23.0 << 8.0 << 14.0 << 48.7826;
    QTest::newRow("100 °C") << 100.0 << 0.95 << 1.0 << 23.0 << 8.0 << 14.0 << 96.9327;
    QTest::newRow("500 °C") << 500.0 << 0.95 << 1.0 << 23.0 << 8.0 << 14.0 << 483.2129;
    QTest::newRow("a source below ambient reads warmer")
        << -20.0 << 0.95 << 1.0 << 23.0 << 8.0 << 14.0 << -17.2413;
    QTest::newRow("a setting below the source's reads hotter")
        << 200.0 << 0.95 << 0.9 << 23.0 << 8.0 << 14.0 << 206.8986;
    QTest::newRow("another band and ambient") << 300.0 << 0.98 << 1.0 << 25.0 << 3.0 << 5.0 << 298.1566;
    // Closed-form band integral and bisection: a fixed rule in λ was 2.12 °C off here.
    QTest::newRow("the widest band the parser takes")
        << 500.0 << 0.95 << 1.0 << 23.0 << 0.1 << 1000.0 << 490.3651;
}

void TestCalibration::referenceCorrectsForEmissivity()
{
    QFETCH(double, source);
    QFETCH(double, sourceEmissivity);
    QFETCH(double, setEmissivity);
    QFETCH(double, ambient);
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(double, expected);
    const double got
        = Radiance::apparentTemperature(source, sourceEmissivity, setEmissivity, ambient, low, high);
    if (sourceEmissivity == setEmissivity)
        QCOMPARE(got, expected);
    QVERIFY2(std::abs(got - expected) < 0.0009, qPrintable(QString::number(got, 'f', 5)));
}

void TestCalibration::stepUncertaintyAndVerdict_data()
{
    // Equal emissivities, so the reference is the dwell mean; a normal budget component of k = 2 sets U.
    QTest::addColumn<double>("toleranceC");
    QTest::addColumn<double>("percent");
    QTest::addColumn<bool>("guarded");
    QTest::addColumn<double>("resolution");
    QTest::addColumn<QString>("budget"); // n, r or t: its value
    QTest::addColumn<bool>("sourceTable"); // U 0.30 at 0 °C, 0.80 at 500 °C
    QTest::addColumn<QVector<double>>("dwell");
    QTest::addColumn<QVector<double>>("readings");
    QTest::addColumn<QString>("expected"); // reference reading error U tolerance verdict, as printed

    const QVector<double> hundred {100.0};
    QTest::newRow("U of 0.0996 is 0.10: the carry moves the last place")
        << 0.2 << 0.0 << false << 0.0 << "n0.0996" << false << hundred << QVector<double> {100.104}
        << "100.00 100.10 0.10 U=0.10 tol=0.2 PASS no-repeatability";
    QTest::newRow("U of 0.0991 rounds up to 0.10; 0.104 prints 0.10 and still fails")
        << 0.1 << 0.0 << false << 0.0 << "n0.0991" << false << hundred << QVector<double> {100.104}
        << "100.00 100.10 0.10 U=0.10 tol=0.1 FAIL edge no-repeatability";
    QTest::newRow("the percentage of the reading is greater")
        << 0.5 << 1.0 << false << 0.0 << "n0.2" << false << hundred << QVector<double> {100.9}
        << "100.00 100.90 0.90 U=0.20 tol=1.009 PASS no-repeatability";
    QTest::newRow("the degrees are greater")
        << 0.5 << 0.1 << false << 0.0 << "n0.2" << false << hundred << QVector<double> {99.4}
        << "100.00 99.40 -0.60 U=0.20 tol=0.5 FAIL no-repeatability";
    QTest::newRow("simple passes") << 1.0 << 0.0 << false << 0.0 << "n0.3" << false << hundred
                                   << QVector<double> {100.8}
                                   << "100.00 100.80 0.80 U=0.30 tol=1 PASS no-repeatability";
    QTest::newRow("guarded fails the same")
        << 1.0 << 0.0 << true << 0.0 << "n0.3" << false << hundred << QVector<double> {100.8}
        << "100.00 100.80 0.80 U=0.30 tol=1 FAIL no-repeatability";
    QTest::newRow("guarded: U at the tolerance fails with no error")
        << 0.3 << 0.0 << true << 0.0 << "n0.3" << false << hundred << QVector<double> {100.0}
        << "100.00 100.00 0.00 U=0.30 tol=0.3 FAIL U>=tol no-repeatability";
    QTest::newRow("decided on the measured error: 0.504 prints 0.50 and fails")
        << 0.5 << 0.0 << false << 0.0 << "n0.2" << false << hundred << QVector<double> {100.504}
        << "100.00 100.50 0.50 U=0.20 tol=0.5 FAIL edge no-repeatability";
    // u = √(0.05² + (0.1/√3)²) = 0.0764 with ν_eff = 2·(0.0764/0.0577)⁴ = 6.1, so k = t(6) = 2.52
    QTest::newRow("m = 3 adds repeatability s/√m with m − 1 degrees of freedom")
        << 1.0 << 0.0 << false << 0.0 << "n0.1" << false << hundred << QVector<double> {100.1, 100.3, 100.2}
        << "100.00 100.20 0.20 U=0.20 k=2.52 nu=6 tol=1 PASS";
    QTest::newRow("m = 1 cannot measure it")
        << 1.0 << 0.0 << false << 0.0 << "n0.1" << false << hundred << QVector<double> {100.2}
        << "100.00 100.20 0.20 U=0.10 tol=1 PASS no-repeatability";
    // √((0.05/√3)² + (0.1/√3)² + (0.1/√6)² + 0.1414²) = 0.1607, U = 0.3214: rounded up
    QTest::newRow("resolution, rectangular, triangular and the dwell's s")
        << 1.0 << 0.0 << false << 0.1 << "r0.1 t0.1" << false << QVector<double> {99.9, 100.1}
        << QVector<double> {100.2} << "100.00 100.20 0.20 U=0.33 tol=1 PASS no-repeatability";
    // 0.30 + (0.80 − 0.30) · 100/500 = 0.40
    QTest::newRow("the source's U interpolated at the set point")
        << 1.0 << 0.0 << false << 0.0 << "" << true << hundred << QVector<double> {100.2}
        << "100.00 100.20 0.20 U=0.40 tol=1 PASS no-repeatability";
    QTest::newRow("a U of 123.4 is 130, printed in tens; the error 14 prints 10")
        << 200.0 << 0.0 << false << 0.0 << "n123.4" << false << QVector<double> {500.0}
        << QVector<double> {514.0} << "500 510 10 U=130 tol=200 PASS no-repeatability";
}

void TestCalibration::stepUncertaintyAndVerdict()
{
    QFETCH(double, toleranceC);
    QFETCH(double, percent);
    QFETCH(bool, guarded);
    QFETCH(double, resolution);
    QFETCH(QString, budget);
    QFETCH(bool, sourceTable);
    QFETCH(QVector<double>, dwell);
    QFETCH(QVector<double>, readings);
    CalibrationRun run;
    run.emissivity = run.source.emissivity;
    run.toleranceC = toleranceC;
    run.tolerancePercent = percent;
    run.guarded = guarded;
    run.certificate.resolutionC = resolution;
    const QStringList components = budget.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &word : components) {
        BudgetComponent c;
        c.value = word.mid(1).toDouble();
        c.distribution = word.at(0) == 'n' ? BudgetComponent::Distribution::Normal
            : word.at(0) == 'r'            ? BudgetComponent::Distribution::Rectangular
                                           : BudgetComponent::Distribution::Triangular;
        run.budget << c;
    }
    if (sourceTable)
        run.source.uncertainty = {{0, 0.30}, {500, 0.80}};
    CalibrationStepResult r = result(0, dwell.constFirst(), true, 0, 0, dwell);
    r.readings = readings;
    r.ambientC = 23;
    const StepEvaluation e = StepEvaluator::evaluate(run, r);
    QVERIFY(e.measured);
    QString got = e.text(e.referenceUnits) + " " + e.text(e.readingUnits) + " " + e.text(e.errorUnits)
        + " U=" + e.text(e.expandedUnits);
    if (!e.coverageNormal)
        got += " k=" + QString::number(e.coverage, 'f', 2) + " nu=" + QString::number(e.dofEffective);
    got += " tol=" + e.toleranceText() + " " + (e.verdict == StepEvaluation::Verdict::Pass ? "PASS" : "FAIL");
    if (e.uncertaintyTooLarge)
        got += " U>=tol";
    if (e.onEdge)
        got += " edge";
    if (e.repeatabilityMissing)
        got += " no-repeatability";
    QTEST(got, "expected");
}

void TestCalibration::verdictIsDecidedOnMeasuredValues_data()
{
    QTest::addColumn<bool>("guarded");
    QTest::addColumn<double>("toleranceC");
    QTest::addColumn<double>("percent");
    QTest::addColumn<bool>("ofReference");
    QTest::addColumn<double>("expanded"); // U, from one normal item (ν infinite, so k = 2)
    QTest::addColumn<double>("reference");
    QTest::addColumn<double>("reading");
    QTest::addColumn<QString>("expected"); // verdict, printed U and tolerance, and "edge" where they mislead

    // Guarded, w = U: the acceptance limit is 1.00 − 0.1049 = 0.8951, which all three exceed (U printed
    // rounded up, 0.11, says so too).
    QTest::newRow("guarded, U 0.1049, error 0.9003")
        << true << 1.0 << 0.0 << false << 0.1049 << 100.0 << 100.9003 << "FAIL U=0.11 tol=1";
    QTest::newRow("guarded, U 0.1049, error 0.9084")
        << true << 1.0 << 0.0 << false << 0.1049 << 100.0 << 100.9084 << "FAIL U=0.11 tol=1";
    QTest::newRow("guarded, U 0.1049, error 0.8957")
        << true << 1.0 << 0.0 << false << 0.1049 << 100.0 << 100.8957 << "FAIL U=0.11 tol=1";
    QTest::newRow("simple, 505.04 at 500.000 against ±5.0")
        << false << 5.0 << 0.0 << false << 1.2 << 500.0 << 505.04 << "FAIL U=1.2 tol=5 edge";
    QTest::newRow("simple, 0.992 % of the reference (4.96) with 4.99")
        << false << 0.0 << 0.992 << true << 1.2 << 500.0 << 504.99 << "FAIL U=1.2 tol=4.96";
    QTest::newRow("simple, 0.992 % of the reading (4.91) with −4.99")
        << false << 0.0 << 0.992 << false << 1.2 << 500.0 << 495.01 << "FAIL U=1.2 tol=4.9105";
    QTest::newRow("2 % of the reading 510.15 at 500.0: ±10.203")
        << false << 0.0 << 2.0 << false << 1.2 << 500.0 << 510.15 << "PASS U=1.2 tol=10.203";
    QTest::newRow("2 % of the reference at 500.0: ±10")
        << false << 0.0 << 2.0 << true << 1.2 << 500.0 << 510.15 << "FAIL U=1.2 tol=10";
}

void TestCalibration::verdictIsDecidedOnMeasuredValues()
{
    QFETCH(bool, guarded);
    QFETCH(double, toleranceC);
    QFETCH(double, percent);
    QFETCH(bool, ofReference);
    QFETCH(double, expanded);
    QFETCH(double, reference);
    QFETCH(double, reading);
    CalibrationRun run = plainRun(expanded);
    run.guarded = guarded;
    run.toleranceC = toleranceC;
    run.tolerancePercent = percent;
    run.toleranceOf
        = ofReference ? CalibrationRun::ToleranceOf::Reference : CalibrationRun::ToleranceOf::Reading;
    const StepEvaluation e = StepEvaluator::evaluate(run, measuredStep(reference, {reading}));
    QVERIFY(e.measured);
    QCOMPARE(e.expanded, expanded);
    QString got = QLatin1String(e.verdict == StepEvaluation::Verdict::Pass ? "PASS" : "FAIL")
        + " U=" + e.text(e.expandedUnits) + " tol=" + e.toleranceText();
    if (e.onEdge)
        got += " edge";
    QTEST(got, "expected");
}

void TestCalibration::coverageFactorIsStudentsT_data()
{
    QTest::addColumn<double>("dof");
    QTest::addColumn<double>("k"); // EA-4/02's table for 95.45 %
    QTest::newRow("1") << 1.0 << 13.97;
    QTest::newRow("2") << 2.0 << 4.53;
    QTest::newRow("3") << 3.0 << 3.31;
    QTest::newRow("4") << 4.0 << 2.87;
    QTest::newRow("5") << 5.0 << 2.65;
    QTest::newRow("10") << 10.0 << 2.28;
    QTest::newRow("20") << 20.0 << 2.13;
    QTest::newRow("50") << 50.0 << 2.05;
    QTest::newRow("infinite") << qInf() << 2.00;
}

void TestCalibration::coverageFactorIsStudentsT()
{
    QFETCH(double, dof);
    QFETCH(double, k);
    const double t = Coverage::studentT(dof);
    QVERIFY2(std::abs(t - k) <= 0.005, qPrintable(QString::number(t, 'f', 4)));
}

void TestCalibration::fewReadingsWidenTheCoverage_data()
{
    QTest::addColumn<QVector<double>>("readings");
    QTest::addColumn<double>("budget"); // one normal item of k = 2
    QTest::addColumn<double>("budgetDof");
    QTest::addColumn<double>("nu"); // −1: at least 50, where k = 2 is stated
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("expanded");
    QTest::addColumn<QString>("printed");

    const QVector<double> three {49, 50, 51};
    // u_c = √((1/√3)² + (0.1/2/√3)²) = 0.5781, ν_eff = 2·(0.5781/0.5774)⁴ = 2.01
    QTest::newRow("49, 50, 51: ν_eff 2, k 4.53") << three << 0.0 << qInf() << 2.0 << 4.53 << 2.617 << "2.7";
    // A budget item with few degrees of freedom of its own: u = 0.5, ν = 4 beside the readings' 0.5774, ν =
    // 2; u_c = 0.7643, ν_eff = 0.7643⁴/(0.5774⁴/2 + 0.5⁴/4) = 4.8, so 4 and k = 2.87
    QTest::newRow("and a budget item of ν 4") << three << 1.0 << 4.0 << 4.0 << 2.87 << 2.193 << "2.2";
    QTest::newRow("a budget of infinite ν keeps k = 2 once ν_eff ≥ 50")
        << QVector<double> {50.0, 50.1, 49.9, 50.0, 50.1, 49.9, 50.0, 50.1, 49.9, 50.0} << 2.0 << qInf()
        << -1.0 << 2.0 << 2.0015 << "2.1";
}

void TestCalibration::fewReadingsWidenTheCoverage()
{
    QFETCH(QVector<double>, readings);
    QFETCH(double, budget);
    QFETCH(double, budgetDof);
    CalibrationRun run = plainRun(budget);
    run.budget[0].dof = budgetDof;
    run.certificate.resolutionC = 0.1;
    const StepEvaluation e = StepEvaluator::evaluate(run, measuredStep(50, readings));
    QVERIFY(e.measured);
    QFETCH(double, nu);
    QCOMPARE(e.coverageNormal, nu < 0);
    if (nu >= 0)
        QCOMPARE(e.dofEffective, nu);
    QFETCH(double, k);
    QFETCH(double, expanded);
    QVERIFY2(std::abs(e.coverage - k) <= 0.005, qPrintable(QString::number(e.coverage, 'f', 4)));
    QVERIFY2(std::abs(e.expanded - expanded) <= 0.001, qPrintable(QString::number(e.expanded, 'f', 4)));
    QTEST(e.text(e.expandedUnits), "printed");
}

void TestCalibration::sensitivitiesComeFromTheRadianceModel_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("sensitivity");
    QTest::addColumn<double>("contribution");
    QTest::addColumn<bool>("nonlinear");

    // −30 °C on 3–5 µm, instrument at ε 0.95, source ε 1.00, ambient 23 °C. Expected values from the
    // closed-form band integral and bisection in a separate script. The cold source is a small part of the
    // radiance the instrument sees, so its changes count almost twice and the ambient's against it.
    using K = StepEvaluation::Component::Kind;
    QTest::newRow("source calibration, U 0.10 at ±0.05")
        << int(K::SourceCalibration) << 1.9426 << 0.0971 << false;
    QTest::newRow("source stability, s 0.05") << int(K::Stability) << 1.9426 << 0.0971 << false;
    QTest::newRow("reflected ambient, u 0.05") << int(K::Ambient) << -0.7168 << 0.0358 << false;
    // ±0.01 in ε_s moves T_u by −3.86 and −3.22 °C: beyond 10 % apart, so the larger is taken.
    QTest::newRow("source emissivity, u 0.01") << int(K::SourceEmissivity) << -385.8 << 3.858 << true;
    QTest::newRow("a budget item at the source, u 0.05") << int(K::Budget) << 1.9426 << 0.0971 << false;
}

void TestCalibration::sensitivitiesComeFromTheRadianceModel()
{
    QFETCH(int, kind);
    QFETCH(double, sensitivity);
    QFETCH(double, contribution);
    QFETCH(bool, nonlinear);
    CalibrationRun run;
    run.emissivity = 0.95;
    run.source.emissivity = 1.0;
    run.certificate.bandLowUm = 3;
    run.certificate.bandHighUm = 5;
    run.source.uncertainty = {{-30, 0.10}};
    run.source.emissivityUncertainty = 0.01;
    run.ambientUncertaintyC = 0.05;
    BudgetComponent atSource;
    atSource.value = 0.10;
    atSource.actsAt = BudgetComponent::ActsAt::Source;
    run.budget << atSource;
    CalibrationStepResult r = result(0, -30, true, 0, 0, {-30.05, -29.95});
    r.readings = {-42.6};
    r.ambientC = 23;
    // The dwell's s is 0.0707; a dwell of ±0.05 around −30 keeps its mean there.
    const StepEvaluation e = StepEvaluator::evaluate(run, r);
    QVERIFY(e.measured);
    QVERIFY2(std::abs(e.reference - -42.6003) < 0.001, qPrintable(QString::number(e.reference, 'f', 4)));
    for (const StepEvaluation::Component &c : e.components) {
        if (int(c.kind) != kind)
            continue;
        const double u = kind == int(StepEvaluation::Component::Kind::Stability) ? 0.0707 / 0.05 : 1.0;
        QVERIFY2(std::abs(c.sensitivity - sensitivity) < 0.002 * std::abs(sensitivity),
            qPrintable(QString::number(c.sensitivity, 'f', 4)));
        QVERIFY2(std::abs(c.contribution - contribution * u) < 0.002 * contribution * u,
            qPrintable(QString::number(c.contribution, 'f', 4)));
        QCOMPARE(c.nonlinear, nonlinear);
        return;
    }
    QFAIL("no such component");
}

void TestCalibration::bandRadianceMatchesTheClosedForm_data()
{
    QTest::addColumn<double>("celsius");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::newRow("the widest band the parser takes, 500 °C") << 500.0 << 0.1 << 1000.0;
    QTest::newRow("the widest band, 1500 °C") << 1500.0 << 0.1 << 1000.0;
    QTest::newRow("short waves, cold") << -100.0 << 0.1 << 1.0;
    QTest::newRow("long waves, cold") << -100.0 << 100.0 << 1000.0;
    QTest::newRow("0.8–1.1 µm, 1500 °C") << 1500.0 << 0.8 << 1.1;
    QTest::newRow("8–14 µm, 23 °C") << 23.0 << 8.0 << 14.0;
    QTest::newRow("3–5 µm, −30 °C") << -30.0 << 3.0 << 5.0;
}

void TestCalibration::bandRadianceMatchesTheClosedForm()
{
    QFETCH(double, celsius);
    QFETCH(double, low);
    QFETCH(double, high);
    const double c1 = 1.191042972e-16;
    const double c2 = 1.438776877e-2;
    const double kelvin = celsius + 273.15;
    const double closed = c1 * std::pow(kelvin / c2, 4)
        * (planckTail(c2 / (high * 1e-6 * kelvin)) - planckTail(c2 / (low * 1e-6 * kelvin)));
    const double got = Radiance::band(celsius, low, high);
    QVERIFY2(std::abs(got - closed) <= 1e-9 * closed, qPrintable(QString::number(got / closed - 1, 'g', 3)));
}

void TestCalibration::stepWithoutSolutionIsNotEvaluated()
{
    // At ε_u 0.90 a −30 °C source of ε 1.00 on 3–5 µm asks for less radiance than the ambient's share.
    CalibrationRun run;
    run.emissivity = 0.90;
    run.source.emissivity = 1.0;
    run.certificate.bandLowUm = 3;
    run.certificate.bandHighUm = 5;
    run.toleranceC = 1;
    const QVector<CalibrationStepResult> results {measuredStep(-30, {-31.0}), measuredStep(50, {50.2})};
    const QVector<StepEvaluation> evaluations {
        StepEvaluator::evaluate(run, results.at(0)), StepEvaluator::evaluate(run, results.at(1))};
    QVERIFY(evaluations.at(0).noSolution);
    QCOMPARE(evaluations.at(0).verdict, StepEvaluation::Verdict::NotEvaluated);
    QCOMPARE(evaluations.at(0).readingMean, -31.0);
    QVERIFY(evaluations.at(1).measured);
    bool complete = false;
    bool allEvaluated = true;
    QCOMPARE(StepEvaluator::overall(results, evaluations, &complete, &allEvaluated),
        StepEvaluation::Verdict::None);
    QVERIFY(complete);
    QVERIFY(!allEvaluated);
    const auto row = CalibrationReport::row(run, results.at(0), QDateTime::currentDateTime());
    QCOMPARE(row.at(CalibrationReport::columns().indexOf("verdict")).second, QByteArray("not evaluated"));
    QCOMPARE(row.at(CalibrationReport::columns().indexOf("ambient")).second, QByteArray("23.000"));
    QCOMPARE(row.at(CalibrationReport::columns().indexOf("ambient_origin")).second, QByteArray("stated"));
}

void TestCalibration::oneReadingNeedsAStatedRepeatability_data()
{
    QTest::addColumn<QVector<double>>("readings");
    QTest::addColumn<bool>(
        "stated"); // a budget item "prior s" of 0.3, normal, k 1, ν 9, marked as repeatability
    QTest::addColumn<bool>("missing");
    QTest::addColumn<QString>("repeatability"); // the component: name value/divisor ν

    QTest::newRow("one reading, none stated: missing") << QVector<double> {50.2} << false << true << "";
    QTest::newRow("one reading, stated: it stands in")
        << QVector<double> {50.2} << true << false << "prior s 0.3/1 9";
    QTest::newRow("three readings measure their own, the stated one is left out")
        << QVector<double> {50.1, 50.3, 50.2} << true << false << " 0.1/1.732 2";
}

void TestCalibration::oneReadingNeedsAStatedRepeatability()
{
    QFETCH(QVector<double>, readings);
    QFETCH(bool, stated);
    CalibrationRun run = plainRun(0.1);
    run.readingsPerStep = readings.size();
    if (stated) {
        BudgetComponent prior;
        prior.name = QStringLiteral("prior s");
        prior.value = 0.3;
        prior.k = 1;
        prior.dof = 9;
        prior.repeatability = true;
        prior.basis = QStringLiteral("previous evaluation");
        run.budget << prior;
    }
    QTEST(run.repeatabilityMissing(), "missing");
    const StepEvaluation e = StepEvaluator::evaluate(run, measuredStep(50, readings));
    QTEST(e.repeatabilityMissing, "missing");
    QStringList found;
    for (const StepEvaluation::Component &c : e.components) {
        if (c.kind == StepEvaluation::Component::Kind::Repeatability)
            found << c.name + " " + QString::number(c.value, 'g', 4) + "/"
                    + QString::number(c.divisor, 'g', 4) + " " + QString::number(c.dof);
    }
    QTEST(found.join(QLatin1Char(';')), "repeatability");
}

void TestCalibration::reportRowsByteForByte_data()
{
    QTest::addColumn<QVector<CalibrationStepResult>>("results");
    QTest::addColumn<QDateTime>("wallAtZero");
    QTest::addColumn<QByteArray>("rows");

    const QDateTime beijing(QDate(2024, 5, 1), QTime(10, 0), Qt::OffsetFromUTC, 8 * 3600);
    QTest::newRow("reading and ambient")
        // Equal emissivities: the reference is the dwell mean; u_c = √(s² + (0.1/2/√3)²) with s = 0.01193,
        // and U = 0.06247 rounds up to 0.063. The thermometer's ambient is the one used.
        << QVector<CalibrationStepResult> {result(
               0, 35, true, 61234, 45678, {35.012, 35.018, 34.995}, {22.44, 22.46}, 35.5)}
        << beijing
        << QByteArray(
               "1,done,35.000,2024-05-01T10:01:01.234+08:00,45.7,35.008,0.0119,34.995,35.018,3,22.450,35.500,"
               "0.492,35.008,35.500,,0.492,0.0312,0.063,,,0.491667,0.062471,,2.000,inf,measured\r\n");
    QTest::newRow("no reading, thermometer closed, offset west of UTC over midnight")
        << QVector<CalibrationStepResult> {result(0, 80, true, 700, 700, {80.0, 80.02})}
        << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59, 500), Qt::OffsetFromUTC, -(5 * 3600 + 1800))
        << QByteArray("1,done,80.000,2025-01-01T00:00:00.200-05:30,0.7,80.010,0.0141,80.000,80.020,2,,,,,,,,,"
                      ",,,,,,,,\r\n");
    QTest::newRow("local time carries its offset")
        << QVector<CalibrationStepResult> {result(2, -12.5, true, 1000, 60000, {-12.5})}
        << QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::LocalTime)
        << QByteArray("3,done,-12.500,2024-05-01T10:00:01.000+08:00,60.0,-12.500,,-12.500,-12.500,1,,,,,,,,,,"
                      ",,,,,,,\r\n");
    using Outcome = CalibrationStepResult::Outcome;
    QTest::newRow("each outcome says what happened; an aborted dwell keeps what it measured")
        << QVector<CalibrationStepResult> {result(0, 35, false, 0, 0, {}, {}, kNone, Outcome::Skipped),
               result(1, 50, true, 2000, 1000, {50.01, 50.03}, {}, kNone, Outcome::Aborted),
               result(2, 80, false, 0, 0, {}, {}, kNone, Outcome::NotReached)}
        << beijing
        << QByteArray("1,skipped,35.000,,,,,,,,,,,,,,,,,,,,,,,,\r\n"
                      "2,aborted,50.000,2024-05-01T10:00:02.000+08:00,1.0,50.020,0.0141,50.010,50.030,2,,,,,,"
                      ",,,,,,,,,,,\r\n"
                      "3,not reached,80.000,,,,,,,,,,,,,,,,,,,,,,,,\r\n");
    QTest::newRow("an error that rounds to zero has no sign")
        << QVector<CalibrationStepResult> {result(0, 35, true, 0, 0, {35.0001}, {}, 35.0)} << beijing
        << QByteArray("1,done,35.000,2024-05-01T10:00:00.000+08:00,0.0,35.000,,35.000,35.000,1,,35.000,0.000,"
                      ",,,,,,,,,,,,,\r\n");
}

void TestCalibration::reportRowsByteForByte()
{
    QFETCH(QVector<CalibrationStepResult>, results);
    QFETCH(QDateTime, wallAtZero);
    QFETCH(QByteArray, rows);
    QCOMPARE(CalibrationReport::csv(CalibrationRun(), results, wallAtZero),
        "step,outcome,set_point,stable_at,settle_s,mean,std,min,max,count,ambient,reading,error,"
        "reference,reading_mean,reading_std,error_ref,u_c,U,tolerance,verdict,error_unrounded,U_unrounded,"
        "tolerance_unrounded,k,nu_eff,ambient_origin\r\n"
            + rows);
    // The row as named fields says the same, column by column.
    QByteArray joined;
    for (const CalibrationStepResult &r : results) {
        QByteArrayList names, values;
        for (const auto &[name, value] : CalibrationReport::row(CalibrationRun(), r, wallAtZero)) {
            names << name;
            values << value;
        }
        QCOMPARE(names, CalibrationReport::columns());
        joined += values.join(',') + "\r\n";
    }
    QCOMPARE(joined, rows);
}

void TestCalibration::reportNamesCarryDateAndTime()
{
    const QDateTime at(QDate(2024, 1, 2), QTime(15, 4, 5));
    QCOMPARE(CalibrationReport::fileName(at, QStringLiteral("csv")),
        QStringLiteral("calibration-20240102-150405.csv"));
    QCOMPARE(CalibrationReport::fileName(at, QStringLiteral("pdf")),
        QStringLiteral("calibration-20240102-150405.pdf"));
}

QTEST_GUILESS_MAIN(TestCalibration)

#include "tst_calibration.moc"

void TestCalibration::takenReadingsKeepTheirRawReplies()
{
    const QDateTime at(QDate(2026, 12, 10), QTime(4, 30, 1, 250), Qt::UTC);
    CalibrationStepResult r = result(0, 50, true, 1000, 500, {50.0}, {}, 50.12);
    r.readings << 50.2;
    TakenReading driver;
    driver.source = TakenReading::Source::Driver;
    driver.value = 50.12;
    driver.raw = QStringLiteral("t: 50,12 \"C\"\\r");
    driver.utc = at;
    TakenReading fault = driver;
    fault.value = 0;
    fault.fault = QStringLiteral("not ready");
    fault.raw = QStringLiteral("77770\\r");
    TakenReading typed;
    typed.value = 50.2;
    typed.utc = at.addSecs(60);
    r.taken = {driver, fault, typed};

    const std::optional<CalibrationStepResult> back
        = CalibrationJournal::resultFrom(CalibrationJournal::resultObject(r), 1);
    QVERIFY(back);
    QCOMPARE(back->taken, r.taken);
    QCOMPARE(back->readings, r.readings);

    // The fault is the journal's alone; the readings have a column of each kind apiece.
    const QByteArrayList lines = CalibrationReport::csv(CalibrationRun(), {r}, at).split('\n');
    QVERIFY(lines.at(0).endsWith("ambient_origin,reading_raw_1,reading_raw_2,reading_utc_1,reading_utc_2,"
                                 "reading_source_1,reading_source_2\r"));
    QVERIFY2(lines.at(1).endsWith(",\"t: 50,12 \"\"C\"\"\\r\",,2026-12-10T04:30:01.250Z,"
                                  "2026-12-10T04:31:01.250Z,driver,typed\r"),
        lines.at(1).constData());
    const auto row = CalibrationReport::row(CalibrationRun(), r, at);
    QCOMPARE(row.last(), qMakePair(QByteArray("reading_source_2"), QByteArray("typed")));
    // The row as named fields keeps the raw reply as it came, for those who take it as an object.
    QCOMPARE(row.at(row.size() - 6).second, driver.raw.toUtf8());
}
