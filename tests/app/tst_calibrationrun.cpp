#include "../common/caseprocesses.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "blackbodydevice.h"
#include "chart/ttwidget.h"
#include "control/auditline.h"
#include "control/calibrationjournal.h"
#include "devicesimulator.h"
#include "dialogs/calibrationrundialog.h"
#include "files/audittrail.h"
#include "settings/certificatecounter.h"
#include "settings/labsettings.h"
#include "settings/settings.h"
#include "station/calibrationcertificate.h"
#include "station/calibrationpdf.h"
#include "station/calibrationreporter.h"
#include "station/calibrationrunner.h"
#include "widgets/navbutton.h"
#include "widgets/tempareatext.h"
#include "windowtest.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainterPath>
#include <QProcess>
#include <QPushButton>
#include <QRawFont>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryFile>
#include <QtTest>

#include <algorithm>

namespace {

constexpr int kRunWaitMs = 40000;

struct Step
{
    double setPoint;
    double window;
    double dwell;
};

// The stable_at, settle_s and count fields hang on the clock and on the poll's timing; each is checked
// for its form and replaced with a placeholder, so the rest can be compared byte for byte.
QByteArray withoutTimes(const QByteArray &csv)
{
    static const QRegularExpression row(QStringLiteral(
        R"(^(\d+,[^,]*,[^,]*),\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,\d+\.\d,([^,]*,[^,]*,[^,]*,[^,]*),([2-9]|\d\d+),)"));
    QByteArrayList lines = csv.split('\n');
    for (int i = 1; i < lines.size(); ++i) {
        QString line = QString::fromUtf8(lines.at(i));
        line.replace(row, QStringLiteral("\\1,T,S,\\2,N,"));
        // When each reading was typed.
        static const QRegularExpression typedAt(QStringLiteral(R"(,\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)"));
        line.replace(typedAt, QStringLiteral(",U"));
        lines[i] = line.toUtf8();
    }
    return lines.join('\n');
}

// The last number the user's counter gave, 0 before the first.
qint64 lastCertificateNumber()
{
    QFile file(CertificateCounter::filePath(appSettings.userDataDir));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toLongLong() : 0;
}

} // namespace

class TestCalibrationRun : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void runWritesTheReportAndTheChart();
    void certificateTextReadsBackInItsLanguage_data();
    void certificateTextReadsBackInItsLanguage();
    void lostLinkPausesTheRunAndReconnectionResumesIt();
    void anotherControllerAfterReconnectionPausesTheRun_data();
    void anotherControllerAfterReconnectionPausesTheRun();
    void silentControllerPausesTheDwell();
    void runLongerThanTheChartHoldsIsOfferedASettingThatHoldsIt();
    void journaledRunIsReportedAtTheNextStart_data();
    void journaledRunIsReportedAtTheNextStart();
    // Not a case of its own: the program journaledRunIsReportedAtTheNextStart() starts and kills.
    void childRunsUntilKilled();

private:
    // Counts the set frames, and the polls, the controller receives until the case ends.
    void countSetFrames(int *count, int *polls = nullptr);
    QWidget *openRunDialog();
    void enterSteps(QWidget *dialog, const QVector<Step> &steps);
    // Switches the window to `name` until the case ends.
    void speak(const QString &name);
    ttwidget *chart() const { return child<ttwidget>("widget_tt"); }
    QStringList reports(const QString &pattern) const { return QDir(m_reports).entryList({pattern}); }

    QString m_reports;
    std::unique_ptr<QObject> m_caseScope; // connections that must end with the case
    QProcess m_killedRun; // the run a case kills, in folders of its own
};

void TestCalibrationRun::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    prepareApplication();
    // Settings of the runs here stay with this suite, and so do the certificate counter and the audit
    // trail: a trail kept from an earlier run would hold that run's acts too.
    appSettings.configDir = m_dir.filePath(QStringLiteral("config"));
    appSettings.userDataDir = m_dir.filePath(QStringLiteral("user-data"));
    appSettings.load();
}

void TestCalibrationRun::cleanupTestCase()
{
    m_killedRun.kill();
    m_killedRun.waitForFinished();
    // The suite's folder is gone by the time the settings would be written back.
    appSettings.configDir.clear();
}

void TestCalibrationRun::init()
{
    // A fresh folder per case, so each finds its own report.
    m_reports = m_dir.filePath(QString::fromLatin1(QTest::currentTestFunction()) + QLatin1Char('-')
        + QString::number(qHash(QString::fromUtf8(QTest::currentDataTag()))));
    QVERIFY(QDir().mkpath(m_reports));
    appSettings.setValue(CalibrationReporter::reportFolderKey, m_reports);
    LabSettings {QStringLiteral("Test Lab"), QString(), QStringLiteral("TL"), QStringLiteral("CN")}.store(
        appSettings);
    // Journals too: a run still going when a case ends leaves its journal, as it should.
    appSettings.dataDir = m_reports + QStringLiteral("-data");
    showWindow();
}

