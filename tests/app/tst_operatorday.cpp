#include "app/dialogplacement.h"
#include "app/mainwindow.h"
#include "app/remotecontrolshell.h"
#include "app/startup.h"
#include "app/statusstrip.h"
#include "app/telemetryshell.h"
#include "app/windowplacement.h"
#include "chart/ttwidget.h"
#include "dialogs/calibrationrundialog.h"
#include "remote/remotecontrol.h"
#include "settings/settings.h"
#include "station/station.h"
#include "telemetry/telemetrystation.h"
#include "widgets/navbutton.h"
#include "widgets/statuspart.h"
#include "windowtest.h"

#include <QAction>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <map>

namespace {

QAction *menuAction(const QWidget *window, const QString &text)
{
    const auto actions = window->findChildren<QAction *>();
    const auto found = std::find_if(
        actions.begin(), actions.end(), [&text](QAction *action) { return action->text() == text; });
    if (found == actions.end())
        qFatal("no menu entry %s", qPrintable(text));
    return *found;
}

// Whether a window shown now lies over `window`: its centre inside the window's frame.
QString where(const QWidget *shown, const QWidget *window)
{
    return window->frameGeometry().contains(shown->frameGeometry().center())
        ? QStringLiteral("over the window")
        : QStringLiteral("elsewhere");
}

} // namespace

// A working day as an operator meets it: what surprised before is gone.
class TestOperatorDay : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { showWindow(); }
    void cleanup();
    void windowBehavesAsTheOperatorExpects_data();
    void windowBehavesAsTheOperatorExpects();

private:
    QString closeDuringRecording(bool save);
    QString enterInRunDialog();
    QString refusalBox();
    QString chartSettingsDialog();
    QString runDialogAbove();
    QString statusBarAt874();
    QString remoteControlListening();
    QString heightAcrossStarts();

    std::unique_ptr<RemoteControl> m_remote;
    std::unique_ptr<TelemetryStation> m_telemetry;
    QString m_seen; // where the last box or dialog opened
};

void TestOperatorDay::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("tst_operatorday"));
    prepareApplication();
    appSettings.load();
    appSettings.applyDefaults();
}

void TestOperatorDay::cleanup()
{
    m_seen.clear();
    if (m_window)
        m_window->ClickLangChinese();
    // Gone before the window, as in the program.
    m_remote.reset();
    m_telemetry.reset();
    closeWindow();
}

void TestOperatorDay::windowBehavesAsTheOperatorExpects_data()
{
    QTest::addColumn<QString>("point");
    QTest::addColumn<QString>("seen");

    QTest::newRow("保存 when closing during a recording") << "save at close"
                                                          << "closed, curve saved";
    QTest::newRow("取消 when closing during a recording") << "cancel at close"
                                                          << "open, still recording";
    QTest::newRow("Enter in the run dialog's text fields") << "enter"
                                                           << "steps: 0 before, 0 after";
    QTest::newRow("a refusal box made without a parent") << "refusal"
                                                         << "over the window";
    QTest::newRow("the chart settings dialog") << "chart settings"
                                               << "over the window";
    QTest::newRow("the run dialog and the window") << "run dialog"
                                                   << "kept above the window";
    QTest::newRow("the status bar at 874 px during a run")
        << "status bar"
        << "run whole in 简体中文, 繁體中文, English; port caption kept";
    QTest::newRow("remote control before any client") << "remote"
                                                      << "SCPI port shown, 0 clients";
    QTest::newRow("the window's height at each start") << "height"
                                                       << "500, 500, 500";
}

