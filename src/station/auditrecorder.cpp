#include "auditrecorder.h"

#include "control/auditline.h"
#include "files/audittrail.h"
#include "files/filehash.h"
#include "settings/certificatecounter.h"
#include "settings/settings.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QLocale>

namespace {

// Keys the window keeps for its own convenience: no record depends on them.
bool isWindowState(const QString &key)
{
    return key.startsWith(QLatin1String("Last")) || key.startsWith(QLatin1String("Window"))
        || key == QLatin1String("ChartLineColor") || key == QLatin1String("ChartLineWidth")
        || key == QLatin1String("Language");
}

const char *requesterName(Requester requester)
{
    switch (requester) {
    case Requester::Window:
        return "window";
    case Requester::Scpi:
        return "scpi";
    case Requester::Mqtt:
        return "mqtt";
    case Requester::Run:
        break;
    }
    return "run";
}

const char *sourceName(TakenReading::Source source)
{
    switch (source) {
    case TakenReading::Source::Typed:
        return "typed";
    case TakenReading::Source::Driver:
        return "captured";
    case TakenReading::Source::Remote:
        break;
    }
    return "supplied";
}

const char *runActName(AuditRecorder::RunAct act)
{
    switch (act) {
    case AuditRecorder::RunAct::Started:
        return "runStarted";
    case AuditRecorder::RunAct::Paused:
        return "runPaused";
    case AuditRecorder::RunAct::Resumed:
        return "runResumed";
    case AuditRecorder::RunAct::Aborted:
        return "runAborted";
    case AuditRecorder::RunAct::Finished:
        break;
    }
    return "runFinished";
}

// Digits as the program shows them, never in the locale's own.
QString text(double value)
{
    return QLocale::c().toString(value, 'g', 12);
}

} // namespace

