#include "widgets/buttonstyles.h"
#include "widgets/navbutton.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

// Paints the button into an image and returns the colour of a pixel far from text and icon.
static QColor backgroundPixel(NavButton &button)
{
    const QImage image = button.grab().toImage();
    return image.pixelColor(2, 2);
}

class TestNavButton : public QObject
{
    Q_OBJECT

private slots:
    void paintsBackgroundOfEachState();
    void drawsIconAtItsOffset();
    void textNeverRunsUnderTheIcon_data();
    void textNeverRunsUnderTheIcon();
    void disabledPresetDisablesAndActiveEnables();
    void checkboxPresetPlacesIconFromCurrentWidth();
    void clickStillWorks();
};

void TestNavButton::paintsBackgroundOfEachState()
{
    NavButton button;
    button.resize(80, 30);
    button.setNormalBgColor(QColor(10, 20, 30));
    button.setHoverBgColor(QColor(40, 50, 60));
    button.setCheckBgColor(QColor(70, 80, 90));

    QCOMPARE(button.visualState(), NavButton::State::Normal);
    QCOMPARE(backgroundPixel(button), QColor(10, 20, 30));

    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(&button, &enter);
    QCOMPARE(button.visualState(), NavButton::State::Hover);
    QCOMPARE(backgroundPixel(button), QColor(40, 50, 60));

    button.setDown(true);
    QCOMPARE(button.visualState(), NavButton::State::Check);
    QCOMPARE(backgroundPixel(button), QColor(70, 80, 90));

    button.setDown(false);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    QCOMPARE(backgroundPixel(button), QColor(10, 20, 30));
}

void TestNavButton::drawsIconAtItsOffset()
{
    NavButton button;
    button.resize(100, 30);
    button.setNormalBgColor(Qt::white);
    QPixmap red(18, 18);
    red.fill(Qt::red);
    button.setIconSize(QSize(18, 18));
    button.setIconNormal(red);
    button.setIconSpace(60);

    // Hidden until shown.
    QCOMPARE(button.grab().toImage().pixelColor(69, 15), QColor(Qt::white));

    button.setShowIcon(true);
    const QImage image = button.grab().toImage();
    QCOMPARE(image.pixelColor(69, 15), QColor(Qt::red));
    QCOMPARE(image.pixelColor(58, 15), QColor(Qt::white));
    QCOMPARE(image.pixelColor(79, 15), QColor(Qt::white));
}

void TestNavButton::textNeverRunsUnderTheIcon_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("centred");
    QTest::newRow("fits beside the icon: centred") << QStringLiteral("全局") << true;
    QTest::newRow("would reach the icon: moved beside it") << QStringLiteral("Overview WWW") << false;
}

void TestNavButton::textNeverRunsUnderTheIcon()
{
    QFETCH(QString, text);
    QFETCH(bool, centred);
    NavButton button;
    button.resize(92, 28);
    button.setText(text);
    button.setNormalBgColor(Qt::white);
    button.setNormalTextColor(Qt::black);
    QPixmap red(18, 18);
    red.fill(Qt::red);
    button.setIconSize(QSize(18, 18));
    button.setIconNormal(red);
    button.setIconSpace(72);
    button.setShowIcon(true);

    const QImage image = button.grab().toImage();
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() < 128 && c.green() < 128) { // text, not background or icon
                left = qMin(left, x);
                right = qMax(right, x);
            }
        }
    }
    QVERIFY(right >= 0);
    QVERIFY2(right < 72, qPrintable(QStringLiteral("text reaches x=%1").arg(right)));
    if (centred)
        QVERIFY(qAbs((left + right) / 2 - 46) <= 2);
}

void TestNavButton::disabledPresetDisablesAndActiveEnables()
{
    NavButton button;
    applyDisabledStyle(&button);
    QVERIFY(!button.isEnabled());
    applyActiveStyle(&button);
    QVERIFY(button.isEnabled());
    QVERIFY(!button.showTriangle());
    applyDisabledStyle(&button);
    applyPlainStyle(&button);
    QVERIFY(button.isEnabled());
}

void TestNavButton::checkboxPresetPlacesIconFromCurrentWidth()
{
    NavButton button;
    button.resize(120, 30);
    QPixmap box(18, 18);
    box.fill(Qt::blue);
    applyCheckboxIconStyle(&button, box);
    QVERIFY(button.showIcon());
    QCOMPARE(button.iconSize(), QSize(18, 18));
    QCOMPARE(button.iconSpace(), 100);
    QCOMPARE(button.iconNormal().toImage(), box.toImage());

    button.resize(90, 30);
    applyCheckboxIconStyle(&button, box);
    QCOMPARE(button.iconSpace(), 70);
    QCOMPARE(button.grab().toImage().pixelColor(80, 15), QColor(Qt::blue));
}

void TestNavButton::clickStillWorks()
{
    NavButton button;
    button.resize(80, 30);
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestNavButton)
#include "tst_navbutton.moc"
