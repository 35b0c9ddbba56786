#include "instrumentprobe.h"

#include "settings/uutdriverfolders.h"
#include "station/calibrationrunner.h"

#include <QLocale>

InstrumentProbe::InstrumentProbe(UutLink *link, const CalibrationRunner *runner, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_runner(runner)
{
    connect(link, &UutLink::stateChanged, this, &InstrumentProbe::stateChanged);
    connect(link, &UutLink::answered, this, &InstrumentProbe::answered);
    connect(link, &UutLink::openFailed, this, [this](const QString &reason) {
        if (!m_waitingForConnection)
            return;
        m_waitingForConnection = false;
        emit done(tr("无法打开端口：%1").arg(reason));
    });
}

void InstrumentProbe::probe(const QString &driver, const QString &port)
{
    m_token = 0;
    m_waitingForConnection = false;
    // The run's readings are the run's: a probe would take one of them.
    if (m_runner->readsInstrument()) {
        emit done(tr("校准正在从被测仪器读数"));
        return;
    }
    const QString path = findUutDriver(driver);
    if (path.isEmpty()) {
        emit done(tr("找不到驱动文件 %1").arg(driver));
        return;
    }
    const UutDriverRead read = loadUutDriver(path);
    if (!read.driver) {
        emit done(read.error);
        return;
    }
    if (port.isEmpty()) {
        emit done(tr("请填写端口"));
        return;
    }
    const bool same = m_link->driver() && m_link->port() == port
        && m_link->driver()->name == read.driver->name && m_link->state() == UutLink::State::Connected;
    if (same) {
        m_token = m_link->requestReading();
        return;
    }
    m_link->close();
    m_waitingForConnection = true;
    m_link->open(*read.driver, port);
}

void InstrumentProbe::stateChanged(UutLink::State state)
{
    if (!m_waitingForConnection || state == UutLink::State::Connecting)
        return;
    m_waitingForConnection = false;
    if (state == UutLink::State::Connected)
        m_token = m_link->requestReading();
    else
        emit done(tr("被测仪器无应答"));
}

void InstrumentProbe::answered(int token, const UutReading &reading)
{
    if (token != m_token || m_token == 0)
        return;
    m_token = 0;
    const QString raw = reading.raw.isEmpty() ? tr("（无回复）") : reading.raw;
    if (reading.kind == UutReading::Kind::Value)
        emit done(tr("回复 %1 → %2 ℃").arg(raw, QLocale().toString(reading.value, 'f', 3)));
    else
        emit done(tr("回复 %1：%2").arg(raw, reading.meaning));
}
