#include "uutdriver.h"

int UutChecksum::size() const
{
    const int bytes = kind == Kind::None ? 0 : kind == Kind::Crc16Modbus ? 2 : 1;
    return format == Format::Hex ? 2 * bytes : bytes;
}

bool UutCommand::takesValue() const
{
    return kind == Kind::Bytes ? value.has_value() : text.contains(QLatin1String("{value"));
}

bool UutDriver::canSetEmissivity() const
{
    return setEmissivity.has_value();
}

bool UutDriver::canQueryEmissivity() const
{
    return queryEmissivity.has_value();
}

bool UutDriver::binary() const
{
    return read.kind == UutCommand::Kind::Bytes;
}

UutDriverRead readUutDriver(const QByteArray &)
{
    return {std::nullopt, QStringLiteral("not read yet")};
}

UutDriverRead loadUutDriver(const QString &path)
{
    return {std::nullopt, path + QStringLiteral(": not read yet")};
}
