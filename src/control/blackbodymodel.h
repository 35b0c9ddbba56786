#pragma once

#include <QSerialPort>
#include <QString>

// What distinguishes the blackbody models on the line and in the set-point box.
struct BlackbodyModel
{
    QString name;
    QSerialPort::StopBits stopBits;
    int wireScale; // wire units per degree Celsius, for readings and set points alike
    int decimals;
    double valueAfterOpen;
    double minimum;
    double maximum;
};

// Whether `model` takes `celsius` as a set point, written with `decimals` places after the point: within
// its range and no finer than it shows. The same rule for every remote path as the box has for the window.
bool setPointFits(const BlackbodyModel &model, double celsius, int decimals);

// Rows in the order of the model list; an index outside the table falls back to the first row.
int blackbodyModelCount();
const BlackbodyModel &blackbodyModel(int index);
