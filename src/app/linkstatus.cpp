#include "linkstatus.h"

#include "app/statusstrip.h"
#include "station/blackbodylink.h"

LinkStatus::LinkStatus(StatusStrip *strip, const BlackbodyLink *link)
    : m_link(link)
    , m_portLabel(StatusStrip::Port, 0)
    , m_baudLabel(StatusStrip::BaudRate)
    , m_stabilityLabel(StatusStrip::StableTime)
    , m_linkLabel(StatusStrip::Never)
{
    m_portLabel.setObjectName(QStringLiteral("portLabel"));
    strip->addPart(&m_portLabel);
    m_baudLabel.setObjectName(QStringLiteral("baudLabel"));
    strip->addPart(&m_baudLabel);
    m_stabilityLabel.setObjectName(QStringLiteral("stabilityLabel"));
    strip->addPart(&m_stabilityLabel);
    m_linkLabel.setObjectName(QStringLiteral("linkLabel"));
    strip->addPart(&m_linkLabel);
}

void LinkStatus::showOpen()
{
    m_port = Port::Open;
    refresh();
}

void LinkStatus::showClosed()
{
    m_port = Port::Closed;
    refresh();
}

void LinkStatus::refresh()
{
    switch (m_port) {
    case Port::NeverOpened:
        break;
    case Port::Open:
        m_portLabel.setKept(tr("已选择:").size());
        m_portLabel.setForms(tr("已选择:") + m_link->port());
        m_baudLabel.setForms(tr("波特率:") + QString::number(int(m_link->baud())),
            {QString::number(int(m_link->baud())), QString()});
        break;
    case Port::Closed:
        m_portLabel.setKept(tr("端口已关闭").size());
        m_portLabel.setForms(tr("端口已关闭"));
        m_baudLabel.clearForms();
        break;
    }
    m_linkLabel.setForms(m_link->statusText());
}

void LinkStatus::showStability(const Station::Stability &shown)
{
    if (shown.stable)
        m_stabilityLabel.setForms(
            tr("稳定 %1").arg(stableDurationText(m_link->clock().elapsed() - shown.since)),
            {tr("稳定"), QString()});
    else
        m_stabilityLabel.setForms(tr("未稳定"), {QString()});
}

void LinkStatus::clearStability()
{
    m_stabilityLabel.clearForms();
}
