#include "control/calibrationrun.h"

#include <QTest>

using Kind = CalibrationRunError::Kind;

Q_DECLARE_METATYPE(CalibrationRun)

namespace {

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

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private slots:
    void runFileReadsFieldsAndDefaults_data();
    void runFileReadsFieldsAndDefaults();
    void badRunFileIsRefusedSayingWhere_data();
    void badRunFileIsRefusedSayingWhere();
};

void TestCalibration::runFileReadsFieldsAndDefaults_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<CalibrationRun>("expected");

    CalibrationRun example;
    example.steps << step(35.0);
    QTest::newRow("the documented example")
        << QByteArray(R"({"version": 1, "instrument": "", "operator": "", "distanceMm": 0, "emissivity": 0.95,
                         "steps": [{"setPoint": 35.0, "band": 0.1, "window": 30, "dwell": 60, "askReading": true}]})")
        << example;

    QTest::newRow("only a version: every default") << QByteArray(R"({"version": 1})") << CalibrationRun();

    CalibrationRun bare;
    bare.steps << step(-12.5);
    QTest::newRow("a step with only its set point")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": -12.5}]})") << bare;

    CalibrationRun full;
    full.instrument = QStringLiteral("红外测温仪 IR-2 «A»");
    full.operatorName = QStringLiteral("张三");
    full.distanceMm = 300;
    full.emissivity = 1;
    full.steps << step(50, 0.05, 12.5, 0, false) << step(80.25, 0, 0.5, 86400, true);
    QTest::newRow("every field, non-ASCII text, fractions and limits")
        << QByteArray(R"({"version": 1, "instrument": "红外测温仪 IR-2 «A»", "operator": "张三",
                         "distanceMm": 300, "emissivity": 1, "steps": [
                         {"setPoint": 50, "band": 0.05, "window": 12.5, "dwell": 0, "askReading": false},
                         {"setPoint": 80.25, "band": 0, "window": 0.5, "dwell": 86400}]})")
        << full;

    QTest::newRow("version written as 1.0, an unknown field")
        << QByteArray(R"({"version": 1.0, "comment": "kept by hand"})") << CalibrationRun();
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

void TestCalibration::badRunFileIsRefusedSayingWhere_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<double>("minimum"); // the open model's range, checked once the file reads
    QTest::addColumn<double>("maximum");
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
        << int(Kind::Syntax) << 4 << 18 << 0 << "";
    QTest::newRow("column counts characters, not bytes") << QByteArray(R"({"instrument": "黑体炉", x})") << lo
                                                         << hi << int(Kind::Syntax) << 1 << 24 << 0 << "";
    QTest::newRow("infinite number") << QByteArray("{\"version\": 1,\n\"emissivity\": 1e999}") << lo << hi
                                     << int(Kind::Syntax) << 2 << 20 << 0 << "";
    QTest::newRow("a list, not a run")
        << QByteArray("[1]") << lo << hi << int(Kind::NotARun) << 0 << 0 << 0 << "";
    QTest::newRow("no version") << QByteArray(R"({"steps": []})") << lo << hi << int(Kind::NoVersion) << 0
                                << 0 << 0 << "";
    QTest::newRow("version 0") << QByteArray(R"({"version": 0})") << lo << hi << int(Kind::BadVersion) << 0
                               << 0 << 0 << "version";
    QTest::newRow("version as text") << QByteArray(R"({"version": "1"})") << lo << hi << int(Kind::BadVersion)
                                     << 0 << 0 << 0 << "version";
    QTest::newRow("version 1.5") << QByteArray(R"({"version": 1.5})") << lo << hi << int(Kind::BadVersion)
                                 << 0 << 0 << 0 << "version";
    QTest::newRow("newer version, refused before its contents")
        << QByteArray(R"({"version": 2, "steps": "read me differently"})") << lo << hi
        << int(Kind::NewerVersion) << 0 << 0 << 0 << "";
    QTest::newRow("distance as text") << QByteArray(R"({"version": 1, "distanceMm": "300"})") << lo << hi
                                      << int(Kind::WrongType) << 0 << 0 << 0 << "distanceMm";
    QTest::newRow("emissivity 0") << QByteArray(R"({"version": 1, "emissivity": 0})") << lo << hi
                                  << int(Kind::NotPositive) << 0 << 0 << 0 << "emissivity";
    QTest::newRow("emissivity above 1") << QByteArray(R"({"version": 1, "emissivity": 1.01})") << lo << hi
                                        << int(Kind::TooLarge) << 0 << 0 << 0 << "emissivity";
    QTest::newRow("steps not a list") << QByteArray(R"({"version": 1, "steps": {"setPoint": 35}})") << lo
                                      << hi << int(Kind::WrongType) << 0 << 0 << 0 << "steps";
    QTest::newRow("second step not an object")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35}, 50]})") << lo << hi
        << int(Kind::WrongType) << 0 << 0 << 2 << "";
    QTest::newRow("set point missing") << QByteArray(R"({"version": 1, "steps": [{"band": 0.2}]})") << lo
                                       << hi << int(Kind::Missing) << 0 << 0 << 1 << "setPoint";
    QTest::newRow("negative dwell") << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35},
                                                      {"setPoint": 50, "dwell": -1}]})")
                                    << lo << hi << int(Kind::Negative) << 0 << 0 << 2 << "dwell";
    QTest::newRow("window 0") << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35, "window": 0}]})")
                              << lo << hi << int(Kind::NotPositive) << 0 << 0 << 1 << "window";
    QTest::newRow("window over a day")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35, "window": 86401}]})") << lo << hi
        << int(Kind::TooLarge) << 0 << 0 << 1 << "window";
    QTest::newRow("negative band") << QByteArray(
        R"({"version": 1, "steps": [{"setPoint": 35, "band": -0.1}]})")
                                   << lo << hi << int(Kind::Negative) << 0 << 0 << 1 << "band";
    QTest::newRow("askReading as a number")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 35, "askReading": 1}]})") << lo << hi
        << int(Kind::WrongType) << 0 << 0 << 1 << "askReading";
    QTest::newRow("set point above the model's range")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": 100}, {"setPoint": 100.01}]})") << 0.0 << 100.0
        << int(Kind::OutsideModel) << 0 << 0 << 2 << "setPoint";
    QTest::newRow("set points on the model's limits")
        << QByteArray(R"({"version": 1, "steps": [{"setPoint": -30}, {"setPoint": 125}]})") << -30.0 << 125.0
        << int(Kind::None) << 0 << 0 << 0 << "";
}

void TestCalibration::badRunFileIsRefusedSayingWhere()
{
    QFETCH(QByteArray, json);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, kind);
    CalibrationRunError error;
    const CalibrationRun run = CalibrationRun::fromJson(json, &error);
    if (!error.isError())
        error = run.checkRange(minimum, maximum);
    else
        QCOMPARE(run, CalibrationRun());
    QCOMPARE(int(error.kind), kind);
    QTEST(error.line, "line");
    QTEST(error.column, "column");
    QTEST(error.step, "step");
    QTEST(error.field, "field");
    QCOMPARE(error.message.isEmpty(), kind == int(Kind::None));
    if (error.step > 0)
        QVERIFY(error.message.contains(QString::number(error.step)) && error.message.contains(error.field));
}

QTEST_GUILESS_MAIN(TestCalibration)

#include "tst_calibration.moc"
