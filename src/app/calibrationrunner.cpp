#include "calibrationrunner.h"

#include "app/calibrationpdf.h"
#include "chart/ttwidget.h"
#include "control/calibrationreport.h"
#include "files/atomicsave.h"
#include "settings/settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>

using Command = CalibrationSequencer::Command;
using Phase = CalibrationSequencer::Phase;

namespace {

// Long enough to read, short enough not to mislead about a later step.
constexpr qint64 kNoteMs = 3000;
// Wide enough for any instrument under test, from a cold source to the hottest model.
constexpr double kLowestReading = -273.15;
constexpr double kHighestReading = 3000;

SaveResult writeFile(const QString &fileName, const QByteArray &bytes)
{
    return saveAtomically(fileName, [&bytes](QIODevice *file) { return file->write(bytes) == bytes.size(); });
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
    const CalibrationRunError error = run.checkRange(setup.minimum, setup.maximum);
    if (error.isError()) {
        QMessageBox::warning(m_window, tr("提示"), error.message);
        return false;
    }
    // Asked before the run rather than at its end, when nobody may be there to answer.
    if (reportFolder().isEmpty() || !mayDiscardCurve())
        return false;

    m_header = run;
    m_setup = setup;
    m_note.clear();
    m_lastReport.clear();
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

void CalibrationRunner::reading(const BlackbodyPoll::Reading &reading)
{
    if (!isRunning())
        return;
    const qint64 t = now();
    if (m_judging) {
        const bool wasStable = m_judge.state() == StabilityJudge::State::Stable;
        // Judged against the step's set point; the sequencer checks the read-back one itself.
        m_judge.reading(t, reading.current, m_judgeSetPoint, reading.accepted);
        const bool stable = m_judge.state() == StabilityJudge::State::Stable;
        if (stable != wasStable)
            apply(m_run->stability(t, stable));
    }
    if (reading.accepted)
        apply(m_run->reading(t, reading.current, reading.setWire));
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
    if (!isRunning())
        return;
    apply(m_run->linkLost(now()));
    showProgress();
}

void CalibrationRunner::linkBack()
{
    if (!isRunning())
        return;
    apply(m_run->linkBack());
    showProgress();
}

void CalibrationRunner::pauseOrResume()
{
    if (!isRunning())
        return;
    apply(m_run->isPaused() ? m_run->resume() : m_run->pause(now()));
    showProgress();
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
    bool ok = false;
    const double value = QInputDialog::getDouble(m_window, tr("被测仪器读数"),
        tr("第 %1 步，设定点 %2℃\n被测仪器的读数（℃）：").arg(step + 1).arg(setPoint), setPoint,
        kLowestReading, kHighestReading, 3, &ok);
    // The run may have been aborted while the question was open.
    // cppcheck-suppress knownConditionTrueFalse ; the dialog's event loop can end or replace the run
    if (m_run.get() != run || !isRunning() || run->phase() != Phase::WaitingForReading)
        return;
    apply(ok ? m_run->readingEntered(now(), value) : m_run->readingSkipped(now()));
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
        {tr("发射率"), QString::number(m_header.emissivity, 'f', 2)},
        {tr("黑体型号"), m_setup.model},
        {tr("端口"), m_setup.port},
        {tr("日期"), at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
        {tr("校准程序文件"),
            m_setup.runFile.isEmpty() ? tr("未保存") : QFileInfo(m_setup.runFile).fileName()},
    };
    const QString title = aborted ? tr("校准报告（已中止）") : tr("校准报告");

    const bool written = writeFile(base + QStringLiteral(".csv"), csv)
        && m_chart->saveCurveQuietly(base + QStringLiteral(".txt"))
        && saveAtomically(base + QStringLiteral(".pdf"), [&](QIODevice *file) {
               return CalibrationPdf::write(
                   file, title, fields, m_chart->wholeCurvePixmap(CalibrationPdf::chartSize()), csv);
           });
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
    if (progress.pauseReasons & CalibrationSequencer::LinkLost) {
        phase = tr("已暂停（连接中断）");
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
