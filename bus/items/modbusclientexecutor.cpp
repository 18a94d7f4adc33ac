#include "modbusclientexecutor.h"

#include "modbustask.h"
#include "modbustaskaddressed.h"
#include "modbustaskfile.h"
#include "modbustaskreport.h"
#include "modbustaskserver.h"
#include "modbustransport.h"
#include "timeprovider.h"

#include <QThread>

#include <limits>

ModbusClientExecutor::ModbusClientExecutor(ModbusTaskServer &server, QObject *parent)
    : ErrObject(parent), m_modbuser(this), m_timer(this), m_server(&server)
{
    m_timer.setInterval(StartInterval);
    connect(&m_timer, &QTimer::timeout, this, &ModbusClientExecutor::onTimer);
    connect(&m_modbuser, &ErrObject::error, this, &ModbusClientExecutor::setErrorString);
    connect(&server, &ModbusTaskServer::tasksChanged, this, &ModbusClientExecutor::wakeUp);
    connect(&m_modbuser.transporter(), &Transporter::transportsChanged, this,
            &ModbusClientExecutor::wakeUp);
    connect(&m_modbuser.transporter(), &Transporter::connectedChanged, this,
            &ModbusClientExecutor::wakeUp);
    m_timer.start();
}

ModbusClientExecutor::~ModbusClientExecutor()
{
    // The request API goes after the timer: its links report errors and its registry changes
    // while they are unbound, and nobody is left to hear them.
    disconnect(&m_modbuser.transporter(), nullptr, this, nullptr);
    disconnect(&m_modbuser, nullptr, this, nullptr);
}

void ModbusClientExecutor::setMaxArchRecords(int value)
{
    if (value > 0)
        m_maxArchRecords = value;
}

void ModbusClientExecutor::setRetries(int value)
{
    if (value == m_retries || value <= 0)
        return;
    m_retries = value;
    emit retriesChanged(true);
}

void ModbusClientExecutor::setTransport(ModbusTransport *value)
{
    m_modbuser.setClientTransport(value);
}

void ModbusClientExecutor::wakeUp()
{
    setTimerInterval(0);
}

void ModbusClientExecutor::setTimerInterval(int ms)
{
    // Also restarts a running timer, so a wake-up is served at the next turn of the loop.
    m_timer.setInterval(ms);
    m_timerInterval = ms;
}

void ModbusClientExecutor::abortExecuting(ModbusItemBase *item)
{
    std::lock_guard<std::mutex> lock(m_abortMutex);
    m_abortList.append(item);
    m_abortItem = true;
}

void ModbusClientExecutor::abortExecutingAll()
{
    m_abortAll = true;
}

void ModbusClientExecutor::resetAborting()
{
    std::lock_guard<std::mutex> lock(m_abortMutex);
    m_abortList.clear();
    m_abortItem = false;
    m_abortAll = false;
}

bool ModbusClientExecutor::checkAbort(ModbusItemBase *item)
{
    if (!m_abortItem && !m_abortAll)
        return false;
    std::lock_guard<std::mutex> lock(m_abortMutex);
    const bool found = m_abortList.contains(item);
    m_abortList.clear();
    return m_abortAll || found;
}

void ModbusClientExecutor::detachServer()
{
    std::lock_guard<std::mutex> lock(m_serverMutex);
    if (m_server)
        disconnect(m_server, nullptr, this, nullptr);
    m_server = nullptr;
}

QDateTime ModbusClientExecutor::currentDateTime()
{
    std::lock_guard<std::mutex> lock(m_serverMutex);
    TimeProvider *clock = m_server ? m_server->timeProvider() : nullptr;
    return clock ? clock->currentDateTime() : QDateTime::currentDateTime();
}