void TestCalibrationRun::cleanup()
{
    m_caseScope.reset();
    closeWindow();
}

void TestCalibrationRun::countSetFrames(int *count, int *polls)
{
    m_caseScope = std::make_unique<QObject>();
    connect(m_sim.get(), &sim::DeviceSimulator::requestReceived, m_caseScope.get(),
        [count, polls](const QByteArray &request) {
            *count += quint8(request.at(2)) == 0x43;
            if (polls)
                *polls += quint8(request.at(2)) == 0x52;
        });
}

QWidget *TestCalibrationRun::openRunDialog()
{
    const QList<QAction *> actions = child<QPushButton>("pushButton_settings")->menu()->actions();
    const auto entry = std::find_if(
        actions.begin(), actions.end(), [](QAction *a) { return a->text() == QStringLiteral("校准程序"); });
    if (entry == actions.end())
        qFatal("no calibration entry in the settings menu");
    (*entry)->trigger();
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto dialog = std::find_if(windows.begin(), windows.end(), [](QWidget *widget) {
        return widget->objectName() == QLatin1String("CalibrationRunDialog") && widget->isVisible();
    });
    if (dialog == windows.end())
        qFatal("no CalibrationRunDialog");
    // A run needs both names; the one this test checks is typed over.
    for (const char *name : {"lineEdit_instrument", "lineEdit_operator"}) {
        auto *edit = namedChild<QLineEdit>(*dialog, name);
        if (edit->text().isEmpty())
            QTest::keyClicks(edit, QStringLiteral("X"));
    }
    return *dialog;
}

void TestCalibrationRun::enterSteps(QWidget *dialog, const QVector<Step> &steps)
{
    auto *table = namedChild<QTableWidget>(dialog, "tableWidget_steps");
    for (int row = 0; row < steps.size(); ++row) {
        QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_addStep"), Qt::LeftButton);
        const Step &step = steps.at(row);
        const double values[] = {step.setPoint, 0.1, step.window, step.dwell};
        for (int column = 0; column < 4; ++column)
            qobject_cast<QDoubleSpinBox *>(table->cellWidget(row, column))->setValue(values[column]);
    }
    // A certificate's run, with one reading a step as these cases answer.
    auto *editor = qobject_cast<CalibrationRunDialog *>(dialog);
    CalibrationRun run = editor->run();
    run.certificate.customer = QStringLiteral("ACME");
    run.certificate.make = QStringLiteral("Acme");
    run.certificate.model = QStringLiteral("IR-200");
    run.certificate.serial = QStringLiteral("4471");
    run.source = {};
    run.source.make = QStringLiteral("Ostrel");
    run.source.model = QStringLiteral("BB-500");
    run.source.serial = QStringLiteral("B-17");
    run.source.certificate = QStringLiteral("S-2026-118");
    run.source.due = QStringLiteral("2099-06-30");
    run.source.uncertainty = {{0, 0.3}};
    run.readingsPerStep = 1;
    BudgetComponent repeatability;
    repeatability.name = QStringLiteral("repeatability");
    repeatability.value = 0.05;
    repeatability.repeatability = true;
    repeatability.basis = QStringLiteral("previous evaluation");
    run.budget = {repeatability};
    editor->setRun(run);
}

// Set points 50 and 100 °C seen through ε_s = 0.95 by an instrument set to 1.00, ambient 23 °C: the
// references 48.7826 and 96.9327 and the sensitivities 0.95888 and 0.96579 come from a separate Python
// integration of Planck's law. u_c² = (U_src/2 · sensitivity)² + (0.1/√3)² [the readings' s/√3] +
// (0.05/√3)² [resolution] + (0.1/√3)² [alignment] + 0.1² [size of source], with U_src 0.35 and 0.40
// interpolated from the source's table: u_c 0.2137 and 0.2341, U 0.43 and 0.47. Guarded, tolerance 1.00:
// 0.12 ≤ 1.00 − 0.43 passes, 0.77 > 1.00 − 0.47 fails (a simple rule would pass it).
void TestCalibrationRun::speak(const QString &name)
{
    const auto language = [this](const QString &text) {
        const QList<QAction *> actions = m_window->findChildren<QAction *>();
        const auto found = std::find_if(
            actions.begin(), actions.end(), [&text](QAction *action) { return action->text() == text; });
        if (found == actions.end())
            qFatal("no language %s", qPrintable(text));
        return *found;
    };
    language(name)->trigger();
    m_caseScope = std::make_unique<QObject>();
    connect(m_caseScope.get(), &QObject::destroyed, this,
        [language] { language(QStringLiteral("简体中文"))->trigger(); });
}

