#pragma once

#include "files/saveresult.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

// Text values under text keys, mirrored to config.xml in the per-user settings folder.
// Used from the GUI thread only. Call load() then applyDefaults() once the QCoreApplication exists and
// before anything reads a value; the object saves itself once more when it is destroyed, and says on
// stderr when that save fails.
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
    // Replaces config.xml as a whole or not at all, and says why not. Fails without writing before load()
    // has fixed the folder and while an unreadable file could not be moved aside; writes through a symbolic
    // link to its target; refuses anything that is not a regular file.
    SaveResult save();
    QString value(const QString &key, const QString &fallback) const;
    void setValue(const QString &key, const QString &text);

    // Full path of config.xml; empty before load().
    QString filePath() const;

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
    QString configDir;
    // The per-user data folder (run journals); named after the executable like configDir, by load().
    QString dataDir;

private:
    // Whether `text` is a value the chart and its settings dialog both show as it is: for "ChartLineCache"
    // an integer in 1..10000, for "ChartLineFPS" one of the dialog's ten intervals, for "StableBand" and
    // "StableWindow" a value in the dialog's range (stabilitylimits.h); any other key takes any text but
    // an empty one.
    bool isUsableValue(const QString &key, const QString &text) const;
    void readSettingsElement();
    void readChartElement();
    void skipUnknownElement();
    void moveAside(const QString &path);
    // Known keys in their default order, then the others sorted, so saved files are stable and diffable.
    QStringList orderedKeys() const;

    QXmlStreamReader reader;
    QHash<QString, QString> values;
    // Set when an unreadable config.xml could not be moved aside: saving would destroy it.
    bool m_keepUnreadableFile = false;
};

// The process-wide store, alive from static initialisation to static destruction.
extern Settings appSettings;
