#include "calibrationreporter.h"

#include "control/calibrationreport.h"
#include "files/atomicsave.h"
#include "files/exclusivecommit.h"
#include "files/filehash.h"
#include "recording/curverecorder.h"
#include "recording/samplestore.h"
#include "recording/writefilethread.h"
#include "settings/labsettings.h"
#include "settings/lastfolders.h"
#include "settings/settings.h"
#include "settings/signingsettings.h"
#include "station/asker.h"
#include "station/auditrecorder.h"
#include "station/calibrationcertificate.h"
#include "station/curveimage.h"
#include "station/dccwriter.h"
#include "station/runrecord.h"
#include "station/signingkey.h"
#include "station/xmlsigner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

const QString CalibrationReporter::reportFolderKey = LastFolders::key(LastFolders::Reports);

CalibrationReporter::CalibrationReporter(CurveRecorder *recorder, QObject *parent)
    : QObject(parent)
    , m_recorder(recorder)
{ }

QString CalibrationReporter::storedFolder()
{
    const QString stored = appSettings.value(reportFolderKey, QString());
    return isWritableFolder(stored) ? stored : QString();
}

bool CalibrationReporter::isWritableFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

SaveResult CalibrationReporter::storeFolder(const QString &folder)
{
    LastFolders(appSettings).rememberFolder(LastFolders::Reports, folder);
    return appSettings.save();
}

// The journals wait in the per-user data folder.
QString CalibrationReporter::journalFolder()
{
    return appSettings.dataDir.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                                         : appSettings.dataDir;
}

QString CalibrationReporter::issuedFolder()
{
    return journalFolder() + QStringLiteral("/issued");
}

void CalibrationReporter::reportRun(
    const CalibrationJournal::Contents &run, const QString &journal, bool journalWhole, Asker *asker)
{
    IssueRecord record = liveRecord(run);
    const QSharedPointer<SampleStore> store = m_recorder->curve();
    const auto markSaved = [this, store] {
        if (store && !store->isEmpty() && m_recorder->curve() == store)
            m_recorder->markSaved();
    };
    CalibrationJournal opened;
    QString error;
    if (!journal.isEmpty() && journalWhole && opened.open(journal, &error)
        && issue(&opened, &record, &error)) {
        if (deliverIssued(&opened, record, true, asker)) {
            markSaved();
            emit reported(Fate::Written, m_lastReport, false);
        } else {
            // The curve waits beside the journal, for the report written later.
            emit reported(record.curveFiles || record.curve == IssueRecord::Curve::None
                    ? Fate::Waiting
                    : Fate::WaitingWithoutCurve,
                journal, false);
        }
        return;
    }
    // No journal takes the record: the report is written from memory, or lost.
    opened.close();
    std::optional<CalibrationReportContent> report = contentOf(record, QString());
    if (store && !store->isEmpty()) {
        const CurveSnapshot snapshot = m_recorder->snapshot(QCoreApplication::applicationName());
        report->writeCurve = [snapshot](const QString &fileName) {
            return WriteFileThread::writeCurveFile(fileName, snapshot);
        };
        report->writeCurveCsv = [snapshot](const QString &fileName) {
            return WriteFileThread::writeCsvFile(fileName, snapshot);
        };
    }
    report->certificate.chart = curveImage(*m_recorder, CalibrationPdf::chartSize());
    prepareIssue(record, &*report, asker);
    if (deliver(*report, false, asker)) {
        recordIssue(record.number(), IssueRecord::hash(record.toJson()), m_lastFiles);
        markSaved();
        if (!journal.isEmpty())
            CalibrationJournal::remove(journal);
        emit reported(Fate::Written, m_lastReport, false);
        return;
    }
    if (m_audit)
        m_audit->notIssued(record.number(), QStringLiteral("given up: the report could not be written"));
    emit reported(Fate::Lost, QString(), false);
}