void TestCalibrationRun::certificateTextReadsBackInItsLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("customer");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("simplified") << QStringLiteral("简体中文") << QStringLiteral("客户 ACME")
                                << QStringList {"日期", "黑体", "第 1 页，共 2 页", "第 2 页，共 2 页"};
    QTest::newRow("traditional") << QStringLiteral("繁體中文") << QStringLiteral("客户 ACME")
                                 << QStringList {"日期", "黑體", "第 1 頁，共 2 頁", "第 2 頁，共 2 頁"};
    QTest::newRow("english") << QStringLiteral("English") << QStringLiteral("客户 ACME")
                             << QStringList {"Date of issue", "blackbody", "Page 1 of 2", "Page 2 of 2"};
    // In a Latin face, which may join "fi" or "ff" into one glyph.
    QTest::newRow("english, Latin only") << QStringLiteral("English") << QStringLiteral("ACME")
                                         << QStringList {"Calibration Certificate", "Page 2 of 2"};
}

// A document system finds what the page shows: each language's own code points, not the radicals a face
// may share glyphs with; and the signatory closes the results, under their column names.
void TestCalibrationRun::certificateTextReadsBackInItsLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, customer);
    QFETCH(QStringList, expected);
    speak(language);
    CalibrationCertificate::Input input;
    input.header.run.certificate.customer = customer;
    input.header.run.certificate.signatory = QStringLiteral("Wang");
    input.header.certificateNumber = QStringLiteral("TL-20261210-007");
    input.header.started = QDateTime(QDate(2026, 12, 10), QTime(9, 0));
    input.issued = QDate(2026, 12, 10);
    // A head with "ff" in it, which a face may draw as one glyph.
    input.auditHead = QStringLiteral("0ff1ffe").leftJustified(64, QLatin1Char('f'));
    expected << input.auditHead.left(16);
    // Enough rows for a second page.
    for (int i = 0; i < 40; ++i) {
        CalibrationStepResult result;
        result.step = i;
        result.setPoint = 200 + i;
        result.outcome = CalibrationStepResult::Outcome::NotReached;
        input.header.run.steps << CalibrationStep {result.setPoint};
        input.results << result;
    }
    const CertificateDocument document = CalibrationCertificate::document(input);
    QTemporaryFile pdf(m_reports + QStringLiteral("/XXXXXX.pdf"));
    QVERIFY(pdf.open());
    QVERIFY(CalibrationPdf::write(&pdf, document));
    pdf.close();
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {pdf.fileName(), QStringLiteral("-")});
    QVERIFY2(pdftotext.waitForFinished(), "pdftotext (poppler-utils) is needed");
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    for (const QString &string : expected)
        QVERIFY2(text.contains(string), qPrintable(string + QStringLiteral(" not in:\n") + text));
    // No Kangxi radical or radical-supplement form stands for an ideograph, no ligature for its letters.
    static const QRegularExpression radical(QStringLiteral("[\\x{2E80}-\\x{2FDF}\\x{FB00}-\\x{FB06}]"));
    QVERIFY2(!text.contains(radical), qPrintable(text));
    // Every character the text states is drawn: none is set in a glyph its face leaves blank (a face that
    // does so would print a temperature without its unit).
    const QRawFont face = QRawFont::fromFont(QFont(CalibrationPdf::faceFor(text)));
    for (const QChar c : text) {
        quint32 glyph = 0;
        int one = 1;
        face.glyphIndexesForChars(&c, 1, &glyph, &one);
        QVERIFY2(c.isSpace() || glyph == 0 || !face.pathForGlyph(glyph).isEmpty(),
            qPrintable(face.familyName() + QStringLiteral(" draws nothing for ") + c));
    }
    const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    const QString columnName = document.tableHeader.constFirst().section(QLatin1Char(' '), 0, 0);
    for (const QString &page : pages)
        QVERIFY2(page.contains(columnName), qPrintable(page));
    QVERIFY(pages.constLast().contains(QStringLiteral("____")));
    QVERIFY(pages.constLast().contains(QStringLiteral("238"))
        && pages.constLast().contains(QStringLiteral("239")));
}