void TestOperatorDay::windowBehavesAsTheOperatorExpects()
{
    QFETCH(QString, point);
    QFETCH(QString, seen);

    const std::map<QString, QString (TestOperatorDay::*)()> cases = {
        {QStringLiteral("enter"), &TestOperatorDay::enterInRunDialog},
        {QStringLiteral("refusal"), &TestOperatorDay::refusalBox},
        {QStringLiteral("chart settings"), &TestOperatorDay::chartSettingsDialog},
        {QStringLiteral("run dialog"), &TestOperatorDay::runDialogAbove},
        {QStringLiteral("status bar"), &TestOperatorDay::statusBarAt874},
        {QStringLiteral("remote"), &TestOperatorDay::remoteControlListening},
        {QStringLiteral("height"), &TestOperatorDay::heightAcrossStarts},
    };
    if (point == QLatin1String("save at close") || point == QLatin1String("cancel at close"))
        QCOMPARE(closeDuringRecording(point.startsWith(QLatin1String("save"))), seen);
    else
        QCOMPARE((this->*cases.at(point))(), seen);
}

QString TestOperatorDay::closeDuringRecording(bool save)
{
    openSimulator();
    click("navButton_startstop");
    if (!QTest::qWaitFor([this] { return m_window->chart()->hasUnsavedCurve(); }, kWaitMs))
        return QStringLiteral("no curve recorded");
    const QString file = m_dir.filePath(save ? QStringLiteral("saved.txt") : QStringLiteral("kept.txt"));
    m_modals->onBox = [save](QMessageBox *box) {
        if (box->text().contains(QStringLiteral("尚未保存")))
            boxButton(box, save ? QStringLiteral("保存") : QStringLiteral("取消"))->click();
        else
            box->done(QMessageBox::Ok);
    };
    m_modals->onDialog = [file](QDialog *dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(dialog))
            chooseFile(files, file);
        else
            dialog->reject();
    };
    m_window->close();
    return QStringLiteral("%1, %2").arg(
        m_window->isVisible() ? QStringLiteral("open") : QStringLiteral("closed"),
        QFile::exists(file)                    ? QStringLiteral("curve saved")
            : m_window->chart()->isRecording() ? QStringLiteral("still recording")
                                               : QStringLiteral("neither"));
}

QString TestOperatorDay::enterInRunDialog()
{
    menuAction(m_window.get(), QStringLiteral("校准程序"))->trigger();
    auto *dialog = m_window->findChild<CalibrationRunDialog *>();
    if (!dialog)
        return QStringLiteral("no run dialog");
    auto *steps = dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget_steps"));
    const int before = steps->rowCount();
    for (const char *name : {"lineEdit_instrument", "lineEdit_operator"}) {
        auto *edit = dialog->findChild<QLineEdit *>(QLatin1String(name));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter);
    }
    return QStringLiteral("steps: %1 before, %2 after").arg(before).arg(steps->rowCount());
}

QString TestOperatorDay::refusalBox()
{
    openSimulator();
    click("navButton_startstop");
    m_modals->onBox = [this](QMessageBox *box) {
        m_seen = where(box, m_window.get());
        box->done(QMessageBox::Ok);
    };
    // Opening a curve is refused while recording, by a box without a parent.
    menuAction(m_window.get(), QStringLiteral("打开曲线"))->trigger();
    return m_seen;
}

QString TestOperatorDay::chartSettingsDialog()
{
    m_modals->onDialog = [this](QDialog *dialog) {
        m_seen = where(dialog, m_window.get());
        dialog->reject();
    };
    menuAction(m_window.get(), QStringLiteral("表格设置"))->trigger();
    return m_seen;
}

QString TestOperatorDay::runDialogAbove()
{
    menuAction(m_window.get(), QStringLiteral("校准程序"))->trigger();
    auto *dialog = m_window->findChild<CalibrationRunDialog *>();
    return dialog && dialog->parentWidget() == m_window.get() && dialog->isWindow()
        ? QStringLiteral("kept above the window")
        : QStringLiteral("free");
}

