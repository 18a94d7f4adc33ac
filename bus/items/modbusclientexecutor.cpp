#include "modbusclientexecutor.h"

#include "modbustask.h"
#include "modbustaskaddressed.h"
#include "modbustaskarchpresence65.h"
#include "modbustaskarchrecord65.h"
#include "modbustaskfile.h"
#include "modbustaskreport.h"
#include "modbustaskserver.h"
#include "modbustransport.h"
#include "timeprovider.h"

#include <QThread>

#include <algorithm>
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
    // Started by a posted call, so that it starts in the thread the executor is moved to: a
    // running timer moved across threads leaves Qt's internal restart call behind (a leak when
    // the client dies at once).
    QMetaObject::invokeMethod(
        this, [this] { m_timer.start(); }, Qt::QueuedConnection);
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
    const quint64 stamp = ModbusTask::nextStamp();
    std::lock_guard<std::mutex> lock(m_abortMutex);
    for (auto &entry : m_abortList) {
        if (entry.first.data() == item) {
            entry.second = stamp;
            m_abortItem = true;
            return;
        }
    }
    m_abortList.append(qMakePair(ItemPointer(item), stamp));
    m_abortItem = true;
}

void ModbusClientExecutor::abortExecutingAll()
{
    m_abortAllStamp = ModbusTask::nextStamp();
}

void ModbusClientExecutor::resetAborting()
{
    std::lock_guard<std::mutex> lock(m_abortMutex);
    m_abortList.erase(std::remove_if(m_abortList.begin(), m_abortList.end(),
                                     [](const QPair<ItemPointer, quint64> &entry) {
                                         return entry.first.isNull();
                                     }),
                      m_abortList.end());
    m_abortItem = !m_abortList.isEmpty();
}

