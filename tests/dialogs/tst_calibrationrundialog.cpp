#include "../app/windowtest.h"
#include "dialogs/calibrationrundialog.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

// The dialog's side of a run file: what the operator typed is what is saved, and what is opened is
// what the table shows. The file format itself is tested with the run.
class TestCalibrationRunDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void runTypedIntoTheDialogIsSavedAndOpenedUnchanged();
    void runOutsideTheModelIsRefusedWithItsStep();
    void startNeedsInstrumentAndOperatorAndRemembersThem_data();
    void startNeedsInstrumentAndOperatorAndRemembersThem();
    void runningStepsAreReadOnlyWithTheirProgress();

private:
    // Answers the next file dialog with `path`.
    void chooseFile(const QString &path);
    static QTableWidget *table(QWidget *dialog)
    {
        return namedChild<QTableWidget>(dialog, "tableWidget_steps");
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ModalHandler> m_modals;
};

void TestCalibrationRunDialog::init()
{
    m_modals = std::make_unique<ModalHandler>();
    appSettings.setValue(CalibrationRunDialog::instrumentKey, QString());
    appSettings.setValue(CalibrationRunDialog::operatorKey, QString());
}

void TestCalibrationRunDialog::chooseFile(const QString &path)
{
    m_modals->onDialog = [path](QDialog *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        QVERIFY(files);
        ::chooseFile(files, path);
    };
}

