#include "corvelescale.h"

#include "ui_corvelescale.h"

#include <QTimerEvent>

CorveleScale::CorveleScale(QWidget *parent, int closeDelayMs)
    : QWidget(parent)
    , ui(new Ui::CorveleScale)
    , m_closeDelayMs(closeDelayMs)
{
    ui->setupUi(this);
    // A window of its own even with a parent, which it stays above.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    // A popup left open must not keep the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    timerId = startTimer(m_closeDelayMs, Qt::CoarseTimer);
}

CorveleScale::~CorveleScale()
{
    delete ui;
}

void CorveleScale::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId) {
        QWidget::timerEvent(event);
        return;
    }
    killTimer(timerId);
    timerId = 0;
    emit disapper();
}

void CorveleScale::on_pushButton_zoomin_clicked()
{
    emit zoomin_clicked();
    restartCloseTimer();
}

void CorveleScale::on_pushButton_zoomout_clicked()
{
    emit zoomout_clicked();
    restartCloseTimer();
}

void CorveleScale::restartCloseTimer()
{
    if (timerId != 0)
        killTimer(timerId);
    timerId = startTimer(m_closeDelayMs, Qt::CoarseTimer);
}