AuditRecorder::AuditRecorder(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
{ }

AuditRecorder::~AuditRecorder() = default;

namespace {

QString folderOf(const QString &folder)
{
    return folder.isEmpty() ? appSettings.userDataDir : folder;
}

} // namespace

QString AuditRecorder::head() const
{
    const QString folder = folderOf(m_folder);
    if (folder.isEmpty())
        return QString();
    return AuditTrail(AuditTrail::filePath(folder), CertificateCounter::filePath(folder)).head();
}

bool AuditRecorder::isOn() const
{
    return !folderOf(m_folder).isEmpty();
}

QHash<QString, QString> AuditRecorder::issuedFiles(const QString &number, QString *problem) const
{
    QHash<QString, QString> files;
    problem->clear();
    const QString folder = folderOf(m_folder);
    if (folder.isEmpty())
        return files;
    QFile log(AuditTrail::filePath(folder));
    if (!log.open(QIODevice::ReadOnly)) {
        *problem = tr("无法读取审计记录：%1").arg(log.errorString());
        return files;
    }
    AuditCheck chain;
    bool found = false;
    for (int n = 1; !log.atEnd(); ++n) {
        QByteArray line = log.readLine();
        if (!line.endsWith('\n'))
            break; // cut short by a crash: the next append keeps it aside
        line.chop(1);
        chain.feed(line, n);
        if (!chain.ok) {
            *problem = tr("审计记录第 %1 行未通过校验").arg(n);
            return {};
        }
        AuditLine parsed;
        QString reason;
        if (!AuditCheck::parse(line, &parsed, &reason)
            || (parsed.act != QLatin1String("issued") && parsed.act != QLatin1String("signed"))
            || parsed.details.value(QLatin1String("number")).toString() != number)
            continue;
        found = true;
        files.clear();
        for (const QJsonValue &value : parsed.details.value(QLatin1String("files")).toArray())
            files.insert(value.toObject().value(QLatin1String("path")).toString(),
                value.toObject().value(QLatin1String("sha256")).toString());
    }
    if (!found)
        *problem = tr("审计记录中没有证书 %1 的签发记录").arg(number);
    return files;
}

QString AuditRecorder::record(const QString &act, const QJsonObject &details)
{
    const QString folder = folderOf(m_folder);
    if (folder.isEmpty())
        return QString();
    AuditTrail trail(AuditTrail::filePath(folder), CertificateCounter::filePath(folder));
    QString error;
    const QString now = trail.append(act, details, m_operator, &error);
    if (now.isEmpty() && error != m_error)
        emit failed(error);
    m_error = now.isEmpty() ? error : QString();
    return now;
}

void AuditRecorder::setPoint(double celsius, Requester requester, const QString &origin)
{
    record(QStringLiteral("setPoint"),
        {{QStringLiteral("celsius"), text(celsius)},
            {QStringLiteral("requester"), QString::fromLatin1(requesterName(requester))},
            {QStringLiteral("origin"), origin}});
}

void AuditRecorder::recording(bool started)
{
    record(started ? QStringLiteral("recordingStarted") : QStringLiteral("recordingStopped"), {});
}

void AuditRecorder::run(RunAct act, const QString &number, const QJsonObject &details)
{
    QJsonObject said = details;
    said.insert(QStringLiteral("number"), number);
    record(QString::fromLatin1(runActName(act)), said);
}

void AuditRecorder::reading(TakenReading::Source source, int step, const QString &raw, double celsius)
{
    record(QStringLiteral("reading"),
        {{QStringLiteral("source"), QString::fromLatin1(sourceName(source))},
            {QStringLiteral("step"), QString::number(step + 1)}, {QStringLiteral("raw"), raw},
            {QStringLiteral("celsius"), text(celsius)}});
}

namespace {

QJsonArray hashedFiles(const QStringList &files)
{
    QJsonArray hashed;
    for (const QString &file : files)
        hashed.append(
            QJsonObject {{QStringLiteral("path"), file}, {QStringLiteral("sha256"), fileSha256(file)}});
    return hashed;
}

} // namespace

QString AuditRecorder::issued(const QString &number, bool certificate, const QString &recordSha256,
    const QStringList &files, const QJsonObject &more)
{
    QJsonObject details = more;
    details.insert(
        QStringLiteral("kind"), certificate ? QStringLiteral("certificate") : QStringLiteral("testReport"));
    details.insert(QStringLiteral("number"), number);
    details.insert(QStringLiteral("record"), recordSha256);
    details.insert(QStringLiteral("files"), hashedFiles(files));
    return record(QStringLiteral("issued"), details);
}

void AuditRecorder::signedLater(
    const QString &number, const QString &recordSha256, const QStringList &files, const QJsonObject &more)
{
    QJsonObject details = more;
    details.insert(QStringLiteral("number"), number);
    details.insert(QStringLiteral("record"), recordSha256);
    details.insert(QStringLiteral("files"), hashedFiles(files));
    record(QStringLiteral("signed"), details);
}

void AuditRecorder::amended(const QString &number, const QString &amendment, const QStringList &changes)
{
    record(QStringLiteral("amended"),
        {{QStringLiteral("number"), number}, {QStringLiteral("amendment"), amendment},
            {QStringLiteral("changes"), QJsonArray::fromStringList(changes)}});
}

void AuditRecorder::notIssued(const QString &number, const QString &reason)
{
    record(QStringLiteral("notIssued"),
        {{QStringLiteral("number"), number}, {QStringLiteral("reason"), reason}});
}

void AuditRecorder::settingChanged(const QString &key, const QString &old, const QString &now)
{
    if (isWindowState(key))
        return;
    // That it changed is the record; the secret stays in the settings.
    const bool secret = key == appSettings.mqttPasswordKey;
    const QString hidden = QStringLiteral("***");
    record(key.startsWith(QLatin1String("Lab")) ? QStringLiteral("labChanged")
                                                : QStringLiteral("settingChanged"),
        {{QStringLiteral("key"), key}, {QStringLiteral("old"), secret && !old.isEmpty() ? hidden : old},
            {QStringLiteral("new"), secret && !now.isEmpty() ? hidden : now}});
}