void TestCalibrationRunDialog::runTypedIntoTheDialogIsSavedAndOpenedUnchanged()
{
    CalibrationRunDialog editor(
        nullptr, {QStringLiteral("ascii-ir.bbuut"), QStringLiteral("binary-ir.bbuut")});
    editor.setSetPointRange(0, 100, 2);
    editor.show();
    // Readings from the instrument: the driver, its port and the interval; 读取一次 asks for one of them.
    QVERIFY(!namedChild<QPushButton>(&editor, "pushButton_readOnce")->isEnabled());
    namedChild<QComboBox>(&editor, "comboBox_readingsSource")->setCurrentIndex(1);
    // A new run offers the first driver, never an empty box.
    QCOMPARE(namedChild<QComboBox>(&editor, "comboBox_uutDriver")->currentText(),
        QStringLiteral("ascii-ir.bbuut"));
    namedChild<QComboBox>(&editor, "comboBox_uutDriver")->setCurrentIndex(1);
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_uutPort"), QStringLiteral("/dev/ttyUSB1"));
    namedChild<QDoubleSpinBox>(&editor, "doubleSpinBox_readingInterval")->setValue(0.5);
    QSignalSpy readOnce(&editor, &CalibrationRunDialog::readOnceRequested);
    QTest::mouseClick(namedChild<QPushButton>(&editor, "pushButton_readOnce"), Qt::LeftButton);
    QCOMPARE(readOnce.value(0),
        (QVariantList {QStringLiteral("binary-ir.bbuut"), QStringLiteral("/dev/ttyUSB1")}));
    editor.showReadOnce(QStringLiteral("05 46 → 35.000 ℃"));
    QCOMPARE(namedChild<QLabel>(&editor, "label_readOnce")->text(), QStringLiteral("05 46 → 35.000 ℃"));
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_instrument"), QStringLiteral("IR-7"));
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_operator"), QStringLiteral("Li Wei"));
    namedChild<QDoubleSpinBox>(&editor, "doubleSpinBox_distance")->setValue(300);
    namedChild<QDoubleSpinBox>(&editor, "doubleSpinBox_emissivity")->setValue(0.955);
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(namedChild<QPushButton>(&editor, "pushButton_addStep"), Qt::LeftButton);
    qobject_cast<QDoubleSpinBox *>(table(&editor)->cellWidget(1, 0))->setValue(75.5);
    qobject_cast<QDoubleSpinBox *>(table(&editor)->cellWidget(1, 3))->setValue(120);
    table(&editor)->cellWidget(1, 4)->findChild<QCheckBox *>()->setChecked(false);
    // The certificate's fields, on their own page; a new run asks three readings a step.
    namedChild<QTabWidget>(&editor, "tabWidget")->setCurrentIndex(1);
    QCOMPARE(namedChild<QSpinBox>(&editor, "spinBox_readingsPerStep")->value(), 3);
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_customer"), QStringLiteral("ACME"));
    QTest::keyClicks(
        namedChild<QLineEdit>(&editor, "lineEdit_customerAddress"), QStringLiteral("Road 2, Town"));
    // Typed in lower case, kept as the code; a third letter does not fit.
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_customerCountry"), QStringLiteral("deu"));
    QCOMPARE(namedChild<QLineEdit>(&editor, "lineEdit_customerCountry")->text(), QStringLiteral("DE"));
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_sourceSerial"), QStringLiteral("B-17"));
    namedChild<QSpinBox>(&editor, "spinBox_readingsPerStep")->setValue(5);
    namedChild<QDoubleSpinBox>(&editor, "doubleSpinBox_toleranceC")->setValue(1.5);
    namedChild<QComboBox>(&editor, "comboBox_decisionRule")->setCurrentIndex(1);
    QTest::mouseClick(namedChild<QPushButton>(&editor, "pushButton_addUncertainty"), Qt::LeftButton);
    QTableWidget *points = namedChild<QTableWidget>(&editor, "tableWidget_sourceUncertainty");
    points->item(0, 1)->setText(QStringLiteral("0.3"));
    QTRY_COMPARE(points->item(0, 1)->text(), QStringLiteral("0.3"));
    const QString path = m_dir.filePath(QStringLiteral("points.bbrun"));
    chooseFile(path);
    QVERIFY(editor.runModified());
    QTest::mouseClick(namedChild<QPushButton>(&editor, "pushButton_saveRun"), Qt::LeftButton);
    QVERIFY(!editor.runModified());

    CalibrationRunDialog opened;
    opened.setSetPointRange(0, 100, 2);
    opened.show();
    chooseFile(path);
    QTest::mouseClick(namedChild<QPushButton>(&opened, "pushButton_openRun"), Qt::LeftButton);
    CalibrationRun expected;
    expected.instrument = QStringLiteral("IR-7");
    expected.operatorName = QStringLiteral("Li Wei");
    expected.distanceMm = 300;
    expected.emissivity = 0.955;
    expected.steps = {CalibrationStep(), CalibrationStep()};
    expected.steps[1].setPoint = 75.5;
    expected.steps[1].dwell = 120;
    expected.steps[1].askReading = false;
    expected.certificate.customer = QStringLiteral("ACME");
    expected.certificate.customerAddress = QStringLiteral("Road 2, Town");
    expected.certificate.customerCountry = QStringLiteral("DE");
    expected.source.serial = QStringLiteral("B-17");
    expected.source.uncertainty = {{0, 0.3}};
    expected.readingsPerStep = 5;
    expected.toleranceC = 1.5;
    expected.guarded = true;
    expected.readings.from = ReadingsSource::From::Driver;
    expected.readings.driver = QStringLiteral("binary-ir.bbuut");
    expected.readings.port = QStringLiteral("/dev/ttyUSB1");
    expected.readings.intervalS = 0.5;
    QCOMPARE(opened.run(), expected);
    QCOMPARE(namedChild<QComboBox>(&opened, "comboBox_uutDriver")->currentText(),
        QStringLiteral("binary-ir.bbuut"));
    QCOMPARE(namedChild<QLineEdit>(&opened, "lineEdit_sourceSerial")->text(), QStringLiteral("B-17"));
    QCOMPARE(opened.runFile(), path);
    QCOMPARE(table(&opened)->rowCount(), 2);
    QCOMPARE(qobject_cast<QDoubleSpinBox *>(table(&opened)->cellWidget(1, 0))->value(), 75.5);
    QVERIFY(m_modals->boxes.isEmpty());
    // The report names the file only for the run it holds.
    QVERIFY(!opened.runModified());
    qobject_cast<QDoubleSpinBox *>(table(&opened)->cellWidget(0, 3))->setValue(90);
    QVERIFY(opened.runModified());
}