IssueRecord CalibrationReporter::liveRecord(const CalibrationJournal::Contents &run) const
{
    IssueRecord record;
    record.run = run;
    record.issuedAt = QDateTime::currentDateTime();
    record.lab = LabSettings::read(appSettings);
    record.auditHead = m_audit ? m_audit->head() : QString();
    const QSharedPointer<SampleStore> curve = m_recorder->curve();
    if (!curve || curve->isEmpty())
        return record;
    // The recording drops its oldest samples once full; the curve then starts after the run did.
    const double firstSecond = curve->at(0).key;
    if (firstSecond * 1000 <= 2.0 * m_recorder->info().intervalMs) {
        record.curve = IssueRecord::Curve::Whole;
    } else {
        record.curve = IssueRecord::Curve::Partial;
        record.curveFromMsecs = m_recorder->info().startMsecs + qint64(std::llround(firstSecond * 1000));
    }
    return record;
}

QString CalibrationReporter::curveNote(const IssueRecord &record) const
{
    switch (record.curve) {
    case IssueRecord::Curve::None:
        break;
    case IssueRecord::Curve::Whole:
        return tr("完整");
    case IssueRecord::Curve::Partial:
        return tr("自 %1 起（更早的部分超出了表格容量）")
            .arg(QDateTime::fromMSecsSinceEpoch(record.curveFromMsecs).toString(QStringLiteral("HH:mm:ss")));
    case IssueRecord::Curve::Beside:
        return tr("见同名的 .txt 文件");
    case IssueRecord::Curve::Lost:
        return tr("未保存（程序在校准中退出）");
    }
    return tr("无");
}

namespace {

// A second name for the file kept beside the journal where the system gives one, a copy otherwise: a
// curve of hours is not written twice.
std::function<SaveResult(const QString &)> linkOrCopy(const QString &from)
{
    return [from](const QString &fileName) {
        if (linkFile(from, fileName) == 0)
            return SaveResult::success();
        QFile source(from);
        if (!source.open(QIODevice::ReadOnly))
            return SaveResult::failure(source.errorString());
        const QByteArray bytes = source.readAll();
        return saveAtomically(
            fileName, [&bytes](QIODevice *file) { return file->write(bytes) == bytes.size(); });
    };
}

// Whether `pdf` carries a signature: a signature field's byte range is what every signed PDF has and an
// unsigned certificate never does.
bool carriesSignature(const QByteArray &pdf)
{
    return pdf.contains("/ByteRange");
}

// The one file of the set that ends in `suffix`.
QString fileWithSuffix(const QStringList &files, const QString &suffix)
{
    const auto found = std::find_if(
        files.begin(), files.end(), [&suffix](const QString &file) { return file.endsWith(suffix); });
    return found == files.end() ? QString() : *found;
}

SaveResult journalNote(CalibrationJournal *journal, const QJsonObject &line)
{
    QString error;
    return journal->appendObject(line, &error) ? SaveResult::success() : SaveResult::failure(error);
}

} // namespace

std::optional<CalibrationReportContent> CalibrationReporter::contentOf(
    const IssueRecord &record, const QString &journal) const
{
    CalibrationReportContent report;
    report.at = record.issuedAt;
    report.csv
        = CalibrationReport::csv(record.run.header.run, record.run.results, record.run.header.wallAtZero);
    CalibrationCertificate::Input input;
    input.header = record.run.header;
    input.results = record.run.results;
    input.outages = record.run.outages;
    input.end = record.run.end;
    input.lab = record.lab;
    input.issued = record.issuedAt.date();
    input.curveNote = curveNote(record);
    input.auditHead = record.auditHead;
    input.replaces = record.replaces;
    if (!journal.isEmpty() && !record.chartSha256.isEmpty()) {
        const QString chart = CalibrationJournal::chartPath(journal);
        if (fileSha256(chart) != record.chartSha256 || !input.chart.load(chart, "PNG"))
            return std::nullopt;
    }
    if (!journal.isEmpty() && record.curveFiles) {
        if (!QFileInfo(CalibrationJournal::curvePath(journal)).isFile()
            || !QFileInfo(CalibrationJournal::curveCsvPath(journal)).isFile())
            return std::nullopt;
        report.writeCurve = linkOrCopy(CalibrationJournal::curvePath(journal));
        report.writeCurveCsv = linkOrCopy(CalibrationJournal::curveCsvPath(journal));
    }
    report.certificate = CalibrationCertificate::document(input);
    return report;
}

