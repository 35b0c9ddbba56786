#include <QFile>
#include <QImage>
#include <QTest>

// The bundle is looked up by path at run time; a wrong alias shows up only as an empty button or logo.
class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imageIsBundledAndDrawn_data();
    void imageIsBundledAndDrawn();
    void windowButtonStatesDiffer_data();
    void windowButtonStatesDiffer();
    void styleSheetIsBundled();
};

void TestResources::imageIsBundledAndDrawn_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("shownAt"); // logical size the program draws it at

    QTest::newRow("ticked box") << ":/imager/ic_checkbox_sel.png" << 18;
    QTest::newRow("empty box") << ":/imager/ic_checkbox_unsel.png" << 18;
    QTest::newRow("zoom in") << ":/imager/zoomin.png" << 86;
    QTest::newRow("zoom out") << ":/imager/zoomout.png" << 86;
    QTest::newRow("logo") << ":/imager/TRIV-APP.png" << 50;
    for (const char *button : {"min", "close", "expand", "reduce"}) {
        for (const char *state : {"normal", "hover", "press"}) {
            const QString path = QStringLiteral(":/imager/light/window_%1_%2.png")
                                     .arg(QLatin1String(button), QLatin1String(state));
            QTest::newRow(qPrintable(path)) << path << 20;
        }
    }
}

void TestResources::imageIsBundledAndDrawn()
{
    QFETCH(QString, path);
    QFETCH(int, shownAt);

    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.width(), image.height());
    // Stored at a whole multiple of the shown size, at least double, so scaling stays clean.
    QVERIFY(image.width() >= 2 * shownAt);
    QCOMPARE(image.width() % shownAt, 0);
    QVERIFY(image.hasAlphaChannel());

    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    }
    QVERIFY2(opaque > image.width() / 2, "image is blank");
}

void TestResources::windowButtonStatesDiffer_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("min") << "min";
    QTest::newRow("close") << "close";
    QTest::newRow("expand") << "expand";
    QTest::newRow("reduce") << "reduce";
}

void TestResources::windowButtonStatesDiffer()
{
    QFETCH(QString, button);
    auto load = [&](const char *state) {
        return QImage(QStringLiteral(":/imager/light/window_%1_%2.png").arg(button, QLatin1String(state)));
    };
    const QImage normal = load("normal");
    const QImage hover = load("hover");
    const QImage press = load("press");
    QVERIFY(normal != hover);
    QVERIFY(hover != press);
    QVERIFY(normal != press);
}

void TestResources::styleSheetIsBundled()
{
    QVERIFY(QFile::exists(QStringLiteral(":/imager/qss/light.qss")));
}

QTEST_GUILESS_MAIN(TestResources)

#include "tst_resources.moc"
