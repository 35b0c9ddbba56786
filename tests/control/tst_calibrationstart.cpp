#include "control/calibrationstart.h"
#include "control/certificatecompleteness.h"

#include <QTest>

using Obstacle = CalibrationStart::Obstacle;
using State = BlackbodySession::State;

namespace {

// A word per obstacle, in the order of Obstacle.
QString words(const QVector<Obstacle> &obstacles)
{
    static const char *const names[] = {"run", "link", "unconfirmed", "model", "instrument", "emissivity",
        "folder", "lab", "curve", "chart", "overdue", "incomplete", "vouch"};
    QStringList out;
    for (const Obstacle o : obstacles)
        out << names[int(o)];
    return out.isEmpty() ? QStringLiteral("start") : out.join(QLatin1Char(' '));
}

// Everything in order: an open link to a confirmed controller, a folder, a lab, room on the chart.
CalibrationStart::Situation ready()
{
    CalibrationStart::Situation s;
    s.link.link = State::Open;
    s.link.portOpen = true;
    s.controllerConfirmed = true;
    s.reportFolderWritable = true;
    s.labKnown = true;
    s.chartHoldsMs = 3600000;
    s.runNeedsMs = 600000;
    return s;
}

} // namespace

// Whether a run may start or resume: the same verdicts for the window, SCPI and a headless station.
class TestCalibrationStart : public QObject
{
    Q_OBJECT

private slots:
    void startIsRefusedForEachObstacleInOrder_data();
    void startIsRefusedForEachObstacleInOrder();
    void certificateNamesWhatItLacks_data();
    void certificateNamesWhatItLacks();
    void instrumentEmissivityIsJudgedWithinItsTolerance_data();
    void instrumentEmissivityIsJudgedWithinItsTolerance();
    void resumeGoesOnOnlyWithAControllerKnownToBeOurs_data();
    void resumeGoesOnOnlyWithAControllerKnownToBeOurs();
};

void TestCalibrationStart::startIsRefusedForEachObstacleInOrder_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("obstacles");
    QTest::addColumn<bool>("final");

    QTest::newRow("ready") << ""
                           << "start" << false;
    QTest::newRow("a run holds the source") << "running"
                                            << "run" << true;
    QTest::newRow("closed") << "closed"
                            << "link" << true;
    QTest::newRow("reconnecting") << "reconnecting"
                                  << "link" << true;
    QTest::newRow("closing: the state still says open") << "closing"
                                                        << "link" << true;
    QTest::newRow("interrupted, not yet heard again") << "checking"
                                                      << "unconfirmed" << true;
    QTest::newRow("silent after it reported another set point") << "suspect"
                                                                << "unconfirmed" << true;
    QTest::newRow("another model's set points") << "model"
                                                << "model" << true;
    QTest::newRow("no report folder") << "folder"
                                      << "folder" << false;
    QTest::newRow("no lab") << "lab"
                            << "lab" << false;
    QTest::newRow("an unsaved curve") << "curve"
                                      << "curve" << false;
    QTest::newRow("the chart holds less than the run") << "chart"
                                                       << "chart" << false;
    QTest::newRow("the chart holds exactly the run") << "chart-exact"
                                                     << "start" << false;
    QTest::newRow("the source is overdue") << "overdue"
                                           << "overdue" << false;
    QTest::newRow("a certificate would lack a field: a test report is offered") << "incomplete"
                                                                                << "incomplete" << false;
    QTest::newRow("the instrument's driver or port failed") << "uut-gone"
                                                            << "instrument" << true;
    QTest::newRow("the instrument's emissivity reads back otherwise") << "uut-differs"
                                                                      << "emissivity" << true;
    QTest::newRow("an instrument that cannot be asked, nobody vouched") << "uut-unknown"
                                                                        << "vouch" << false;
    QTest::newRow("an instrument that cannot be asked, the file vouches") << "uut-vouched"
                                                                          << "start" << false;
    QTest::newRow("everything at once, in the order they are asked about")
        << "folder lab curve chart overdue model incomplete uut-unknown"
        << "model folder lab curve chart overdue incomplete vouch" << true;
}

