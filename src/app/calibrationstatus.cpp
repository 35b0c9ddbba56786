#include "calibrationstatus.h"

#include "app/statusstrip.h"

#include <QDateTime>
#include <QDir>
#include <QTimer>

namespace {

// Long enough to read, short enough not to mislead about a later step.
constexpr qint64 kNoteMs = 3000;

} // namespace

CalibrationStatus::CalibrationStatus(
    CalibrationRunner *runner, CalibrationReporter *reporter, QObject *parent)
    : QObject(parent)
    , m_runner(runner)
    , m_label(new StatusPart(StatusStrip::Never))
{
    m_label->setObjectName(QStringLiteral("calibrationLabel"));
    connect(runner, &CalibrationRunner::progressShown, this, &CalibrationStatus::refresh);
    connect(runner, &CalibrationRunner::note, this, &CalibrationStatus::showNote);
    connect(runner, &CalibrationRunner::runStarted, this, [this] { m_note.clear(); });
    connect(runner, &CalibrationRunner::runEnded, this, [this](bool aborted) {
        m_aborted = aborted;
        // The report is issued next, perhaps behind the signatory's box: the run's last phase is over.
        if (m_label)
            m_label->setForms(aborted ? tr("校准已中止，正在写出报告…") : tr("校准已完成，正在写出报告…"),
                {tr("正在写出报告…")});
    });
    connect(reporter, &CalibrationReporter::reported, this,
        [this, reporter](CalibrationReporter::Fate fate, const QString &file, bool fromJournal) {
            reported(fate, file, fromJournal, reporter->lastTwinMissing());
        });
}

void CalibrationStatus::showNote(CalibrationRunner::Note note)
{
    switch (note) {
    case CalibrationRunner::Note::SetPointConfirmed:
        m_note = tr("设置成功");
        break;
    case CalibrationRunner::Note::SetPointNotConfirmed:
        m_note = tr("设置失败");
        break;
    case CalibrationRunner::Note::DwellRestarted:
        // Otherwise the countdown would start again with nobody knowing why.
        m_note = tr("保持期间读数不足，重新开始保持");
        break;
    case CalibrationRunner::Note::ReadingsRestarted:
        m_note = tr("黑体离开稳定带，重新读数");
        break;
    }
    m_noteUntil = m_runner->now() + kNoteMs;
    // A paused run has no ticks to take the note away, and "设置成功" beside a lost link would mislead.
    // Precise: a coarse timer may fire up to 5 % early, before the note has run out.
    QTimer::singleShot(kNoteMs + 50, Qt::PreciseTimer, this, &CalibrationStatus::refresh);
    refresh();
}

void CalibrationStatus::refresh()
{
    using Phase = CalibrationSequencer::Phase;
    if (!m_runner->isRunning() || !m_label)
        return;
    const qint64 t = m_runner->now();
    const CalibrationSequencer::Progress progress = m_runner->runProgress();
    QString phase;
    if (progress.pauseReasons & CalibrationSequencer::ControllerUnconfirmed) {
        phase = tr("已暂停（控制器未确认）");
    } else if (progress.pauseReasons & CalibrationSequencer::LinkLost) {
        phase = tr("已暂停（连接中断）");
    } else if (progress.pauseReasons & CalibrationSequencer::NoAnswer) {
        phase = tr("黑体无应答，校准已暂停");
    } else if (progress.pauseReasons & CalibrationSequencer::SetPointRefused) {
        phase = tr("已暂停（设定点未确认）");
    } else if (progress.pauseReasons & CalibrationSequencer::InstrumentFault) {
        phase = tr("已暂停（被测仪器：%1）").arg(m_runner->instrumentFault(false));
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
            phase = progress.instrumentNeeded > 1
                ? tr("读数 %1/%2").arg(progress.instrumentTaken).arg(progress.instrumentNeeded)
                : tr("等待读数");
            break;
        case Phase::Idle:
        case Phase::Finished:
        case Phase::Aborted:
            break;
        }
    }
    QString text;
    if (progress.pauseReasons != CalibrationSequencer::NoPause) {
        // Nobody knows when a pause ends; an end time would soon lie in the past.
        text = tr("校准：第 %1/%2 步，%3").arg(progress.step + 1).arg(progress.stepCount).arg(phase);
    } else if (progress.phase == Phase::Settling) {
        // How long the source takes to settle is unknown; an end time from the clock would only creep on.
        text = tr("校准：第 %1/%2 步，%3，结束时间待稳定后估计")
                   .arg(progress.step + 1)
                   .arg(progress.stepCount)
                   .arg(phase);
    } else {
        const QString end
            = QDateTime::currentDateTime().addMSecs(progress.remainingMs).toString(QStringLiteral("HH:mm"));
        text = tr("校准：第 %1/%2 步，%3，预计 %4 结束")
                   .arg(progress.step + 1)
                   .arg(progress.stepCount)
                   .arg(phase, end);
    }
    if (t < m_noteUntil)
        text += QStringLiteral("  ") + m_note;
    m_label->setForms(text);
}

QString CalibrationStatus::overallText() const
{
    QString text;
    switch (m_runner->overall()) {
    case CalibrationRunner::Overall::NoTolerance:
        text = tr("未规定允差，不作符合性判定");
        break;
    case CalibrationRunner::Overall::Incomplete:
        text = tr("总结论：未完成");
        break;
    case CalibrationRunner::Overall::Pass:
        text = tr("总结论：合格");
        break;
    case CalibrationRunner::Overall::Fail:
        text = tr("总结论：不合格");
        break;
    }
    return m_runner->isTestReport() ? tr("%1（测试报告，不是校准证书）").arg(text) : text;
}

void CalibrationStatus::reported(
    CalibrationReporter::Fate fate, const QString &file, bool fromJournal, const QString &twinMissing)
{
    // The run's line gives way to what became of its report.
    if (m_label)
        m_label->clearForms();
    QString text;
    QString written;
    switch (fate) {
    case CalibrationReporter::Fate::Written:
        written = file;
        // A report written from a journal has no run of this session behind it.
        if (fromJournal)
            text = tr("校准报告已保存在 %1").arg(QDir::toNativeSeparators(file));
        else
            text = (m_aborted ? tr("校准已中止，%1，报告已保存在 %2") : tr("校准已完成，%1，报告已保存在 %2"))
                       .arg(overallText(), QDir::toNativeSeparators(file));
        if (!twinMissing.isEmpty())
            text = tr("%1；%2", "a report's line, then why it has no machine-readable twin")
                       .arg(text, twinMissing);
        break;
    case CalibrationReporter::Fate::Waiting:
        text = tr("校准报告尚未保存；结果已记录，下次启动时可再写出报告");
        break;
    case CalibrationReporter::Fate::WaitingWithoutCurve:
        text = tr("校准报告尚未保存；结果已记录，曲线未能保存");
        break;
    case CalibrationReporter::Fate::Lost:
        text = tr("校准报告未保存");
        break;
    }
    emit finished(text, written);
}
