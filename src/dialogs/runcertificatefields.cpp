#include "runcertificatefields.h"

#include "ui_calibrationrundialog.h"

#include <QHeaderView>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

// The limits the run file is read with.
constexpr double kLargest = 1e6;

enum BudgetColumn {
    NameColumn,
    ValueColumn,
    DistributionColumn,
    KColumn,
    DofColumn,
    ActsAtColumn,
    BasisColumn
};

// The words of the run file, which the table shows as they are written there.
const char *const kDistributions[] = {"normal", "rectangular", "triangular"};
const char *const kActsAt[] = {"reading", "source"};

QString number(double value)
{
    return QString::number(value, 'g', 10);
}

} // namespace

RunCertificateFields::RunCertificateFields(
    Ui::CalibrationRunDialog *form, CalibrationRun *run, QObject *parent)
    : QObject(parent)
    , ui(form)
    , m_run(run)
{
    // The shorter column stays at the top rather than spread its rows over the other's height.
    for (QLayout *column :
        {static_cast<QLayout *>(ui->gridLayout_item), static_cast<QLayout *>(ui->gridLayout_source)})
        ui->horizontalLayout_certificateFields->setAlignment(column, Qt::AlignTop);
    bindText(ui->lineEdit_customer, &m_run->certificate.customer);
    bindText(ui->lineEdit_customerAddress, &m_run->certificate.customerAddress);
    // Two capitals or nothing, as the run file takes it: a half-typed code leaves the last whole one.
    ui->lineEdit_customerCountry->setMaxLength(2);
    ui->lineEdit_customerCountry->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z]{0,2}")), this));
    connect(ui->lineEdit_customerCountry, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper != text)
            ui->lineEdit_customerCountry->setText(upper);
        if (upper.isEmpty() || upper.size() == 2)
            m_run->certificate.customerCountry = upper;
    });
    m_shows << [this] { ui->lineEdit_customerCountry->setText(m_run->certificate.customerCountry); };
    bindText(ui->lineEdit_itemMake, &m_run->certificate.make);
    bindText(ui->lineEdit_itemModel, &m_run->certificate.model);
    bindText(ui->lineEdit_itemSerial, &m_run->certificate.serial);
    bindText(ui->lineEdit_signatory, &m_run->certificate.signatory);
    bindText(ui->lineEdit_sourceMake, &m_run->source.make);
    bindText(ui->lineEdit_sourceModel, &m_run->source.model);
    bindText(ui->lineEdit_sourceSerial, &m_run->source.serial);
    bindText(ui->lineEdit_sourceCertificate, &m_run->source.certificate);
    bindText(ui->lineEdit_sourceDue, &m_run->source.due);
    bindNumber(ui->doubleSpinBox_resolution, 0, 100, 3, &m_run->certificate.resolutionC);
    bindNumber(ui->doubleSpinBox_bandLow, 0.1, 1000, 2, &m_run->certificate.bandLowUm);
    bindNumber(ui->doubleSpinBox_bandHigh, 0.1, 1000, 2, &m_run->certificate.bandHighUm);
    bindNumber(ui->doubleSpinBox_aperture, 0, 10000, 1, &m_run->certificate.apertureMm);
    bindNumber(ui->doubleSpinBox_toleranceC, 0, 1000, 3, &m_run->toleranceC);
    bindNumber(ui->doubleSpinBox_tolerancePercent, 0, 100, 3, &m_run->tolerancePercent);
    bindNumber(ui->doubleSpinBox_sourceEmissivity, 0.01, 1, 3, &m_run->source.emissivity);
    bindNumber(ui->doubleSpinBox_emissivityUncertainty, 0, 1, 4, &m_run->source.emissivityUncertainty);
    bindNumber(ui->doubleSpinBox_ambientUncertainty, 0, 100, 2, &m_run->ambientUncertaintyC);

    ui->spinBox_readingsPerStep->setRange(1, 100);
    connect(
        ui->spinBox_readingsPerStep, QOverload<int>::of(&QSpinBox::valueChanged), this, [this](int value) {
            if (!m_showing)
                m_run->readingsPerStep = value;
        });
    m_shows << [this] { ui->spinBox_readingsPerStep->setValue(m_run->readingsPerStep); };

    // Indices as the lists are filled in retranslate().
    connect(
        ui->comboBox_condition, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
            if (!m_showing && index >= 0)
                m_run->certificate.condition
                    = index == 1 ? QStringLiteral("as left") : QStringLiteral("as found");
        });
    m_shows << [this] {
        ui->comboBox_condition->setCurrentIndex(
            m_run->certificate.condition == QLatin1String("as left") ? 1 : 0);
    };
    connect(ui->comboBox_toleranceOf, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) {
            if (!m_showing && index >= 0)
                m_run->toleranceOf = index == 1 ? CalibrationRun::ToleranceOf::Reference
                                                : CalibrationRun::ToleranceOf::Reading;
        });
    m_shows << [this] {
        ui->comboBox_toleranceOf->setCurrentIndex(
            m_run->toleranceOf == CalibrationRun::ToleranceOf::Reference);
    };
    connect(ui->comboBox_decisionRule, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
        [this](int index) {
            if (!m_showing && index >= 0)
                m_run->guarded = index == 1;
        });
    m_shows << [this] { ui->comboBox_decisionRule->setCurrentIndex(m_run->guarded ? 1 : 0); };

    for (QTableWidget *table : {ui->tableWidget_sourceUncertainty, ui->tableWidget_budget}) {
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table->horizontalHeader()->setStretchLastSection(true);
    }
    ui->tableWidget_sourceUncertainty->setColumnCount(2);
    ui->tableWidget_budget->setColumnCount(BasisColumn + 1);
    connect(ui->tableWidget_sourceUncertainty, &QTableWidget::itemChanged, this,
        &RunCertificateFields::uncertaintyEdited);
    connect(ui->tableWidget_budget, &QTableWidget::itemChanged, this, &RunCertificateFields::budgetEdited);
    connect(ui->pushButton_addUncertainty, &QPushButton::clicked, this, [this] {
        SourceUncertaintyPoint point;
        if (!m_run->source.uncertainty.isEmpty())
            point = m_run->source.uncertainty.constLast();
        m_run->source.uncertainty << point;
        showTables();
    });
    connect(ui->pushButton_removeUncertainty, &QPushButton::clicked, this, [this] {
        const int row = ui->tableWidget_sourceUncertainty->currentRow();
        if (row >= 0 && row < m_run->source.uncertainty.size())
            m_run->source.uncertainty.removeAt(row);
        showTables();
    });
    connect(ui->pushButton_addBudget, &QPushButton::clicked, this, [this] {
        m_run->budget << BudgetComponent {};
        showTables();
    });
    connect(ui->pushButton_removeBudget, &QPushButton::clicked, this, [this] {
        const int row = ui->tableWidget_budget->currentRow();
        if (row >= 0 && row < m_run->budget.size())
            m_run->budget.removeAt(row);
        showTables();
    });
    retranslate();
}

