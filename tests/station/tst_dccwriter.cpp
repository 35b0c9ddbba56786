#include "control/stepevaluation.h"
#include "samplerecord.h"
#include "station/dccwriter.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

Q_DECLARE_METATYPE(DccWriter::Input)
Q_DECLARE_METATYPE(IssueRecord)

// The machine-readable certificate: valid against the bundled schema whatever the record holds, saying
// what the PDF says, with a conformity statement only where a step was judged.
class TestDccWriter : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void certificateValidatesAgainstTheSchema_data();
    void certificateValidatesAgainstTheSchema();
    void stepNotEvaluatedHasNoConformityStatement();
    void withoutToleranceNoStepHasAConformityStatement();
    void carriesNumberReplacedCertificateAuditHeadAndPdf();
    void testReportAndLabWithoutCountryGetNone_data();
    void testReportAndLabWithoutCountryGetNone();
    void issueRecordKeepsBothLocations();

private:
    QByteArray write(const DccWriter::Input &input);
    // Every text of the elements named `name`, in document order.
    static QStringList texts(const QByteArray &xml, const QString &name);

    QTemporaryDir m_dir;
};

void TestDccWriter::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

QByteArray TestDccWriter::write(const DccWriter::Input &input)
{
    QString error;
    const QByteArray xml = DccWriter::write(input, &error);
    if (xml.isEmpty())
        qWarning("%s", qPrintable(error));
    return xml;
}

QStringList TestDccWriter::texts(const QByteArray &xml, const QString &name)
{
    QStringList found;
    QXmlStreamReader reader(xml);
    while (reader.readNextStartElement() || !reader.atEnd()) {
        if (reader.isStartElement() && reader.name() == name)
            found << reader.readElementText(QXmlStreamReader::IncludeChildElements);
        else
            reader.readNext();
    }
    return found;
}

void TestDccWriter::certificateValidatesAgainstTheSchema_data()
{
    QTest::addColumn<DccWriter::Input>("input");
    DccWriter::Input input;
    input.record = sampleRecord();
    input.pdf = QByteArrayLiteral("%PDF-1.4 not really\n%%EOF\n");
    input.softwareName = QStringLiteral("Ostrel黑体控制软件");
    input.softwareRelease = QStringLiteral("1.0.0");
    QTest::newRow("a run with a pass, a fail, an unsolved and an unreached step") << input;

    DccWriter::Input guarded = input;
    guarded.record.run.header.run.guarded = true;
    guarded.record.run.header.run.tolerancePercent = 2;
    guarded.record.run.header.run.toleranceOf = CalibrationRun::ToleranceOf::Reference;
    guarded.replaces = QStringLiteral("OST-20261201-003");
    guarded.replacesSha256 = QString(64, QLatin1Char('a'));
    guarded.auditHead = QString(64, QLatin1Char('0'));
    guarded.language = QStringLiteral("en");
    QTest::newRow("guarded rule, a replaced certificate, an audit head") << guarded;

    DccWriter::Input bare = input;
    CalibrationRun &run = bare.record.run.header.run;
    run.toleranceC = 0;
    run.instrument.clear();
    run.operatorName.clear();
    run.certificate = CertificateFields();
    run.source = SourceFields();
    bare.record.lab.address.clear();
    bare.softwareRelease = QStringLiteral("  ");
    bare.replaces = QStringLiteral("OST-20261201-003");
    QTest::newRow("no tolerance, every free text left empty, a replaced number without its hash") << bare;

    DccWriter::Input measured = input;
    for (CalibrationStepResult &r : measured.record.run.results)
        for (const double ambient : {22.4, 22.6})
            r.dwell.addAmbient(ambient);
    measured.record.run.results.resize(3);
    measured.record.run.results.remove(0);
    QTest::newRow("ambient measured, every step evaluated") << measured;

    DccWriter::Input none = input;
    none.record.run.results = {none.record.run.results.at(0), none.record.run.results.at(3)};
    QTest::newRow("no step with a result") << none;
}