void TestCalibrationRun::runWritesTheReportAndTheChart()
{
    const qint64 counter = lastCertificateNumber();
    openSimulator();
    auto *dialog = qobject_cast<CalibrationRunDialog *>(openRunDialog());
    QFile runFile(QDir(m_reports).filePath(QStringLiteral("points.bbrun")));
    QVERIFY(runFile.open(QIODevice::WriteOnly));
    runFile.write(R"({"version": 3, "instrument": "IR-200 #4471", "operator": "Li", "distanceMm": 300,
        "emissivity": 1.0,
        "certificate": {"customer": "ACME", "condition": "as found", "signatory": "Wang", "make": "Acme",
                        "model": "IR-200", "serial": "4471", "resolutionC": 0.1, "bandUm": [8, 14]},
        "source": {"make": "Ostrel", "model": "BB-500", "serial": "B-17",
                   "emissivity": 0.95, "certificate": "S-2026-118", "due": "2099-06-30",
                   "uncertainty": [{"setPoint": 0, "U": 0.30}, {"setPoint": 500, "U": 0.80}]},
        "ambientC": 23.0, "tolerance": {"c": 1.0, "percent": 1.0}, "decisionRule": "guarded",
        "readingsPerStep": 3,
        "budget": [{"name": "alignment", "value": 0.10, "distribution": "rectangular"},
                   {"name": "size of source", "value": 0.20, "distribution": "normal", "k": 2}],
        "steps": [{"setPoint": 100, "window": 0.1, "dwell": 1}, {"setPoint": 50, "window": 0.1, "dwell": 1}]})");
    runFile.close();
    QVERIFY(dialog->openRunFile(runFile.fileName()));
    // Written out of order, then put right: the table's rows are the run's steps.
    namedChild<QTableWidget>(dialog, "tableWidget_steps")->selectRow(1);
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_moveUp"), Qt::LeftButton);
    // The certificate speaks the window's language.
    speak(QStringLiteral("English"));

    const QStringList readings {"48.9", "49.0", "48.8", "97.6", "97.8", "97.7"};
    // Shared with the handler, which outlives this case.
    const auto asked = std::make_shared<QStringList>();
    m_modals->onDialog = [readings, asked](QDialog *modal) {
        auto *input = qobject_cast<QInputDialog *>(modal);
        if (!input)
            return modal->reject();
        // Nothing offered, and nothing to confirm until a number is typed.
        QPushButton *ok = input->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        *asked << input->textValue() + (ok->isEnabled() ? "+ok" : "");
        // A mistyped letter stays in view rather than vanish and leave another number.
        QTest::keyClicks(input->findChild<QLineEdit *>(), QStringLiteral("35.2x"));
        *asked << input->textValue().right(1) + (ok->isEnabled() ? "+ok" : "");
        input->setTextValue(readings.value(asked->size() / 2 - 1));
        input->accept();
    };
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("step 1/2")), kWaitMs);
    QVERIFY(!child<NavButton>("pushButton_set")->isEnabled());
    QVERIFY(child<ttwidget>("widget_tt")->isRecording());

    QTRY_COMPARE_WITH_TIMEOUT(reports(QStringLiteral("*[0-9].csv")).size(), 1, kRunWaitMs);
    QStringList everyQuestion;
    for (int i = 0; i < readings.size(); ++i)
        everyQuestion << ""
                      << "x";
    QCOMPARE(*asked, everyQuestion);
    QVERIFY(m_modals->boxes.isEmpty());
    // The last step's outcome too stays in the table after the run.
    QCOMPARE(
        namedChild<QTableWidget>(dialog, "tableWidget_steps")->item(1, 5)->text(), QStringLiteral("Done"));
    // Its error, U and verdict as the certificate states them, and the run's result in the end message.
    QStringList outcome;
    for (int column = 7; column < 10; ++column)
        outcome << namedChild<QTableWidget>(dialog, "tableWidget_steps")->item(1, column)->text();
    QCOMPARE(outcome, (QStringList {"0.77", "0.47", "FAIL"}));
    QTRY_VERIFY2_WITH_TIMEOUT(
        statusText().contains(QStringLiteral("Overall verdict: FAIL")), qPrintable(statusText()), kWaitMs);
    QFile csv(QDir(m_reports).filePath(reports(QStringLiteral("*[0-9].csv")).constFirst()));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(withoutTimes(csv.readAll()),
        QByteArray(
            "step,outcome,set_point,stable_at,settle_s,mean,std,min,max,count,ambient,reading,error,"
            "reference,reading_mean,reading_std,error_ref,u_c,U,tolerance,verdict,error_unrounded,U_"
            "unrounded,"
            "tolerance_unrounded,k,nu_eff,ambient_origin,reading_raw_1,reading_raw_2,reading_raw_3,"
            "reading_utc_1,reading_utc_2,reading_utc_3,reading_source_1,reading_source_2,reading_source_3\r\n"
            "1,done,50.000,T,S,50.000,0.0000,50.000,50.000,N,23.000,48.900,-1.100,48.783,48.900,0.1000,0.117,"
            "0.2137,0.43,1,PASS,0.117428,0.427355,1.000000,2.000,375,stated,,,,U,U,U,typed,typed,typed\r\n"
            "2,done,100.000,T,S,100.000,0.0000,100.000,100.000,N,23.000,97.700,-2.300,96.933,97.700,0.1000,"
            "0.767,0.2341,0.47,1,FAIL,0.767302,0.468231,1.000000,2.000,540,stated,,,,U,U,U,typed,typed,"
            "typed\r\n"));

    // Taken, and saved, once for the run: the next run, here or after a restart, has the next number. It
    // is counted in the user's counter file, never in config.xml, which an exit could write back.
    QCOMPARE(lastCertificateNumber(), counter + 1);
    QFile config(appSettings.filePath());
    QVERIFY(!config.open(QIODevice::ReadOnly) || !config.readAll().contains("CertificateCounter"));
    const QString number = QStringLiteral("TL-%1-%2")
                               .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd")))
                               .arg(counter + 1, 3, 10, QLatin1Char('0'));

    const QString base = QDir(m_reports).filePath(QFileInfo(csv).completeBaseName());
    QVERIFY(base.contains(QRegularExpression(QStringLiteral("/calibration-\\d{8}-\\d{6}$"))));
    QVERIFY(QFileInfo::exists(base + QStringLiteral(".txt")));
    QVERIFY(QFileInfo(base + QStringLiteral("-curve.csv")).size() > 0);
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {base + QStringLiteral(".pdf"), QStringLiteral("-")});
    QVERIFY2(pdftotext.waitForFinished(), "pdftotext (poppler-utils) is needed");
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    // An aperture the file does not give is not stated as 0 mm.
    const QStringList certificate {number, "Source aperture: —", "Page 1 of", "48.78", "48.90", "0.12",
        "0.43", "±1", "96.93", "97.70", "0.77", "0.47", "PASS", "FAIL", "Overall verdict: FAIL",
        "Guarded acceptance (ILAC-G8,", "S-2026-118", "ACME",
        "The results relate only to the item calibrated.", "Stated by the operator: 23.0 ℃", "unrounded",
        "Uncertainty budget (step 1, set point 50 ℃)"};
    for (const QString &expected : certificate)
        QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in:\n") + text));
    QVERIFY(!chart()->isRecording());
    QVERIFY(!chart()->hasUnsavedCurve());
    QVERIFY(child<NavButton>("pushButton_set")->isEnabled());

    // The run's acts in the audit trail, in their order, and the head before the issue on every page.
    QFile trail(AuditTrail::filePath(appSettings.userDataDir));
    QVERIFY(trail.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = trail.readAll().split('\n');
    lines.removeLast();
    const AuditCheck check = AuditCheck::of(lines);
    QVERIFY2(check.ok, qPrintable(check.reason));
    QStringList acts;
    // The heads the record could carry: the trail's before its issue line (a setting saved while the
    // report was written may come between).
    QStringList headsBefore {QString::fromLatin1(AuditLine::kGenesis)};
    bool issued = false;
    for (int i = 0; i < lines.size(); ++i) {
        AuditLine line;
        QString reason;
        QVERIFY(AuditCheck::parse(lines.at(i), &line, &reason));
        const QString raw = line.details.value(QLatin1String("raw")).toString();
        issued = issued || line.act == QLatin1String("issued");
        if (!issued)
            headsBefore << QString::fromLatin1(line.hash());
        if (line.act.startsWith(QLatin1String("run")) || line.act == QLatin1String("issued")
            || line.act == QLatin1String("reading"))
            acts << line.act + (raw.isEmpty() ? QString() : QLatin1Char(' ') + raw);
        if (line.act.startsWith(QLatin1String("run")) || line.act == QLatin1String("issued"))
            QCOMPARE(line.details.value(QLatin1String("number")).toString(), number);
        if (line.act == QLatin1String("runStarted"))
            QCOMPARE(line.operatorName, QStringLiteral("Li"));
    }
    QStringList expectedActs {QStringLiteral("runStarted")};
    // A typed reading reaches the run as a number: its shortest digits.
    for (const QString &reading : readings)
        expectedActs << QStringLiteral("reading ") + QString::number(reading.toDouble(), 'g', 12);
    expectedActs << QStringLiteral("runFinished") << QStringLiteral("issued");
    QCOMPARE(acts, expectedActs);
    static const QRegularExpression printedHead(QStringLiteral("Audit head: ([0-9a-f]{16})"));
    const QString printed = printedHead.match(text).captured(1);
    QVERIFY2(!printed.isEmpty(), qPrintable(text));
    QVERIFY(std::any_of(headsBefore.cbegin(), headsBefore.cend(),
        [&printed](const QString &head) { return head.startsWith(printed); }));
}