void RunCertificateFields::bindText(QLineEdit *edit, QString *field)
{
    connect(edit, &QLineEdit::textEdited, this, [field](const QString &text) { *field = text; });
    m_shows << [edit, field] { edit->setText(*field); };
}

void RunCertificateFields::bindNumber(
    QDoubleSpinBox *box, double minimum, double maximum, int decimals, double *field)
{
    box->setDecimals(decimals);
    box->setRange(minimum, maximum);
    connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this, field](double value) {
        if (!m_showing)
            *field = value;
    });
    m_shows << [box, field] { box->setValue(*field); };
}

void RunCertificateFields::show()
{
    // A box clamps what it shows; the run keeps its own value until the operator edits it.
    m_showing = true;
    for (const auto &showField : std::as_const(m_shows))
        showField();
    m_showing = false;
    showTables();
}

void RunCertificateFields::setEditable(bool editable)
{
    ui->tab_certificate->setEnabled(editable);
}

void RunCertificateFields::retranslate()
{
    m_showing = true;
    const auto fill = [](QComboBox *box, const QStringList &items) {
        const int index = box->currentIndex();
        box->clear();
        box->addItems(items);
        box->setCurrentIndex(qMax(0, index));
    };
    fill(ui->comboBox_condition, {tr("接收时"), tr("调整后")});
    fill(ui->comboBox_toleranceOf, {tr("读数"), tr("参考值")});
    fill(ui->comboBox_decisionRule, {tr("简单接受"), tr("保护带 (w = U)")});
    m_showing = false;
    ui->tableWidget_sourceUncertainty->setHorizontalHeaderLabels({tr("设定值 (℃)"), tr("U (℃)")});
    ui->tableWidget_budget->setHorizontalHeaderLabels(
        {tr("名称"), tr("值 (℃)"), tr("分布 (normal/rectangular/triangular)"), tr("k"),
            tr("自由度（空为无穷）"), tr("作用于 (reading/source)"), tr("重复性声明的依据")});
    show();
}

