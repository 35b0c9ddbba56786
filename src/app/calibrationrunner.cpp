#include "calibrationrunner.h"

#include "app/calibrationcertificate.h"
#include "app/calibrationpdf.h"
#include "app/calibrationreportfiles.h"
#include "app/controllerquestion.h"
#include "chart/ttwidget.h"
#include "control/blackbodymodel.h"
#include "control/blackbodyprotocol.h"
#include "control/calibrationreport.h"
#include "dialogs/calibrationrundialog.h"
#include "files/atomicsave.h"
#include "recording/samplestore.h"
#include "recording/writefilethread.h"
#include "settings/lastfolders.h"
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
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <numeric>

using Command = CalibrationSequencer::Command;
using Phase = CalibrationSequencer::Phase;

namespace {

// Long enough to read, short enough not to mislead about a later step.
constexpr qint64 kNoteMs = 3000;
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

// Each step at least settles for its window and dwells.
qint64 leastDurationMs(const CalibrationRun &run)
{
    return std::accumulate(
        run.steps.begin(), run.steps.end(), qint64(0), [](qint64 sum, const CalibrationStep &step) {
            return sum + std::llround((step.window + step.dwell) * 1000);
        });
}

// The journals wait in the per-user data folder.
QString journalFolder()
{
    return appSettings.dataDir.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                         : appSettings.dataDir;
}

CalibrationCertificate::Lab storedLab()
{
    return {appSettings.value(CalibrationRunner::labNameKey, QString()),
        appSettings.value(CalibrationRunner::labAddressKey, QString())};
}

// Without a prefix, one made up for a run nobody watches is still unique through the counter.
QString storedPrefix()
{
    const QString prefix = appSettings.value(CalibrationRunner::labPrefixKey, QString());
    return prefix.isEmpty() ? QStringLiteral("CAL") : prefix;
}

} // namespace

const QString CalibrationRunner::reportFolderKey = LastFolders::key(LastFolders::Reports);
const QString CalibrationRunner::labNameKey = QStringLiteral("LabName");
const QString CalibrationRunner::labAddressKey = QStringLiteral("LabAddress");
const QString CalibrationRunner::labPrefixKey = QStringLiteral("LabPrefix");
const QString CalibrationRunner::certificateCounterKey = QStringLiteral("CertificateCounter");

CalibrationRunner::CalibrationRunner(ttwidget *chart, BlackbodyLink *link, QWidget *window)
    : m_chart(chart)
    , m_link(link)
    , m_window(window)
{
    m_label.setObjectName(QStringLiteral("calibrationLabel"));
    connect(link, &BlackbodyLink::reading, this, &CalibrationRunner::reading);
    connect(link, &BlackbodyLink::setPointOutcome, this,
        [this](bool confirmed, double, Requester requester) { setPointOutcome(confirmed, requester); });
    connect(link, &BlackbodyLink::ticked, this, &CalibrationRunner::tick);
    connect(link, &BlackbodyLink::lost, this, &CalibrationRunner::linkLost);
    connect(link, &BlackbodyLink::closed, this, &CalibrationRunner::closed);
    connect(link, &BlackbodyLink::silent, this, &CalibrationRunner::silent);
    connect(link, &BlackbodyLink::controllerUnconfirmed, this, &CalibrationRunner::controllerUnconfirmed);
    connect(link, &BlackbodyLink::controllerAccepted, this, &CalibrationRunner::controllerConfirmed);
    // Heard before the window's box, which then stays away.
    connect(link, &BlackbodyLink::identityQuestion, this, &CalibrationRunner::identityQuestion);
}

CalibrationRunner::~CalibrationRunner() = default;

void CalibrationRunner::takeOrdersFrom(const CalibrationRunDialog *dialog)
{
    connect(dialog, &CalibrationRunDialog::pauseRequested, this, &CalibrationRunner::pauseOrResume);
    connect(dialog, &CalibrationRunDialog::skipRequested, this, &CalibrationRunner::skip);
    connect(dialog, &CalibrationRunDialog::abortRequested, this, &CalibrationRunner::abort);
    connect(dialog, &CalibrationRunDialog::ambientChanged, this, [this](double celsius) {
        if (isRunning())
            m_run->setAmbient(celsius);
    });
}

qint64 CalibrationRunner::now() const
{
    return m_link->clock().elapsed();
}

