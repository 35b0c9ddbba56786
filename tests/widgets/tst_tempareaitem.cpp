#include "widgets/tempareaitem.h"
#include "widgets/tempareatext.h"

#include <QFontMetrics>
#include <QtTest>

class TestTempAreaItem : public QObject
{
    Q_OBJECT

private slots:
    void readingTextIsFixedPointWithUnit_data();
    void readingTextIsFixedPointWithUnit();
    void colourCodeChoosesTextColour_data();
    void colourCodeChoosesTextColour();
    void fittingStopsAtFirstSizeWiderThanRoom();
    void fittingStopsAtSmallestSizeWhenNothingFits();
    void fittingKeepsLargestSizeWhenEverythingFits();
    void defaultsShowOneDecimalCelsiusInWhite();
    void invalidReadingShowsDashesAndKeepsFontButAppliesColour();
    void fahrenheitInGreenCodeShowsOrangeWithTwoDecimals();
    void captionGoesToSmallLabel();
};

void TestTempAreaItem::readingTextIsFixedPointWithUnit_data()
{
    QTest::addColumn<float>("t");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("decimal");
    QTest::addColumn<QString>("expected");

    QTest::newRow("celsius one decimal") << 25.0f << 2 << true << 1 << QStringLiteral("25.0℃");
    QTest::newRow("fahrenheit two decimals") << 77.25f << 1 << true << 2 << QStringLiteral("77.25℉");
    QTest::newRow("unknown unit is celsius") << 5.0f << 7 << true << 0 << QStringLiteral("5℃");
    QTest::newRow("negative rounds") << -12.34f << 2 << true << 1 << QStringLiteral("-12.3℃");
    QTest::newRow("invalid") << 100.12f << 2 << false << 2 << QStringLiteral("---");
    QTest::newRow("negative decimals clamp to none") << 3.7f << 2 << true << -3 << QStringLiteral("4℃");
    QTest::newRow("huge decimals clamp to six") << 1.5f << 2 << true << 40 << QStringLiteral("1.500000℃");
}

void TestTempAreaItem::readingTextIsFixedPointWithUnit()
{
    QFETCH(float, t);
    QFETCH(int, unit);
    QFETCH(bool, valid);
    QFETCH(int, decimal);
    QFETCH(QString, expected);
    QCOMPARE(readingText(t, unit, valid, decimal), expected);
}

void TestTempAreaItem::colourCodeChoosesTextColour_data()
{
    QTest::addColumn<QColor>("code");
    QTest::addColumn<QString>("sheet");
    const QString base = QStringLiteral("QLabel{background-color: rgb(255, 255, 255);color:%1}");
    QTest::newRow("red is black") << QColor(Qt::red) << base.arg("rgb(0, 0, 0)");
    QTest::newRow("blue is blue") << QColor(Qt::blue) << base.arg("blue");
    QTest::newRow("green is orange") << QColor(Qt::green) << base.arg("rgb(255,128,0)");
    QTest::newRow("white is white") << QColor(Qt::white) << base.arg("white");
    QTest::newRow("dark green is not green") << QColor(Qt::darkGreen) << base.arg("white");
}

void TestTempAreaItem::colourCodeChoosesTextColour()
{
    QFETCH(QColor, code);
    QFETCH(QString, sheet);
    QCOMPARE(tileStyleSheet(code), sheet);
}

void TestTempAreaItem::fittingStopsAtFirstSizeWiderThanRoom()
{
    QFont font;
    const QString text = QStringLiteral("1234.5℃");
    font.setPixelSize(20);
    const int room = QFontMetrics(font).horizontalAdvance(text);
    const int size = fitFontPixelSize(font, text, room);
    QVERIFY(size > 20 && size <= 39);
    font.setPixelSize(size);
    QVERIFY(QFontMetrics(font).horizontalAdvance(text) > room);
    font.setPixelSize(size - 1);
    QVERIFY(QFontMetrics(font).horizontalAdvance(text) <= room);
}

void TestTempAreaItem::fittingStopsAtSmallestSizeWhenNothingFits()
{
    QCOMPARE(fitFontPixelSize(QFont(), QStringLiteral("1234.5℃"), 3), 10);
}

void TestTempAreaItem::fittingKeepsLargestSizeWhenEverythingFits()
{
    QCOMPARE(fitFontPixelSize(QFont(), QStringLiteral("1.0℃"), 100000), 39);
}

void TestTempAreaItem::defaultsShowOneDecimalCelsiusInWhite()
{
    TempAreaItem tile;
    tile.resize(244, 220);
    tile.show();
    tile.UpdateTemp(25.0f, 2);
    QCOMPARE(tile.text(), QStringLiteral("25.0℃"));
    QCOMPARE(tile.styleSheet(), tileStyleSheet(Qt::white));
}

void TestTempAreaItem::invalidReadingShowsDashesAndKeepsFontButAppliesColour()
{
    TempAreaItem tile;
    tile.resize(244, 220);
    tile.show();
    tile.UpdateTemp(30.0f, 2, Qt::green, true, 1);
    const int size = tile.textPixelSize();
    tile.UpdateTemp(100.12f, 2, Qt::red, false, 2);
    QCOMPARE(tile.text(), QStringLiteral("---"));
    QCOMPARE(tile.textPixelSize(), size);
    QCOMPARE(tile.styleSheet(), tileStyleSheet(Qt::red));
}

void TestTempAreaItem::fahrenheitInGreenCodeShowsOrangeWithTwoDecimals()
{
    TempAreaItem tile;
    tile.resize(244, 220);
    tile.show();
    tile.UpdateTemp(77.25f, 1, Qt::green, true, 2);
    QCOMPARE(tile.text(), QStringLiteral("77.25℉"));
    QVERIFY(tile.styleSheet().contains(QStringLiteral("color:rgb(255,128,0)")));
}

void TestTempAreaItem::captionGoesToSmallLabel()
{
    TempAreaItem tile;
    tile.setCaption(QStringLiteral("当前温度值"));
    QCOMPARE(tile.caption(), QStringLiteral("当前温度值"));
}

QTEST_MAIN(TestTempAreaItem)
#include "tst_tempareaitem.moc"