void TestCalibrationRun::lostLinkPausesTheRunAndReconnectionResumesIt()
{
    openSimulator();
    QWidget *dialog = openRunDialog();
    enterSteps(dialog, {{40, 0.1, 1}});
    int setFrames = 0;
    countSetFrames(&setFrames);
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("保持中")), kWaitMs);
    QCOMPARE(setFrames, 1);

    m_sim->hangUp();
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("已暂停（连接中断）")), kWaitMs);
    // A pause has no end time, and the set point's outcome does not stay beside a lost link.
    QVERIFY2(!statusText().contains(QStringLiteral("预计")), qPrintable(statusText()));
    QTRY_VERIFY_WITH_TIMEOUT(!statusText().contains(QStringLiteral("设置成功")), kWaitMs);
    QVERIFY(reports(QStringLiteral("*[0-9].csv")).isEmpty());
    QString error;
    QVERIFY2(m_sim->open(m_sim->portName(), &error), qPrintable(error));
    // The step starts over: its set point again, then the wait for stability and the whole dwell.
    QTRY_COMPARE_WITH_TIMEOUT(setFrames, 2, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("保持中")), kWaitMs);
    // No reading entered, and the box that then offers to skip it or abort closed: the reading is skipped.
    QTRY_COMPARE_WITH_TIMEOUT(reports(QStringLiteral("*[0-9].csv")).size(), 1, kRunWaitMs);
    QCOMPARE(m_modals->dialogs, QStringList {QStringLiteral("QInputDialog")});
    QCOMPARE(m_modals->boxes, QStringList {QStringLiteral("提示|没有输入读数。")});
    QFile csv(QDir(m_reports).filePath(reports(QStringLiteral("*[0-9].csv")).constFirst()));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    // A step whose only reading was skipped says so; it is not "done" like one that has a reading.
    QCOMPARE(withoutTimes(csv.readAll()).split('\n').value(1),
        QByteArray(
            "1,reading skipped,40.000,T,S,40.000,0.0000,40.000,40.000,N,23.000,,,,,,,,,,,,,,,,stated\r"));
}

