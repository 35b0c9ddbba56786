#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

// Text values under text keys, mirrored to config.xml in the per-user settings folder.
// Used from the GUI thread only. Call load() then applyDefaults() once the QCoreApplication exists and
// before anything reads a value; the object saves itself once more when it is destroyed.
class Settings : public QObject
{
    Q_OBJECT

public:
    Settings();
    ~Settings() override;

    bool load();
    void applyDefaults();
    // Replaces config.xml as a whole or not at all; does nothing before load() has fixed the folder.
    void save();
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
    QString configDir;

private:
    void readSettingsElement();
    void readChartElement();
    void skipUnknownElement();
    // Known keys in their default order, then the others sorted, so saved files are stable and diffable.
    QStringList orderedKeys() const;

    QXmlStreamReader reader;
    QHash<QString, QString> values;
};

// The process-wide store, alive from static initialisation to static destruction.
extern Settings appSettings;
