#include "calibrationrundialog.h"

#include "dialogs/runcertificatefields.h"
#include "dialogs/runreadingsfields.h"
#include "files/atomicsave.h"
#include "settings/lastfolders.h"
#include "settings/settings.h"
#include "ui_calibrationrundialog.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <utility>

namespace {

// Columns of the step table, in the form's order.
enum Column {
    SetPointColumn,
    BandColumn,
    WindowColumn,
    DwellColumn,
    AskReadingColumn,
    StatusColumn,
    ResultColumn,
    ErrorColumn,
    ExpandedColumn,
    VerdictColumn,
    ColumnCount
};

// What a run fills in; the run's outcome stays in them after it ends.
const int kOutcomeColumns[] = {StatusColumn, ResultColumn, ErrorColumn, ExpandedColumn, VerdictColumn};

const QColor kCurrentStep(255, 236, 160);

const CalibrationStepResult *resultOf(int row, const QVector<CalibrationStepResult> &results)
{
    const auto found = std::find_if(results.cbegin(), results.cend(),
        [row](const CalibrationStepResult &result) { return result.step == row; });
    return found == results.cend() ? nullptr : &*found;
}

// The same limits the run file is read with: a day at most for one point.
constexpr double kLongestSeconds = 86400;
constexpr double kWidestBand = 100;

QString runFilter()
{
    return CalibrationRunDialog::tr("校准程序") + QStringLiteral(" (*.bbrun)");
}

} // namespace

CalibrationRunDialog::CalibrationRunDialog(QWidget *parent, const QStringList &drivers)
    : QDialog(parent)
    , ui(new Ui::CalibrationRunDialog)
{
    ui->setupUi(this);
    m_certificate = new RunCertificateFields(ui, &m_run, this);
    // The certificate's many fields scroll on a small screen rather than push the buttons off it.
    const int certificateTab = ui->tabWidget->indexOf(ui->tab_certificate);
    const QString certificateTitle = ui->tabWidget->tabText(certificateTab);
    ui->tabWidget->removeTab(certificateTab);
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("scrollArea_certificate"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(ui->tab_certificate);
    ui->tabWidget->insertTab(certificateTab, scroll, certificateTitle);
    m_readings = new RunReadingsFields(ui, &m_run, drivers, this);
    connect(
        m_readings, &RunReadingsFields::readOnceRequested, this, &CalibrationRunDialog::readOnceRequested);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    ui->doubleSpinBox_distance->setRange(0, 100000);
    ui->doubleSpinBox_distance->setDecimals(0);
    ui->doubleSpinBox_emissivity->setRange(0.01, 1);
    // Three decimals, so a setting such as 0.955 is taken as the instrument shows it.
    ui->doubleSpinBox_emissivity->setDecimals(3);
    ui->doubleSpinBox_emissivity->setSingleStep(0.01);
    // The ambient the reference is corrected for when no thermometer measures it.
    ui->doubleSpinBox_ambient->setRange(-50, 100);
    ui->doubleSpinBox_ambient->setDecimals(1);
    // Each column as wide as its header and cells need, so no header is cut in any language; the last
    // takes what is left.
    ui->tableWidget_steps->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->tableWidget_steps->horizontalHeader()->setStretchLastSection(true);
    ui->tableWidget_steps->setColumnCount(ColumnCount);
    retranslateResultHeaders();

    connect(ui->lineEdit_instrument, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_run.instrument = text; });
    connect(ui->lineEdit_operator, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_run.operatorName = text; });
    connect(ui->doubleSpinBox_distance, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
        [this](double value) { m_run.distanceMm = value; });
    connect(ui->doubleSpinBox_emissivity, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
        [this](double value) { m_run.emissivity = value; });
    connect(ui->doubleSpinBox_ambient, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
        [this](double value) {
            m_run.ambientC = value;
            emit ambientChanged(value);
        });
    connect(ui->pushButton_pauseRun, &QPushButton::clicked, this, &CalibrationRunDialog::pauseRequested);
    connect(ui->pushButton_skipStep, &QPushButton::clicked, this, &CalibrationRunDialog::skipRequested);
    connect(ui->pushButton_abortRun, &QPushButton::clicked, this, &CalibrationRunDialog::askToAbort);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::close);
    // Enter never presses a button here: a stray one added steps that then ran. In a text field it moves on.
    for (QPushButton *button : findChildren<QPushButton *>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        if (!qobject_cast<QAbstractSpinBox *>(edit->parentWidget()))
            connect(edit, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    }

    // The same instrument and operator mostly come back run after run.
    CalibrationRun fresh;
    fresh.instrument = appSettings.value(instrumentKey, QString());
    fresh.operatorName = appSettings.value(operatorKey, QString());
    setRun(fresh);
    showRunButtons();
}