void RunCertificateFields::showTables()
{
    const QSignalBlocker blockUncertainty(ui->tableWidget_sourceUncertainty);
    const QSignalBlocker blockBudget(ui->tableWidget_budget);
    QTableWidget *points = ui->tableWidget_sourceUncertainty;
    points->setRowCount(m_run->source.uncertainty.size());
    for (int row = 0; row < m_run->source.uncertainty.size(); ++row) {
        const SourceUncertaintyPoint &p = m_run->source.uncertainty.at(row);
        points->setItem(row, 0, new QTableWidgetItem(number(p.setPoint)));
        points->setItem(row, 1, new QTableWidgetItem(number(p.expanded)));
    }
    QTableWidget *budget = ui->tableWidget_budget;
    budget->setRowCount(m_run->budget.size());
    for (int row = 0; row < m_run->budget.size(); ++row) {
        const BudgetComponent &c = m_run->budget.at(row);
        budget->setItem(row, NameColumn, new QTableWidgetItem(c.name));
        budget->setItem(row, ValueColumn, new QTableWidgetItem(number(c.value)));
        budget->setItem(row, DistributionColumn,
            new QTableWidgetItem(QString::fromLatin1(kDistributions[int(c.distribution)])));
        budget->setItem(row, KColumn, new QTableWidgetItem(number(c.k)));
        budget->setItem(
            row, DofColumn, new QTableWidgetItem(std::isfinite(c.dof) ? number(c.dof) : QString()));
        budget->setItem(row, ActsAtColumn, new QTableWidgetItem(QString::fromLatin1(kActsAt[int(c.actsAt)])));
        // Checked: the item states the instrument's repeatability, and the cell says on what basis.
        auto *basis = new QTableWidgetItem(c.basis);
        basis->setFlags(basis->flags() | Qt::ItemIsUserCheckable);
        basis->setCheckState(c.repeatability ? Qt::Checked : Qt::Unchecked);
        budget->setItem(row, BasisColumn, basis);
    }
}

void RunCertificateFields::uncertaintyEdited(QTableWidgetItem *item)
{
    const int row = item->row();
    if (row >= m_run->source.uncertainty.size())
        return;
    bool ok = false;
    const double value = item->text().toDouble(&ok);
    if (ok && std::abs(value) <= kLargest && (item->column() == 0 || value >= 0)) {
        SourceUncertaintyPoint &point = m_run->source.uncertainty[row];
        (item->column() == 0 ? point.setPoint : point.expanded) = value;
    }
    // What was not taken is put back; the run file keeps its points in ascending order.
    std::stable_sort(m_run->source.uncertainty.begin(), m_run->source.uncertainty.end(),
        [](const SourceUncertaintyPoint &a, const SourceUncertaintyPoint &b) {
            return a.setPoint < b.setPoint;
        });
    QMetaObject::invokeMethod(this, &RunCertificateFields::showTables, Qt::QueuedConnection);
}

void RunCertificateFields::budgetEdited(QTableWidgetItem *item)
{
    const int row = item->row();
    if (row >= m_run->budget.size())
        return;
    BudgetComponent &c = m_run->budget[row];
    const QString text = item->text().trimmed();
    bool ok = false;
    const double value = text.toDouble(&ok);
    const bool positive = ok && value > 0 && value <= kLargest;
    switch (item->column()) {
    case NameColumn:
        c.name = text;
        break;
    case ValueColumn:
        if (ok && value >= 0 && value <= kLargest)
            c.value = value;
        break;
    case DistributionColumn:
        for (int i = 0; i < int(std::size(kDistributions)); ++i)
            if (text == QLatin1String(kDistributions[i]))
                c.distribution = BudgetComponent::Distribution(i);
        break;
    case KColumn:
        if (positive)
            c.k = value;
        break;
    case DofColumn:
        if (text.isEmpty())
            c.dof = qInf();
        else if (positive)
            c.dof = value;
        break;
    case ActsAtColumn:
        for (int i = 0; i < int(std::size(kActsAt)); ++i)
            if (text == QLatin1String(kActsAt[i]))
                c.actsAt = BudgetComponent::ActsAt(i);
        break;
    case BasisColumn:
        c.basis = item->text();
        c.repeatability = item->checkState() == Qt::Checked;
        break;
    }
    showTables();
}
