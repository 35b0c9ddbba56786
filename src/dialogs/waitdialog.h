#pragma once

#include <QDialog>

namespace Ui {
class WaitDialog;
}

// Modal progress shown while a curve file is written or read on a worker thread. The operator cannot
// dismiss it: only accept() closes it, so the caller's exec() returns after the worker has finished.
// GUI thread only; the worker's signals reach the slots queued.
class WaitDialog : public QDialog
{
    Q_OBJECT

public:
    explicit WaitDialog(QWidget *parent = nullptr);
    ~WaitDialog() override;

public slots:
    void accept() override;
    // Values outside 0..100 are ignored by the bar.
    void Progress(int p);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::WaitDialog *ui;
};