bool CalibrationReporter::issue(CalibrationJournal *journal, IssueRecord *record, QString *error) const
{
    const QString path = journal->path();
    const QSharedPointer<SampleStore> curve = m_recorder->curve();
    if (record->curve != IssueRecord::Curve::None && curve && !curve->isEmpty()) {
        // The curve file keeps one decimal; the table keeps what the tiles showed.
        const CurveSnapshot snapshot = m_recorder->snapshot(QCoreApplication::applicationName());
        record->curveFiles = WriteFileThread::writeCurveFile(CalibrationJournal::curvePath(path), snapshot)
            && WriteFileThread::writeCsvFile(CalibrationJournal::curveCsvPath(path), snapshot);
    }
    const QPixmap chart = curveImage(*m_recorder, CalibrationPdf::chartSize());
    if (!chart.isNull()) {
        const QString chartFile = CalibrationJournal::chartPath(path);
        const SaveResult saved
            = saveAtomically(chartFile, [&chart](QIODevice *file) { return chart.save(file, "PNG"); });
        record->chartSha256 = saved ? fileSha256(chartFile) : QString();
    }
    const QJsonObject json = record->toJson();
    return journal->appendObject(
        QJsonObject {{QStringLiteral("issued"), json}, {QStringLiteral("sha256"), IssueRecord::hash(json)}},
        error);
}

bool CalibrationReporter::deliverIssued(
    CalibrationJournal *journal, const IssueRecord &record, bool mayWait, Asker *asker)
{
    const QString path = journal->path();
    const QJsonObject json = record.toJson();
    const QJsonObject issued {
        {QStringLiteral("issued"), json}, {QStringLiteral("sha256"), IssueRecord::hash(json)}};
    QString error;
    // One number, one content: a record archived under it already must be this one.
    const QString archived = QDir(issuedFolder()).filePath(record.number() + QStringLiteral(".json"));
    if (QFileInfo::exists(archived)
        && QJsonDocument::fromJson(fileBytes(archived)).object().value(QLatin1String("sha256"))
            != issued.value(QLatin1String("sha256"))) {
        emit journalUnreadable(path, tr("证书编号 %1 已用于另一份证书").arg(record.number()));
        return false;
    }
    std::optional<CalibrationReportContent> content = contentOf(record, path);
    if (!content) {
        emit journalUnreadable(path, tr("证书 %1 的曲线或图表已不在记录旁").arg(record.number()));
        return false;
    }
    prepareIssue(record, &*content, asker);
    CalibrationReportNotes notes;
    notes.staging = [journal](const QString &folder, const QString &token) {
        return journalNote(journal,
            {{QStringLiteral("staging"),
                QJsonObject {{QStringLiteral("folder"), folder}, {QStringLiteral("token"), token}}}});
    };
    notes.committing = [journal](const QStringList &files, const QStringList &identities) {
        return journalNote(journal,
            {{QStringLiteral("commit"),
                QJsonObject {{QStringLiteral("files"), QJsonArray::fromStringList(files)},
                    {QStringLiteral("ids"), QJsonArray::fromStringList(identities)}}}});
    };
    if (!deliver(*content, mayWait, asker, notes))
        return false;
    recordIssue(record.number(), issued.value(QLatin1String("sha256")).toString(), m_lastFiles);
    if (!archive(issued, CalibrationJournal::chartPath(path), m_lastFiles, &error))
        emit journalUnreadable(path, error);
    journal->close();
    CalibrationJournal::remove(path);
    return true;
}

