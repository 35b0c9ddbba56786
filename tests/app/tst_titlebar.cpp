#include "app/corveltitalbar.h"
#include "app/framehittest.h"
#include "app/language.h"
#include "widgets/navbutton.h"

#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(FrameHit)

class TestTitleBar : public QObject
{
    Q_OBJECT

private slots:
    void hitTestFindsBordersAndCorners_data();
    void hitTestFindsBordersAndCorners();
    void clockShowsPlaceholderThenTicksEverySecond();
    void changeButtonOffersWhatTheWindowCanBecome();
    void doubleClickAsksToToggleMaximise();
    void menusFollowTheLanguageButNotTheLanguageNames();
};

void TestTitleBar::hitTestFindsBordersAndCorners_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<FrameHit>("hit");
    QTest::addColumn<int>("edges");

    QTest::newRow("3 px inside top-left")
        << QPoint(3, 3) << FrameHit::TopLeft << int(Qt::TopEdge | Qt::LeftEdge);
    QTest::newRow("top-right") << QPoint(797, 2) << FrameHit::TopRight << int(Qt::TopEdge | Qt::RightEdge);
    QTest::newRow("bottom-left") << QPoint(1, 598) << FrameHit::BottomLeft
                                 << int(Qt::BottomEdge | Qt::LeftEdge);
    QTest::newRow("bottom-right") << QPoint(796, 596) << FrameHit::BottomRight
                                  << int(Qt::BottomEdge | Qt::RightEdge);
    QTest::newRow("left") << QPoint(4, 300) << FrameHit::Left << int(Qt::LeftEdge);
    QTest::newRow("right") << QPoint(799, 300) << FrameHit::Right << int(Qt::RightEdge);
    QTest::newRow("top") << QPoint(400, 1) << FrameHit::Top << int(Qt::TopEdge);
    QTest::newRow("bottom") << QPoint(400, 599) << FrameHit::Bottom << int(Qt::BottomEdge);
    QTest::newRow("middle") << QPoint(400, 300) << FrameHit::None << 0;
    // The borders lie strictly inside: the outermost pixel row and the fifth one in are not on them.
    QTest::newRow("on the edge line") << QPoint(0, 300) << FrameHit::None << 0;
    QTest::newRow("5 px in") << QPoint(5, 300) << FrameHit::None << 0;
    QTest::newRow("outside") << QPoint(-3, -3) << FrameHit::None << 0;
}

void TestTitleBar::hitTestFindsBordersAndCorners()
{
    QFETCH(QPoint, pos);
    QFETCH(FrameHit, hit);
    QFETCH(int, edges);
    QCOMPARE(frameHitTest(pos, QSize(800, 600)), hit);
    QCOMPARE(int(frameEdges(hit)), edges);
}

void TestTitleBar::clockShowsPlaceholderThenTicksEverySecond()
{
    CorvelTitalbar bar;
    auto *clock = bar.findChild<QLabel *>(QStringLiteral("label_clock"));
    QCOMPARE(clock->text(), QStringLiteral("00:00:00"));
    QTRY_VERIFY_WITH_TIMEOUT(clock->text() != QLatin1String("00:00:00"), 3000);
    QVERIFY(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(clock->text()).hasMatch());
    const QTime shown = QTime::fromString(clock->text(), QStringLiteral("hh:mm:ss"));
    QVERIFY(qAbs(shown.secsTo(QTime::currentTime())) <= 2);
}

void TestTitleBar::changeButtonOffersWhatTheWindowCanBecome()
{
    CorvelTitalbar bar;
    auto *button = bar.findChild<QToolButton *>(QStringLiteral("ChangeButton"));
    QVERIFY(button->styleSheet().contains(QLatin1String("window_expand_normal.png")));
    bar.changeImage(false);
    QVERIFY(button->styleSheet().contains(QLatin1String("window_reduce_normal.png")));
    QVERIFY(!button->styleSheet().contains(QLatin1String("expand")));
    bar.changeImage(true);
    QVERIFY(button->styleSheet().contains(QLatin1String("window_expand_hover.png")));
}

void TestTitleBar::doubleClickAsksToToggleMaximise()
{
    CorvelTitalbar bar;
    bar.resize(656, 70);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy toggles(&bar, &CorvelTitalbar::WindowsChangeClicked);
    QTest::mouseDClick(&bar, Qt::LeftButton, {}, QPoint(300, 30));
    QCOMPARE(toggles.count(), 1);
    QTest::mouseClick(bar.findChild<QToolButton *>(QStringLiteral("ChangeButton")), Qt::LeftButton);
    QCOMPARE(toggles.count(), 2);
}

void TestTitleBar::menusFollowTheLanguageButNotTheLanguageNames()
{
    CorvelTitalbar bar;
    auto texts = [&bar](const char *button) {
        QStringList list;
        for (QAction *action : bar.findChild<NavButton *>(QLatin1String(button))->menu()->actions()) {
            list << action->text();
            if (action->menu()) {
                for (QAction *entry : action->menu()->actions())
                    list << entry->text();
            }
        }
        return list;
    };
    QVERIFY(Language::install(Language::english, {QCoreApplication::applicationDirPath()}, QString()));
    QTRY_COMPARE(texts("pushButton_file"),
        (QStringList {QStringLiteral("Open curve"), QStringLiteral("Save curve"), QStringLiteral("Exit")}));
    QCOMPARE(texts("pushButton_settings"),
        (QStringList {QStringLiteral("Chart settings"), QStringLiteral("Language"),
            QStringLiteral("简体中文"), QStringLiteral("English")}));
    Language::install(Language::simplifiedChinese, {QCoreApplication::applicationDirPath()}, QString());
    QTRY_COMPARE(texts("pushButton_help"), QStringList {QStringLiteral("关于")});
}

QTEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
