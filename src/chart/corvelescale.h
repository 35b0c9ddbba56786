#pragma once

#include <QWidget>

namespace Ui {
class CorveleScale;
}

// Frameless zoom-in / zoom-out popup for one chart axis. It announces disapper() once its close delay has
// passed since it was created or last clicked, and leaves its destruction to the owner, which must defer
// it (deleteLater): disapper() is emitted from inside the popup's own timer handler. GUI thread only.
class CorveleScale : public QWidget
{
    Q_OBJECT

public:
    explicit CorveleScale(QWidget *parent = nullptr, int closeDelayMs = 5000);
    ~CorveleScale() override;

signals:
    void zoomin_clicked();
    void zoomout_clicked();
    void disapper();

protected:
    void timerEvent(QTimerEvent *event) override;

private slots:
    void on_pushButton_zoomin_clicked();
    void on_pushButton_zoomout_clicked();

private:
    void restartCloseTimer();

    Ui::CorveleScale *ui = nullptr;
    int timerId = 0;
    int m_closeDelayMs = 5000;
};
