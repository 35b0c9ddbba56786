#pragma once

#include "control/linkpolicy.h"

#include <QObject>

class NavButton;
class Station;
class SetPointSpinBox;
struct BlackbodyModel;

// The set-point box and its 设置温度 button: the button, like Enter in the box, sends the box's value
// over the link when the link policy allows it, and says why not when it does not. The box follows the
// model opened and, once per opening, the set point the controller holds. GUI thread only.
class SetPointControl : public QObject
{
    Q_OBJECT

public:
    // All outlive this object.
    SetPointControl(SetPointSpinBox *box, NavButton *button, Station *station, QObject *parent);

    // Why 设置温度 cannot be used, in the operator's language; empty when it can.
    static QString refusalText(LinkPolicy::Refusal refusal);

    // The button or Enter: a value in range over a link that can take it.
    void send();
    // The button's state and its reason, after the link or a run changed, or the language did.
    void update();
    // The port opened with `model`: its decimals, its value after opening and its range.
    void showModel(const BlackbodyModel &model);
    // A reading reports the set point the controller holds; the first after opening replaces the model's
    // value unless the operator changed it meanwhile.
    void takeControllerSetPoint(double set);

private:
    SetPointSpinBox *m_box;
    NavButton *m_button;
    Station *m_station;
    bool m_fromController = false; // opened, and no reply has set the box yet
    double m_valueAtOpen = 0;
};
