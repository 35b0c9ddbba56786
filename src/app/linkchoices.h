#pragma once

#include <QSerialPort>
#include <QString>

class ClickComboBox;
class QComboBox;

// The boxes an operator picks a link with: port, baud rate and model of the blackbody, port and baud rate
// of the thermometer. They show what is being opened, whoever opens it. GUI thread only.
class LinkChoices
{
public:
    struct Boxes
    {
        ClickComboBox *port;
        QComboBox *baud;
        QComboBox *model;
        ClickComboBox *thermometerPort;
        QComboBox *thermometerBaud;
    };

    // The boxes outlive this object.
    explicit LinkChoices(const Boxes &boxes);

    // Lists the ports, rates and models there are, and selects the last blackbody link that opened while
    // its port is there.
    void fill();
    void show(const QString &port, QSerialPort::BaudRate baud, int modelIndex);

private:
    Boxes m_boxes;
};