void CalibrationRunDialog::showReadOnce(const QString &text)
{
    m_readings->showReadOnce(text);
}

const QString CalibrationRunDialog::instrumentKey = QStringLiteral("LastInstrument");
const QString CalibrationRunDialog::operatorKey = QStringLiteral("LastOperator");

void CalibrationRunDialog::retranslateResultHeaders()
{
    QTableWidget *table = ui->tableWidget_steps;
    table->setHorizontalHeaderItem(StatusColumn, new QTableWidgetItem(tr("状态")));
    table->setHorizontalHeaderItem(ResultColumn, new QTableWidgetItem(tr("结果")));
    table->setHorizontalHeaderItem(ErrorColumn, new QTableWidgetItem(tr("误差 (℃)")));
    table->setHorizontalHeaderItem(ExpandedColumn, new QTableWidgetItem(tr("U (℃)")));
    table->setHorizontalHeaderItem(VerdictColumn, new QTableWidgetItem(tr("结论")));
    for (int column : kOutcomeColumns)
        table->setColumnHidden(column, !m_running && !m_outcomeShown);
}

CalibrationRunDialog::~CalibrationRunDialog()
{
    delete ui;
}

void CalibrationRunDialog::setRun(const CalibrationRun &run)
{
    m_run = run;
    ui->lineEdit_instrument->setText(run.instrument);
    ui->lineEdit_operator->setText(run.operatorName);
    // The boxes write back what they show; the run's own values are restored after.
    ui->doubleSpinBox_distance->setValue(run.distanceMm);
    ui->doubleSpinBox_emissivity->setValue(run.emissivity);
    ui->doubleSpinBox_ambient->setValue(run.ambientC);
    m_run = run;
    m_certificate->show();
    m_readings->show();
    showSteps(run.steps.isEmpty() ? -1 : 0);
}

void CalibrationRunDialog::setSetPointRange(double minimum, double maximum, int decimals)
{
    m_minimum = minimum;
    m_maximum = maximum;
    m_decimals = decimals;
    showSteps(selectedRow());
}

void CalibrationRunDialog::showRunState(bool running, bool paused)
{
    const bool changed = running != m_running;
    m_running = running;
    m_paused = paused;
    showRunButtons();
    if (!changed)
        return;
    for (QWidget *editor :
        {static_cast<QWidget *>(ui->lineEdit_instrument), static_cast<QWidget *>(ui->lineEdit_operator),
            static_cast<QWidget *>(ui->doubleSpinBox_distance),
            static_cast<QWidget *>(ui->doubleSpinBox_emissivity),
            static_cast<QWidget *>(ui->pushButton_addStep), static_cast<QWidget *>(ui->pushButton_removeStep),
            static_cast<QWidget *>(ui->pushButton_moveUp), static_cast<QWidget *>(ui->pushButton_moveDown)})
        editor->setEnabled(!running);
    m_certificate->setEditable(!running);
    m_readings->setEditable(!running);
    retranslateResultHeaders();
    m_currentStep = -1;
    if (running) {
        showStepsReadOnly();
    } else {
        // The outcome of the run just ended stays in view for whoever was away from the desk, until its
        // steps are edited.
        QVector<QStringList> outcome;
        QTableWidget *table = ui->tableWidget_steps;
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList texts;
            for (int column : kOutcomeColumns) {
                const QTableWidgetItem *item = table->item(row, column);
                texts << (item ? item->text() : QString());
            }
            outcome << texts;
        }
        showSteps(selectedRow());
        for (int row = 0; row < table->rowCount() && row < outcome.size(); ++row) {
            for (int i = 0; i < int(std::size(kOutcomeColumns)); ++i)
                table->item(row, kOutcomeColumns[i])->setText(outcome.at(row).at(i));
        }
        m_outcomeShown = !outcome.isEmpty();
        retranslateResultHeaders();
    }
}

bool CalibrationRunDialog::confirmAbort(QWidget *parent)
{
    QMessageBox box(QMessageBox::Question, tr("中止校准"),
        tr("中止校准？已完成的步骤仍写入报告，其余步骤记为未完成。"), QMessageBox::NoButton, parent);
    QPushButton *abort = box.addButton(tr("中止校准"), QMessageBox::DestructiveRole);
    box.setDefaultButton(box.addButton(tr("继续校准"), QMessageBox::RejectRole));
    box.exec();
    return box.clickedButton() == abort;
}

