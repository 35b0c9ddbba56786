#include "windowasker.h"

#include "app/controllerquestion.h"
#include "chart/chartfileactions.h"
#include "dialogs/signconfirmdialog.h"
#include "settings/recordestimate.h"
#include "station/calibrationrunner.h"

#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Wide enough for any instrument under test, from a cold source to the hottest model.
constexpr double kLowestReading = -273.15;
constexpr double kHighestReading = 3000;
constexpr int kReadingDecimals = 3;

// Starts empty and takes only a number, so that a hurried Enter records nothing plausible.
std::optional<double> askNumber(
    QWidget *parent, const QString &title, const QString &label, QPointer<QInputDialog> *shown)
{
    QInputDialog dialog(parent);
    // cppcheck-suppress autoVariables ; a QPointer, which clears itself when the dialog goes
    *shown = &dialog;
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(QString());
    // Builds the buttons, which Qt otherwise makes only when the dialog is shown.
    dialog.setOkButtonText(dialog.okButtonText());
    auto *edit = dialog.findChild<QLineEdit *>();
    auto *validator = new QDoubleValidator(kLowestReading, kHighestReading, kReadingDecimals, &dialog);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    // Judged, not filtered: on the edit the validator would drop a mistyped letter and leave a wrong
    // number that looks fine ("4o.1" became 4.1).
    const auto acceptable = [edit, validator] {
        QString text = edit->text();
        int position = 0;
        return validator->validate(text, position) == QValidator::Acceptable;
    };
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    const auto enableOk = [acceptable, ok] { ok->setEnabled(acceptable()); };
    QObject::connect(edit, &QLineEdit::textChanged, &dialog, enableOk);
    enableOk();
    if (dialog.exec() != QDialog::Accepted || !acceptable())
        return std::nullopt;
    return QLocale::c().toDouble(edit->text());
}

} // namespace

WindowAsker::WindowAsker(QWidget *window, CalibrationRunner *runner, ChartFileActions *chartFiles)
    : m_window(window)
    , m_runner(runner)
    , m_chartFiles(chartFiles)
{ }

QWidget *WindowAsker::boxParent() const
{
    return m_from ? m_from.data() : m_window;
}

void WindowAsker::cannotStart(CalibrationStart::Obstacle obstacle, const QString &detail)
{
    using Obstacle = CalibrationStart::Obstacle;
    QString text;
    switch (obstacle) {
    case Obstacle::LinkNotOpen:
        text = tr("请先打开黑体的串口");
        break;
    case Obstacle::ControllerUnconfirmed:
        text = tr("黑体尚无经确认的读数，请稍后再开始校准");
        break;
    case Obstacle::OutsideModel:
        text = detail;
        break;
    case Obstacle::InstrumentUnavailable:
        text = tr("无法从被测仪器读数：%1").arg(detail);
        break;
    case Obstacle::EmissivityMismatch:
        text = tr("被测仪器的发射率与校准程序不符：%1").arg(detail);
        break;
    // The window's own start is not offered during a run; the others were asked about and turned down.
    case Obstacle::RunInProgress:
    case Obstacle::NoReportFolder:
    case Obstacle::LabUnknown:
    case Obstacle::UnsavedCurve:
    case Obstacle::ChartTooSmall:
    case Obstacle::SourceOverdue:
    case Obstacle::CertificateIncomplete:
    case Obstacle::EmissivityUnconfirmed:
        return;
    }
    QMessageBox::warning(boxParent(), tr("提示"), text, QMessageBox::Ok);
}

QString WindowAsker::chooseReportFolder(const QString &startIn)
{
    return QFileDialog::getExistingDirectory(boxParent(), tr("选择校准报告文件夹"), startIn);
}

