#pragma once

#include <QDialog>

namespace Ui {
class AboutDialog;
}

// Shows the application's display name and version, with a button that closes it. Created on the
// stack, run with exec(), GUI thread only.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

private:
    Ui::AboutDialog *ui;
};
