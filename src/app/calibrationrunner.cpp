#include "calibrationrunner.h"

#include "app/calibrationpdf.h"
#include "app/controllerquestion.h"
#include "chart/ttwidget.h"
#include "control/calibrationreport.h"
#include "settings/recordestimate.h"
#include "settings/settings.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleValidator>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QTimer>

#include <cmath>

using Command = CalibrationSequencer::Command;
using Phase = CalibrationSequencer::Phase;

namespace {

// Long enough to read, short enough not to mislead about a later step.
constexpr qint64 kNoteMs = 3000;
// Wide enough for any instrument under test, from a cold source to the hottest model.
constexpr double kLowestReading = -273.15;
constexpr double kHighestReading = 3000;

// Starts empty and takes only a number, so that a hurried Enter records nothing plausible.
std::optional<double> askNumber(QWidget *parent, const QString &title, const QString &label)
{
    QInputDialog dialog(parent);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setTextValue(QString());
    // Builds the buttons, which Qt otherwise makes only when the dialog is shown.
    dialog.setOkButtonText(dialog.okButtonText());
    auto *edit = dialog.findChild<QLineEdit *>();
    auto *validator = new QDoubleValidator(kLowestReading, kHighestReading, 3, &dialog);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    edit->setValidator(validator);
    QPushButton *ok = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    const auto enableOk = [edit, ok] { ok->setEnabled(edit->hasAcceptableInput()); };
    QObject::connect(edit, &QLineEdit::textChanged, &dialog, enableOk);
    enableOk();
    if (dialog.exec() != QDialog::Accepted || !edit->hasAcceptableInput())
        return std::nullopt;
    return QLocale::c().toDouble(edit->text());
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// "calibration-YYYYMMDD-hhmmss", or with "-2", "-3"… when a report of that second exists: a run
// never overwrites a report, nor its curve file.
QString freeBaseName(const QDir &folder, const QDateTime &at)
{
    const QString csvName = CalibrationReport::fileName(at, QStringLiteral("csv"));
    const QString base = csvName.left(csvName.size() - 4);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? base : base + QLatin1Char('-') + QString::number(n);
        bool free = true;
        for (const char *suffix : {".csv", ".pdf", ".txt"})
            free = free && !folder.exists(name + QLatin1String(suffix));
        if (free)
            return folder.filePath(name);
    }
}

} // namespace

const QString CalibrationRunner::reportFolderKey = QStringLiteral("ReportFolder");

CalibrationRunner::CalibrationRunner(ttwidget *chart, const QElapsedTimer *clock, QWidget *window)
    : m_chart(chart)
    , m_clock(clock)
    , m_window(window)
{
    m_label.setObjectName(QStringLiteral("calibrationLabel"));
}

CalibrationRunner::~CalibrationRunner() = default;

qint64 CalibrationRunner::now() const
{
    return m_clock->elapsed();
}

bool CalibrationRunner::start(
    const CalibrationRun &run, const CalibrationRunSetup &setup, const std::function<bool()> &mayDiscardCurve)
{
    if (isRunning())
        return false;
    const CalibrationRunError error = run.checkModel(setup.minimum, setup.maximum, setup.decimals);
    if (error.isError()) {
        QMessageBox::warning(m_window, tr("提示"), error.message);
        return false;
    }
    // Asked before the run rather than at its end, when nobody may be there to answer.
    if (!chartHoldsRun(run) || reportFolder().isEmpty() || !mayDiscardCurve())
        return false;

    m_header = run;
    m_setup = setup;
    m_note.clear();
    m_lastReport.clear();
    m_heldWire.reset();
    m_latestWire.reset();
    m_judging = false;
    m_judge.reset();
    // The run's curve is a recording of its own.
    if (m_chart->isRecording())
        m_chart->on_pushButton_startstop_clicked();
    m_chart->on_pushButton_startstop_clicked();
    m_run = std::make_unique<CalibrationSequencer>(run.steps, setup.wireScale);
    m_wallAtZero = QDateTime::currentDateTime().addMSecs(-now());
    apply(m_run->start());
    emit stateChanged();
    showProgress();
    return true;
}

