#include "linkstatus.h"

#include "station/blackbodylink.h"

#include <QStatusBar>

LinkStatus::LinkStatus(QStatusBar *bar, const BlackbodyLink *link)
    : m_link(link)
{
    bar->addWidget(&m_portLabel);
    bar->addWidget(&m_baudLabel);
    m_stabilityLabel.setObjectName(QStringLiteral("stabilityLabel"));
    bar->addWidget(&m_stabilityLabel);
    m_linkLabel.setObjectName(QStringLiteral("linkLabel"));
    bar->addWidget(&m_linkLabel);
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
        m_portLabel.setText(tr("已选择:") + m_link->port());
        m_baudLabel.setText(tr("波特率:") + QString::number(int(m_link->baud())));
        break;
    case Port::Closed:
        m_portLabel.setText(tr("端口已关闭"));
        m_baudLabel.clear();
        break;
    }
    m_linkLabel.setText(m_link->statusText());
}

void LinkStatus::showStability(const Station::Stability &shown)
{
    if (shown.stable)
        m_stabilityLabel.setText(
            tr("稳定 %1").arg(stableDurationText(m_link->clock().elapsed() - shown.since)));
    else
        m_stabilityLabel.setText(tr("未稳定"));
}

void LinkStatus::clearStability()
{
    m_stabilityLabel.clear();
}
