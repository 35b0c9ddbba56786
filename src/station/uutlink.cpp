#include "uutlink.h"

#include "station/uutworker.h"

#include <QThread>

UutLink::UutLink(QObject *parent)
    : QObject(parent)
{ }

UutLink::~UutLink() = default;

void UutLink::open(const UutDriver &driver, const QString &port)
{
    m_driver = std::make_unique<UutDriver>(driver);
    m_port = port;
}

void UutLink::close()
{
    m_driver.reset();
}

const UutDriver *UutLink::driver() const
{
    return m_driver.get();
}

int UutLink::requestReading()
{
    return nextToken();
}

int UutLink::setEmissivity(double)
{
    return nextToken();
}

int UutLink::queryEmissivity()
{
    return nextToken();
}

void UutLink::setPresenceCheckInterval(int ms)
{
    m_presenceMs = ms;
}

void UutLink::setReconnectInterval(int ms)
{
    m_reconnectMs = ms;
}

void UutLink::onWorkerState(int) { }

void UutLink::onAnswered(int token, const UutReading &reading)
{
    emit answered(token, reading);
}

int UutLink::nextToken()
{
    return ++m_lastToken;
}