void ModbusClientExecutor::onTimer()
{
    ModbusTask *task = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_serverMutex);
        if (!m_server) {
            m_timer.stop();
            return;
        }
        // Queued tasks first, connected or not: a one-shot request reports its own failure.
        task = m_server->getQueuedTask();
        if (!task) {
            const ModbusTransport *transport = m_modbuser.clientTransport();
            if (!transport || !transport->connected()) {
                setTimerInterval(IdleInterval);
                return;
            }
            const bool intervalReading = m_server->intervalReadingEnabled();
            if (intervalReading)
                task = m_server->getIntervalTask();
            if (!task) {
                QDateTime nearest;
                int next = IdleInterval;
                if (intervalReading && m_server->getNearestTaskTime(nearest)) {
                    TimeProvider *clock = m_server->timeProvider();
                    const QDateTime now =
                        clock ? clock->currentDateTime() : QDateTime::currentDateTime();
                    const qint64 wait = now.msecsTo(nearest);
                    next = wait > 0 ? int(qMin<qint64>(wait, std::numeric_limits<int>::max())) : 0;
                }
                setTimerInterval(next);
                return;
            }
        }
    }
    executeTask(task);
    deliver(task);
    setTimerInterval(0);
}

void ModbusClientExecutor::deliver(ModbusTask *task)
{
    std::lock_guard<std::mutex> lock(m_serverMutex);
    if (!m_server) {
        delete task;
        return;
    }
    if (task->dataList().size() < 2) {
        m_server->addResult(task);
        return;
    }
    const QList<ModbusTask *> parts = task->split();
    delete task;
    for (ModbusTask *part : parts)
        m_server->addResult(part);
}

void ModbusClientExecutor::executeTask(ModbusTask *task)
{
    if (!task)
        return;
    resetAborting();
    emit executingItemsChanged(task->dataList().getItems());
    m_modbuser.setDeviceAddress(task->deviceAddress());
    for (int attempt = 0; attempt < m_retries; ++attempt) {
        if (task->state() == DorrikBus::GoodState || task->state() == DorrikBus::AbortedState)
            break;
        task->setLastProcessTime(currentDateTime());
        if (dynamic_cast<ModbusTaskAddressed *>(task))
            executeTaskAddressed(*task);
        else if (auto *report = dynamic_cast<ModbusTaskReport *>(task))
            executeTaskReport(*report);
        else if (auto *file = dynamic_cast<ModbusTaskFile *>(task))
            executeTaskFile(*file);
        else
            qFatal("unknown task type");
    }
    emit executingItemsChanged({});
}

void ModbusClientExecutor::executeTaskAddressed(ModbusTask &task)
{
    if (task.dataList().isEmpty())
        return;
    auto &addressed = static_cast<ModbusTaskAddressed &>(task);
    switch (DorrikBus::getAddressType(addressed.address())) {
    case DorrikBus::Coils:
        executeTaskCoils(addressed);
        break;
    case DorrikBus::DiscreteInputs:
        executeTaskDiscreteInputs(addressed);
        break;
    default:
        executeTaskRegs(addressed);
        break;
    }
}

void ModbusClientExecutor::executeTaskCoils(ModbusTaskAddressed &task)
{
    task.setState(DorrikBus::ErrorState);
    task.setErrorString(tr("Not implemented"));
}

void ModbusClientExecutor::executeTaskDiscreteInputs(ModbusTaskAddressed &task)
{
    task.setState(DorrikBus::ErrorState);
    task.setErrorString(tr("Not implemented"));
}

void ModbusClientExecutor::finish(ModbusTask &task, bool ok)
{
    if (ok) {
        // A retry that succeeds leaves no text of the attempts before it.
        task.setState(DorrikBus::GoodState);
        task.setErrorString(QString());
        return;
    }
    task.setState(DorrikBus::ErrorState);
    task.setErrorString(m_modbuser.errorString());
}

bool ModbusClientExecutor::blockDone(ModbusTask &task)
{
    emit taskPartialExecuted();
    if (!checkAbort(task.firstItem()))
        return false;
    task.abort();
    return true;
}