std::optional<LabSettings> WindowAsker::nameLab(const LabSettings &stored)
{
    LabSettings lab = stored;
    bool ok = false;
    lab.name = QInputDialog::getText(
        boxParent(), tr("实验室"), tr("实验室名称（印在证书上）："), QLineEdit::Normal, lab.name, &ok);
    if (!ok)
        return std::nullopt;
    lab.address = QInputDialog::getText(
        boxParent(), tr("实验室"), tr("实验室地址："), QLineEdit::Normal, lab.address, &ok);
    if (!ok)
        return std::nullopt;
    // The stored prefix is offered, as every other field is, when the details are edited later.
    QString prefix = lab.prefix;
    do {
        prefix = QInputDialog::getText(boxParent(), tr("实验室"),
            tr("证书编号前缀（1 到 12 个字母或数字）："), QLineEdit::Normal, prefix, &ok)
                     .trimmed();
        if (!ok)
            return std::nullopt;
    } while (!LabSettings::isValidPrefix(prefix));
    lab.prefix = prefix;
    // Empty, or two capitals as the machine-readable certificate's schema takes them.
    QString country = lab.country;
    do {
        country = QInputDialog::getText(boxParent(), tr("实验室"),
            tr("国家代码（ISO 3166-1 两个字母，如 CN；机器可读证书需要）："), QLineEdit::Normal, country, &ok)
                      .trimmed()
                      .toUpper();
        if (!ok)
            return std::nullopt;
    } while (!country.isEmpty() && !LabSettings::isValidCountry(country));
    lab.country = country;
    return lab;
}

bool WindowAsker::dropUnsavedCurve()
{
    return m_chartFiles->mayDiscardCurve();
}

