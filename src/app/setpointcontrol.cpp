#include "setpointcontrol.h"

#include "control/blackbodymodel.h"
#include "station/calibrationrunner.h"
#include "station/station.h"
#include "widgets/buttonstyles.h"
#include "widgets/navbutton.h"
#include "widgets/setpointspinbox.h"

#include <QToolTip>

#include <utility>

SetPointControl::SetPointControl(SetPointSpinBox *box, NavButton *button, Station *station, QObject *parent)
    : QObject(parent)
    , m_box(box)
    , m_button(button)
    , m_station(station)
{
    BlackbodyLink *link = &station->link();
    connect(box, &SetPointSpinBox::submitted, this, &SetPointControl::send);
    connect(link, &BlackbodyLink::stateChanged, this, &SetPointControl::update);
    connect(&station->runner(), &CalibrationRunner::stateChanged, this, &SetPointControl::update);
    connect(link, &BlackbodyLink::setPointRequested, this, [this](const SetPointRequest &request) {
        // Whoever asked, the box shows the set point on its way.
        if (request.requester != Requester::Window)
            m_box->setValue(request.celsius);
    });
    connect(link, &BlackbodyLink::controllerAccepted, this, [this](qint16 heldWire) {
        // The operator vouched for a controller that holds another set point: the box offers that one,
        // so 设置温度 does not send the old one back unasked.
        m_box->setValue(heldWire / double(m_station->link().model().wireScale));
        update();
    });
    update();
}

QString SetPointControl::refusalText(LinkPolicy::Refusal refusal)
{
    using Refusal = LinkPolicy::Refusal;
    switch (refusal) {
    case Refusal::RunInProgress:
        return tr("校准进行中，设定点由校准程序发送");
    case Refusal::LinkClosed:
        return tr("串口未打开，请先打开串口");
    case Refusal::LinkOpening:
        return tr("正在打开串口，请稍候");
    case Refusal::Reconnecting:
        return tr("连接已断开，正在重新连接");
    case Refusal::ControllerUnconfirmed:
        return tr("控制器未确认，请先确认是否为同一台黑体");
    // Refusals of the recording, which the set point never meets.
    case Refusal::UnsavedCurve:
    case Refusal::Recording:
    case Refusal::NothingRecorded:
    case Refusal::None:
        break;
    }
    return QString();
}

void SetPointControl::send()
{
    const LinkPolicy::Refusal refusal = LinkPolicy::setPoint(m_station->situation(), Requester::Window);
    if (refusal != LinkPolicy::Refusal::None) {
        QToolTip::showText(m_box->mapToGlobal(QPoint(0, m_box->height())), refusalText(refusal), m_box);
        return;
    }
    if (m_box->isOutOfRange()) {
        m_box->showRange();
        return;
    }
    m_station->requestSetPoint(m_box->value(), Requester::Window);
}

void SetPointControl::update()
{
    const QString refusal = refusalText(LinkPolicy::setPoint(m_station->situation(), Requester::Window));
    (refusal.isEmpty() ? applyPlainStyle : applyDisabledStyle)(m_button);
    // A disabled button shows its tooltip all the same.
    m_button->setToolTip(refusal);
}

void SetPointControl::showModel(const BlackbodyModel &model)
{
    m_box->setDecimals(model.decimals);
    m_box->setValue(model.valueAfterOpen);
    m_box->setRange(model.minimum, model.maximum);
    m_valueAtOpen = m_box->value();
    m_fromController = true;
}

// A set point sent in a hurry after opening is then the one the controller already holds, not the
// model's default; what the operator typed meanwhile is kept.
void SetPointControl::takeControllerSetPoint(double set)
{
    if (!std::exchange(m_fromController, false))
        return;
    if (m_box->value() == m_valueAtOpen)
        m_box->setValue(set);
}