void ModbusClientExecutor::executeWrite(
    ModbusTask &task, quint32 start, int block,
    const std::function<bool(quint32, const ModbusBytes &)> &write, bool betweenBlocks)
{
    // Every data item's bytes go out, however many there are: the first item alone would
    // leave the others unwritten while the task reports success.
    ModbusBytes rest = task.dataList().getBytes();
    if (rest.regsCount() < 1) {
        task.setState(DorrikBus::ErrorState);
        task.setErrorString(tr("nothing to write"));
        return;
    }
    quint32 address = start;
    for (;;) {
        const int n = qMin(rest.regsCount(), block);
        if (!write(address, ModbusBytes::fromOther(rest, 0, 2 * n))) {
            finish(task, false);
            return;
        }
        rest.remove(0, 2 * n);
        address += quint32(n);
        if (rest.regsCount() < 1) {
            finish(task, true);
            return;
        }
        if (betweenBlocks && blockDone(task))
            return;
    }
}

void ModbusClientExecutor::executeTaskRegs(ModbusTaskAddressed &task)
{
    const quint32 start = task.address();
    if (task.type() == DorrikBus::WriteTask) {
        executeWrite(
            task, start, MaxBlockRegisters,
            [this](quint32 address, const ModbusBytes &bytes) {
                if (bytes.regsCount() == 1)
                    return m_modbuser.writeRegister(address, bytes.toUInt16(0));
                return m_modbuser.writeRegisters(address, bytes);
            },
            true);
        return;
    }
    if (task.type() != DorrikBus::ReadTask)
        qFatal("executeTaskRegs() -> unknown type of task");

    const int registers = task.requestBytesCount() / 2;
    ModbusBytes answer;
    bool ok = false;
    if (registers == 1) {
        ok = m_modbuser.readRegister(start, answer);
    } else if (registers <= MaxBlockRegisters) {
        ok = m_modbuser.readRegisters(start, quint16(registers), answer);
    } else {
        quint32 address = start;
        int remaining = registers;
        for (;;) {
            ModbusBytes block;
            ok = m_modbuser.readRegisters(address, quint16(qMin(remaining, MaxBlockRegisters)),
                                          block);
            // An empty block ends the transfer with what was gathered.
            if (!ok || block.regsCount() < 1)
                break;
            answer.append(block);
            // The next block starts where the answer ended, not where the request asked.
            remaining -= block.regsCount();
            address += quint32(block.regsCount());
            if (remaining <= 0)
                break;
            if (blockDone(task))
                return;
        }
    }
    if (ok)
        task.setBytes(answer, -1);
    finish(task, ok);
}

void ModbusClientExecutor::executeTaskFile(ModbusTaskFile &task)
{
    int block = task.modbusBlockSize();
    if (block <= 0 || block > MaxBlockRegisters)
        block = MaxBlockRegisters;
    const quint8 file = task.file();
    if (task.type() == DorrikBus::WriteTask) {
        executeWrite(
            task, task.offset(), block,
            [this, file](quint32 record, const ModbusBytes &bytes) {
                return m_modbuser.writeFile(file, quint16(record), bytes);
            },
            false);
        return;
    }
    if (task.type() != DorrikBus::ReadTask)
        qFatal("executeTaskFile() -> unknown type of task");

    const int registers = task.requestBytesCount() / 2;
    ModbusBytes answer;
    bool ok = false;
    if (registers <= block) {
        ok = m_modbuser.readFile(file, task.offset(), quint8(registers), answer);
    } else {
        quint16 record = task.offset();
        int remaining = registers;
        for (;;) {
            ModbusBytes part;
            ok = m_modbuser.readFile(file, record, quint8(qMin(remaining, block)), part);
            if (!ok || part.regsCount() < 1)
                break;
            answer.append(part);
            remaining -= part.regsCount();
            record = quint16(record + part.regsCount());
            if (remaining <= 0)
                break;
            if (blockDone(task))
                return;
        }
    }
    if (ok)
        task.setBytes(answer, -1);
    finish(task, ok);
}

void ModbusClientExecutor::executeTaskReport(ModbusTaskReport &task)
{
    ModbusBytes answer;
    const bool ok = m_modbuser.getReport(answer);
    if (ok)
        task.setBytes(answer.isEmpty() ? ModbusBytesArray() : ModbusBytesArray(answer, 0, -1));
    finish(task, ok);
}
