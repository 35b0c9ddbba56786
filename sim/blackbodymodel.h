#pragma once

#include <QString>
#include <QStringList>

namespace sim {

// A blackbody model's line and wire conventions and the set-point range its controller accepts.
struct BlackbodyModel
{
    QString name;
    int stopBits = 1;
    double wireUnit = 0.1; // degrees Celsius per wire count
    double minSetPoint = 0.0;
    double maxSetPoint = 0.0;

    bool isValid() const { return !name.isEmpty(); }
    // The model of that name (case-insensitive); an invalid model when there is none.
    static BlackbodyModel find(const QString &name);
    static QStringList names();
};

} // namespace sim