void CalibrationRunDialog::askToAbort()
{
    if (confirmAbort(this) && m_running)
        emit abortRequested();
}

void CalibrationRunDialog::keepAbove(QWidget *window)
{
    // A window with a parent stays above it.
    setParent(window, windowFlags());
}

// What the run carries out, as text: the run holds its own copy, so nothing typed now would count.
void CalibrationRunDialog::showStepsReadOnly()
{
    QTableWidget *table = ui->tableWidget_steps;
    table->setRowCount(0);
    table->setRowCount(m_run.steps.size());
    const auto cell = [table](int row, int column, const QString &text) {
        auto *item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled);
        item->setTextAlignment(Qt::AlignCenter);
        table->setItem(row, column, item);
    };
    for (int row = 0; row < m_run.steps.size(); ++row) {
        const CalibrationStep &step = m_run.steps.at(row);
        cell(row, SetPointColumn, QString::number(step.setPoint, 'f', m_decimals));
        cell(row, BandColumn, QString::number(step.band, 'f', 3));
        cell(row, WindowColumn, QString::number(step.window, 'f', 1));
        cell(row, DwellColumn, QString::number(step.dwell, 'f', 1));
        cell(row, AskReadingColumn, step.askReading ? QStringLiteral("✓") : QString());
        for (int column : kOutcomeColumns)
            cell(row, column, QString());
    }
}

void CalibrationRunDialog::showRunProgress(const CalibrationSequencer::Progress &progress,
    const QVector<CalibrationStepResult> &results, const QVector<StepEvaluation> &evaluations)
{
    QTableWidget *table = ui->tableWidget_steps;
    if (!m_running || table->rowCount() != m_run.steps.size())
        return;
    m_currentStep = progress.step;
    for (int row = 0; row < table->rowCount(); ++row) {
        table->item(row, StatusColumn)->setText(statusText(row, progress, results));
        table->item(row, ResultColumn)->setText(resultText(row, results, m_decimals));
        const QStringList evaluated = evaluationTexts(row, results, evaluations);
        for (int i = 0; i < evaluated.size(); ++i)
            table->item(row, ErrorColumn + i)->setText(evaluated.at(i));
        const bool current = row == progress.step && !resultOf(row, results);
        for (int column = 0; column < ColumnCount; ++column) {
            QTableWidgetItem *item = table->item(row, column);
            item->setBackground(current ? QBrush(kCurrentStep) : QBrush());
            QFont font = item->font();
            font.setBold(current);
            item->setFont(font);
        }
    }
    if (m_currentStep >= 0 && m_currentStep < table->rowCount())
        table->scrollToItem(table->item(m_currentStep, SetPointColumn));
}

QString CalibrationRunDialog::statusText(
    int row, const CalibrationSequencer::Progress &progress, const QVector<CalibrationStepResult> &results)
{
    using Outcome = CalibrationStepResult::Outcome;
    using Phase = CalibrationSequencer::Phase;
    if (const CalibrationStepResult *result = resultOf(row, results)) {
        switch (result->outcome) {
        case Outcome::Done:
            if (result->readingSkipped())
                return tr("读数已跳过");
            return result->stable ? tr("完成") : tr("未稳定");
        case Outcome::Skipped:
            return tr("已跳过");
        case Outcome::Aborted:
            return tr("已中止");
        case Outcome::NotReached:
            return tr("未进行");
        }
    }
    if (row != progress.step || progress.stepCount == 0)
        return QString();
    if (progress.pauseReasons != CalibrationSequencer::NoPause)
        return tr("已暂停");
    switch (progress.phase) {
    case Phase::Setting:
        return tr("设定中");
    case Phase::Settling:
        return tr("等待稳定");
    case Phase::Dwelling:
        return tr("保持中 %1/%2").arg(progress.readingsTaken).arg(progress.readingsNeeded);
    case Phase::WaitingForReading:
        return tr("等待读数");
    case Phase::Idle:
    case Phase::Finished:
    case Phase::Aborted:
        break;
    }
    return QString();
}