bool CalibrationReporter::archive(
    const QJsonObject &issue, const QString &chart, const QStringList &files, QString *error) const
{
    const QString folder = issuedFolder();
    const QString number
        = issue.value(QLatin1String("issued")).toObject().value(QLatin1String("number")).toString();
    if (!QDir().mkpath(folder)) {
        *error = SaveResult::systemError(errno).message(folder);
        return false;
    }
    QJsonObject kept = issue;
    kept.insert(QStringLiteral("files"), QJsonArray::fromStringList(files));
    const QByteArray bytes = QJsonDocument(kept).toJson();
    const QString base = QDir(folder).filePath(number);
    SaveResult saved = saveAtomically(base + QStringLiteral(".json"),
        [&bytes](QIODevice *file) { return file->write(bytes) == bytes.size(); });
    if (saved && !chart.isEmpty() && QFileInfo::exists(chart)) {
        QFile::remove(base + QStringLiteral(".png"));
        saved = linkOrCopy(chart)(base + QStringLiteral(".png"));
    }
    if (!saved)
        *error = saved.message(base + QStringLiteral(".json"));
    return saved.ok();
}

bool CalibrationReporter::settleInterrupted(
    const CalibrationJournal::Contents &contents, QStringList *files) const
{
    for (const QJsonObject &staging : contents.staging)
        removeStagedReport(staging.value(QLatin1String("folder")).toString(),
            staging.value(QLatin1String("token")).toString());
    // Only the last naming can have been whole: each earlier one gave its names back before the next.
    for (int i = contents.commits.size() - 1; i >= 0; --i) {
        const QStringList names
            = contents.commits.at(i).value(QLatin1String("files")).toVariant().toStringList();
        const QStringList ids = contents.commits.at(i).value(QLatin1String("ids")).toVariant().toStringList();
        QStringList ours;
        for (int f = 0; f < names.size(); ++f)
            if (!ids.value(f).isEmpty() && fileIdentity(names.at(f)) == ids.value(f))
                ours << names.at(f);
        if (i == contents.commits.size() - 1 && !names.isEmpty() && ours.size() == names.size()) {
            *files = names;
            return true;
        }
        // A file under one of these names that is not ours belongs to another report and stays.
        for (const QString &name : qAsConst(ours))
            QFile::remove(name);
    }
    return false;
}

void CalibrationReporter::prepareIssue(
    const IssueRecord &record, CalibrationReportContent *content, Asker *asker)
{
    prepareTwin(record, content, prepareSignature(record, content, asker, Asker::SignatureMoment::AtIssue));
}

void CalibrationReporter::prepareTwin(const IssueRecord &record, CalibrationReportContent *content,
    const std::shared_ptr<const SigningKey> &key)
{
    content->twin = nullptr;
    m_twinMissing = false;
    if (record.number().isEmpty())
        return;
    // Importing systems need the lab's country; the PDF goes out without its twin rather than not at all.
    if (!LabSettings::isValidCountry(record.lab.country)) {
        m_twinMissing = true;
        return;
    }
    DccWriter::Input input;
    input.record = record;
    input.pdfFileName = record.number() + QStringLiteral(".pdf");
    input.auditHead = record.auditHead;
    input.replaces = record.replaces;
    input.replacesSha256 = record.replacesSha256;
    input.language = tr("zh", "ISO 639-1 code of the language certificates are written in");
    input.softwareName = QCoreApplication::applicationName();
    input.softwareRelease = QCoreApplication::applicationVersion();
    content->twin = [input, key](const QByteArray &pdf, QString *error) mutable {
        input.pdf = pdf;
        const QByteArray xml = DccWriter::write(input, error);
        if (xml.isEmpty() || !key)
            return xml;
        const XmlSigner::Result signedXml = XmlSigner::sign(xml, *key);
        if (!signedXml.ok())
            *error = signedXml.error;
        return signedXml.xml;
    };
}

