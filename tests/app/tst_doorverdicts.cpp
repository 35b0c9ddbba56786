#include "app/setpointcontrol.h"
#include "control/telemetrycommand.h"
#include "remote/remotecommands.h"

#include <QTest>

using Refusal = LinkPolicy::Refusal;
using State = BlackbodySession::State;

namespace {

// "open", "silent", "unconfirmed", … with "suspect", "closing", "run", "paused", "recording", "unsaved"
// after it, as they apply.
LinkSituation situation(const QString &words)
{
    static const QHash<QString, State> states = {{"closed", State::Closed}, {"opening", State::Opening},
        {"open", State::Open}, {"silent", State::Silent}, {"reconnecting", State::Reconnecting},
        {"unconfirmed", State::Unconfirmed}};
    const QStringList w = words.split(QLatin1Char(' '));
    LinkSituation s;
    s.link = states.value(w.at(0));
    s.portOpen = s.link == State::Open || s.link == State::Silent || s.link == State::Unconfirmed;
    s.controllerSuspect = s.link == State::Unconfirmed || w.contains("suspect");
    if (w.contains("closing"))
        s.portOpen = false;
    s.run = w.contains("run") ? RunPhase::Running : w.contains("paused") ? RunPhase::Paused : RunPhase::None;
    s.recording = w.contains("recording") || s.run != RunPhase::None;
    s.unsavedCurve = w.contains("unsaved");
    return s;
}

Requester requester(const QString &word)
{
    static const QHash<QString, Requester> requesters = {{"window", Requester::Window},
        {"scpi", Requester::Scpi}, {"mqtt", Requester::Mqtt}, {"run", Requester::Run}};
    return requesters.value(word);
}

} // namespace

// One policy, three wordings: for every situation each door refuses exactly when the policy does, and
// for the same reason, in its own words.
class TestDoorVerdicts : public QObject
{
    Q_OBJECT

private slots:
    void setPointIsJudgedAlikeByEveryDoor_data();
    void setPointIsJudgedAlikeByEveryDoor();
    void recordingIsJudgedAlikeByEveryDoor_data();
    void recordingIsJudgedAlikeByEveryDoor();
};

void TestDoorVerdicts::setPointIsJudgedAlikeByEveryDoor_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("requester");
    QTest::addColumn<QString>("window"); // what 设置温度 says; empty: it sends
    QTest::addColumn<QString>("scpi"); // the -221 reason; empty: it sends
    QTest::addColumn<QString>("mqtt"); // command_rejected's reason; empty: it sends

    const QString closed = "串口未打开，请先打开串口";
    const QString unconfirmed = "控制器未确认，请先确认是否为同一台黑体";
    const QString running = "校准进行中，设定点由校准程序发送";
    for (const char *who : {"window", "scpi", "mqtt"}) {
        const QByteArray tag = QByteArray(who) + ": ";
        QTest::newRow(tag + "open") << "open" << who << ""
                                    << ""
                                    << "";
        QTest::newRow(tag + "silent, known to be ours: sent, its outcome proves nothing")
            << "silent" << who << ""
            << ""
            << "";
        QTest::newRow(tag + "closed") << "closed" << who << closed << "link not open"
                                      << "link not open";
        QTest::newRow(tag + "opening") << "opening" << who << "正在打开串口，请稍候"
                                       << "link not open"
                                       << "link not open";
        QTest::newRow(tag + "reconnecting") << "reconnecting" << who << "连接已断开，正在重新连接"
                                            << "link not open"
                                            << "link not open";
        QTest::newRow(tag + "closing") << "open closing" << who << closed << "link not open"
                                       << "link not open";
        QTest::newRow(tag + "unconfirmed") << "unconfirmed" << who << unconfirmed << "controller unconfirmed"
                                           << "controller unconfirmed";
        QTest::newRow(tag + "unconfirmed, then silent")
            << "silent suspect" << who << unconfirmed << "controller unconfirmed"
            << "controller unconfirmed";
        QTest::newRow(tag + "a run sends its own") << "open run" << who << running << "run in progress"
                                                   << "run in progress";
        QTest::newRow(tag + "a paused run holds the source too")
            << "open paused" << who << running << "run in progress"
            << "run in progress";
        QTest::newRow(tag + "a recording changes nothing") << "open recording unsaved" << who << ""
                                                           << ""
                                                           << "";
    }
    QTest::newRow("run: its own set points") << "open run"
                                             << "run"
                                             << ""
                                             << ""
                                             << "";
    QTest::newRow("run: not to a controller that may be another one")
        << "unconfirmed run"
        << "run" << unconfirmed << "controller unconfirmed"
        << "controller unconfirmed";
}

void TestDoorVerdicts::setPointIsJudgedAlikeByEveryDoor()
{
    QFETCH(QString, situation);
    QFETCH(QString, requester);
    const Refusal refusal = LinkPolicy::setPoint(::situation(situation), ::requester(requester));
    QTEST(SetPointControl::refusalText(refusal), "window");
    QTEST(RemoteCommands::conflictReason(refusal), "scpi");
    QTEST(TelemetryCommand::reason(refusal), "mqtt");
}

void TestDoorVerdicts::recordingIsJudgedAlikeByEveryDoor_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("start"); // REC:STAR's -221 reason; empty: it starts
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("keep"); // REC:SAVE and REC:DISC

    QTest::newRow("open, nothing recorded") << "open"
                                            << ""
                                            << ""
                                            << "nothing recorded";
    QTest::newRow("silent: the gap is recorded as a gap") << "silent"
                                                          << ""
                                                          << ""
                                                          << "nothing recorded";
    QTest::newRow("closed") << "closed"
                            << "link not open"
                            << ""
                            << "nothing recorded";
    QTest::newRow("an unsaved curve") << "open unsaved"
                                      << "unsaved curve"
                                      << ""
                                      << "";
    QTest::newRow("recording") << "open recording unsaved"
                               << ""
                               << ""
                               << "recording";
    QTest::newRow("a run's recording lasts as long as the run") << "open run unsaved"
                                                                << ""
                                                                << "run in progress"
                                                                << "run in progress";
    QTest::newRow("a curve left by a closed link") << "closed unsaved"
                                                   << "link not open"
                                                   << ""
                                                   << "";
}

void TestDoorVerdicts::recordingIsJudgedAlikeByEveryDoor()
{
    QFETCH(QString, situation);
    const LinkSituation s = ::situation(situation);
    QTEST(RemoteCommands::conflictReason(LinkPolicy::startRecording(s)), "start");
    QTEST(RemoteCommands::conflictReason(LinkPolicy::stopRecording(s)), "stop");
    QTEST(RemoteCommands::conflictReason(LinkPolicy::keepOrDropCurve(s)), "keep");
}

QTEST_GUILESS_MAIN(TestDoorVerdicts)
#include "tst_doorverdicts.moc"
