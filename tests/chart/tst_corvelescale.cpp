#include "../common/caseprocesses.h"
#include "chart/corvelescale.h"

#include <QPushButton>
#include <QtTest>

class TestCorveleScale : public QObject
{
    Q_OBJECT

private slots:
    void isFramelessAndTranslucent();
    void buttonsEmitTheirSignals();
    void leftAloneItAnnouncesDisappearanceOnce();
    void clicksPostponeDisappearance();
};

static QPushButton *button(CorveleScale &popup, const char *name)
{
    return popup.findChild<QPushButton *>(QLatin1String(name));
}

void TestCorveleScale::isFramelessAndTranslucent()
{
    CorveleScale popup;
    QVERIFY(popup.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(popup.testAttribute(Qt::WA_TranslucentBackground));
    QVERIFY(button(popup, "pushButton_zoomin"));
    QVERIFY(button(popup, "pushButton_zoomout"));
}

void TestCorveleScale::buttonsEmitTheirSignals()
{
    CorveleScale popup;
    QSignalSpy in(&popup, &CorveleScale::zoomin_clicked);
    QSignalSpy out(&popup, &CorveleScale::zoomout_clicked);
    button(popup, "pushButton_zoomin")->click();
    button(popup, "pushButton_zoomout")->click();
    button(popup, "pushButton_zoomout")->click();
    QCOMPARE(in.count(), 1);
    QCOMPARE(out.count(), 2);
}

void TestCorveleScale::leftAloneItAnnouncesDisappearanceOnce()
{
    QElapsedTimer clock;
    clock.start();
    CorveleScale popup(nullptr, 300);
    popup.show();
    QSignalSpy gone(&popup, &CorveleScale::disapper);
    QVERIFY(gone.wait(5000));
    QVERIFY(clock.elapsed() >= 250);
    QTest::qWait(700);
    QCOMPARE(gone.count(), 1);
}

void TestCorveleScale::clicksPostponeDisappearance()
{
    CorveleScale popup(nullptr, 1000);
    popup.show();
    QSignalSpy gone(&popup, &CorveleScale::disapper);
    QElapsedTimer sinceClick;
    for (int i = 0; i < 2; ++i) {
        QTest::qWait(600);
        button(popup, "pushButton_zoomin")->click();
        sinceClick.start();
    }
    // 1.2 s have passed, beyond one delay, but never a full delay without a click.
    QCOMPARE(gone.count(), 0);
    QVERIFY(gone.wait(5000));
    QVERIFY(sinceClick.elapsed() >= 900);
}

BB_CASE_PROCESSES_MAIN(TestCorveleScale, Functions, 2)
#include "tst_corvelescale.moc"