std::shared_ptr<const SigningKey> CalibrationReporter::prepareSignature(
    const IssueRecord &record, CalibrationReportContent *content, Asker *asker, Asker::SignatureMoment moment)
{
    m_lastSignature = IssueSignature {};
    content->sign = nullptr;
    const SigningSettings settings = SigningSettings::read(appSettings);
    if (record.number().isEmpty()) {
        m_lastSignature.state = IssueSignature::State::NotCertificate;
        return nullptr;
    }
    if (!settings.isConfigured())
        return nullptr;
    if (asker->isUnattended()) {
        m_lastSignature.state = IssueSignature::State::Unattended;
        return nullptr;
    }
    const QString signatory = record.run.header.run.certificate.signatory;
    const bool pkcs12 = settings.kind == SigningSettings::Kind::Pkcs12;
    const QString keyName = pkcs12 ? settings.pkcs12File : settings.keyFile;
    QString refusal;
    for (;;) {
        std::optional<Asker::SignatureConsent> consent
            = asker->confirmSignature(record.number(), signatory, keyName, refusal, moment);
        if (!consent) {
            m_lastSignature.state = IssueSignature::State::Declined;
            return nullptr;
        }
        auto key = std::make_shared<SigningKey>(pkcs12
                ? SigningKey::fromPkcs12(settings.pkcs12File, consent->password, &refusal)
                : SigningKey::fromPem(
                    settings.keyFile, settings.certificateFile, consent->password, &refusal));
        consent->password.fill('\0');
        if (key->isNull())
            continue;
        // Refused here already, so the signatory can decline instead of failing the write.
        if (key->commonName().simplified() != signatory.simplified()) {
            refusal = tr("签名证书属于“%1”，而本证书的签发人是“%2”").arg(key->commonName(), signatory);
            continue;
        }
        SignatureLook look;
        look.meaning = consent->meaning;
        look.signatory = signatory;
        look.at = QDateTime::currentDateTimeUtc();
        look.location = record.lab.name;
        content->sign = [key, look](const QByteArray &pdf) { return signPdf(pdf, *key, look); };
        m_lastSignature.state = IssueSignature::State::Signed;
        m_lastSignature.signatory = key->commonName();
        m_lastSignature.meaning = look.meaning;
        m_lastSignature.at = look.at;
        return key;
    }
}

bool CalibrationReporter::deliver(
    const CalibrationReportContent &content, bool mayWait, Asker *asker, const CalibrationReportNotes &notes)
{
    QString folder;
    for (;;) {
        if (folder.isEmpty()) {
            folder = storedFolder();
            if (folder.isEmpty() && !asker->isUnattended()) {
                folder = asker->chooseReportFolder(LastFolders(appSettings).folder(LastFolders::Reports));
                if (!folder.isEmpty())
                    if (const SaveResult saved = storeFolder(folder); !saved)
                        asker->settingsNotSaved(saved.message(appSettings.filePath()));
            }
        }
        CalibrationReportWrite written;
        if (!folder.isEmpty()) {
            written = writeCalibrationReport(folder, content, notes);
            if (written.result) {
                m_lastReport = written.csvFile;
                m_lastFiles = written.files;
                emit reportWritten(written.files);
                return true;
            }
        }
        if (asker->reportNotWritten(&folder, written.result, written.failedFile, mayWait)
            == Asker::ReportChoice::Later)
            return false;
    }
}

QString CalibrationReporter::lastTwinMissing() const
{
    return m_twinMissing ? tr("未生成机器可读证书：未设置实验室所在的国家或地区") : QString();
}

void CalibrationReporter::recordIssue(const QString &number, const QString &sha256, const QStringList &files,
    const QString &recoveredSignature) const
{
    if (!m_audit)
        return;
    QJsonObject more;
    if (!number.isEmpty()) {
        more.insert(QStringLiteral("signature"),
            recoveredSignature.isEmpty() ? m_lastSignature.auditText() : recoveredSignature);
        if (m_twinMissing)
            more.insert(QStringLiteral("twin"), QStringLiteral("none: the lab's country is not set"));
    }
    m_audit->issued(number, !number.isEmpty(), sha256, files, more);
}

bool CalibrationReporter::checkIssuedFiles(
    const QString &number, const QStringList &files, QHash<QString, QString> *recorded, QString *error) const
{
    recorded->clear();
    if (!m_audit || !m_audit->isOn())
        return true;
    QString problem;
    *recorded = m_audit->issuedFiles(number, &problem);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    for (const QString &file : files) {
        if (!recorded->contains(file) || fileSha256(file) != recorded->value(file)) {
            *error = tr("证书 %1 的文件已不是签发时的文件：%2").arg(number, file);
            return false;
        }
    }
    return true;
}

