#pragma once

#include <QDialog>
#include <QUrl>

namespace Ui {
class ManualDialog;
}

// The operator's manual, read from the pages bundled into the program, so no browser is needed. Not
// modal: the operator reads while working the window. The window owns it and tells it which page the
// language in force has. GUI thread only.
class ManualDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ManualDialog(QWidget *parent = nullptr);
    ~ManualDialog() override;

    // Shows `page` from its top; the page already shown stays where the operator scrolled it.
    void showPage(const QUrl &page);
    QUrl page() const;

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::ManualDialog *ui;
};