void TestCalibrationStart::startIsRefusedForEachObstacleInOrder()
{
    QFETCH(QString, change);
    CalibrationStart::Situation s = ready();
    for (const QString &c : change.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (c == "running")
            s.link.run = RunPhase::Paused;
        else if (c == "closed")
            s.link = {};
        else if (c == "reconnecting")
            s.link.link = State::Reconnecting;
        else if (c == "closing")
            s.link.portOpen = false;
        else if (c == "checking")
            s.controllerConfirmed = false;
        else if (c == "suspect")
            s.link = {State::Silent, true, true, RunPhase::None, false, false};
        else if (c == "model")
            s.fitsModel = false;
        else if (c == "folder")
            s.reportFolderWritable = false;
        else if (c == "lab")
            s.labKnown = false;
        else if (c == "curve")
            s.link.unsavedCurve = true;
        else if (c == "chart")
            s.chartHoldsMs = s.runNeedsMs - 1;
        else if (c == "chart-exact")
            s.chartHoldsMs = s.runNeedsMs;
        else if (c == "overdue")
            s.sourceOverdue = true;
        else if (c == "incomplete")
            s.certificateComplete = false;
        else if (c == "uut-gone")
            s.instrument = CalibrationStart::Instrument::Unavailable;
        else if (c.startsWith("uut-")) {
            s.instrument = CalibrationStart::Instrument::Ready;
            s.emissivity = c == "uut-differs" ? CalibrationStart::EmissivityVerdict::Differs
                : c == "uut-unknown"          ? CalibrationStart::EmissivityVerdict::Unknown
                                              : CalibrationStart::EmissivityVerdict::Vouched;
        }
    }
    const QVector<Obstacle> obstacles = CalibrationStart::obstacles(s);
    QTEST(words(obstacles), "obstacles");
    QTEST(std::any_of(obstacles.begin(), obstacles.end(), &CalibrationStart::isFinal), "final");
}

void TestCalibrationStart::instrumentEmissivityIsJudgedWithinItsTolerance_data()
{
    QTest::addColumn<QString>("commands"); // "set", "query", both or neither
    QTest::addColumn<double>("readBack"); // negative: none came
    QTest::addColumn<bool>("vouched");
    QTest::addColumn<QString>("verdict");

    QTest::newRow("read back as set") << "set query" << 0.95 << false << "matches";
    QTest::newRow("read back within the tolerance") << "set query" << 0.951 << false << "matches";
    QTest::newRow("read back beyond it") << "set query" << 0.952 << false << "differs";
    QTest::newRow("a query nobody answered, even if vouched") << "query" << -1.0 << true << "differs";
    QTest::newRow("set only: its echo counts") << "set" << 0.95 << false << "matches";
    QTest::newRow("no commands, nobody vouched") << "" << -1.0 << false << "unknown";
    QTest::newRow("no commands, the file vouches") << "" << -1.0 << true << "vouched";
}

void TestCalibrationStart::instrumentEmissivityIsJudgedWithinItsTolerance()
{
    QFETCH(QString, commands);
    QFETCH(double, readBack);
    CalibrationStart::Emissivity e;
    e.canSet = commands.contains("set");
    e.canQuery = commands.contains("query");
    if (readBack >= 0)
        e.readBack = readBack;
    e.wanted = 0.95;
    e.tolerance = 0.001;
    QFETCH(bool, vouched);
    e.vouched = vouched;
    static const char *const words[] = {"matches", "differs", "unknown", "vouched"};
    QTEST(QString::fromLatin1(words[int(CalibrationStart::emissivity(e))]), "verdict");
}

void TestCalibrationStart::resumeGoesOnOnlyWithAControllerKnownToBeOurs_data()
{
    QTest::addColumn<int>("latest"); // -1: no reading
    QTest::addColumn<int>("held"); // -1: unknown
    QTest::addColumn<int>("verdict"); // CalibrationStart::Resume

    const int go = int(CalibrationStart::Resume::Go);
    QTest::newRow("no reading yet") << -1 << 3500 << int(CalibrationStart::Resume::NoReading);
    QTest::newRow("what it held when the run paused") << 3500 << 3500 << go;
    QTest::newRow("the step's set point") << 4000 << 3500 << go;
    QTest::newRow("paused before any reading") << 2000 << -1 << go;
    QTest::newRow("something else") << 2000 << 3500 << int(CalibrationStart::Resume::AskSameController);
}

