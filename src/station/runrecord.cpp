#include "runrecord.h"

#include "settings/certificatecounter.h"
#include "settings/labsettings.h"
#include "settings/profile.h"
#include "settings/settings.h"
#include "station/calibrationcertificate.h"

const QString RunRecord::certificateCounterKey = QStringLiteral("CertificateCounter");

bool RunRecord::begin(CalibrationJournal::Header header, bool numbered, const QString &folder,
    QString *counterError, QString *journalError)
{
    if (!numbered) {
        header.certificateNumber.clear();
        return open(header, folder, journalError);
    }
    header.certificateNumber = takeNumber(header.started.date(), counterError);
    if (header.certificateNumber.isEmpty())
        return false;
    return open(header, folder, journalError);
}

QString RunRecord::takeNumber(const QDate &day, QString *error)
{
    // Older versions kept the counter in config.xml: no number they gave may come again.
    const qint64 legacy = appSettings.value(certificateCounterKey, QStringLiteral("0")).toLongLong();
    const QString userFolder
        = appSettings.userDataDir.isEmpty() ? Profile::userDataDir() : appSettings.userDataDir;
    const qint64 counter = CertificateCounter::take(CertificateCounter::filePath(userFolder), legacy, error);
    if (counter <= 0)
        return QString();
    return CalibrationCertificate::number(LabSettings::read(appSettings).prefix, day, counter);
}

bool RunRecord::open(const CalibrationJournal::Header &header, const QString &folder, QString *journalError)
{
    m_header = header;
    m_rows = 0;
    m_outages = 0;
    m_whole = m_journal.create(folder, m_header, journalError);
    return true;
}

QVector<CalibrationStepResult> RunRecord::take(
    const QVector<CalibrationStepResult> &rows, const QVector<CalibrationOutage> &outages, QString *error)
{
    const QVector<CalibrationStepResult> ended = rows.mid(m_rows);
    for (; m_rows < rows.size(); ++m_rows) {
        if (!m_journal.isOpen() || m_journal.append(rows.at(m_rows), error))
            continue;
        // Told once; the rows stay in memory for the report at the end.
        m_journal.close();
        m_whole = false;
    }
    for (; m_outages < outages.size(); ++m_outages) {
        QString ignored;
        if (m_journal.isOpen() && !m_journal.appendOutage(outages.at(m_outages), &ignored)) {
            m_journal.close();
            m_whole = false;
        }
    }
    return ended;
}

void RunRecord::end(CalibrationJournal::End end)
{
    QString error;
    if (m_journal.isOpen() && !m_journal.end(end, &error))
        m_whole = false;
    m_journal.close();
}

void RunRecord::leave()
{
    m_journal.close();
}
