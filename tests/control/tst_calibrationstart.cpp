#include "control/calibrationstart.h"

#include <QTest>

using Obstacle = CalibrationStart::Obstacle;
using State = BlackbodySession::State;

namespace {

// A word per obstacle, in the order of Obstacle.
QString words(const QVector<Obstacle> &obstacles)
{
    static const char *const names[]
        = {"run", "link", "unconfirmed", "model", "folder", "lab", "curve", "chart", "overdue"};
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
    QTest::newRow("everything at once, in the order they are asked about")
        << "folder lab curve chart overdue model"
        << "model folder lab curve chart overdue" << true;
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
    }
    const QVector<Obstacle> obstacles = CalibrationStart::obstacles(s);
    QTEST(words(obstacles), "obstacles");
    QTEST(std::any_of(obstacles.begin(), obstacles.end(), &CalibrationStart::isFinal), "final");
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

QTEST_GUILESS_MAIN(TestCalibrationStart)
#include "tst_calibrationstart.moc"
