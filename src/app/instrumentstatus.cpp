#include "instrumentstatus.h"

InstrumentStatus::InstrumentStatus(const UutLink *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_label(new ElidedLabel)
{
    m_label->setObjectName(QStringLiteral("instrumentLabel"));
    connect(link, &UutLink::stateChanged, this, &InstrumentStatus::refresh);
    refresh();
}

QString InstrumentStatus::text(UutLink::State state)
{
    switch (state) {
    case UutLink::State::Closed:
        break;
    case UutLink::State::Connecting:
        return tr("被测仪器：连接中");
    case UutLink::State::Connected:
        return tr("被测仪器：已连接");
    case UutLink::State::NoAnswer:
        return tr("被测仪器：无应答");
    case UutLink::State::Lost:
        return tr("被测仪器：连接中断");
    }
    return QString();
}

void InstrumentStatus::refresh()
{
    if (!m_label)
        return;
    const QString shown = text(m_link->state());
    m_label->setText(shown);
    m_label->setVisible(!shown.isEmpty());
}
