#include "uutlink.h"

#include "serial/stableportnames.h"
#include "station/uutworker.h"

#include <QThread>

UutLink::UutLink(QObject *parent)
    : QObject(parent)
    , m_thread(new QThread(this))
    , m_worker(new UutWorker)
{
    qRegisterMetaType<UutReading>();
    qRegisterMetaType<UutDriver>();
    qRegisterMetaType<UutLink::State>();
    m_thread->setObjectName(QStringLiteral("uut link"));
    m_worker->moveToThread(m_thread);
    // The worker goes on its own thread as that finishes, closing its port there.
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(m_worker, &UutWorker::stateChanged, this, &UutLink::onWorkerState);
    connect(m_worker, &UutWorker::openFailed, this, &UutLink::onOpenFailed);
    connect(m_worker, &UutWorker::answered, this, &UutLink::answered);
    // Signals rather than queued functors: their arguments are copied by the meta-type system, a hand-over
    // the thread sanitizer's suppressions know.
    connect(this, &UutLink::workerOpen, m_worker, &UutWorker::open);
    connect(this, &UutLink::workerClose, m_worker, &UutWorker::close);
    connect(this, &UutLink::workerAsk, m_worker, &UutWorker::ask);
    m_thread->start();
}

UutLink::~UutLink()
{
    m_thread->quit();
    m_thread->wait();
}

void UutLink::open(const UutDriver &driver, const QString &port)
{
    m_driver = std::make_unique<UutDriver>(driver);
    // An adapter with a stable name is reopened under it, so a re-plugged one is found again.
    m_port = port.contains(QLatin1Char(':'))
        ? port
        : StablePortNames::stablePath(port, StablePortNames::readLinks(StablePortNames::defaultFolder()));
    const int session = ++m_session;
    emit workerOpen(driver, m_port, m_presenceMs, session);
    setState(State::Connecting);
}

void UutLink::close()
{
    ++m_session;
    emit workerClose();
    m_driver.reset();
    setState(State::Closed);
}

const UutDriver *UutLink::driver() const
{
    return m_driver.get();
}

int UutLink::requestReading()
{
    return ask(int(UutProtocol::Purpose::Reading), 0);
}

int UutLink::setEmissivity(double epsilon)
{
    return ask(int(UutProtocol::Purpose::SetEmissivity), epsilon);
}

int UutLink::queryEmissivity()
{
    return ask(int(UutProtocol::Purpose::QueryEmissivity), 0);
}

int UutLink::ask(int purpose, double value)
{
    const int token = ++m_lastToken;
    // The worker answers a closed line at once, after the caller has its token.
    emit workerAsk(token, purpose, value);
    return token;
}

void UutLink::onWorkerState(int session, int state)
{
    if (session == m_session)
        setState(State(state));
}

void UutLink::onOpenFailed(int session, const QString &reason)
{
    if (session != m_session)
        return;
    m_driver.reset();
    setState(State::Closed);
    emit openFailed(reason);
}

void UutLink::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}