bool ModbusClientExecutor::checkAbort(const ModbusTask &task)
{
    if (m_abortAllStamp > task.stamp())
        return true;
    if (!m_abortItem)
        return false;
    ModbusItemBase *item = task.firstItem();
    std::lock_guard<std::mutex> lock(m_abortMutex);
    for (const auto &entry : std::as_const(m_abortList)) {
        if (entry.first.data() == item)
            return entry.second > task.stamp();
    }
    return false;
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
            if (intervalReading) {
                // Stamped before it leaves the server: an abort raised while it is taken holds.
                const quint64 stamp = ModbusTask::nextStamp();
                task = m_server->getIntervalTask();
                if (task)
                    task->setStamp(stamp);
            }
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
    if (m_taskTakenHook)
        m_taskTakenHook(task);
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
    if (task->dataList().isEmpty()) {
        // Nothing to ask for and nobody to tell: without a state it would pass for never run.
        task->setState(DorrikBus::ErrorState);
        task->setErrorString(tr("task has no data items"));
        return;
    }
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
        else if (auto *record = dynamic_cast<ModbusTaskArchRecord65 *>(task))
            executeTaskArchRecord(*record);
        else if (auto *computed = dynamic_cast<ModbusTaskArchPresence65 *>(task))
            executeTaskArchPresence65(*computed);
        else if (auto *presence = dynamic_cast<ModbusTaskArchPresence *>(task))
            executeTaskArchPresence67(*presence);
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
    if (!checkAbort(task))
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
    // Registers are written whole: a lone last byte would be dropped while the write succeeds.
    if (rest.size() % 2 != 0) {
        task.setState(DorrikBus::ErrorState);
        task.setErrorString(
            tr("can't write %1 bytes: not a whole number of registers").arg(rest.size()));
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

void ModbusClientExecutor::executeRead(ModbusTask &task, quint32 start, int block,
                                       const std::function<bool(quint32, int, ModbusBytes &)> &read)
{
    int remaining = task.requestBytesCount() / 2;
    quint32 address = start;
    ModbusBytes answer;
    bool ok = false;
    for (;;) {
        ModbusBytes part;
        ok = read(address, qMin(remaining, block), part);
        // An empty block ends the transfer with what was gathered.
        if (!ok || part.regsCount() < 1)
            break;
        answer.append(part);
        // The next block starts where the answer ended, not where the request asked.
        remaining -= part.regsCount();
        address += quint32(part.regsCount());
        if (remaining <= 0)
            break;
        if (blockDone(task))
            return;
    }
    if (ok)
        task.setBytes(answer, -1);
    finish(task, ok);
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

    executeRead(task, start, MaxBlockRegisters,
                [this](quint32 address, int count, ModbusBytes &bytes) {
                    return m_modbuser.readRegisters(address, quint16(count), bytes);
                });
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

    executeRead(task, task.offset(), block,
                [this, file](quint32 record, int count, ModbusBytes &bytes) {
                    return m_modbuser.readFile(file, quint16(record), quint8(count), bytes);
                });
}

void ModbusClientExecutor::executeTaskReport(ModbusTaskReport &task)
{
    ModbusBytes answer;
    const bool ok = m_modbuser.getReport(answer);
    if (ok)
        task.setBytes(answer.isEmpty() ? ModbusBytesArray() : ModbusBytesArray(answer, 0, -1));
    finish(task, ok);
}

void ModbusClientExecutor::executeTaskArchRecord(ModbusTaskArchRecord65 &task)
{
    const int max = qMax(1, int(m_maxArchRecords));
    // An answer does not say where one record ends: while the size is not known, one record is
    // asked for, and its length is the size by which the later answers are cut.
    int size = qMax(task.recordSize(), 0);
    ModbusBytesArray records;
    quint32 label = task.label();
    int remaining = task.count();
    while (remaining > 0) {
        const int n = size > 0 ? qMin(remaining, max) : 1;
        ModbusBytesArray block;
        const int got =
            m_modbuser.readArchRecords(task.archIndex(), label, task.func(), task.archType(), block,
                                       task.direction(), quint16(n), nullptr, size);
        if (got <= 0)
            break;
        if (size == 0)
            size = int(block.first().size());
        for (int i = 0; i < block.size(); ++i)
            records.append(block.at(i));
        remaining -= got;
        // A short answer (fewer records fit the instrument's frame) is kept, and the reading
        // ends there: its records need not have consecutive labels, so where the next ones
        // start is not known. A reader with the archive's label list goes on from there.
        if (got < n || remaining <= 0)
            break;
        bool ok = false;
        const quint32 next = task.getNextLabel(label, &ok, quint32(n));
        if (!ok)
            break;
        label = next;
        if (blockDone(task))
            return;
    }
    if (records.isEmpty()) {
        finish(task, false);
        return;
    }
    task.setBytes(records);
    finish(task, true);
}

void ModbusClientExecutor::executeTaskArchPresence65(ModbusTaskArchPresence65 &task)
{
    const DorrikBus::ArchType type = task.archType();
    if (type != DorrikBus::IndexArch && type != DorrikBus::TimeArch) {
        // The calendar leaves a label of another type where it is: the run would never end.
        task.setState(DorrikBus::ErrorState);
        task.setErrorString(tr("unknown arch type"));
        return;
    }
    const DorrikBus::ArchInterval interval = task.archInterval();
    const bool forward = task.direction() == DorrikBus::Forward;
    task.firstLabel = 0x2A300;
    task.lastLabel = 0xFFFFFFFF;
    const quint32 start = task.label();

    bool ok = false;
    quint32 end = DorrikBus::getNextLabel(start, type, interval, &ok,
                                          quint32(qMax(task.count(), 0)), task.direction());
    if (ok && task.endLabel != 0)
        end = forward ? qMin(end, task.endLabel) : qMax(end, task.endLabel);
    else if (!ok)
        end = forward ? 0xFFFFFFFF : 0;
    // Backward the run goes from the end label up to the start label.
    const quint32 low = forward ? start : end;
    const quint32 high = forward ? end : start;

    bool hasPrev = low > task.firstLabel;
    if (hasPrev)
        task.prevLabel = DorrikBus::getPrevLabel(low, type, interval, &hasPrev, 1);
    bool hasNext = high < task.lastLabel;
    if (hasNext)
        task.nextLabel =
            DorrikBus::getNextLabel(high, type, interval, &hasNext, 1, DorrikBus::Forward);
    task.prevLabelExists = hasPrev;
    task.nextLabelExists = hasNext;

    ModbusBytesArray labels;
    for (quint32 label = low; label <= high;) {
        labels.append(ModbusBytes::fromUInt32(label));
        label = DorrikBus::getNextLabel(label, type, interval, &ok, 1, DorrikBus::Forward);
        if (!ok)
            break;
    }
    task.setBytes(labels);
    task.setState(DorrikBus::GoodState);
    task.setErrorString(QString());
}

bool ModbusClientExecutor::readPresenceBlock(const ModbusTaskArchPresence &task, quint32 start,
                                             int count, QList<quint32> &labels)
{
    ModbusBytesArray block;
    if (!m_modbuser.readArchPresence(task.archIndex(), start, task.archType(), block,
                                     task.direction(), quint16(count)))
        return false;
    labels = block.toModbusBytes().toArchLabels(0, -1);
    // A backward answer may list its labels falling; kept rising, the blocks join end to end.
    std::sort(labels.begin(), labels.end());
    return true;
}

void ModbusClientExecutor::executeTaskArchPresence67(ModbusTaskArchPresence &task)
{
    const bool forward = task.direction() == DorrikBus::Forward;
    const int limit = task.maxRequestLabels > 0 ? qMin(task.maxRequestLabels, MaxRequestLabels)
                                                : MaxRequestLabels;
    const bool extra = task.count() == 1 || (forward ? task.readNext() : task.readPrev());
    const int wanted = qMax(task.count(), 1) + (extra ? 1 : 0);
    const quint32 end = task.endLabel;

    // The list stays rising; a follow-up request starts at the boundary label, which comes back
    // again and is not listed twice.
    QList<quint32> list;
    quint32 start = task.label();
    int remaining = wanted;
    bool followUp = false;
    for (;;) {
        qint64 n = qMin(remaining + (followUp ? 1 : 0), limit);
        if (end != 0) {
            const qint64 span = forward ? qint64(end) + 1 - start : qint64(start) + 1 - end;
            n = qMax<qint64>(1, qMin(n, span));
        }
        QList<quint32> labels;
        if (!readPresenceBlock(task, start, int(n), labels)) {
            finish(task, false);
            return;
        }
        const qsizetype received = labels.size();
        if (followUp && !labels.isEmpty()) {
            if (forward && labels.first() == start)
                labels.removeFirst();
            else if (!forward && labels.last() == start)
                labels.removeLast();
        }
        bool endReached = false;
        if (end != 0) {
            const qsizetype before = labels.size();
            labels.erase(std::remove_if(labels.begin(), labels.end(),
                                        [&](quint32 l) { return forward ? l > end : l < end; }),
                         labels.end());
            endReached = labels.size() != before ||
                         (!labels.isEmpty() && (forward ? labels.last() : labels.first()) == end);
        }
        if (forward)
            list.append(labels);
        else
            list = labels + list;
        remaining -= int(labels.size());
        if (received < n || endReached || remaining <= 0 || labels.isEmpty())
            break;
        start = forward ? list.last() : list.first();
        followUp = true;
        if (blockDone(task))
            return;
    }

    bool hasPrev = false;
    bool hasNext = false;
    quint32 prev = task.prevLabel;
    quint32 next = task.nextLabel;
    if (forward) {
        if (task.readNext() && list.size() > 1) {
            hasNext = true;
            next = list.at(1);
        }
        if (extra && list.size() >= wanted)
            list.removeLast();
        if (task.readPrev() && task.label() != 0 &&
            !m_modbuser.getNearestLabel(task.archIndex(), task.archType(), task.label() - 1, prev,
                                        DorrikBus::Backward, &hasPrev)) {
            finish(task, false);
            return;
        }
    } else {
        if (task.readPrev() && list.size() > 1) {
            hasPrev = true;
            prev = list.at(list.size() - 2);
        }
        if (extra && list.size() >= wanted)
            list.removeFirst();
        if (task.readNext() && task.label() != 0xFFFFFFFF &&
            !m_modbuser.getNearestLabel(task.archIndex(), task.archType(), task.label() + 1, next,
                                        DorrikBus::Forward, &hasNext)) {
            finish(task, false);
            return;
        }
    }
    if (task.readFirst() &&
        !m_modbuser.getFirstLabel(task.archIndex(), task.archType(), task.firstLabel)) {
        finish(task, false);
        return;
    }
    if (task.readLast() &&
        !m_modbuser.getLastLabel(task.archIndex(), task.archType(), task.lastLabel)) {
        finish(task, false);
        return;
    }
    task.prevLabelExists = hasPrev;
    task.prevLabel = prev;
    task.nextLabelExists = hasNext;
    task.nextLabel = next;
    ModbusBytesArray labels;
    for (quint32 label : std::as_const(list))
        labels.append(ModbusBytes::fromUInt32(label));
    task.setBytes(labels);
    finish(task, true);
}