void TestCalibrationRun::anotherControllerAfterReconnectionPausesTheRun_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("是: the run sends its set point again") << "yes";
    QTest::newRow("否: the link closes, the run waits; resuming on it asks again") << "no";
    // The run dialog is a window of its own, which the question does not block.
    QTest::newRow("no run yet: none starts while the question is open") << "start";
}

// A controller restarted with its power-on set point, or one of a model ten times coarser holding
// 200.0, reads 20.00 to a VBM100 where ours held 35.00.
void TestCalibrationRun::anotherControllerAfterReconnectionPausesTheRun()
{
    QFETCH(QString, answer);
    const bool running = answer != QLatin1String("start");
    const QString question = QStringLiteral("提示|控制器的设定值从 35.00 变为 20.00。仍是同一台 VBM100 吗？");
    openSimulator();
    m_device->setSetPoint(35.0);
    QWidget *dialog = openRunDialog();
    enterSteps(dialog, {{35, 0.1, 60}});
    int setFrames = 0;
    int polls = 0;
    countSetFrames(&setFrames, &polls);
    QSignalSpy chartValues(m_window.get(), &MainWindow::ttwidget_addvalue);
    if (running) {
        QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("保持中")), kWaitMs);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(tile("设定温度值")->text(), QStringLiteral("35.00℃"), kWaitMs);
    }

    // The question stays open until the case answers it; any other box is answered at once. Shared with
    // the handler, which outlives this case.
    const auto lastBox = std::make_shared<QPointer<QMessageBox>>();
    m_modals->onBox = [lastBox](QMessageBox *box) {
        if (box->text().startsWith(QStringLiteral("控制器的设定值")))
            *lastBox = box;
        else
            box->done(QMessageBox::Ok);
    };
    const QPointer<QMessageBox> &asked = *lastBox;
    m_sim->hangUp();
    m_device->setSetPoint(20.0);
    QString error;
    QVERIFY2(m_sim->open(m_sim->portName(), &error), qPrintable(error));
    QTRY_VERIFY_WITH_TIMEOUT(asked, kWaitMs);
    QCOMPARE(m_modals->boxes, QStringList {question});
    QCOMPARE(asked->defaultButton()->text(), QStringLiteral("否，关闭连接"));
    QCOMPARE(tile("设定温度值")->text(), QStringLiteral("20.00℃?"));
    QCOMPARE(tile("当前温度值")->text(), QStringLiteral("20.00℃?"));
    QCOMPARE(tile("当前温度值")->styleSheet(), warningTileStyleSheet());
    // Nothing of it reaches the chart, and nothing is sent to it on the run's behalf.
    QCOMPARE(chartValues.last().at(0).toDouble(), double(ttwidget::NoReading));
    chartValues.clear();
    const int pollsAsked = polls;
    QTRY_VERIFY_WITH_TIMEOUT(polls >= pollsAsked + 2, kWaitMs);
    for (const QList<QVariant> &value : qAsConst(chartValues))
        QCOMPARE(value.at(0).toDouble(), double(ttwidget::NoReading));
    QCOMPARE(setFrames, running ? 1 : 0);

    if (!running) {
        QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(m_modals->boxes.size(), 2, kWaitMs);
        QCOMPARE(m_modals->boxes.last(), QStringLiteral("提示|黑体尚无经确认的读数，请稍后再开始校准"));
        QVERIFY(!chart()->isRecording());
        QCOMPARE(setFrames, 0);
        // Vouched for, the controller keeps what it holds, and the box offers that rather than 35.
        boxButton(asked, QStringLiteral("是，继续"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(
            m_window->findChild<QDoubleSpinBox *>("doubleSpinBox")->value(), 20.0, kWaitMs);
        QCOMPARE(setFrames, 0);
        return;
    }
    QVERIFY(statusText().contains(QStringLiteral("已暂停（控制器未确认）")));
    if (answer == QLatin1String("yes")) {
        boxButton(asked, QStringLiteral("是，继续"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(setFrames, 2, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(tile("设定温度值")->text(), QStringLiteral("35.00℃"), kWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("保持中")), kWaitMs);
        return;
    }
    boxButton(asked, QStringLiteral("否，关闭连接"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(portButton(), QStringLiteral("打开串口"), kWaitMs);
    QVERIFY(statusText().contains(QStringLiteral("已暂停")));
    QVERIFY(reports(QStringLiteral("*[0-9].csv")).isEmpty());
    // The run's recording goes on with a gap, and the model its set points are scaled for stays.
    QVERIFY(chart()->isRecording());
    QVERIFY(!child<QWidget>("widget_bod_type")->isEnabled());

    // Opened again on the same controller, which now holds 20.00: the operator's resume asks again.
    m_modals->boxes.clear();
    click("pushButton_com");
    QTRY_COMPARE_WITH_TIMEOUT(tile("设定温度值")->text(), QStringLiteral("20.00℃"), kWaitMs);
    QCOMPARE(setFrames, 1);
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_pauseRun"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(m_modals->boxes, QStringList {question}, kWaitMs);
    boxButton(asked, QStringLiteral("是，继续"))->click();
    QTRY_COMPARE_WITH_TIMEOUT(setFrames, 2, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(tile("设定温度值")->text(), QStringLiteral("35.00℃"), kWaitMs);
}

// The controller falls silent 1 s into a 5 s dwell while its port stays open.
void TestCalibrationRun::silentControllerPausesTheDwell()
{
    openSimulator();
    QWidget *dialog = openRunDialog();
    enterSteps(dialog, {{40, 0.1, 5}});
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("保持中，剩余 00:04")), kWaitMs);

    // How long a pause holds the dwell, and what it counts afterwards, the sequencer's table shows.
    m_sim->faults().silence();
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("黑体无应答，校准已暂停")), kWaitMs);
    m_sim->faults().clear();
    QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("等待稳定")), kWaitMs);
    QVERIFY(m_modals->dialogs.isEmpty());
}

