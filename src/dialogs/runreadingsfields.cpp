#include "runreadingsfields.h"

#include "ui_calibrationrundialog.h"

namespace {

// The list's rows, in the order of ReadingsSource::From.
constexpr int kSourceCount = 2;

} // namespace

RunReadingsFields::RunReadingsFields(
    Ui::CalibrationRunDialog *form, CalibrationRun *run, const QStringList &drivers, QObject *parent)
    : QObject(parent)
    , ui(form)
    , m_run(run)
{
    for (int i = 0; i < kSourceCount; ++i)
        ui->comboBox_readingsSource->addItem(QString());
    retranslate();
    ui->comboBox_uutDriver->addItems(drivers);
    // A driver named by a run file may be one of none of the folders: it is offered as written.
    ui->comboBox_uutDriver->setEditable(true);
    ui->lineEdit_uutPort->setPlaceholderText(QStringLiteral("/dev/ttyUSB1, 192.168.1.20:5025"));
    ui->doubleSpinBox_readingInterval->setRange(
        ReadingsSource::kShortestIntervalS, ReadingsSource::kLongestIntervalS);
    ui->doubleSpinBox_readingInterval->setDecimals(1);
    ui->doubleSpinBox_readingInterval->setSingleStep(0.1);

    connect(ui->comboBox_readingsSource, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) {
            if (!m_showing && index >= 0)
                m_run->readings.from = ReadingsSource::From(index);
            // A run that reads its instrument needs a driver: offer the first one rather than an empty box.
            if (!m_showing && m_run->readings.from == ReadingsSource::From::Driver
                && m_run->readings.driver.isEmpty() && ui->comboBox_uutDriver->count() > 0)
                ui->comboBox_uutDriver->setCurrentText(ui->comboBox_uutDriver->itemText(0));
            enableDriverFields();
        });
    connect(ui->comboBox_uutDriver, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (!m_showing)
            m_run->readings.driver = text;
    });
    connect(ui->lineEdit_uutPort, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_run->readings.port = text.trimmed(); });
    connect(ui->doubleSpinBox_readingInterval, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
        [this](double value) {
            if (!m_showing)
                m_run->readings.intervalS = value;
        });
    connect(ui->pushButton_readOnce, &QPushButton::clicked, this, [this] {
        ui->label_readOnce->setText(tr("读取中…"));
        emit readOnceRequested(ui->comboBox_uutDriver->currentText(), ui->lineEdit_uutPort->text().trimmed());
    });
}

void RunReadingsFields::retranslate()
{
    ui->comboBox_readingsSource->setItemText(int(ReadingsSource::From::Typed), tr("手动输入"));
    ui->comboBox_readingsSource->setItemText(int(ReadingsSource::From::Driver), tr("从被测仪器读取"));
}

void RunReadingsFields::show()
{
    m_showing = true;
    ui->comboBox_readingsSource->setCurrentIndex(int(m_run->readings.from));
    ui->comboBox_uutDriver->setCurrentText(m_run->readings.driver);
    ui->lineEdit_uutPort->setText(m_run->readings.port);
    ui->doubleSpinBox_readingInterval->setValue(m_run->readings.intervalS);
    ui->label_readOnce->clear();
    m_showing = false;
    enableDriverFields();
}

void RunReadingsFields::setEditable(bool editable)
{
    m_editable = editable;
    ui->comboBox_readingsSource->setEnabled(editable);
    enableDriverFields();
}

void RunReadingsFields::showReadOnce(const QString &text)
{
    ui->label_readOnce->setText(text);
}

void RunReadingsFields::enableDriverFields()
{
    const bool driver = m_run->readings.from == ReadingsSource::From::Driver;
    for (QWidget *field :
        {static_cast<QWidget *>(ui->comboBox_uutDriver), static_cast<QWidget *>(ui->lineEdit_uutPort),
            static_cast<QWidget *>(ui->doubleSpinBox_readingInterval),
            static_cast<QWidget *>(ui->pushButton_readOnce)})
        field->setEnabled(driver && m_editable);
}
