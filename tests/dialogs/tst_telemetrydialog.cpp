#include "dialogs/telemetrydialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace {

template<typename T>
T *child(const QWidget &parent, const char *name)
{
    T *found = parent.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no child named %s", name);
    return found;
}

} // namespace

// What the dialog refuses, and the TLS port it proposes.
class TestTelemetryDialog : public QObject
{
    Q_OBJECT

private slots:
    void entriesThatCannotBeTopicLevelsAreRefused_data();
    void entriesThatCannotBeTopicLevelsAreRefused();
    void tlsProposesItsUsualPort_data();
    void tlsProposesItsUsualPort();
};

void TestTelemetryDialog::entriesThatCannotBeTopicLevelsAreRefused_data()
{
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("caFile"); // empty: TLS off
    QTest::addColumn<QString>("problem"); // empty: taken

    QTest::newRow("plain names") << "line-3"
                                 << "ostrel"
                                 << ""
                                 << "";
    QTest::newRow("empty station") << ""
                                   << "ostrel"
                                   << ""
                                   << "站名不能为空";
    QTest::newRow("slash in the station") << "a/b"
                                          << "ostrel"
                                          << ""
                                          << "站名不能含有 +、#、/ 或空字符";
    QTest::newRow("wildcard in the prefix") << "s"
                                            << "plant#"
                                            << ""
                                            << "主题前缀不能含有 +、#、/ 或空字符";
    QTest::newRow("TLS with a CA file") << "s"
                                        << "ostrel"
                                        << "/etc/ca.pem"
                                        << "";
}

void TestTelemetryDialog::entriesThatCannotBeTopicLevelsAreRefused()
{
    QFETCH(QString, station);
    QFETCH(QString, prefix);
    QFETCH(QString, caFile);
    TelemetryConfig config;
    config.host = QStringLiteral("broker");
    config.station = station;
    config.prefix = prefix;
    config.caFile = caFile;
    TelemetryDialog dialog(config);
    QTEST(dialog.problem(), "problem");
    if (dialog.problem().isEmpty()) {
        QCOMPARE(dialog.config().station, station);
        QCOMPARE(dialog.config().caFile, caFile);
    }
}

void TestTelemetryDialog::tlsProposesItsUsualPort_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<int>("withTls");
    QTest::addColumn<int>("withoutAgain");

    QTest::newRow("the plain port becomes the TLS port") << 1883 << 8883 << 1883;
    QTest::newRow("the plant's own port stays") << 2883 << 2883 << 2883;
}

void TestTelemetryDialog::tlsProposesItsUsualPort()
{
    QFETCH(int, port);
    TelemetryConfig config;
    config.station = QStringLiteral("s");
    config.port = quint16(port);
    TelemetryDialog dialog(config);
    auto *tls = child<QCheckBox>(dialog, "checkBoxTls");
    auto *spin = child<QSpinBox>(dialog, "spinBoxPort");
    QVERIFY(!tls->isChecked());
    tls->setChecked(true);
    QTEST(spin->value(), "withTls");
    QCOMPARE(dialog.problem(), QStringLiteral("使用 TLS 时须选择 CA 证书文件"));
    child<QLineEdit>(dialog, "lineEditCaFile")->setText(QStringLiteral("/etc/ca.pem"));
    QCOMPARE(dialog.problem(), QString());
    tls->setChecked(false);
    QTEST(spin->value(), "withoutAgain");
    QCOMPARE(dialog.config().caFile, QString());
}

QTEST_MAIN(TestTelemetryDialog)
#include "tst_telemetrydialog.moc"