void TestCalibrationRun::runLongerThanTheChartHoldsIsOfferedASettingThatHoldsIt()
{
    // 1,000 samples at 100 ms hold 99.9 s; the run lasts at least 100.1 s.
    chart()->setCacheSize(1000);
    chart()->setSampleInterval(100);
    openSimulator();
    QWidget *dialog = openRunDialog();
    enterSteps(dialog, {{35, 0.1, 100}});
    m_modals->onBox = [](QMessageBox *box) {
        boxButton(box,
            box->windowTitle() == QStringLiteral("中止校准")
                ? QStringLiteral("中止校准")
                : QStringLiteral("改为 2 千点、间隔 100ms 后开始"))
            ->click();
    };
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(chart()->isRecording(), kWaitMs);
    QCOMPARE(m_modals->boxes.size(), 1);
    QCOMPARE(chart()->cacheSizeValue(), 2000);
    QCOMPARE(appSettings.value(appSettings.chartLineCacheKey, QString()), QStringLiteral("2"));
    appSettings.setValue(appSettings.chartLineCacheKey, QString());
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_abortRun"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(reports(QStringLiteral("*[0-9].csv")).size(), 1, kWaitMs);
    // The run ended only once the operator said so.
    QCOMPARE(m_modals->boxes.size(), 2);
}

void TestCalibrationRun::journaledRunIsReportedAtTheNextStart_data()
{
    QTest::addColumn<bool>("killed");
    QTest::addColumn<QByteArrayList>("rows");
    QTest::addColumn<int>("curves");
    QTest::newRow("the program killed in the third step")
        << true
        << QByteArrayList {"1,reading "
                           "skipped,35.000,T,S,35.000,0.0000,35.000,35.000,N,23.000,,,,,,,,,,,,,,,,stated\r",
               "2,reading skipped,40.000,T,S,40.000,0.0000,40.000,40.000,N,23.000,,,,,,,,,,,,,,,,stated\r",
               "3,not reached,45.000,,,,,,,,,,,,,,,,,,,,,,,,\r"}
        << 0;
    QTest::newRow("the report folder gone at the end, and the report put off")
        << false
        << QByteArrayList {"1,reading "
                           "skipped,35.000,T,S,35.000,0.0000,35.000,35.000,N,23.000,,,,,,,,,,,,,,,,stated\r"}
        << 1;
}

