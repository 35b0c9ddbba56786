#pragma once

#include "corvelthread.h"

#include <functional>

class KelvraSerial;

// The thermometer poll: over and over, a read on the worker's thread, waited for to its end, then 20 ms of
// rest, so the pace follows the device. Created and started or stopped from the GUI thread; the worker
// must outlive it (stop or destroy this first).
class GetTempThread : public CorvelThread
{
    Q_OBJECT

public:
    static constexpr int kRestMs = 20;

    // Ticks worker->FastRead(code).
    explicit GetTempThread(KelvraSerial *worker, uchar code = 0x01);
    // Ticks `tick`, run on context's thread.
    GetTempThread(QObject *context, std::function<void()> tick);
    ~GetTempThread() override;

protected:
    void run() override;
};
