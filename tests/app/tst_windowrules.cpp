#include "app/screenkeeper.h"
#include "app/transientmessage.h"
#include "app/windowmenus.h"
#include "app/windowplacement.h"
#include "widgets/setpointspinbox.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

class TestWindowRules : public QObject
{
    Q_OBJECT

private slots:
    void eventMessageStandsFifteenSecondsOrUntilTheNext_data();
    void eventMessageStandsFifteenSecondsOrUntilTheNext();
    void setPointBoxKeepsAnOutOfRangeNumber_data();
    void setPointBoxKeepsAnOutOfRangeNumber();
    void menuEntriesAnswerTheirKeys_data();
    void menuEntriesAnswerTheirKeys();
    void storedPlacementFitsTheScreen_data();
    void storedPlacementFitsTheScreen();
    void windowGrownByItsLayoutComesBackOnScreen();
    void restoredWindowTakesBackItsSizeOnceItsMinimumAllows();
};

// "at ms: text" shows a message; "at ms" alone asks what is shown.
void TestWindowRules::eventMessageStandsFifteenSecondsOrUntilTheNext_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("stands until its time is up")
        << QStringList {"0: saved", "0", "14999", "15000"} << QStringList {"saved", "saved", ""};
    QTest::newRow("the next event replaces it and gets its own time") << QStringList {
        "0: saved", "10000: aborted", "14999", "24999", "25000"} << QStringList {"aborted", "aborted", ""};
}

void TestWindowRules::eventMessageStandsFifteenSecondsOrUntilTheNext()
{
    QFETCH(QStringList, script);
    TransientMessage message;
    QStringList seen;
    for (const QString &line : script) {
        const QStringList parts = line.split(QStringLiteral(": "));
        if (parts.size() == 2)
            message.show(parts.at(1), parts.at(0).toLongLong());
        else
            seen << message.textAt(line.toLongLong());
    }
    QTEST(seen, "shown");
}

void TestWindowRules::setPointBoxKeepsAnOutOfRangeNumber_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sent");
    QTest::newRow("in range") << "55"
                              << "55.00" << true;
    QTest::newRow("above the range") << "999"
                                     << "999" << false;
    QTest::newRow("below the range") << "-31"
                                     << "-31" << false;
    QTest::newRow("too many decimals are refused as typed") << "5.123"
                                                            << "5.12" << true;
}

void TestWindowRules::setPointBoxKeepsAnOutOfRangeNumber()
{
    QFETCH(QString, typed);
    SetPointSpinBox box;
    QLineEdit other;
    box.setDecimals(2);
    box.setRange(-30.0, 125.0);
    box.show();
    other.show();
    QSignalSpy submitted(&box, &SetPointSpinBox::submitted);
    box.setFocus();
    box.findChild<QLineEdit *>()->selectAll();
    QTest::keyClicks(&box, typed);
    QTest::keyClick(&box, Qt::Key_Return);
    QTEST(submitted.count() == 1, "sent");
    // Leaving the box does not put the last value back either.
    other.setFocus();
    QTEST(box.text(), "text");
}

void TestWindowRules::menuEntriesAnswerTheirKeys_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<QByteArray>("entry");
    QTest::newRow("open") << QKeySequence(Qt::CTRL | Qt::Key_O) << QByteArray(SIGNAL(openCurve()));
    QTest::newRow("save") << QKeySequence(Qt::CTRL | Qt::Key_S) << QByteArray(SIGNAL(saveCurve()));
    QTest::newRow("export CSV") << QKeySequence(Qt::CTRL | Qt::Key_E) << QByteArray(SIGNAL(exportCsv()));
    QTest::newRow("quit") << QKeySequence(Qt::CTRL | Qt::Key_Q) << QByteArray(SIGNAL(exit()));
    QTest::newRow("manual") << QKeySequence(Qt::Key_F1) << QByteArray(SIGNAL(manual()));
}

