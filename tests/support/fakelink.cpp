#include "fakelink.h"

#include <QMutexLocker>
#include <QThread>

FakeLink::FakeLink(DorrikBus::BusType busType, QObject *parent, bool eventable)
    : ModbusTransport(busType, parent, eventable)
{
    m_clock.start();
}

FakeLink::~FakeLink()
{
    leaveRegistries();
    // Our readEventBytes uses our members: no poll may run once they start to go.
    stopEventPolling();
}

void FakeLink::scriptConnects(const QList<bool> &results)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_connectScript += results;
}

void FakeLink::setDefaultConnectResult(bool ok)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_defaultConnectResult = ok;
}

int FakeLink::connectAttempts() const
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    return int(m_connectTimes.size());
}

QList<qint64> FakeLink::connectAttemptTimes() const
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    return m_connectTimes;
}

void FakeLink::setDisconnectResult(bool ok)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_disconnectResult = ok;
}

void FakeLink::setAnswerer(Answerer answerer)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_answerer = std::move(answerer);
}

void FakeLink::scriptAnswers(const QList<ModbusBytes> &answers)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_answers += answers;
}

void FakeLink::setExchangeDelay(int ms)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_exchangeDelay = ms;
}

QList<ModbusBytes> FakeLink::sentBytes() const
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    return m_sent;
}

QList<ModbusBytes> FakeLink::sentEventBytes() const
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    return m_sentEvents;
}

void FakeLink::scriptEventReads(const QList<EventRead> &reads)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_eventReads += reads;
}

int FakeLink::eventReads() const
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    return m_eventReadCount;
}

void FakeLink::setCodecFactories(ParserFactory parser, DeparserFactory deparser)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_parserFactory = std::move(parser);
    m_deparserFactory = std::move(deparser);
}

ModbusBytes FakeLink::playRequest(const ModbusBytes &request)
{
    ModbusBytes answer;
    emit bytesReceived(request, &m_target);
    emit requestBytesReceived(request, &m_target, &answer);
    if (!answer.isEmpty())
        sendBytes(answer, &m_target, nullptr, nullptr);
    return answer;
}

bool FakeLink::sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                         QString *error)
{
    if (!checkCanSendBytes(target, error))
        return false;
    // As the USB link does: the whole exchange under the link mutex.
    QMutexLocker locker(mutex());
    Answerer answerer;
    ModbusBytes scripted;
    int delay = 0;
    {
        std::lock_guard<std::mutex> lock(m_scriptMutex);
        m_sent.append(bytes);
        answerer = m_answerer;
        if (!answerer && answer && !m_answers.isEmpty())
            scripted = m_answers.takeFirst();
        delay = m_exchangeDelay;
    }
    if (delay > 0)
        QThread::msleep(static_cast<unsigned long>(delay));
    if (answerer) {
        QString text;
        const bool ok = answerer(bytes, answer, &text);
        if (!ok)
            setErrorString(text, error);
        else if (answer && !answer->isEmpty())
            emit bytesReceived(*answer, target);
        return ok;
    }
    if (answer) {
        *answer = scripted;
        if (!scripted.isEmpty())
            emit bytesReceived(scripted, target);
    }
    return true;
}

bool FakeLink::sendEventBytes(const ModbusBytes &bytes, const Target *target)
{
    if (!checkCanSendBytes(target, nullptr))
        return false;
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    m_sentEvents.append(bytes);
    return true;
}

bool FakeLink::hasTarget(const Target *target)
{
    return m_acceptAnyTarget || target == &m_target;
}

const Target *FakeLink::clientTarget()
{
    return busType() == DorrikBus::ClientBus ? &m_target : nullptr;
}

ModbusParser *FakeLink::createParser(QObject *parent)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    return m_parserFactory ? m_parserFactory(parent) : nullptr;
}

ModbusDeparser *FakeLink::createDeparser(QObject *parent)
{
    std::lock_guard<std::mutex> lock(m_scriptMutex);
    return m_deparserFactory ? m_deparserFactory(parent) : nullptr;
}

bool FakeLink::readEventBytes(ModbusBytes &bytes, QString *error)
{
    EventRead read;
    {
        std::lock_guard<std::mutex> lock(m_scriptMutex);
        ++m_eventReadCount;
        if (!m_eventReads.isEmpty())
            read = m_eventReads.takeFirst();
    }
    bytes.append(read.bytes);
    if (!read.ok)
        setErrorString(QStringLiteral("fake event read failed"), error);
    return read.ok;
}

QString FakeLink::toString(bool oneLine) const
{
    return oneLine ? QStringLiteral("FakeLink; ") : QStringLiteral("FakeLink\n");
}

bool FakeLink::connectTransportInternal()
{
    bool ok;
    {
        std::lock_guard<std::mutex> lock(m_scriptMutex);
        m_connectTimes.append(m_clock.elapsed());
        ok = m_connectScript.isEmpty() ? m_defaultConnectResult : m_connectScript.takeFirst();
    }
    if (!ok)
        setConnectError(connectErrorText());
    return ok;
}

bool FakeLink::disconnectTransportInternal()
{
    bool ok;
    {
        std::lock_guard<std::mutex> lock(m_scriptMutex);
        ok = m_disconnectResult;
    }
    if (!ok) {
        setErrorString(disconnectErrorText(), nullptr);
        return false;
    }
    return ModbusTransport::disconnectTransportInternal();
}