QStringList CalibrationReporter::pendingJournals()
{
    QStringList journals = CalibrationJournal::list(journalFolder());
    // Not those of runs still going, here or in another instance of the program.
    journals.erase(
        std::remove_if(journals.begin(), journals.end(), &CalibrationJournal::inUse), journals.end());
    return journals;
}

void CalibrationReporter::offerPending(Asker *asker)
{
    const QStringList journals = pendingJournals();
    if (journals.isEmpty() || !asker->writePendingReports(journals.size()))
        return;
    for (const QString &journal : journals) {
        CalibrationJournal opened;
        QString error;
        // Another instance took it meanwhile.
        if (!opened.open(journal, &error))
            continue;
        CalibrationJournal::Contents contents;
        if (!CalibrationJournal::read(journal, &contents, &error)) {
            emit journalUnreadable(journal, error);
            continue;
        }
        std::optional<IssueRecord> record;
        if (contents.issue.isEmpty()) {
            // Never issued: the report is made now, from the journal.
            record.emplace();
            record->run
                = {contents.header, CalibrationJournal::reportRows(contents), contents.outages, contents.end};
            record->issuedAt = QDateTime::currentDateTime();
            record->lab = LabSettings::read(appSettings);
            record->auditHead = m_audit ? m_audit->head() : QString();
            record->curveFiles = QFileInfo(CalibrationJournal::curvePath(journal)).isFile()
                && QFileInfo(CalibrationJournal::curveCsvPath(journal)).isFile();
            // Only a run the program left while it went on lost its curve that way.
            record->curve = record->curveFiles                  ? IssueRecord::Curve::Beside
                : contents.end == CalibrationJournal::End::None ? IssueRecord::Curve::Lost
                                                                : IssueRecord::Curve::None;
            const QJsonObject json = record->toJson();
            if (!opened.appendObject(QJsonObject {{QStringLiteral("issued"), json},
                                         {QStringLiteral("sha256"), IssueRecord::hash(json)}},
                    &error)) {
                emit journalUnreadable(journal, error);
                continue;
            }
        } else {
            const QJsonObject json = contents.issue.value(QLatin1String("issued")).toObject();
            if (IssueRecord::hash(json) == contents.issue.value(QLatin1String("sha256")).toString())
                record = IssueRecord::fromJson(json);
            if (!record) {
                emit journalUnreadable(journal, tr("证书的签发记录已损坏"));
                continue;
            }
            // A crash during the write: the set stands if it was named whole, else it goes.
            QStringList files;
            if (settleInterrupted(contents, &files)) {
                // The crash may have come before the trail heard of it; a second line for it says the same,
                // with what the files themselves show, since who signed went with the crash.
                const QString pdf = fileWithSuffix(files, QStringLiteral(".pdf"));
                m_twinMissing = !record->number().isEmpty()
                    && fileWithSuffix(files, QStringLiteral(".dcc.xml")).isEmpty();
                recordIssue(record->number(), contents.issue.value(QLatin1String("sha256")).toString(), files,
                    carriesSignature(fileBytes(pdf)) ? QStringLiteral("signed: written before a crash")
                                                     : QStringLiteral("unsigned: written before a crash"));
                if (!archive(contents.issue, CalibrationJournal::chartPath(journal), files, &error))
                    emit journalUnreadable(journal, error);
                opened.close();
                CalibrationJournal::remove(journal);
                m_lastReport = files.first();
                m_lastFiles = files;
                emit reportWritten(files);
                emit reported(Fate::Written, m_lastReport, true);
                continue;
            }
        }
        if (!deliverIssued(&opened, *record, true, asker))
            return;
        emit reported(Fate::Written, m_lastReport, true);
    }
}