QString CalibrationRunDialog::resultText(int row, const QVector<CalibrationStepResult> &results, int decimals)
{
    const CalibrationStepResult *result = resultOf(row, results);
    if (!result)
        return QString();
    QStringList parts;
    if (result->stable && result->dwell.count() > 0)
        parts << tr("均值 %1").arg(result->dwell.mean(), 0, 'f', decimals + 1);
    if (!result->readings.isEmpty()) {
        const double sum = std::accumulate(result->readings.cbegin(), result->readings.cend(), 0.0);
        parts << tr("读数 %1").arg(sum / result->readings.size(), 0, 'f', decimals + 1);
    }
    return parts.join(QStringLiteral("  "));
}

QStringList CalibrationRunDialog::evaluationTexts(
    int row, const QVector<CalibrationStepResult> &results, const QVector<StepEvaluation> &evaluations)
{
    const CalibrationStepResult *result = resultOf(row, results);
    const int index = result ? int(result - results.constData()) : -1;
    if (index < 0 || index >= evaluations.size())
        return {QString(), QString(), QString()};
    const StepEvaluation &e = evaluations.at(index);
    // A reading without a radiometric solution is shown as such, not as a step still waiting.
    if (e.noSolution)
        return {QStringLiteral("—"), QStringLiteral("—"), tr("未评定")};
    if (!e.measured)
        return {QString(), QString(), QString()};
    QString verdict;
    switch (e.verdict) {
    case StepEvaluation::Verdict::Pass:
        verdict = tr("合格");
        break;
    case StepEvaluation::Verdict::Fail:
        verdict = tr("不合格");
        break;
    case StepEvaluation::Verdict::NotEvaluated:
        verdict = tr("未评定");
        break;
    case StepEvaluation::Verdict::None:
        break;
    }
    return {e.text(e.errorUnits), e.text(e.expandedUnits), verdict};
}

void CalibrationRunDialog::showRunButtons()
{
    ui->pushButton_startRun->setEnabled(!m_running);
    ui->pushButton_openRun->setEnabled(!m_running);
    ui->pushButton_pauseRun->setEnabled(m_running);
    ui->pushButton_skipStep->setEnabled(m_running);
    ui->pushButton_abortRun->setEnabled(m_running);
    ui->pushButton_pauseRun->setText(m_running && m_paused ? tr("继续") : tr("暂停"));
}

void CalibrationRunDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        // The form names the page, which now sits in its scroll area.
        ui->tabWidget->setTabText(
            ui->tabWidget->indexOf(findChild<QScrollArea *>(QStringLiteral("scrollArea_certificate"))),
            tr("证书"));
        m_certificate->retranslate();
        m_readings->retranslate();
        retranslateResultHeaders();
        showRunButtons();
    }
    QDialog::changeEvent(event);
}

QDoubleSpinBox *CalibrationRunDialog::cellSpinBox(
    int row, double minimum, double maximum, int decimals, double value, double CalibrationStep::*field)
{
    auto *box = new QDoubleSpinBox;
    box->setDecimals(decimals);
    box->setRange(qMin(minimum, value), qMax(maximum, value));
    box->setValue(value);
    box->setFrame(false);
    connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this, row, field](double v) {
        m_run.steps[row].*field = v;
        // An outcome beside settings it was not measured with would mislead.
        for (int column : kOutcomeColumns)
            if (QTableWidgetItem *item = ui->tableWidget_steps->item(row, column))
                item->setText(QString());
    });
    return box;
}

void CalibrationRunDialog::showSteps(int selectedRow)
{
    QTableWidget *table = ui->tableWidget_steps;
    if (std::exchange(m_outcomeShown, false))
        retranslateResultHeaders();
    // Dropping the rows drops their cell widgets too.
    table->setRowCount(0);
    table->setRowCount(m_run.steps.size());
    for (int row = 0; row < m_run.steps.size(); ++row) {
        const CalibrationStep &step = m_run.steps.at(row);
        for (int column : kOutcomeColumns) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignCenter);
            table->setItem(row, column, item);
        }
        table->setCellWidget(row, SetPointColumn,
            cellSpinBox(row, m_minimum, m_maximum, m_decimals, step.setPoint, &CalibrationStep::setPoint));
        table->setCellWidget(
            row, BandColumn, cellSpinBox(row, 0, kWidestBand, 3, step.band, &CalibrationStep::band));
        table->setCellWidget(row, WindowColumn,
            cellSpinBox(row, 0.1, kLongestSeconds, 1, step.window, &CalibrationStep::window));
        table->setCellWidget(row, DwellColumn,
            cellSpinBox(row, CalibrationRun::kShortestDwell, kLongestSeconds, 1, step.dwell,
                &CalibrationStep::dwell));

        // Centred in its cell, which a bare check box is not.
        auto *cell = new QWidget;
        auto *layout = new QHBoxLayout(cell);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *ask = new QCheckBox;
        ask->setChecked(step.askReading);
        connect(ask, &QCheckBox::toggled, this, [this, row](bool on) { m_run.steps[row].askReading = on; });
        layout->addWidget(ask, 0, Qt::AlignCenter);
        table->setCellWidget(row, AskReadingColumn, cell);
    }
    if (selectedRow >= 0 && selectedRow < m_run.steps.size())
        table->selectRow(selectedRow);
}

