#include "setpointcontrol.h"

#include "app/blackbodylink.h"
#include "app/setpointgate.h"
#include "control/blackbodymodel.h"
#include "widgets/buttonstyles.h"
#include "widgets/navbutton.h"
#include "widgets/setpointspinbox.h"

#include <QToolTip>

#include <utility>

SetPointControl::SetPointControl(SetPointSpinBox *box, NavButton *button, BlackbodyLink *link,
    std::function<bool()> runRunning, QObject *parent)
    : QObject(parent)
    , m_box(box)
    , m_button(button)
    , m_link(link)
    , m_runRunning(std::move(runRunning))
{
    connect(box, &SetPointSpinBox::submitted, this, &SetPointControl::send);
    connect(link, &BlackbodyLink::stateChanged, this, &SetPointControl::update);
    connect(link, &BlackbodyLink::setPointRequested, this, [this](double celsius, Requester requester) {
        // Whoever asked, the box shows the set point on its way.
        if (requester != Requester::Window)
            m_box->setValue(celsius);
    });
    connect(link, &BlackbodyLink::controllerAccepted, this, [this](qint16 heldWire) {
        // The operator vouched for a controller that holds another set point: the box offers that one,
        // so 设置温度 does not send the old one back unasked.
        m_box->setValue(heldWire / double(m_link->model().wireScale));
    });
    update();
}

void SetPointControl::send()
{
    const QString refusal = SetPointGate::refusal(m_link->state(), m_runRunning());
    if (!refusal.isEmpty()) {
        QToolTip::showText(m_box->mapToGlobal(QPoint(0, m_box->height())), refusal, m_box);
        return;
    }
    if (m_box->isOutOfRange()) {
        m_box->showRange();
        return;
    }
    m_link->requestSetPoint(m_box->value(), Requester::Window);
}

void SetPointControl::update()
{
    const QString refusal = SetPointGate::refusal(m_link->state(), m_runRunning());
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