void TestCalibrationStart::resumeGoesOnOnlyWithAControllerKnownToBeOurs()
{
    QFETCH(int, latest);
    QFETCH(int, held);
    const auto known = [](int wire) { return wire < 0 ? std::nullopt : std::optional<qint16>(qint16(wire)); };
    QTEST(int(CalibrationStart::resume(known(latest), known(held), 4000)), "verdict");
}

// A run with every field a certificate needs; each row takes one away (or gives one back).
void TestCalibrationStart::certificateNamesWhatItLacks_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("missing");

    QTest::newRow("complete") << ""
                              << "";
    QTest::newRow("a new run: nothing filled in")
        << "new"
        << "lab name, certificate.customer, certificate.make, certificate.model, certificate.serial, "
           "source.make, source.model, source.serial, source.certificate, source.due, source.uncertainty";
    QTest::newRow("no lab name") << "lab"
                                 << "lab name";
    QTest::newRow("a blank customer") << "customer"
                                      << "certificate.customer";
    QTest::newRow("no item serial") << "serial"
                                    << "certificate.serial";
    QTest::newRow("no source serial") << "source-serial"
                                      << "source.serial";
    QTest::newRow("a due date that is no date") << "due"
                                                << "source.due";
    QTest::newRow("no source uncertainty table") << "table"
                                                 << "source.uncertainty";
    QTest::newRow("one reading a step, no stated repeatability") << "one"
                                                                 << "budget repeatability";
    QTest::newRow("one reading a step with a stated repeatability") << "one stated"
                                                                    << "";
    QTest::newRow("a stated repeatability with three readings needs none") << "stated"
                                                                           << "";
    QTest::newRow("no tolerance: no conformity is stated, none is missing") << "no-tolerance"
                                                                            << "";
}

void TestCalibrationStart::certificateNamesWhatItLacks()
{
    QFETCH(QString, change);
    CalibrationRun run;
    run.certificate.customer = QStringLiteral("ACME");
    run.certificate.make = QStringLiteral("Acme");
    run.certificate.model = QStringLiteral("IR-200");
    run.certificate.serial = QStringLiteral("4471");
    run.source.make = QStringLiteral("Ostrel");
    run.source.model = QStringLiteral("BB-500");
    run.source.serial = QStringLiteral("B-17");
    run.source.certificate = QStringLiteral("S-2026-118");
    run.source.due = QStringLiteral("2099-06-30");
    run.source.uncertainty = {{0, 0.3}};
    run.toleranceC = 1;
    QString lab = QStringLiteral("Test Lab");
    for (const QString &c : change.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (c == "new") {
            run = CalibrationRun();
            lab.clear();
        } else if (c == "lab") {
            lab = QStringLiteral("  ");
        } else if (c == "customer") {
            run.certificate.customer = QStringLiteral(" ");
        } else if (c == "serial") {
            run.certificate.serial.clear();
        } else if (c == "source-serial") {
            run.source.serial.clear();
        } else if (c == "due") {
            run.source.due = QStringLiteral("2099-13-01");
        } else if (c == "table") {
            run.source.uncertainty.clear();
        } else if (c == "one") {
            run.readingsPerStep = 1;
        } else if (c == "stated") {
            BudgetComponent repeatability;
            repeatability.name = QStringLiteral("repeatability");
            repeatability.value = 0.05;
            repeatability.repeatability = true;
            repeatability.basis = QStringLiteral("previous evaluation");
            run.budget << repeatability;
        } else if (c == "no-tolerance") {
            run.toleranceC = 0;
        }
    }
    QTEST(CertificateCompleteness::fields(CertificateCompleteness::missing(run, lab)), "missing");
}

QTEST_GUILESS_MAIN(TestCalibrationStart)
#include "tst_calibrationstart.moc"