QString TestOperatorDay::statusBarAt874()
{
    openSimulator();
    m_remote = std::make_unique<RemoteControl>(m_station.get());
    RemoteSettings remote;
    remote.enabled = true;
    remote.port = 0;
    (new RemoteControlShell(m_remote.get(), m_window.get()))->apply(remote);
    m_telemetry = std::make_unique<TelemetryStation>(m_station.get());
    TelemetryConfig reporting;
    // Nobody listens there: reporting goes on retrying, and says so at its longest.
    reporting.host = QStringLiteral("127.0.0.1");
    reporting.port = 1;
    reporting.station = QStringLiteral("bench");
    (new TelemetryShell(m_telemetry.get(), m_window.get()))->apply(reporting);
    m_window->resize(874, m_window->height());

    auto *run = namedChild<StatusPart>(m_window.get(), "calibrationLabel");
    auto *port = namedChild<StatusPart>(m_window.get(), "portLabel");
    auto *strip = m_window->statusStrip();
    QStringList whole;
    const QList<std::pair<QString, void (MainWindow::*)()>> languages
        = {{QStringLiteral("简体中文"), &MainWindow::ClickLangChinese},
            {QStringLiteral("繁體中文"), &MainWindow::ClickTrChinese},
            {QStringLiteral("English"), &MainWindow::ClickLangEnglish}};
    bool captionKept = true;
    for (const auto &[name, choose] : languages) {
        (m_window.get()->*choose)();
        // A run's longest line: a step of a long run, dwelling, with a note beside it.
        run->setForms(QCoreApplication::translate("CalibrationStatus", "校准：第 %1/%2 步，%3，预计 %4 结束")
                          .arg(12)
                          .arg(12)
                          .arg(QCoreApplication::translate("CalibrationStatus", "保持中，剩余 %1")
                                   .arg(QStringLiteral("00:09:59")),
                              QStringLiteral("17:42")));
        QCoreApplication::processEvents();
        const int right = std::max(run->geometry().right(),
            namedChild<StatusPart>(m_window.get(), "remoteControlLabel")->geometry().right());
        if (run->shown() == run->text() && right <= strip->width())
            whole << name;
        captionKept
            = captionKept && port->shown().startsWith(QCoreApplication::translate("LinkStatus", "已选择:"));
    }
    return QStringLiteral("run whole in %1; port caption %2")
        .arg(whole.join(QStringLiteral(", ")), captionKept ? QStringLiteral("kept") : QStringLiteral("lost"));
}

QString TestOperatorDay::remoteControlListening()
{
    m_remote = std::make_unique<RemoteControl>(m_station.get());
    RemoteSettings remote;
    remote.enabled = true;
    remote.port = 0;
    (new RemoteControlShell(m_remote.get(), m_window.get()))->apply(remote);
    const QString text = namedChild<StatusPart>(m_window.get(), "remoteControlLabel")->text();
    return text == QStringLiteral("远程控制：SCPI :%1，0 个客户端").arg(m_remote->port())
        ? QStringLiteral("SCPI port shown, 0 clients")
        : text;
}

QString TestOperatorDay::heightAcrossStarts()
{
    closeWindow();
    appSettings.setValue(WindowPlacement::geometryKey, QStringLiteral("10,10,874,500"));
    appSettings.setValue(WindowPlacement::maximizedKey, QStringLiteral("false"));
    QStringList heights;
    for (int start = 0; start < 3; ++start) {
        m_station = std::make_unique<Station>();
        m_window = std::make_unique<MainWindow>(m_station.get());
        WindowPlacement::show(m_window.get(), appSettings);
        // Under a window manager the tiles' first height stretches the window; offscreen it is done here.
        m_window->resize(m_window->width(), m_window->height() + 57);
        // The tiles join their list shortly after start-up, and stretch the window meanwhile.
        if (!QTest::qWaitFor(
                [this] { return namedChild<QListWidget>(m_window.get(), "listWidgetAreas")->count() == 2; },
                kWaitMs))
            return QStringLiteral("no tiles");
        // Whatever height it settles at is reported.
        static_cast<void>(QTest::qWaitFor([this] { return m_window->height() == 500; }, kWaitMs));
        heights << QString::number(m_window->height());
        WindowPlacement::store(m_window.get(), appSettings);
        m_window.reset();
        m_station.reset();
    }
    showWindow();
    return heights.join(QStringLiteral(", "));
}

QTEST_MAIN(TestOperatorDay)
#include "tst_operatorday.moc"