void TestCalibrationRunDialog::runOutsideTheModelIsRefusedWithItsStep()
{
    const QString path = m_dir.filePath(QStringLiteral("hot.bbrun"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({"version": 1, "steps": [{"setPoint": 35}, {"setPoint": 400}]})");
    file.close();

    CalibrationRunDialog editor;
    editor.setSetPointRange(0, 100, 2);
    editor.show();
    QVERIFY(!editor.openRunFile(path));
    QTRY_COMPARE(m_modals->boxes.size(), 1);
    QVERIFY2(m_modals->boxes.first().contains(QStringLiteral("第 2 步，setPoint")),
        qPrintable(m_modals->boxes.first()));
    QCOMPARE(table(&editor)->rowCount(), 0);
    QVERIFY(editor.runFile().isEmpty());
}

void TestCalibrationRunDialog::startNeedsInstrumentAndOperatorAndRemembersThem_data()
{
    QTest::addColumn<QString>("instrument");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("refusal"); // empty: the run is asked to start
    QTest::newRow("both") << "IR-7"
                          << "Li Wei" << QString();
    QTest::newRow("no instrument") << "  "
                                   << "Li Wei"
                                   << "请填写被测仪器：报告须写明校准的是哪台仪器。";
    QTest::newRow("no operator") << "IR-7" << QString() << "请填写操作员：报告须写明由谁校准。";
}

void TestCalibrationRunDialog::startNeedsInstrumentAndOperatorAndRemembersThem()
{
    QFETCH(QString, instrument);
    QFETCH(QString, operatorName);
    QFETCH(QString, refusal);
    CalibrationRunDialog editor;
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_instrument"), instrument);
    QTest::keyClicks(namedChild<QLineEdit>(&editor, "lineEdit_operator"), operatorName);
    QTest::mouseClick(namedChild<QPushButton>(&editor, "pushButton_addStep"), Qt::LeftButton);
    QSignalSpy started(&editor, &CalibrationRunDialog::startRequested);
    QTest::mouseClick(namedChild<QPushButton>(&editor, "pushButton_startRun"), Qt::LeftButton);
    QCOMPARE(started.count(), refusal.isEmpty() ? 1 : 0);
    QCOMPARE(
        m_modals->boxes, refusal.isEmpty() ? QStringList() : QStringList {QStringLiteral("提示|") + refusal});

    // The next run starts with what the last started one had.
    CalibrationRunDialog next;
    QCOMPARE(next.run().instrument, refusal.isEmpty() ? instrument : QString());
    QCOMPARE(next.run().operatorName, refusal.isEmpty() ? operatorName : QString());
}

void TestCalibrationRunDialog::runningStepsAreReadOnlyWithTheirProgress()
{
    CalibrationRunDialog editor;
    editor.setSetPointRange(0, 100, 2);
    CalibrationRun run;
    run.steps = {CalibrationStep(), CalibrationStep(), CalibrationStep()};
    editor.setRun(run);
    editor.showRunState(true, false);
    QTableWidget *steps = table(&editor);
    QVERIFY(!steps->cellWidget(0, 0));
    QVERIFY(!(steps->item(0, 0)->flags() & Qt::ItemIsEditable));

    CalibrationStepResult done;
    done.step = 0;
    done.stable = true;
    for (double reading : {35.01, 35.02, 35.03})
        done.dwell.add(reading);
    done.readings = {35.1};
    CalibrationSequencer::Progress progress;
    progress.phase = CalibrationSequencer::Phase::Dwelling;
    progress.step = 1;
    progress.stepCount = 3;
    progress.readingsTaken = 3;
    progress.readingsNeeded = 10;
    // The station's evaluation, as the certificate states it: the dialog shows it, it does not redo it.
    StepEvaluation failed;
    failed.measured = true;
    failed.decimals = 2;
    failed.errorUnits = -12;
    failed.expandedUnits = 43;
    failed.verdict = StepEvaluation::Verdict::Fail;
    // The last step ran, but its reading was skipped.
    CalibrationStepResult skipped = done;
    skipped.step = 2;
    skipped.readings.clear();
    skipped.readingsSkipped = 1;
    editor.showRunProgress(progress, {done, skipped}, {failed, StepEvaluation()});
    const auto row = [steps](int r) {
        QStringList texts;
        for (int column = 5; column < 10; ++column)
            texts << steps->item(r, column)->text();
        return texts;
    };
    const QStringList failedRow {"完成", "均值 35.020  读数 35.100", "-0.12", "0.43", "不合格"};
    QCOMPARE(row(0), failedRow);
    QCOMPARE(row(1), (QStringList {"保持中 3/10", "", "", "", ""}));
    QCOMPARE(row(2), (QStringList {"读数已跳过", "均值 35.020", "", "", ""}));
    QVERIFY(steps->item(1, 0)->font().bold());
    QVERIFY(!steps->item(0, 0)->font().bold());

    // Once the run is over the steps can be edited again; the outcome stays for whoever was away until
    // its step is edited, and goes when the steps change.
    editor.showRunState(false, false);
    auto *setPoint = qobject_cast<QDoubleSpinBox *>(steps->cellWidget(0, 0));
    QVERIFY(setPoint);
    QVERIFY(!steps->isColumnHidden(5));
    QCOMPARE(row(0), failedRow);
    setPoint->setValue(36);
    QCOMPARE(row(0), (QStringList {"", "", "", "", ""}));
    QCOMPARE(row(1), (QStringList {"保持中 3/10", "", "", "", ""}));
    QTest::mouseClick(editor.findChild<QPushButton *>("pushButton_addStep"), Qt::LeftButton);
    QVERIFY(steps->isColumnHidden(5));
}

QTEST_MAIN(TestCalibrationRunDialog)
#include "tst_calibrationrundialog.moc"