void TestWindowRules::menuEntriesAnswerTheirKeys()
{
    QFETCH(QKeySequence, key);
    QFETCH(QByteArray, entry);
    QWidget window;
    WindowMenus menus(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // Every entry that has a key, and About, which F1 no longer opens, to catch a key that reaches the
    // wrong one.
    const QList<QByteArray> entries = {SIGNAL(openCurve()), SIGNAL(saveCurve()), SIGNAL(exportCsv()),
        SIGNAL(exit()), SIGNAL(manual()), SIGNAL(about())};
    QList<QSharedPointer<QSignalSpy>> spies;
    for (const QByteArray &signal : entries)
        spies << QSharedPointer<QSignalSpy>::create(&menus, signal.constData());
    QTest::keySequence(&window, key);
    for (int i = 0; i < entries.size(); ++i)
        QCOMPARE(spies.at(i)->count(), entries.at(i) == entry ? 1 : 0);
}

void TestWindowRules::storedPlacementFitsTheScreen_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QRect>("placed");
    const QRect screen(0, 0, 1024, 600);
    QTest::newRow("on the screen") << "100,50,900,500" << QRect(100, 50, 900, 500);
    QTest::newRow("partly off to the right") << "600,50,900,500" << QRect(124, 50, 900, 500);
    QTest::newRow("on a screen since removed") << "2000,-900,900,500" << QRect(124, 0, 900, 500);
    QTest::newRow("larger than the screen") << "0,0,1920,1080" << QRect(0, 0, 1024, 600);
    QTest::newRow("smaller than the window can be") << "10,10,100,100" << QRect(10, 10, 800, 480);
    QTest::newRow("not four numbers") << "10,10,wide,100" << QRect();
}

void TestWindowRules::storedPlacementFitsTheScreen()
{
    QFETCH(QString, stored);
    const QRect rect = WindowPlacement::parse(stored);
    const QRect placed
        = rect.isEmpty() ? QRect() : WindowPlacement::fitted(rect, QRect(0, 0, 1024, 600), QSize(800, 480));
    QTEST(placed, "placed");
}

QTEST_MAIN(TestWindowRules)
namespace {

// Like the main window: tiles set up three high, brought to two by the next resize.
class LateTilesWindow : public QWidget
{
public:
    explicit LateTilesWindow(int twoTiles)
        : m_twoTiles(twoTiles)
    {
        new QVBoxLayout(this);
        layout()->addWidget(&m_tiles);
    }
    void setUpTiles() { m_tiles.setFixedHeight(m_twoTiles * 3 / 2); }

protected:
    void resizeEvent(QResizeEvent *) override { m_tiles.setFixedHeight(m_twoTiles); }

private:
    QWidget m_tiles;
    int m_twoTiles;
};

} // namespace

void TestWindowRules::windowGrownByItsLayoutComesBackOnScreen()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    LateTilesWindow window(available.height() * 3 / 4);
    window.setGeometry(available.x(), available.y(), 300, available.height() / 2);
    window.show();
    new ScreenKeeper(&window, 60000);
    window.setUpTiles();
    QTRY_VERIFY(window.height() > available.height() / 2 && available.contains(window.frameGeometry()));
    QVERIFY(window.height() >= window.minimumSizeHint().height());
}

// Maximised tiles leave a minimum that the restore obeys before the tiles shrink again.
void TestWindowRules::restoredWindowTakesBackItsSizeOnceItsMinimumAllows()
{
    QWidget window;
    auto *tiles = new QWidget;
    (new QVBoxLayout(&window))->addWidget(tiles);
    tiles->setFixedHeight(400);
    window.show();
    QTRY_VERIFY(window.height() >= 400);
    new ScreenKeeper(&window, 60000, QSize(300, 200));
    tiles->setFixedHeight(100);
    QTRY_COMPARE(window.size(), QSize(300, 200));
}

#include "tst_windowrules.moc"
