#include "workerharness.h"

#include <QTest>

WorkerListener::WorkerListener(PortWorker *worker)
{
    connect(worker, &PortWorker::DataRecv, this, [this](uchar code, const QByteArray &data, bool ok) {
        events << QStringLiteral("data %1").arg(code);
        emit dataArrived(code, data, ok, m_clock.elapsed());
    });
    connect(worker, &PortWorker::OpenSuccessed, this, [this](bool ok) {
        events << QStringLiteral("open");
        emit openArrived(ok);
    });
    connect(worker, &PortWorker::CloseSuccessed, this, [this](bool ok) {
        events << QStringLiteral("close");
        emit closeArrived(ok);
    });
    connect(worker, &PortWorker::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // The port's routine "no error" reports are of no interest here.
        if (error != QSerialPort::NoError)
            events << QStringLiteral("error %1").arg(int(error));
    });
    m_clock.start();
}

int OnWorkerThread::call(std::function<int()> function)
{
    {
        std::lock_guard<std::mutex> locker(m_lock);
        m_call = std::move(function);
        m_result = -1;
    }
    QMetaObject::invokeMethod(this, "run", Qt::QueuedConnection);
    return QTest::qWaitFor([this] { return result() != -1; }, kWaitMs) ? result() : -1;
}

int OnWorkerThread::result()
{
    std::lock_guard<std::mutex> locker(m_lock);
    return m_result;
}

void OnWorkerThread::run()
{
    std::function<int()> function;
    {
        std::lock_guard<std::mutex> locker(m_lock);
        function = m_call;
    }
    const int returned = function();
    std::lock_guard<std::mutex> locker(m_lock);
    m_result = returned;
}