void TestDccWriter::certificateValidatesAgainstTheSchema()
{
    QFETCH(DccWriter::Input, input);
    const QByteArray xml = write(input);
    QVERIFY(!xml.isEmpty());
    const QString path = m_dir.filePath(QStringLiteral("certificate.dcc.xml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(xml) == xml.size());
    file.close();
    QByteArray output;
    const int status = runTool(QStringLiteral(XMLLINT_PATH),
        {QStringLiteral("--nonet"), QStringLiteral("--noout"), QStringLiteral("--schema"),
            QStringLiteral(DCC_SCHEMA_DIR "/dcc_3_2_0.xsd"), path},
        &output);
    QVERIFY2(status == 0, output.constData());
    QVERIFY(output.contains("validates"));
}

void TestDccWriter::stepNotEvaluatedHasNoConformityStatement()
{
    DccWriter::Input input;
    input.record = sampleRecord();
    const QByteArray xml = write(input);
    QVERIFY(!xml.isEmpty());

    const CalibrationRun &run = input.record.run.header.run;
    QStringList expected;
    for (const CalibrationStepResult &r : input.record.run.results) {
        const StepEvaluation e = StepEvaluator::evaluate(run, r);
        if (e.measured)
            expected << (e.verdict == StepEvaluation::Verdict::Pass ? QStringLiteral("pass")
                                                                    : QStringLiteral("fail"));
        else if (r.step == 0)
            QCOMPARE(e.verdict, StepEvaluation::Verdict::NotEvaluated);
    }
    QCOMPARE(expected.size(), 2);
    // One verdict per judged step; the unsolved step appears only among the steps not evaluated.
    QCOMPARE(texts(xml, QStringLiteral("conformityXMLList")), QStringList {expected.join(QLatin1Char(' '))});
    const QStringList values = texts(xml, QStringLiteral("valueXMLList"));
    QVERIFY(values.contains(QStringLiteral("50 100")));
    QVERIFY(values.contains(QStringLiteral("-30")));
    QCOMPARE(texts(xml, QStringLiteral("conformity")), QStringList());
}

void TestDccWriter::withoutToleranceNoStepHasAConformityStatement()
{
    DccWriter::Input input;
    input.record = sampleRecord();
    input.record.run.header.run.toleranceC = 0;
    const QByteArray xml = write(input);
    QVERIFY(texts(xml, QStringLiteral("valueXMLList")).contains(QStringLiteral("50 100")));
    QCOMPARE(texts(xml, QStringLiteral("conformityXMLList")), QStringList());
    QVERIFY(!xml.contains("basic_conformity"));
}

void TestDccWriter::carriesNumberReplacedCertificateAuditHeadAndPdf()
{
    DccWriter::Input input;
    input.record = sampleRecord();
    // A NUL and a high byte inside: the document carries bytes, not text.
    static const char kPdf[] = "%PDF-1.7\n\x00\xff binary";
    input.pdf = QByteArray(kPdf, int(sizeof kPdf) - 1);
    input.auditHead = QStringLiteral("5f").repeated(32);
    input.replaces = QStringLiteral("OST-20261201-003");
    const QByteArray xml = write(input);
    QCOMPARE(texts(xml, QStringLiteral("uniqueIdentifier")), QStringList {input.record.number()});
    QCOMPARE(texts(xml, QStringLiteral("referralID")), QStringList {input.replaces});
    QVERIFY(xml.contains(input.auditHead.toLatin1()));
    QCOMPARE(texts(xml, QStringLiteral("countryCode")),
        (QStringList {QStringLiteral("CN"), QStringLiteral("CN")}));
    QCOMPARE(QByteArray::fromBase64(texts(xml, QStringLiteral("dataBase64")).value(0).toLatin1()), input.pdf);
    QCOMPARE(
        texts(xml, QStringLiteral("fileName")), QStringList {input.record.number() + QStringLiteral(".pdf")});
}

void TestDccWriter::testReportAndLabWithoutCountryGetNone_data()
{
    QTest::addColumn<IssueRecord>("record");
    IssueRecord report = sampleRecord();
    report.run.header.certificateNumber.clear();
    QTest::newRow("a test report has no number") << report;
    IssueRecord nowhere = sampleRecord();
    nowhere.lab.country.clear();
    QTest::newRow("a lab without its country") << nowhere;
    IssueRecord spelled = sampleRecord();
    spelled.lab.country = QStringLiteral("China");
    QTest::newRow("a country that is no code") << spelled;
}

void TestDccWriter::testReportAndLabWithoutCountryGetNone()
{
    QFETCH(IssueRecord, record);
    DccWriter::Input input;
    input.record = record;
    QString error;
    QVERIFY(DccWriter::write(input, &error).isEmpty());
    QVERIFY(!error.isEmpty());
}

void TestDccWriter::issueRecordKeepsBothLocations()
{
    // A certificate written again from its archived record names the same places.
    const IssueRecord record = sampleRecord();
    const std::optional<IssueRecord> read = IssueRecord::fromJson(record.toJson());
    QVERIFY(read.has_value());
    QCOMPARE(read->lab, record.lab);
    QVERIFY(read->run.header.run.certificate == record.run.header.run.certificate);
    DccWriter::Input before;
    before.record = record;
    DccWriter::Input after;
    after.record = *read;
    QCOMPARE(write(after), write(before));
}

QTEST_GUILESS_MAIN(TestDccWriter)
#include "tst_dccwriter.moc"