Asker::ChartChoice WindowAsker::chartTooSmall(
    qint64 heldMs, qint64 neededMs, std::optional<RecordSetting> fits)
{
    QMessageBox box(QMessageBox::Warning, tr("提示"),
        tr("按当前的表格设置，曲线最多保存 %1，而本次校准至少需要 %2：报告旁的曲线会缺少开头。")
            .arg(secondsText(heldMs / 1000), secondsText((neededMs + 999) / 1000)),
        QMessageBox::NoButton, boxParent());
    QPushButton *change = nullptr;
    if (fits) {
        change = box.addButton(tr("改为 %1 千点、间隔 %2 后开始")
                                   .arg(fits->thousands)
                                   .arg(intervalNames().value(indexOfInterval(fits->intervalMs))),
            QMessageBox::AcceptRole);
    }
    QPushButton *asIs = box.addButton(tr("按当前设置开始"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(tr("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(change ? change : cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (change && box.clickedButton() == change)
        return ChartChoice::Change;
    return box.clickedButton() == asIs ? ChartChoice::AsIs : ChartChoice::Cancel;
}

bool WindowAsker::startDespiteOverdueSource(const QString &due)
{
    return QMessageBox::warning(boxParent(), tr("提示"),
               tr("辐射源的校准已于 %1 到期，证书上会注明。仍然开始吗？").arg(due),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

bool WindowAsker::confirmInstrumentEmissivity(double epsilon, const QString &instrument)
{
    return QMessageBox::question(boxParent(), tr("提示"),
               tr("程序无法设置或读取被测仪器（%1）的发射率。\n它已设为 %2 吗？")
                   .arg(instrument, QString::number(epsilon, 'f', 3)),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

bool WindowAsker::startAsTestReport(const QVector<CertificateCompleteness::Missing> &missing)
{
    QStringList lines;
    for (const CertificateCompleteness::Missing m : missing)
        lines << QStringLiteral("· ") + CertificateCompleteness::text(m);
    QMessageBox box(QMessageBox::Warning, tr("提示"),
        tr("校准证书还缺少：\n%1\n\n可在“证书”页补全，或以测试报告继续：测试报告没有证书编号，"
           "每页注明它不是校准证书。")
            .arg(lines.join(QLatin1Char('\n'))),
        QMessageBox::Ok | QMessageBox::Cancel, boxParent());
    box.button(QMessageBox::Ok)->setText(tr("以测试报告继续"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

bool WindowAsker::startWithoutJournal(const QString &folder, const QString &error)
{
    return QMessageBox::question(boxParent(), tr("提示"),
               tr("无法在 %1 记录校准结果：%2\n程序意外退出时，结果会丢失。仍然开始吗？").arg(folder, error),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}

void WindowAsker::askReading(int step, double setPoint, int reading, int readings)
{
    const CalibrationRunner::ReadingQuestion question = m_runner->readingQuestion();
    QString label = tr("第 %1 步，设定点 %2℃").arg(step + 1).arg(setPoint);
    // The instrument gave no reading: the operator may read its display instead.
    if (const QString fault = m_runner->instrumentFault(); !fault.isEmpty())
        label = tr("被测仪器没有给出读数：%1").arg(fault) + QLatin1Char('\n') + label;
    if (readings > 1)
        label += tr("，第 %1/%2 个读数").arg(reading + 1).arg(readings);
    label += QLatin1Char('\n') + tr("被测仪器的读数（℃）：");
    const std::optional<double> value = askNumber(m_window, tr("被测仪器读数"), label, &m_readingDialog);
    // The run may have been aborted, another begun, or the reading given remotely, meanwhile.
    if (m_runner->isMoot(question))
        return;
    if (value) {
        m_runner->answerReading(question, *value);
        return;
    }
    // A cancelled reading is either skipped or the end of the run; closing the box skips it, the answer
    // that loses nothing measured.
    QMessageBox box(QMessageBox::Question, tr("提示"), tr("没有输入读数。"), QMessageBox::NoButton, m_window);
    QPushButton *skipReading = box.addButton(tr("跳过读数"), QMessageBox::RejectRole);
    QPushButton *abortRun = box.addButton(tr("中止校准"), QMessageBox::DestructiveRole);
    box.setDefaultButton(skipReading);
    box.setEscapeButton(skipReading);
    box.exec();
    if (m_runner->isMoot(question))
        return;
    if (box.clickedButton() == abortRun)
        m_runner->abort();
    else
        m_runner->skipReading(question);
}

void WindowAsker::dropMootReading()
{
    // The dialog's caller sees the run has moved on and drops its answer.
    if (m_readingDialog && m_runner->isMoot(m_runner->readingQuestion()))
        m_readingDialog->reject();
}

void WindowAsker::askSameController(
    const QString &held, const QString &reported, const std::function<void(bool same)> &answered)
{
    withdrawQuestions();
    m_question = ::askSameController(m_window, m_runner->runModel(), held, reported, answered);
}

void WindowAsker::withdrawQuestions()
{
    withdrawQuestion(m_question);
}

Asker::ReportChoice WindowAsker::reportNotWritten(
    QString *folder, const SaveResult &result, const QString &failedFile, bool mayWait)
{
    QString text = folder->isEmpty() ? tr("尚未选择校准报告文件夹。")
                                     : tr("校准报告未能保存。\n%1").arg(result.message(failedFile));
    if (!mayWait)
        text += QLatin1Char('\n') + tr("本次结果没有校准记录：放弃后就不再保存。");
    QMessageBox box(QMessageBox::Warning, tr("错误"), text, QMessageBox::NoButton, m_window);
    QPushButton *retry = box.addButton(tr("重试"), QMessageBox::AcceptRole);
    QPushButton *elsewhere = box.addButton(tr("另存到…"), QMessageBox::ActionRole);
    // With a journal the results wait for a later report; without one, giving up loses them.
    QPushButton *leave = box.addButton(mayWait ? tr("稍后") : tr("放弃"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.setEscapeButton(mayWait ? leave : retry);
    box.exec();
    if (box.clickedButton() == leave)
        return ReportChoice::Later;
    if (box.clickedButton() != elsewhere)
        return ReportChoice::Retry;
    const QString chosen
        = QFileDialog::getExistingDirectory(m_window, tr("选择保存校准报告的文件夹"), *folder);
    if (!chosen.isEmpty())
        *folder = chosen;
    return ReportChoice::Elsewhere;
}

std::optional<Asker::SignatureConsent> WindowAsker::confirmSignature(const QString &number,
    const QString &signatory, const QString &keyName, const QString &refusal, SignatureMoment moment)
{
    SignConfirmDialog dialog(
        number, signatory, keyName, refusal, moment == SignatureMoment::AtIssue, m_window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    SignatureConsent consent;
    consent.meaning = dialog.reviewed() ? SignatureLook::Meaning::Reviewed : SignatureLook::Meaning::Approved;
    consent.password = dialog.password();
    return consent;
}

bool WindowAsker::writePendingReports(int count)
{
    QMessageBox box(QMessageBox::Question, tr("提示"),
        tr("有 %1 次校准的结果尚未写成报告。现在写出报告吗？").arg(count), QMessageBox::NoButton, m_window);
    QPushButton *write = box.addButton(tr("写出报告"), QMessageBox::AcceptRole);
    QPushButton *later = box.addButton(tr("稍后"), QMessageBox::RejectRole);
    box.setDefaultButton(write);
    box.setEscapeButton(later);
    box.exec();
    return box.clickedButton() == write;
}

void WindowAsker::settingsNotSaved(const QString &message)
{
    QMessageBox::warning(m_window, tr("错误"), message);
}
