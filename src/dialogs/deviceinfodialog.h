#pragma once

#include <QDialog>

namespace Ui {
class DeviceInfoDialog;
}

// Shows the connected blackbody's measuring range. The caller sets the public members, then calls
// showDeviceInfo() before exec(). GUI thread only.
class DeviceInfoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DeviceInfoDialog(QWidget *parent = nullptr);
    ~DeviceInfoDialog() override;

    void showDeviceInfo();

    int serialNumber = 0;
    int dateCode = 0;
    float rangeLower = 0; // degrees Celsius
    float rangeUpper = 0; // degrees Celsius

private:
    Ui::DeviceInfoDialog *ui;
};

// One end of the range as shown: 6 significant digits, no trailing zeros, then "℃" whatever the unit.
QString formatRangeLimit(float celsius);