std::optional<IssueRecord> CalibrationReporter::readIssued(
    const QString &number, QStringList *files, QString *error)
{
    const QString path = QDir(issuedFolder()).filePath(number + QStringLiteral(".json"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString() + QStringLiteral(": ") + path;
        return std::nullopt;
    }
    const QJsonObject kept = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject json = kept.value(QLatin1String("issued")).toObject();
    std::optional<IssueRecord> record;
    if (IssueRecord::hash(json) == kept.value(QLatin1String("sha256")).toString())
        record = IssueRecord::fromJson(json);
    if (!record || record->number() != number) {
        *error = tr("证书 %1 的签发记录已损坏").arg(number);
        return std::nullopt;
    }
    *files = kept.value(QLatin1String("files")).toVariant().toStringList();
    return record;
}

namespace {

// Adds `key` to the archived record of `number`, beside what it holds.
SaveResult noteInArchive(const QString &path, const QString &key, const QJsonObject &value)
{
    QJsonObject kept = QJsonDocument::fromJson(fileBytes(path)).object();
    kept.insert(key, value);
    const QByteArray bytes = QJsonDocument(kept).toJson();
    return saveAtomically(path, [&bytes](QIODevice *file) { return file->write(bytes) == bytes.size(); });
}

} // namespace

IssueSignature CalibrationReporter::signLater(const QString &number, Asker *asker, QString *error)
{
    QStringList files;
    const std::optional<IssueRecord> record = readIssued(number, &files, error);
    IssueSignature outcome;
    if (!record)
        return outcome;
    // "-curve.csv" ends in ".csv" too; the PDF is the one file of its kind.
    const QString pdf = fileWithSuffix(files, QStringLiteral(".pdf"));
    const QByteArray bytes = fileBytes(pdf);
    if (bytes.isEmpty()) {
        *error = tr("证书 %1 的 PDF 文件不在原处：%2").arg(number, pdf);
        return outcome;
    }
    if (carriesSignature(bytes)) {
        *error = tr("证书 %1 已经签名").arg(number);
        return outcome;
    }
    const QString kept = QDir(issuedFolder()).filePath(number + QStringLiteral(".json"));
    const QString dcc = fileWithSuffix(files, QStringLiteral(".dcc.xml"));
    // What gets signed must be what was issued: a PDF edited since would otherwise come out signed.
    QHash<QString, QString> recorded;
    QStringList signedFiles {pdf};
    if (!dcc.isEmpty())
        signedFiles << dcc;
    if (!checkIssuedFiles(number, signedFiles, &recorded, error))
        return outcome;
    CalibrationReportContent content;
    const std::shared_ptr<const SigningKey> key
        = prepareSignature(*record, &content, asker, Asker::SignatureMoment::Later);
    if (!content.sign)
        return m_lastSignature;
    // The twin embeds the PDF: made anew around the signed one and signed with the same key.
    if (!dcc.isEmpty())
        prepareTwin(*record, &content, key);
    const SignResult signedPdf = content.sign(bytes);
    if (!signedPdf.ok()) {
        *error = signedPdf.error;
        return outcome;
    }
    QByteArray twin;
    if (content.twin) {
        twin = content.twin(signedPdf.pdf, error);
        if (twin.isEmpty())
            return outcome;
    }
    const auto save = [](const QString &file, const QByteArray &data) {
        return saveAtomically(file, [&data](QIODevice *out) { return out->write(data) == data.size(); });
    };
    if (const SaveResult saved = save(pdf, signedPdf.pdf); !saved) {
        *error = saved.message(pdf);
        return outcome;
    }
    const SaveResult twinSaved = twin.isEmpty() ? SaveResult::success() : save(dcc, twin);
    // The trail holds the files as they are now, the twin unsigned still if it could not be replaced.
    if (m_audit)
        m_audit->signedLater(number, IssueRecord::hash(record->toJson()), files,
            {{QStringLiteral("signature"), m_lastSignature.auditText()},
                {QStringLiteral("signedFrom"), recorded.value(pdf)},
                {QStringLiteral("twin"),
                    twin.isEmpty()  ? QStringLiteral("none")
                        : twinSaved ? QStringLiteral("signed")
                                    : QStringLiteral("unsigned: not replaced")}});
    if (!twinSaved) {
        *error = twinSaved.message(dcc);
        return outcome;
    }
    const SaveResult noted = noteInArchive(kept, QStringLiteral("signedLater"),
        {{QStringLiteral("signatory"), m_lastSignature.signatory},
            {QStringLiteral("meaning"), m_lastSignature.auditText()},
            {QStringLiteral("at"), m_lastSignature.at.toString(Qt::ISODateWithMs)}});
    if (!noted)
        *error = noted.message(kept);
    return m_lastSignature;
}

QString CalibrationReporter::amend(
    const QString &number, const CertificateAmendment &amendment, Asker *asker, QString *error)
{
    QStringList oldFiles;
    const std::optional<IssueRecord> old = readIssued(number, &oldFiles, error);
    if (!old)
        return QString();
    if (old->number().isEmpty() || amendment == CertificateAmendment::of(*old)) {
        *error = tr("没有要更正的内容");
        return QString();
    }
    if (!amendment.isValid()) {
        *error = tr("国家代码须为 ISO 3166-1 的两个大写字母，或留空");
        return QString();
    }
    // What the amendment takes over from the replaced certificate must be as it was issued: its curve
    // and table, and its PDF's hash, which the new certificate names.
    const QString oldPdf = fileWithSuffix(oldFiles, QStringLiteral(".pdf"));
    const QString curve = fileWithSuffix(oldFiles, QStringLiteral(".txt"));
    const QString curveCsv = fileWithSuffix(oldFiles, QStringLiteral("-curve.csv"));
    QStringList carried;
    for (const QString &file : {curve, curveCsv})
        if (!file.isEmpty())
            carried << file;
    QHash<QString, QString> recorded;
    if (!checkIssuedFiles(number, carried, &recorded, error))
        return QString();
    const QString chart = QDir(issuedFolder()).filePath(number + QStringLiteral(".png"));
    QPixmap chartImage;
    const bool chartKept = old->chartSha256.isEmpty()
        || (fileSha256(chart) == old->chartSha256 && chartImage.load(chart, "PNG"));
    if (!chartKept || !std::all_of(carried.cbegin(), carried.cend(), [](const QString &file) {
            return QFileInfo(file).isFile();
        })) {
        *error = tr("证书 %1 的曲线或图表已不在记录旁").arg(number);
        return QString();
    }
    const QString newNumber = RunRecord::takeNumber(QDate::currentDate(), error);
    if (newNumber.isEmpty())
        return QString();
    IssueRecord amended = amendment.applyTo(*old, newNumber, QDateTime::currentDateTime());
    // The new certificate is anchored where the trail stands before its amendment and issue lines.
    amended.auditHead = m_audit ? m_audit->head() : QString();
    amended.replacesSha256 = recorded.isEmpty() ? fileSha256(oldPdf) : recorded.value(oldPdf);
    std::optional<CalibrationReportContent> content = contentOf(amended, QString());
    content->certificate.chart = chartImage;
    if (!curve.isEmpty())
        content->writeCurve = linkOrCopy(curve);
    if (!curveCsv.isEmpty())
        content->writeCurveCsv = linkOrCopy(curveCsv);
    prepareIssue(amended, &*content, asker);
    if (!deliver(*content, true, asker)) {
        if (m_audit)
            m_audit->notIssued(
                newNumber, QStringLiteral("the amendment of %1 could not be written").arg(number));
        *error = tr("证书 %1 的修订版未写出；编号 %2 不再使用").arg(number, newNumber);
        return QString();
    }
    const QJsonObject json = amended.toJson();
    if (m_audit)
        m_audit->amended(number, newNumber, amendment.changes(*old));
    recordIssue(newNumber, IssueRecord::hash(json), m_lastFiles);
    if (!archive({{QStringLiteral("issued"), json}, {QStringLiteral("sha256"), IssueRecord::hash(json)}},
            old->chartSha256.isEmpty() ? QString() : chart, m_lastFiles, error))
        emit journalUnreadable(QString(), *error);
    return newNumber;
}