bool CalibrationRunner::chartHoldsRun(const CalibrationRun &run)
{
    qint64 leastMs = 0;
    for (const CalibrationStep &step : run.steps)
        leastMs += std::llround((step.window + step.dwell) * 1000);
    const int interval = m_chart->sampleIntervalValue();
    const qint64 heldMs = qint64(m_chart->cacheSizeValue() - 1) * interval;
    if (heldMs >= leastMs)
        return true;
    const std::optional<RecordSetting> setting = recordSettingFor(leastMs, interval);
    QMessageBox box(QMessageBox::Warning, tr("提示"),
        tr("按当前的表格设置，曲线最多保存 %1，而本次校准至少需要 %2：报告旁的曲线会缺少开头。")
            .arg(secondsText(heldMs / 1000), secondsText((leastMs + 999) / 1000)),
        QMessageBox::NoButton, m_window);
    QPushButton *change = nullptr;
    if (setting) {
        change = box.addButton(tr("改为 %1 千点、间隔 %2 后开始")
                                   .arg(setting->thousands)
                                   .arg(intervalNames().value(indexOfInterval(setting->intervalMs))),
            QMessageBox::AcceptRole);
    }
    QPushButton *asIs = box.addButton(tr("按当前设置开始"), QMessageBox::AcceptRole);
    QPushButton *cancel = box.addButton(tr("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(change ? change : cancel);
    box.setEscapeButton(cancel);
    box.exec();
    if (change && box.clickedButton() == change) {
        appSettings.setValue(appSettings.chartLineCacheKey, QString::number(setting->thousands));
        appSettings.setValue(appSettings.chartLineFpsKey, QString::number(setting->intervalMs));
        appSettings.save();
        // Both apply to the recording the run is about to start.
        m_chart->setCacheSize(setting->thousands * 1000);
        m_chart->setSampleInterval(setting->intervalMs);
        return true;
    }
    return box.clickedButton() == asIs;
}

void CalibrationRunner::reading(const BlackbodyPoll::Reading &reading)
{
    if (!isRunning())
        return;
    const qint64 t = now();
    m_latestWire = reading.setWire;
    apply(m_run->linkBack());
    apply(m_run->answering());
    if (!m_run->isPaused())
        m_heldWire = reading.setWire;
    if (m_judging) {
        const bool wasStable = m_judge.state() == StabilityJudge::State::Stable;
        // Judged against the step's set point; the sequencer checks the read-back one itself.
        m_judge.reading(t, reading.raw, m_judgeSetPoint, reading.accepted);
        const bool stable = m_judge.state() == StabilityJudge::State::Stable;
        if (stable != wasStable)
            apply(m_run->stability(t, stable));
    }
    apply(m_run->reading(t, reading.raw, reading.setWire));
    showProgress();
}

bool CalibrationRunner::setPointOutcome(SetPointConfirmation::Outcome outcome)
{
    if (!isRunning() || outcome == SetPointConfirmation::Outcome::None)
        return false;
    const bool confirmed = outcome == SetPointConfirmation::Outcome::Confirmed;
    m_note = confirmed ? tr("设置成功") : tr("设置失败");
    m_noteUntil = now() + kNoteMs;
    apply(m_run->confirmation(now(), confirmed));
    showProgress();
    return true;
}

void CalibrationRunner::tick()
{
    if (!isRunning())
        return;
    apply(m_run->tick(now()));
    showProgress();
}

void CalibrationRunner::ambient(double celsius)
{
    if (isRunning())
        apply(m_run->ambient(now(), celsius));
}

void CalibrationRunner::linkLost()
{
    m_latestWire.reset();
    if (!isRunning())
        return;
    apply(m_run->linkLost(now()));
    showProgress();
}

void CalibrationRunner::silent()
{
    m_latestWire.reset();
    if (!isRunning())
        return;
    apply(m_run->silent(now()));
    showProgress();
}

void CalibrationRunner::controllerUnconfirmed()
{
    m_latestWire.reset();
    if (!isRunning())
        return;
    apply(m_run->controllerUnconfirmed(now()));
    showProgress();
}

void CalibrationRunner::controllerConfirmed()
{
    if (!isRunning())
        return;
    // What it holds now is what the run goes on from.
    m_heldWire.reset();
    apply(m_run->controllerConfirmed());
    showProgress();
}

void CalibrationRunner::pauseOrResume()
{
    if (!isRunning())
        return;
    if (m_run->isPaused())
        resumeChecked();
    else
        apply(m_run->pause(now()));
    showProgress();
}

void CalibrationRunner::resumeChecked()
{
    if (!m_latestWire) {
        QMessageBox::warning(
            m_window, tr("提示"), tr("黑体尚无有效读数。请先打开黑体的串口，待读数出现后再继续校准。"));
        return;
    }
    const qint16 stepWire = m_run->wire(m_run->progress(now()).step);
    if (!m_heldWire || *m_latestWire == *m_heldWire || *m_latestWire == stepWire) {
        apply(m_run->resume());
        return;
    }
    const CalibrationSequencer *run = m_run.get();
    askSameController(m_window, m_setup.model, setPointText(*m_heldWire), setPointText(*m_latestWire),
        [this, run](bool same) {
            // The run may have ended while the question was open.
            if (m_run.get() != run || !isRunning())
                return;
            if (same) {
                m_heldWire = m_latestWire;
                apply(m_run->resume());
            } else {
                apply(m_run->controllerUnconfirmed(now()));
                emit closeLinkRequested();
            }
            showProgress();
        });
}

QString CalibrationRunner::setPointText(qint16 wire) const
{
    return QString::number(double(wire) / m_setup.wireScale, 'f', m_setup.decimals);
}

void CalibrationRunner::skip()
{
    if (!isRunning())
        return;
    apply(m_run->skip(now()));
    showProgress();
}

void CalibrationRunner::abort()
{
    if (isRunning())
        apply(m_run->abort(now()));
}

void CalibrationRunner::apply(const CalibrationSequencer::Commands &commands)
{
    for (const Command &command : commands) {
        switch (command.kind) {
        case Command::Kind::MarkStepStart:
            m_chart->markStep(true);
            break;
        case Command::Kind::SendSetPoint:
            emit setPointDue(command.setPoint);
            break;
        case Command::Kind::StartJudge:
            startJudge(command);
            break;
        case Command::Kind::StopJudge:
            m_judging = false;
            m_judge.reset();
            break;
        case Command::Kind::AskReading:
            // The dialog's own event loop would deliver readings while this loop is half done.
            QTimer::singleShot(0, this, [this, command] { askReading(command.step, command.setPoint); });
            break;
        case Command::Kind::MarkStepEnd:
            m_chart->markStep(false);
            break;
        case Command::Kind::Paused:
            if (command.reason == CalibrationSequencer::SetPointRefused) {
                auto *box = new QMessageBox(QMessageBox::Warning, tr("提示"),
                    tr("第 %1 步的设定点 %2℃ 连续 %3 次未被确认，校准已暂停。请检查黑体后继续。")
                        .arg(command.step + 1)
                        .arg(command.setPoint)
                        .arg(CalibrationSequencer::kSetPointTries),
                    QMessageBox::Ok, m_window);
                box->setAttribute(Qt::WA_DeleteOnClose);
                // Not modal: the run can be resumed, skipped or aborted while the box is up.
                box->open();
            }
            emit stateChanged();
            break;
        case Command::Kind::Resumed:
            emit stateChanged();
            break;
        case Command::Kind::Finished:
            finish(false);
            break;
        case Command::Kind::Aborted:
            finish(true);
            break;
        }
    }
}

void CalibrationRunner::startJudge(const Command &command)
{
    m_judge.reset();
    m_judge.setLimits(command.band, command.windowMs);
    m_judgeSetPoint = command.setPoint;
    m_judging = true;
}

void CalibrationRunner::askReading(int step, double setPoint)
{
    const CalibrationSequencer *run = m_run.get();
    if (!isRunning() || run->phase() != Phase::WaitingForReading)
        return;
    const std::optional<double> value = askNumber(m_window, tr("被测仪器读数"),
        tr("第 %1 步，设定点 %2℃\n被测仪器的读数（℃）：").arg(step + 1).arg(setPoint));
    // The run may have been aborted while the question was open.
    // cppcheck-suppress knownConditionTrueFalse ; the dialog's event loop can end or replace the run
    if (m_run.get() != run || !isRunning() || run->phase() != Phase::WaitingForReading)
        return;
    apply(value ? m_run->readingEntered(now(), *value) : m_run->readingSkipped(now()));
    showProgress();
}

void CalibrationRunner::finish(bool aborted)
{
    m_judging = false;
    m_judge.reset();
    // The curve file holds the run whole, and only the run.
    if (m_chart->isRecording())
        m_chart->on_pushButton_startstop_clicked();
    emit stateChanged();
    writeReport(aborted);
}

void CalibrationRunner::writeReport(bool aborted)
{
    const QDateTime at = QDateTime::currentDateTime();
    const QString folder = reportFolder();
    if (folder.isEmpty()) {
        m_label.setText(tr("校准报告未保存"));
        return;
    }
    const QString base = freeBaseName(QDir(folder), at);
    const QByteArray csv = CalibrationReport::csv(m_run->results(), m_wallAtZero);

    const QVector<QPair<QString, QString>> fields {
        {tr("被测仪器"), m_header.instrument},
        {tr("操作员"), m_header.operatorName},
        {tr("距离"), QString::number(m_header.distanceMm) + QStringLiteral(" mm")},
        {tr("发射率"), QString::number(m_header.emissivity, 'g', QLocale::FloatingPointShortest)},
        {tr("黑体型号"), m_setup.model},
        {tr("端口"), m_setup.port},
        {tr("日期"), at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
        {tr("校准程序文件"),
            m_setup.runFile.isEmpty() ? tr("未保存")
                : m_setup.runModified ? tr("%1（已修改）").arg(QFileInfo(m_setup.runFile).fileName())
                                      : QFileInfo(m_setup.runFile).fileName()},
    };
    const QString title = aborted ? tr("校准报告（已中止）") : tr("校准报告");

    const bool written = writeFile(base + QStringLiteral(".csv"), csv)
        && m_chart->saveCurveQuietly(base + QStringLiteral(".txt"))
        && CalibrationPdf::write(base + QStringLiteral(".pdf"), title, fields,
            m_chart->wholeCurvePixmap(CalibrationPdf::chartSize()), csv);
    if (!written) {
        m_label.setText(tr("校准报告未能完整保存"));
        QMessageBox::warning(m_window, tr("错误"), tr("无法在 %1 保存校准报告").arg(folder));
        return;
    }
    m_lastReport = base + QStringLiteral(".csv");
    m_label.setText((aborted ? tr("校准已中止，报告已保存在 %1") : tr("校准已完成，报告已保存在 %1"))
                        .arg(QDir::toNativeSeparators(m_lastReport)));
}

QString CalibrationRunner::reportFolder()
{
    const QString stored = appSettings.value(reportFolderKey, QString());
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    const QString chosen = QFileDialog::getExistingDirectory(m_window, tr("选择校准报告文件夹"), stored);
    if (chosen.isEmpty())
        return {};
    appSettings.setValue(reportFolderKey, chosen);
    appSettings.save();
    return chosen;
}

void CalibrationRunner::showProgress()
{
    if (!isRunning())
        return;
    const qint64 t = now();
    const CalibrationSequencer::Progress progress = m_run->progress(t);
    QString phase;
    if (progress.pauseReasons & CalibrationSequencer::ControllerUnconfirmed) {
        phase = tr("已暂停（控制器未确认）");
    } else if (progress.pauseReasons & CalibrationSequencer::LinkLost) {
        phase = tr("已暂停（连接中断）");
    } else if (progress.pauseReasons & CalibrationSequencer::NoAnswer) {
        phase = tr("黑体无应答，校准已暂停");
    } else if (progress.pauseReasons & CalibrationSequencer::SetPointRefused) {
        phase = tr("已暂停（设定点未确认）");
    } else if (progress.pauseReasons != CalibrationSequencer::NoPause) {
        phase = tr("已暂停");
    } else {
        switch (progress.phase) {
        case Phase::Setting:
            phase = tr("设定中");
            break;
        case Phase::Settling:
            phase = tr("等待稳定");
            break;
        case Phase::Dwelling:
            // Rounded up, so the count ends at 00:00 rather than showing it for a whole second.
            phase = tr("保持中，剩余 %1").arg(stableDurationText((progress.dwellLeftMs + 999) / 1000 * 1000));
            break;
        case Phase::WaitingForReading:
            phase = tr("等待读数");
            break;
        case Phase::Idle:
        case Phase::Finished:
        case Phase::Aborted:
            break;
        }
    }
    const QString end
        = QDateTime::currentDateTime().addMSecs(progress.remainingMs).toString(QStringLiteral("HH:mm"));
    QString text = tr("校准：第 %1/%2 步，%3，预计 %4 结束")
                       .arg(progress.step + 1)
                       .arg(progress.stepCount)
                       .arg(phase, end);
    if (t < m_noteUntil)
        text += QStringLiteral("  ") + m_note;
    m_label.setText(text);
}
