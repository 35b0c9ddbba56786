#pragma once

#include <QObject>

#include <functional>

class BlackbodyLink;
class NavButton;
class SetPointSpinBox;
struct BlackbodyModel;

// The set-point box and its 设置温度 button: the button, like Enter in the box, sends the box's value
// over the link when the link can take it, and says why not when it cannot. The box follows the model
// opened and, once per opening, the set point the controller holds. GUI thread only.
class SetPointControl : public QObject
{
    Q_OBJECT

public:
    // `runRunning` tells whether a calibration run sends its own set points; all outlive this object.
    SetPointControl(SetPointSpinBox *box, NavButton *button, BlackbodyLink *link,
        std::function<bool()> runRunning, QObject *parent);

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
    BlackbodyLink *m_link;
    std::function<bool()> m_runRunning;
    bool m_fromController = false; // opened, and no reply has set the box yet
    double m_valueAtOpen = 0;
};
