#include "blackbodymodel.h"

#include <array>

namespace {

const std::array<BlackbodyModel, 5> kModels = {{
    {QStringLiteral("VBM100"), QSerialPort::TwoStop, 100, 2, 20.0, 0.0, 100.0},
    {QStringLiteral("VBM400"), QSerialPort::OneStop, 10, 1, 10.0, 0.0, 410.0},
    {QStringLiteral("VBM500"), QSerialPort::OneStop, 10, 1, 10.0, 0.0, 510.0},
    {QStringLiteral("VB125"), QSerialPort::TwoStop, 100, 2, 10.0, -30.0, 125.0},
    {QStringLiteral("VB400"), QSerialPort::OneStop, 10, 1, 10.0, 0.0, 410.0},
}};

} // namespace

int blackbodyModelCount()
{
    return int(kModels.size());
}

const BlackbodyModel &blackbodyModel(int index)
{
    if (index < 0 || index >= blackbodyModelCount())
        index = 0;
    return kModels[size_t(index)];
}

bool setPointFits(const BlackbodyModel &model, double celsius, int decimals)
{
    return decimals <= model.decimals && celsius >= model.minimum && celsius <= model.maximum;
}
