#include "calibrationrundialog.h"

#include "files/atomicsave.h"
#include "ui_calibrationrundialog.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>

namespace {

// Columns of the step table, in the form's order.
enum Column { SetPointColumn, BandColumn, WindowColumn, DwellColumn, AskReadingColumn };

// The same limits the run file is read with: a day at most for one point.
constexpr double kLongestSeconds = 86400;
constexpr double kWidestBand = 100;

QString runFilter()
{
    return CalibrationRunDialog::tr("校准程序") + QStringLiteral(" (*.bbrun)");
}

} // namespace

CalibrationRunDialog::CalibrationRunDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::CalibrationRunDialog)
{
    ui->setupUi(this);
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
    ui->tableWidget_steps->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

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
    connect(ui->pushButton_abortRun, &QPushButton::clicked, this, &CalibrationRunDialog::abortRequested);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::close);

    setRun(CalibrationRun());
    showRunButtons();
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
    m_running = running;
    m_paused = paused;
    showRunButtons();
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
    connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
        [this, row, field](double v) { m_run.steps[row].*field = v; });
    return box;
}

void CalibrationRunDialog::showSteps(int selectedRow)
{
    QTableWidget *table = ui->tableWidget_steps;
    // Dropping the rows drops their cell widgets too.
    table->setRowCount(0);
    table->setRowCount(m_run.steps.size());
    for (int row = 0; row < m_run.steps.size(); ++row) {
        const CalibrationStep &step = m_run.steps.at(row);
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
    QFileDialog dialog(this, tr("打开校准程序"), QString(), runFilter());
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().value(0).isEmpty())
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
    QFileDialog dialog(this, tr("保存校准程序"), m_runFile, runFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bbrun"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
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
    emit startRequested(m_run, m_runFile);
}
