#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class Settings;

// The last blackbody connection that opened, kept so the next start offers it again.
struct RememberedLink
{
    QString port; // a listed port name or a typed device path, as it was in the port box
    QString baud; // one of the baud list's texts
    QString model; // a model name

    static const QString portKey;
    static const QString baudKey;
    static const QString modelKey;

    void store(Settings &settings) const;
    // What to select at start-up: nothing unless all three are stored and usable and the port is there
    // (listed, or a typed path that exists), so a vanished adapter leaves the usual start-up choices.
    static std::optional<RememberedLink> restorable(const Settings &settings, const QStringList &listedPorts,
        const QStringList &bauds, const QStringList &models,
        const std::function<bool(const QString &)> &exists);
};
