#include "instrumentstatus.h"

#include "app/statusstrip.h"

InstrumentStatus::InstrumentStatus(const UutLink *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_label(new StatusPart(StatusStrip::InstrumentLink))
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

QString InstrumentStatus::shortText(UutLink::State state)
{
    switch (state) {
    case UutLink::State::Closed:
        break;
    case UutLink::State::Connecting:
        return tr("仪器 …");
    case UutLink::State::Connected:
        return tr("仪器 ✓");
    case UutLink::State::NoAnswer:
    case UutLink::State::Lost:
        return tr("仪器 ✗");
    }
    return QString();
}

void InstrumentStatus::refresh()
{
    if (!m_label)
        return;
    const UutLink::State state = m_link->state();
    m_label->setForms(text(state), {shortText(state)});
}
