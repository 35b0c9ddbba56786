#include "chartsettingsdialog.h"

#include "settings/recordestimate.h"
#include "settings/settings.h"
#include "settings/stabilitylimits.h"
#include "ui_chartsettingsdialog.h"

#include <QMessageBox>

namespace {
// Selected when the stored interval is none of the ten.
const int kDefaultIntervalMs = 100;
} // namespace

ChartSettingsDialog::ChartSettingsDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ChartSettingsDialog)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowCloseButtonHint);
    const QString cache = appSettings.value(appSettings.chartLineCacheKey, QString());
    if (!cache.isEmpty())
        ui->spinBox_caches->setValue(cache.toInt());
    ui->comboBox_fps->addItems(intervalNames());
    const QString fps = appSettings.value(appSettings.chartLineFpsKey, QString());
    if (!fps.isEmpty()) {
        const int index = indexOfInterval(fps.toInt());
        ui->comboBox_fps->setCurrentIndex(index >= 0 ? index : indexOfInterval(kDefaultIntervalMs));
    }
    updateLabels(true);

    // Ranges from the same table the store validates against.
    ui->doubleSpinBox_stableBand->setDecimals(kStableBandDecimals);
    ui->doubleSpinBox_stableBand->setRange(kMinStableBand, kMaxStableBand);
    ui->doubleSpinBox_stableBand->setSingleStep(0.01);
    ui->doubleSpinBox_stableBand->setValue(
        stableBandFromText(appSettings.value(appSettings.stableBandKey, QString())));
    ui->spinBox_stableWindow->setRange(kMinStableWindow, kMaxStableWindow);
    ui->spinBox_stableWindow->setValue(
        stableWindowFromText(appSettings.value(appSettings.stableWindowKey, QString())));
}

ChartSettingsDialog::~ChartSettingsDialog()
{
    delete ui;
}

void ChartSettingsDialog::updateLabels(bool openingStyle)
{
    const int value = ui->spinBox_caches->value();
    ui->label_duration->setText(durationText(value, ui->comboBox_fps->currentText(), openingStyle));
    ui->label_memory->setText(memoryText(value));
}

void ChartSettingsDialog::on_buttonBox_accepted()
{
    appSettings.setValue(appSettings.chartLineCacheKey, QString::number(ui->spinBox_caches->value()));
    const int index = ui->comboBox_fps->currentIndex();
    const int ms = index >= 0 && index < intervalNames().size() ? intervalToMs(intervalNames()[index])
                                                                : kDefaultIntervalMs;
    appSettings.setValue(appSettings.chartLineFpsKey, QString::number(ms));
    appSettings.setValue(appSettings.stableBandKey,
        QString::number(ui->doubleSpinBox_stableBand->value(), 'f', kStableBandDecimals));
    appSettings.setValue(appSettings.stableWindowKey, QString::number(ui->spinBox_stableWindow->value()));
    // The values hold for this session even when the file could not take them.
    const SaveResult saved = appSettings.save();
    if (!saved)
        QMessageBox::critical(this, tr("错误"), saved.message(appSettings.filePath()));
    accept();
}

void ChartSettingsDialog::on_buttonBox_rejected()
{
    reject();
}

void ChartSettingsDialog::on_spinBox_caches_valueChanged(int arg1)
{
    Q_UNUSED(arg1)
    updateLabels(true);
}

void ChartSettingsDialog::on_comboBox_fps_currentIndexChanged(int index)
{
    if (index < 0 || index >= intervalNames().size())
        return;
    ui->label_duration->setText(durationText(ui->spinBox_caches->value(), intervalNames()[index], false));
}