void TestCalibrationRun::journaledRunIsReportedAtTheNextStart()
{
    QFETCH(bool, killed);
    QFETCH(QByteArrayList, rows);
    QFETCH(int, curves);
    if (killed) {
        // The child runs in folders of its own, which this case then takes for its next start.
        m_reports = m_dir.filePath(QStringLiteral("killed"));
        appSettings.setValue(CalibrationReporter::reportFolderKey, m_reports);
        appSettings.dataDir = m_dir.filePath(QStringLiteral("killed-data"));
        // What the killed child leaves in its temporary folder goes with this suite's.
        const QString childTemp = m_dir.filePath(QStringLiteral("child-tmp"));
        QVERIFY(QDir().mkpath(m_reports) && QDir().mkpath(childTemp));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("BB_CHILD_DATA"), appSettings.dataDir);
        env.insert(QStringLiteral("BB_CHILD_REPORTS"), m_reports);
        env.insert(QStringLiteral("TMPDIR"), childTemp);
        m_killedRun.setProcessEnvironment(env);
        m_killedRun.start(QCoreApplication::applicationFilePath(), {QStringLiteral("childRunsUntilKilled")});
        QVERIFY(m_killedRun.waitForStarted());
        const auto journaledRows = [] {
            const QStringList journals = CalibrationJournal::list(appSettings.dataDir);
            QFile journal(journals.value(0));
            return journals.size() == 1 && journal.open(QIODevice::ReadOnly)
                ? journal.readAll().count('\n') - 1
                : 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(journaledRows() == 2, kRunWaitMs);
        m_killedRun.kill();
        QVERIFY(m_killedRun.waitForFinished());
    } else {
        openSimulator();
        QWidget *dialog = openRunDialog();
        enterSteps(dialog, {{35, 0.1, 1}});
        QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(chart()->isRecording(), kWaitMs);
        QVERIFY(QDir(m_reports).removeRecursively());
        m_modals->onBox = [](QMessageBox *box) {
            // The reading's box is closed, which skips the reading; the report's is put off.
            if (box->text() == QStringLiteral("没有输入读数。"))
                box->done(QMessageBox::Ok);
            else
                boxButton(box, QStringLiteral("稍后"))->click();
        };
        QTRY_VERIFY_WITH_TIMEOUT(statusText().contains(QStringLiteral("校准报告尚未保存")), kRunWaitMs);
        QCOMPARE(m_modals->boxes,
            (QStringList {
                QStringLiteral("提示|没有输入读数。"), QStringLiteral("错误|尚未选择校准报告文件夹。")}));
        // The question for the folder, and the one for the instrument's reading, were turned down.
        QCOMPARE(
            m_modals->dialogs, (QStringList {QStringLiteral("QInputDialog"), QStringLiteral("QFileDialog")}));
        QVERIFY(QDir().mkpath(m_reports));
        m_modals->boxes.clear();
    }
    QVERIFY(reports(QStringLiteral("*[0-9].csv")).isEmpty());

    m_modals->onBox = [](QMessageBox *box) { boxButton(box, QStringLiteral("写出报告"))->click(); };
    m_window->offerPendingReports();
    QCOMPARE(m_modals->boxes,
        QStringList {QStringLiteral("提示|有 1 次校准的结果尚未写成报告。现在写出报告吗？")});
    QCOMPARE(reports(QStringLiteral("*.pdf")).size(), 1);
    QCOMPARE(reports(QStringLiteral("*.txt")).size(), curves);
    QFile csv(QDir(m_reports).filePath(reports(QStringLiteral("*[0-9].csv")).value(0)));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(withoutTimes(csv.readAll()).split('\n').mid(1), rows + QByteArrayList {""});
    QVERIFY(CalibrationJournal::list(appSettings.dataDir).isEmpty());
}

void TestCalibrationRun::childRunsUntilKilled()
{
    const QString data = qEnvironmentVariable("BB_CHILD_DATA");
    if (data.isEmpty())
        QSKIP("the program journaledRunIsReportedAtTheNextStart() runs and kills");
    appSettings.dataDir = data;
    appSettings.setValue(CalibrationReporter::reportFolderKey, qEnvironmentVariable("BB_CHILD_REPORTS"));
    openSimulator();
    auto *dialog = qobject_cast<CalibrationRunDialog *>(openRunDialog());
    // A file of the first version still runs, with every later field at its default.
    QFile runFile(QDir(data).filePath(QStringLiteral("v1.bbrun")));
    QVERIFY(QDir().mkpath(data) && runFile.open(QIODevice::WriteOnly));
    runFile.write(
        R"({"version": 1, "instrument": "IR-1", "operator": "Li", "steps": [{"setPoint": 35, "window": 0.1, "dwell": 1},
        {"setPoint": 40, "window": 0.1, "dwell": 1}, {"setPoint": 45, "window": 0.1, "dwell": 600}]})");
    runFile.close();
    QVERIFY(dialog->openRunFile(runFile.fileName()));
    QTest::mouseClick(namedChild<QPushButton>(dialog, "pushButton_startRun"), Qt::LeftButton);
    // Longer than the slowest build takes to reach the third step, where the case kills it.
    QTest::qWait(300000);
    QFAIL("not killed");
}

BB_CASE_PROCESSES_MAIN(TestCalibrationRun, Rows, 10)
#include "tst_calibrationrun.moc"