int CalibrationRunDialog::selectedRow() const
{
    const QModelIndexList rows = ui->tableWidget_steps->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void CalibrationRunDialog::on_pushButton_addStep_clicked()
{
    // A new step repeats the last one's settings, which is what a series of points mostly wants.
    CalibrationStep step;
    if (!m_run.steps.isEmpty())
        step = m_run.steps.constLast();
    else
        step.setPoint = qBound(m_minimum, step.setPoint, m_maximum);
    m_run.steps.append(step);
    showSteps(m_run.steps.size() - 1);
}

void CalibrationRunDialog::on_pushButton_removeStep_clicked()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    m_run.steps.removeAt(row);
    showSteps(qMin(row, m_run.steps.size() - 1));
}

void CalibrationRunDialog::on_pushButton_moveUp_clicked()
{
    moveStep(-1);
}

void CalibrationRunDialog::on_pushButton_moveDown_clicked()
{
    moveStep(1);
}

void CalibrationRunDialog::moveStep(int offset)
{
    const int row = selectedRow();
    const int to = row + offset;
    if (row < 0 || to < 0 || to >= m_run.steps.size())
        return;
    m_run.steps.move(row, to);
    showSteps(to);
}

void CalibrationRunDialog::on_pushButton_openRun_clicked()
{
    LastFolders folders(appSettings);
    QFileDialog dialog(this, tr("打开校准程序"), folders.folder(LastFolders::RunFiles), runFilter());
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    folders.rememberFile(LastFolders::RunFiles, dialog.selectedFiles().constFirst());
    openRunFile(dialog.selectedFiles().constFirst());
}

bool CalibrationRunDialog::openRunFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        QMessageBox::warning(this, tr("错误"), tr("无法打开文件 %1").arg(fileName));
        return false;
    }
    CalibrationRunError error;
    const CalibrationRun loaded = CalibrationRun::fromJson(file.readAll(), &error);
    if (!error.isError())
        error = loaded.checkModel(m_minimum, m_maximum, m_decimals);
    if (error.isError()) {
        QMessageBox::warning(this, tr("错误"), tr("无法读取校准程序 %1：\n%2").arg(fileName, error.message));
        return false;
    }
    setRun(loaded);
    m_runFile = fileName;
    m_fileRun = loaded;
    return true;
}

void CalibrationRunDialog::on_pushButton_saveRun_clicked()
{
    LastFolders folders(appSettings);
    QFileDialog dialog(this, tr("保存校准程序"),
        m_runFile.isEmpty() ? folders.folder(LastFolders::RunFiles) : m_runFile, runFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bbrun"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    folders.rememberFile(LastFolders::RunFiles, fileName);
    const QByteArray json = m_run.toJson();
    const SaveResult saved
        = saveAtomically(fileName, [&json](QIODevice *file) { return file->write(json) == json.size(); });
    if (!saved) {
        QMessageBox::warning(this, tr("错误"), saved.message(fileName));
        return;
    }
    m_runFile = fileName;
    m_fileRun = m_run;
}

void CalibrationRunDialog::on_pushButton_startRun_clicked()
{
    if (m_run.steps.isEmpty()) {
        QMessageBox::warning(this, tr("提示"), tr("请先添加步骤"));
        return;
    }
    // The report names both; a blank one would make it worthless as a record.
    if (m_run.instrument.trimmed().isEmpty()) {
        QMessageBox::warning(this, tr("提示"), tr("请填写被测仪器：报告须写明校准的是哪台仪器。"));
        ui->lineEdit_instrument->setFocus();
        return;
    }
    if (m_run.operatorName.trimmed().isEmpty()) {
        QMessageBox::warning(this, tr("提示"), tr("请填写操作员：报告须写明由谁校准。"));
        ui->lineEdit_operator->setFocus();
        return;
    }
    appSettings.setValue(instrumentKey, m_run.instrument.trimmed());
    appSettings.setValue(operatorKey, m_run.operatorName.trimmed());
    emit startRequested(m_run, m_runFile);
}
