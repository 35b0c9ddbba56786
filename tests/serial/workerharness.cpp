#include "workerharness.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QTest>

#include <map>

namespace {

// The rows RowProcesses::newRow() named for the table whose _data function ran last.
QString s_function;
QStringList s_tags;

QHash<QString, QByteArray> failedRows()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("BB_ROW_PROCESS"), QStringLiteral("1"));
    std::map<QString, QProcess> processes;
    for (const QString &tag : qAsConst(s_tags)) {
        QProcess &process = processes[tag];
        process.setProcessEnvironment(environment);
        // Sanitizer reports go where this process's own would.
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("-silent"), s_function + QLatin1Char(':') + tag});
    }
    QHash<QString, QByteArray> failures;
    for (auto &[tag, process] : processes) {
        // They all run meanwhile, so the bounds overlap rather than add up.
        process.waitForFinished(60 * 1000);
        if (process.state() != QProcess::NotRunning || process.error() != QProcess::UnknownError
            || process.exitCode() != 0)
            failures.insert(tag, process.readAllStandardOutput() + process.errorString().toUtf8());
    }
    return failures;
}

} // namespace

QTestData &RowProcesses::newRow(const char *tag)
{
    if (s_function != QLatin1String(QTest::currentTestFunction())) {
        s_function = QString::fromLatin1(QTest::currentTestFunction());
        s_tags.clear();
    }
    s_tags << QString::fromUtf8(tag);
    return QTest::newRow(tag);
}

bool RowProcesses::runsRowHere()
{
    if (qEnvironmentVariableIsSet("BB_ROW_PROCESS"))
        return true;
    // Filled at the table's first row.
    static std::pair<QString, QHash<QString, QByteArray>> failures;
    if (failures.first != s_function)
        failures = {s_function, failedRows()};
    const QString tag = QString::fromUtf8(QTest::currentDataTag());
    QTest::qVerify(!failures.second.contains(tag), "the row's process passed",
        failures.second.value(tag).constData(), __FILE__, __LINE__);
    return false;
}

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
