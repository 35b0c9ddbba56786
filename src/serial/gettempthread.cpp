#include "gettempthread.h"

#include "kelvraserial.h"

GetTempThread::GetTempThread(KelvraSerial *worker, uchar code)
    : GetTempThread(worker, [worker, code] { worker->FastRead(code); })
{ }

GetTempThread::GetTempThread(QObject *context, std::function<void()> tick)
{
    setCall(context, std::move(tick));
}

GetTempThread::~GetTempThread()
{
    stopThread();
}

void GetTempThread::run()
{
    while (!stopRequested()) {
        callAndWait();
        rest(kRestMs);
    }
}