bool CalibrationRunner::start(const CalibrationRun &run, const QString &runFile, bool runModified,
    const std::function<bool()> &mayDiscardCurve, QWidget *askFrom)
{
    if (isRunning())
        return false;
    // The window's start asks its questions, whoever started the last run.
    m_unattended = false;
    const BlackbodyLink::State state = m_link->state();
    if (state == BlackbodyLink::State::Closed || state == BlackbodyLink::State::Opening
        || state == BlackbodyLink::State::Reconnecting) {
        QMessageBox::warning(askFrom, tr("提示"), tr("请先打开黑体的串口"), QMessageBox::Ok);
        return false;
    }
    // A run's set points must not go to a controller that may be another one.
    if (!m_link->controllerConfirmed()) {
        QMessageBox::warning(
            askFrom, tr("提示"), tr("黑体尚无经确认的读数，请稍后再开始校准"), QMessageBox::Ok);
        return false;
    }
    const BlackbodyModel &model = m_link->model();
    const CalibrationRunSetup setup {runFile, runModified, model.name, m_link->port(), model.wireScale,
        model.decimals, model.minimum, model.maximum};
    const CalibrationRunError error = run.checkModel(setup.minimum, setup.maximum, setup.decimals);
    if (error.isError()) {
        QMessageBox::warning(m_window, tr("提示"), error.message);
        return false;
    }
    // Asked before the run rather than at its end, when nobody may be there to answer. The chart's
    // setting changes last, once nothing else can call the start off.
    if (reportFolder().isEmpty() || !labKnown() || !mayDiscardCurve() || !chartHoldsRun(run))
        return false;
    if (CalibrationCertificate::sourceOverdue(run, QDate::currentDate())
        && QMessageBox::warning(m_window, tr("提示"),
               tr("辐射源的校准已于 %1 到期，证书上会注明。仍然开始吗？").arg(run.source.due),
               QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return false;
    return begin(run, setup, nullptr);
}

QString CalibrationRunner::startUnattended(
    const CalibrationRun &run, const QString &runFile, bool curveUnsaved)
{
    if (isRunning())
        return QStringLiteral("run in progress");
    const BlackbodyLink::State state = m_link->state();
    if (state == BlackbodyLink::State::Closed || state == BlackbodyLink::State::Opening
        || state == BlackbodyLink::State::Reconnecting)
        return QStringLiteral("link not open");
    if (!m_link->controllerConfirmed())
        return QStringLiteral("controller unconfirmed");
    const BlackbodyModel &model = m_link->model();
    const CalibrationRunSetup setup {runFile, false, model.name, m_link->port(), model.wireScale,
        model.decimals, model.minimum, model.maximum};
    if (run.checkModel(setup.minimum, setup.maximum, setup.decimals).isError())
        return QStringLiteral("program outside the model's range");
    const QString folder = appSettings.value(reportFolderKey, QString());
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return QStringLiteral("no report folder");
    if (curveUnsaved)
        return QStringLiteral("unsaved curve");
    if (qint64(m_chart->cacheSizeValue() - 1) * m_chart->sampleIntervalValue() < leastDurationMs(run))
        return QStringLiteral("chart capacity too small");
    m_unattended = true;
    QString refusal;
    if (!begin(run, setup, &refusal))
        m_unattended = false;
    return refusal;
}

bool CalibrationRunner::begin(const CalibrationRun &run, const CalibrationRunSetup &setup, QString *refusal)
{
    m_header.run = run;
    m_header.runFile = setup.runFile;
    m_header.runModified = setup.runModified;
    m_header.model = setup.model;
    m_header.port = setup.port;
    m_header.wireScale = setup.wireScale;
    m_header.started = QDateTime::currentDateTime();
    m_header.wallAtZero = m_header.started.addMSecs(-now());
    // Taken and saved before the first step, so that no later run, here or after a restart, gets it.
    const qint64 counter = appSettings.value(certificateCounterKey, QStringLiteral("0")).toLongLong() + 1;
    appSettings.setValue(certificateCounterKey, QString::number(counter));
    if (const SaveResult saved = appSettings.save(); !saved) {
        appSettings.setValue(certificateCounterKey, QString::number(counter - 1));
        if (refusal)
            *refusal = QStringLiteral("certificate number cannot be saved");
        else
            QMessageBox::warning(m_window, tr("错误"),
                tr("无法保存证书编号，校准未开始。\n%1").arg(saved.message(appSettings.filePath())));
        return false;
    }
    m_header.certificateNumber
        = CalibrationCertificate::number(storedPrefix(), m_header.started.date(), counter);
    m_journaled = 0;
    m_journaledOutages = 0;
    QString journalError;
    m_journalWhole = m_journal.create(journalFolder(), m_header, &journalError);
    if (!m_journalWhole && refusal) {
        *refusal = QStringLiteral("journal cannot be written");
        return false;
    }
    if (!m_journalWhole) {
        const auto answer = QMessageBox::question(m_window, tr("提示"),
            tr("无法在 %1 记录校准结果：%2\n程序意外退出时，结果会丢失。仍然开始吗？")
                .arg(QDir::toNativeSeparators(journalFolder()), journalError),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    m_setup = setup;
    m_note.clear();
    m_lastReport.clear();
    m_heldWire.reset();
    m_latestWire.reset();
    // The run's curve is a recording of its own.
    m_chart->stopRecording();
    m_chart->startRecording();
    m_run = std::make_unique<CalibrationSequencer>(run.steps, setup.wireScale, run.readingsPerStep);
    m_run->setAmbient(run.ambientC);
    ++m_runSerial;
    emit runStarted();
    apply(m_run->start());
    emit stateChanged();
    showProgress();
    return true;
}

bool CalibrationRunner::chartHoldsRun(const CalibrationRun &run)
{
    const qint64 leastMs = leastDurationMs(run);
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
        if (const SaveResult saved = appSettings.save(); !saved)
            QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
        // Both apply to the recording the run is about to start.
        m_chart->setCacheSize(setting->thousands * 1000);
        m_chart->setSampleInterval(setting->intervalMs);
        return true;
    }
    return box.clickedButton() == asIs;
}

void CalibrationRunner::reading()
{
    const auto latest = m_link->latest();
    if (!isRunning() || !latest)
        return;
    const BlackbodyPoll::Reading &reading = *latest;
    const qint64 t = now();
    m_latestWire = reading.setWire;
    if (m_run->isPaused()) {
        // A reading from our controller ends a pause for a lost link or a silence.
        apply(m_run->linkBack(t));
        apply(m_run->answering(t));
    }
    if (!m_run->isPaused())
        m_heldWire = reading.setWire;
    apply(m_run->judgedReading(t, reading.raw, reading.setWire, reading.accepted));
    showProgress();
}

void CalibrationRunner::setPointOutcome(bool confirmed, Requester requester)
{
    if (!isRunning() || requester != Requester::Run)
        return;
    showNote(confirmed ? tr("设置成功") : tr("设置失败"));
    apply(m_run->confirmation(now(), confirmed));
    showProgress();
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
    interrupted(&CalibrationSequencer::linkLost);
}

// A run cannot go on without its source; it ends with a report of what it measured. One the operator
// held back from another controller waits, paused, for ours, recording the gap meanwhile.
void CalibrationRunner::closed(BlackbodyLink::CloseCause cause)
{
    if (cause == BlackbodyLink::CloseCause::ControllerRefused)
        linkLost();
    else
        abort();
}

void CalibrationRunner::silent()
{
    interrupted(&CalibrationSequencer::silent);
}

void CalibrationRunner::controllerUnconfirmed()
{
    interrupted(&CalibrationSequencer::controllerUnconfirmed);
}

void CalibrationRunner::identityQuestion()
{
    // Nobody may be at the window: the safe answer 否 closes the link and keeps the run paused.
    if (isRunning() && m_unattended)
        m_link->answerIdentity(false);
}

void CalibrationRunner::interrupted(CalibrationSequencer::Commands (CalibrationSequencer::*event)(qint64))
{
    // Whatever answers next has yet to show it is our controller; a question about the last one is moot.
    m_latestWire.reset();
    dropQuestion();
    if (!isRunning())
        return;
    apply((m_run.get()->*event)(now()));
    showProgress();
}

void CalibrationRunner::controllerConfirmed(qint16 heldWire)
{
    dropQuestion();
    if (!isRunning())
        return;
    // What it holds now is what the run goes on from, and what a later resume checks against.
    m_heldWire = heldWire;
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

QString CalibrationRunner::pauseOrResumeUnattended(bool pause)
{
    if (!isRunning())
        return QStringLiteral("no run");
    if (pause) {
        if (!m_run->isPaused())
            apply(m_run->pause(now()));
    } else if (m_run->isPaused()) {
        if (!m_latestWire)
            return QStringLiteral("no reading");
        const qint16 stepWire = m_run->wire(m_run->progress(now()).step);
        if (!m_heldWire || *m_latestWire == *m_heldWire || *m_latestWire == stepWire) {
            apply(m_run->resume());
        } else {
            // The safe answer to "the same controller?": no, which closes the link and keeps the run
            // paused, as the window's 否 does.
            dropQuestion();
            apply(m_run->controllerUnconfirmed(now()));
            m_link->answerIdentity(false);
        }
    }
    showProgress();
    return {};
}

bool CalibrationRunner::acceptsReading(double celsius, int decimals)
{
    return decimals <= kReadingDecimals && celsius >= kLowestReading && celsius <= kHighestReading;
}

bool CalibrationRunner::supplyReading(double celsius)
{
    if (!isRunning() || m_run->phase() != Phase::WaitingForReading)
        return false;
    ++m_readingsAnswered;
    apply(m_run->readingEntered(now(), celsius));
    showProgress();
    // The dialog's caller sees the run has moved on and drops its answer.
    if (m_readingDialog)
        m_readingDialog->reject();
    return true;
}

CalibrationRunner::RunState CalibrationRunner::runState() const
{
    if (!m_run)
        return RunState::Idle;
    switch (m_run->phase()) {
    case Phase::Idle:
        return RunState::Idle;
    case Phase::Finished:
        return RunState::Done;
    case Phase::Aborted:
        return RunState::Aborted;
    case Phase::WaitingForReading:
        return m_run->isPaused() ? RunState::Paused : RunState::Reading;
    default:
        return m_run->isPaused() ? RunState::Paused : RunState::Running;
    }
}

CalibrationSequencer::Progress CalibrationRunner::runProgress() const
{
    return m_run ? m_run->progress(now()) : CalibrationSequencer::Progress {};
}

void CalibrationRunner::warn(const QString &title, const QString &text)
{
    if (!m_unattended) {
        QMessageBox::warning(m_window, title, text);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, m_window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
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
    if (m_question)
        return;
    const int serial = m_runSerial;
    m_question = askSameController(m_window, m_setup.model,
        BlackbodyProtocol::wireUnitsText(*m_heldWire, m_setup.wireScale, m_setup.decimals),
        BlackbodyProtocol::wireUnitsText(*m_latestWire, m_setup.wireScale, m_setup.decimals),
        [this, serial](bool same) {
            // The run may have ended, or another begun, while the question was open.
            if (m_runSerial != serial || !isRunning())
                return;
            if (same && m_latestWire) {
                m_heldWire = m_latestWire;
                apply(m_run->resume());
            } else if (!same) {
                apply(m_run->controllerUnconfirmed(now()));
                m_link->answerIdentity(false);
            }
            showProgress();
        });
}

void CalibrationRunner::dropQuestion()
{
    withdrawQuestion(m_question);
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
    journalRows();
    for (const Command &command : commands) {
        switch (command.kind) {
        case Command::Kind::MarkStepStart:
            m_chart->markStep(true);
            break;
        case Command::Kind::SendSetPoint:
            m_link->requestSetPoint(command.setPoint, Requester::Run);
            break;
        case Command::Kind::StartJudge:
        case Command::Kind::StopJudge:
            // The sequencer judges its readings itself.
            break;
        case Command::Kind::DwellRestarted:
            // Otherwise the countdown would start again with nobody knowing why.
            showNote(tr("保持期间读数不足，重新开始保持"));
            break;
        case Command::Kind::AskReading:
            // The dialog's own event loop would deliver readings while this loop is half done.
            QTimer::singleShot(0, this, [this, command] { askReading(command); });
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

void CalibrationRunner::askReading(const CalibrationSequencer::Command &command)
{
    if (!isRunning() || m_run->phase() != Phase::WaitingForReading)
        return;
    const int serial = m_runSerial;
    const int answered = m_readingsAnswered;
    // Answered meanwhile, by a remote client: the next reading, if any, has a question of its own.
    const auto moot = [this, serial, answered] {
        return m_runSerial != serial || !isRunning() || m_run->phase() != Phase::WaitingForReading
            || m_readingsAnswered != answered;
    };
    QString label = tr("第 %1 步，设定点 %2℃").arg(command.step + 1).arg(command.setPoint);
    if (command.readings > 1)
        label += tr("，第 %1/%2 个读数").arg(command.reading + 1).arg(command.readings);
    label += QLatin1Char('\n') + tr("被测仪器的读数（℃）：");
    for (;;) {
        const std::optional<double> value = askNumber(m_window, tr("被测仪器读数"), label, &m_readingDialog);
        // The run may have been aborted, or another begun, while the question was open.
        if (moot())
            return;
        if (value) {
            ++m_readingsAnswered;
            apply(m_run->readingEntered(now(), *value));
            break;
        }
        // A cancelled reading is either skipped or the end of the run; closing the box skips it, the
        // answer that loses nothing measured.
        QMessageBox box(
            QMessageBox::Question, tr("提示"), tr("没有输入读数。"), QMessageBox::NoButton, m_window);
        QPushButton *skipReading = box.addButton(tr("跳过读数"), QMessageBox::RejectRole);
        QPushButton *abortRun = box.addButton(tr("中止校准"), QMessageBox::DestructiveRole);
        box.setDefaultButton(skipReading);
        box.setEscapeButton(skipReading);
        box.exec();
        if (moot())
            return;
        if (box.clickedButton() == abortRun) {
            abort();
            return;
        }
        ++m_readingsAnswered;
        apply(m_run->readingSkipped(now()));
        break;
    }
    showProgress();
}

void CalibrationRunner::journalRows()
{
    const QVector<CalibrationStepResult> &rows = m_run->results();
    for (; m_journaled < rows.size(); ++m_journaled) {
        emit stepEnded(CalibrationReport::row(m_header.run, rows.at(m_journaled), m_header.wallAtZero));
        QString error;
        if (!m_journal.isOpen() || m_journal.append(rows.at(m_journaled), &error))
            continue;
        // Told once; the rows stay in memory for the report at the end.
        m_journal.close();
        m_journalWhole = false;
        warn(tr("错误"), tr("无法继续记录校准结果：%1\n程序意外退出时，已完成各步的结果会丢失。").arg(error));
    }
    const QVector<CalibrationOutage> &outages = m_run->outages();
    for (; m_journaledOutages < outages.size(); ++m_journaledOutages) {
        QString error;
        if (m_journal.isOpen() && !m_journal.appendOutage(outages.at(m_journaledOutages), &error)) {
            m_journal.close();
            m_journalWhole = false;
        }
    }
}

void CalibrationRunner::finish(bool aborted)
{
    // The curve file holds the run whole, and only the run.
    m_chart->stopRecording();
    dropQuestion();
    // The run has moved past its reading; the dialog's caller sees that and drops its answer.
    if (m_readingDialog)
        m_readingDialog->reject();
    journalRows();
    QString error;
    if (m_journal.isOpen()
        && !m_journal.end(
            aborted ? CalibrationJournal::End::Aborted : CalibrationJournal::End::Finished, &error))
        m_journalWhole = false;
    m_journal.close();
    // The last step's outcome reaches the run's table before the table turns editable again.
    emit progressShown();
    emit stateChanged();
    emit runEnded(aborted);
    writeReport(aborted);
    m_unattended = false;
}

void CalibrationRunner::writeReport(bool aborted)
{
    CalibrationReportContent content;
    content.at = QDateTime::currentDateTime();
    CalibrationCertificate::Input input;
    input.header = m_header;
    input.results = m_run->results();
    input.outages = m_run->outages();
    input.end = aborted ? CalibrationJournal::End::Aborted : CalibrationJournal::End::Finished;
    input.lab = storedLab();
    input.issued = content.at.date();
    input.curveNote = curveNote();
    input.chart = m_chart->wholeCurvePixmap(CalibrationPdf::chartSize());
    content.certificate = CalibrationCertificate::document(input);
    content.csv = CalibrationReport::csv(m_header.run, input.results, m_header.wallAtZero);
    // A run aborted at once may have no sample yet; its report then says so, without a curve file.
    if (!m_chart->curve().isEmpty()) {
        content.writeCurve = [this](const QString &fileName) { return m_chart->saveCurveQuietly(fileName); };
        // The curve file keeps one decimal; the table keeps what the tiles showed.
        const CurveSnapshot snapshot = m_chart->snapshot();
        content.writeCurveCsv = [snapshot](const QString &fileName) {
            return WriteFileThread::writeCsvFile(fileName, snapshot);
        };
    }
    const QString journal = m_journal.path();
    if (deliverReport(content, m_journalWhole)) {
        if (!journal.isEmpty())
            CalibrationJournal::remove(journal);
        announce((aborted ? tr("校准已中止，报告已保存在 %1") : tr("校准已完成，报告已保存在 %1"))
                     .arg(QDir::toNativeSeparators(m_lastReport)));
        return;
    }
    if (!m_journalWhole) {
        announce(tr("校准报告未保存"));
        return;
    }
    // The curve waits beside the journal, for the report written later.
    const bool curveKept = content.writeCurve
        && m_chart->saveCurveQuietly(CalibrationJournal::curvePath(journal))
        && content.writeCurveCsv(CalibrationJournal::curveCsvPath(journal));
    announce(curveKept || !content.writeCurve ? tr("校准报告尚未保存；结果已记录，下次启动时可再写出报告")
                                              : tr("校准报告尚未保存；结果已记录，曲线未能保存"));
}

void CalibrationRunner::announce(const QString &text)
{
    m_label.clear();
    emit finished(text, m_lastReport);
}

QString CalibrationRunner::curveNote() const
{
    const SampleStore &curve = m_chart->curve();
    if (curve.isEmpty())
        return tr("无");
    // The chart drops its oldest samples once full; the curve then starts after the run did.
    const double firstSecond = curve.at(0).key;
    if (firstSecond * 1000 <= 2.0 * m_chart->sampleIntervalValue())
        return tr("完整");
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(
        m_chart->curveInfo().startMsecs + qint64(std::llround(firstSecond * 1000)));
    return tr("自 %1 起（更早的部分超出了表格容量）").arg(from.toString(QStringLiteral("HH:mm:ss")));
}

bool CalibrationRunner::deliverReport(const CalibrationReportContent &content, bool mayWait)
{
    QString folder;
    for (;;) {
        if (folder.isEmpty())
            folder = reportFolder();
        CalibrationReportWrite written;
        if (!folder.isEmpty()) {
            written = writeCalibrationReport(folder, content);
            if (written.result) {
                m_lastReport = written.csvFile;
                emit reportWritten(written.files);
                return true;
            }
        }
        // Nobody is there to choose: 稍后 keeps the results in the journal, and without one nothing can.
        if (m_unattended)
            return false;
        QString text = folder.isEmpty()
            ? tr("尚未选择校准报告文件夹。")
            : tr("校准报告未能保存。\n%1").arg(written.result.message(written.failedFile));
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
            return false;
        if (box.clickedButton() == elsewhere) {
            const QString chosen
                = QFileDialog::getExistingDirectory(m_window, tr("选择保存校准报告的文件夹"), folder);
            if (!chosen.isEmpty())
                folder = chosen;
        }
    }
}

void CalibrationRunner::offerPendingReports()
{
    QStringList journals = CalibrationJournal::list(journalFolder());
    // Not those of runs still going, here or in another instance of the program.
    journals.erase(
        std::remove_if(journals.begin(), journals.end(), &CalibrationJournal::inUse), journals.end());
    if (journals.isEmpty())
        return;
    QMessageBox box(QMessageBox::Question, tr("提示"),
        tr("有 %1 次校准的结果尚未写成报告。现在写出报告吗？").arg(journals.size()), QMessageBox::NoButton,
        m_window);
    QPushButton *write = box.addButton(tr("写出报告"), QMessageBox::AcceptRole);
    QPushButton *later = box.addButton(tr("稍后"), QMessageBox::RejectRole);
    box.setDefaultButton(write);
    box.setEscapeButton(later);
    box.exec();
    if (box.clickedButton() != write)
        return;
    for (const QString &journal : qAsConst(journals)) {
        CalibrationJournal::Contents contents;
        QString error;
        if (!CalibrationJournal::read(journal, &contents, &error)) {
            QMessageBox::warning(m_window, tr("错误"),
                tr("无法读取校准记录 %1：%2").arg(QDir::toNativeSeparators(journal), error));
            continue;
        }
        if (!deliverReport(recoveredContent(journal, contents), true))
            return;
        CalibrationJournal::remove(journal);
        announce(tr("校准报告已保存在 %1").arg(QDir::toNativeSeparators(m_lastReport)));
    }
}

CalibrationReportContent CalibrationRunner::recoveredContent(
    const QString &journal, const CalibrationJournal::Contents &contents) const
{
    CalibrationReportContent content;
    content.at = QDateTime::currentDateTime();
    CalibrationCertificate::Input input;
    input.header = contents.header;
    input.results = CalibrationJournal::reportRows(contents);
    input.outages = contents.outages;
    input.end = contents.end;
    input.lab = storedLab();
    input.issued = content.at.date();
    content.csv = CalibrationReport::csv(contents.header.run, input.results, contents.header.wallAtZero);
    const QString curve = CalibrationJournal::curvePath(journal);
    const auto copier = [](const QString &from) {
        return [from](const QString &fileName) {
            QFile source(from);
            if (!source.open(QIODevice::ReadOnly))
                return SaveResult::failure(source.errorString());
            const QByteArray bytes = source.readAll();
            return saveAtomically(
                fileName, [&bytes](QIODevice *file) { return file->write(bytes) == bytes.size(); });
        };
    };
    if (QFileInfo(curve).isFile()) {
        input.curveNote = tr("见同名的 .txt 文件");
        content.writeCurve = copier(curve);
        if (QFileInfo(CalibrationJournal::curveCsvPath(journal)).isFile())
            content.writeCurveCsv = copier(CalibrationJournal::curveCsvPath(journal));
    } else {
        input.curveNote = tr("未保存（程序在校准中退出）");
    }
    content.certificate = CalibrationCertificate::document(input);
    return content;
}

bool CalibrationRunner::labKnown()
{
    if (!appSettings.value(labPrefixKey, QString()).isEmpty())
        return true;
    QString name = appSettings.value(labNameKey, QString());
    QString address = appSettings.value(labAddressKey, QString());
    bool ok = false;
    name = QInputDialog::getText(
        m_window, tr("实验室"), tr("实验室名称（印在证书上）："), QLineEdit::Normal, name, &ok);
    if (!ok)
        return false;
    address
        = QInputDialog::getText(m_window, tr("实验室"), tr("实验室地址："), QLineEdit::Normal, address, &ok);
    if (!ok)
        return false;
    QString prefix;
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9]{1,12}$"));
    while (!valid.match(prefix).hasMatch()) {
        prefix = QInputDialog::getText(m_window, tr("实验室"), tr("证书编号前缀（1 到 12 个字母或数字）："),
            QLineEdit::Normal, prefix, &ok)
                     .trimmed();
        if (!ok)
            return false;
    }
    appSettings.setValue(labNameKey, name);
    appSettings.setValue(labAddressKey, address);
    appSettings.setValue(labPrefixKey, prefix);
    if (const SaveResult saved = appSettings.save(); !saved)
        QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
    return true;
}

QString CalibrationRunner::reportFolder()
{
    const QString stored = appSettings.value(reportFolderKey, QString());
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    if (m_unattended)
        return {};
    LastFolders folders(appSettings);
    const QString chosen = QFileDialog::getExistingDirectory(
        m_window, tr("选择校准报告文件夹"), folders.folder(LastFolders::Reports));
    if (chosen.isEmpty())
        return {};
    folders.rememberFolder(LastFolders::Reports, chosen);
    if (const SaveResult saved = appSettings.save(); !saved)
        QMessageBox::warning(m_window, tr("错误"), saved.message(appSettings.filePath()));
    return chosen;
}

void CalibrationRunner::showNote(const QString &text)
{
    m_note = text;
    m_noteUntil = now() + kNoteMs;
    // A paused run has no ticks to take the note away, and "设置成功" beside a lost link would mislead.
    // Precise: a coarse timer may fire up to 5 % early, before the note has run out.
    QTimer::singleShot(kNoteMs + 50, Qt::PreciseTimer, this, &CalibrationRunner::showProgress);
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
    QString text;
    if (progress.pauseReasons != CalibrationSequencer::NoPause) {
        // Nobody knows when a pause ends; an end time would soon lie in the past.
        text = tr("校准：第 %1/%2 步，%3").arg(progress.step + 1).arg(progress.stepCount).arg(phase);
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
    m_label.setText(text);
    emit progressShown();
}
