#include "blackbodymodel.h"

namespace sim {

namespace {

const BlackbodyModel &modelAt(int index)
{
    static const BlackbodyModel models[] = {
        {QStringLiteral("VBM100"), 2, 0.01, 0.0, 100.0},
        {QStringLiteral("VBM400"), 1, 0.1, 0.0, 410.0},
        {QStringLiteral("VBM500"), 1, 0.1, 0.0, 510.0},
        {QStringLiteral("VB125"), 2, 0.01, -30.0, 125.0},
        {QStringLiteral("VB400"), 1, 0.1, 0.0, 410.0},
    };
    return models[index];
}

constexpr int kModelCount = 5;

} // namespace

BlackbodyModel BlackbodyModel::find(const QString &name)
{
    for (int i = 0; i < kModelCount; ++i) {
        if (modelAt(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return modelAt(i);
    }
    return {};
}

QStringList BlackbodyModel::names()
{
    QStringList list;
    for (int i = 0; i < kModelCount; ++i)
        list << modelAt(i).name;
    return list;
}

} // namespace sim
