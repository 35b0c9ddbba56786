#pragma once

#include "files/saveresult.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

// Text values under text keys, mirrored to config.xml in the profile's settings folder.
// Used from the GUI thread only. Call load() then applyDefaults() once the QCoreApplication exists and
// before anything reads a value. Several instances may share one config.xml: a save reads the file again
// under a lock on its folder and writes back only the keys this instance changed (and defaults the file
// lacks) over what it finds, so no instance puts back what another one wrote. The object saves itself once
// more when it is destroyed, if it changed anything, and says on stderr when that save fails.
class Settings : public QObject
{
    Q_OBJECT

public:
    Settings();
    ~Settings() override;

    // A config.xml that exists but cannot be read or parsed is moved aside, so no save replaces it; the
    // entries read before the fault are kept. The copy aside is made the user's alone, as it may hold a
    // password.
    bool load();
    // Fills in the default of every known key whose value is missing or not usable (isUsableValue). The
    // stability keys are only repaired, not added: until the dialog stores them their readers use the
    // defaults, and a first start writes the same file as before they existed.
    void applyDefaults();
    // Merges this instance's changes into config.xml as it is now and replaces the file as a whole or not
    // at all, and says why not; values this instance did not change are then taken from the file. Fails
    // without writing before load() has fixed the folder, while an unreadable file could not be moved aside
    // and while another instance holds the lock for longer than a save takes; writes through a symbolic
    // link to its target; refuses anything that is not a regular file.
    SaveResult save();
    QString value(const QString &key, const QString &fallback) const;
    void setValue(const QString &key, const QString &text);

    // Full path of config.xml; empty before load().
    QString filePath() const;

signals:
    // A save put `key`'s value `now` on disk, changed by setValue() from `old` (empty when it had none)
    // since the save before: for the audit trail, which must not tell of a change the file never got.
    void valueChanged(const QString &key, const QString &old, const QString &now);

public:
    const QString rootElement = QStringLiteral("Settings");
    const QString chartElement = QStringLiteral("Chart");
    const QString chartLineWidthKey = QStringLiteral("ChartLineWidth");
    const QString chartLineColorKey = QStringLiteral("ChartLineColor");
    const QString chartLineCacheKey = QStringLiteral("ChartLineCache");
    const QString chartLineFpsKey = QStringLiteral("ChartLineFPS");
    const QString languageKey = QStringLiteral("Language");
    const QString stableBandKey = QStringLiteral("StableBand");
    const QString stableWindowKey = QStringLiteral("StableWindow");
    // A secret in plain text: from the first save that holds one, config.xml is the user's alone (0600).
    const QString mqttPasswordKey = QStringLiteral("MqttPassword");
    // The profile whose files load() finds (profile.h); empty for the default one. Set before load().
    QString profile;
    QString configDir;
    // The profile's data folder (run journals, recordings); named after the executable like configDir, by
    // load().
    QString dataDir;
    // The user's data folder above every profile's, which keeps what all of them share (the certificate
    // counter); set by load().
    QString userDataDir;

private:
    // Whether `text` is a value the chart and its settings dialog both show as it is: for "ChartLineCache"
    // an integer in 1..10000, for "ChartLineFPS" one of the dialog's ten intervals, for "StableBand" and
    // "StableWindow" a value in the dialog's range (stabilitylimits.h); any other key takes any text but
    // an empty one.
    bool isUsableValue(const QString &key, const QString &text) const;
    enum class ReadOutcome { Read, Missing, Failed };
    // Reads the entries of config.xml at `path` into `into`; a file that cannot be read or parsed is
    // told on stderr and moved aside, the entries read before the fault kept.
    ReadOutcome readFile(const QString &path, QHash<QString, QString> *into);
    void readSettingsElement(QHash<QString, QString> *into);
    void readChartElement(QHash<QString, QString> *into);
    void skipUnknownElement();
    void moveAside(const QString &path);
    // The file's content merged with this instance's changes, written unless `onlyIfChanged` and the file
    // already holds it.
    SaveResult saveMerged(bool onlyIfChanged);
    // Known keys in their default order, then the others sorted, so saved files are stable and diffable.
    QStringList orderedKeys(const QHash<QString, QString> &entries) const;

    QXmlStreamReader reader;
    QHash<QString, QString> values;
    // Keys this instance set since its last save: theirs to write over what the file holds.
    QSet<QString> m_changed;
    QHash<QString, QString> m_changedFrom; // each key setValue() changed since the last save: its value then
    // Keys applyDefaults() filled in: written only where the file has no usable value of its own.
    QSet<QString> m_defaulted;
    // Set when an unreadable config.xml could not be moved aside: saving would destroy it.
    bool m_keepUnreadableFile = false;
};

// The process-wide store, alive from static initialisation to static destruction.
extern Settings appSettings;
