#include "modbustaskserver.h"

#include "modbustask.h"
#include "timeprovider.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMutexLocker>

ModbusTaskServer::ModbusTaskServer(QObject *parent)
    : ErrObject(parent), m_clock(new TimeProvider(this))
{}

ModbusTaskServer::~ModbusTaskServer()
{
    QMutexLocker locker(&m_lock);
    m_resultTasks.clearWithDelete();
    m_queuedTasks.clearWithDelete();
    m_intervalTasks.clearWithDelete();
    m_schedule.clearWithDelete();
}

void ModbusTaskServer::setEnabled(bool value)
{
    if (m_enabled.exchange(value) == value)
        return;
    emit enabledChanged();
    if (value)
        emit tasksChanged();
}

void ModbusTaskServer::setPaused(bool value)
{
    if (m_paused.exchange(value) == value)
        return;
    emit pausedChanged();
    // A resumed server has work again; a paused one needs no wake-up.
    if (!value)
        emit tasksChanged();
}

void ModbusTaskServer::setIntervalReadingEnabled(bool value)
{
    if (m_intervalReadingEnabled.exchange(value) == value)
        return;
    emit intervalReadingEnabledChanged(value);
    emit tasksChanged();
}

void ModbusTaskServer::setUseOptimization(bool value)
{
    if (m_useOptimization.exchange(value) == value)
        return;
    postReinitIntervalTasks();
    emit useOptimizationChanged();
}

void ModbusTaskServer::setMaxRequestRegsCount(int value)
{
    if (m_maxRequestRegsCount.exchange(value) == value)
        return;
    postReinitIntervalTasks();
}

void ModbusTaskServer::setTimeProvider(TimeProvider &clock)
{
    m_clock = &clock;
}

void ModbusTaskServer::addIntervalTask(ModbusTask *task)
{
    if (!m_enabled) {
        delete task;
        return;
    }
    {
        QMutexLocker locker(&m_lock);
        m_intervalTasks.append(task);
        updateCounts();
    }
    postReinitIntervalTasks();
    emit intervalTasksCountChanged();
}

void ModbusTaskServer::addQueuedTask(ModbusTask *task)
{
    if (!m_enabled) {
        delete task;
        return;
    }
    {
        QMutexLocker locker(&m_lock);
        m_queuedTasks.append(task);
        updateCounts();
    }
    emit queuedTasksCountChanged();
    emit tasksChanged();
}

void ModbusTaskServer::addResult(ModbusTask *task)
{
    if (!m_enabled) {
        delete task;
        return;
    }
    incrementExecutedTasksCount();
    switch (task->state()) {
    case DorrikBus::GoodState:
        incrementGoodTasksCount();
        break;
    case DorrikBus::ErrorState:
        incrementErrorTasksCount();
        break;
    case DorrikBus::NoneState:
    case DorrikBus::AbortedState:
        break;
    }
    {
        QMutexLocker locker(&m_lock);
        m_resultTasks.append(task);
        updateCounts();
    }
    emit resultTasksCountChanged();
}

ModbusTask *ModbusTaskServer::getQueuedTask()
{
    if (!m_enabled || m_paused)
        return nullptr;
    ModbusTask *task = nullptr;
    {
        QMutexLocker locker(&m_lock);
        if (m_queuedTasks.isEmpty())
            return nullptr;
        task = m_queuedTasks.takeFirst();
        updateCounts();
    }
    emit queuedTasksCountChanged();
    return task;
}

ModbusTask *ModbusTaskServer::getIntervalTask()
{
    if (!m_enabled || m_paused || !m_intervalReadingEnabled)
        return nullptr;
    QMutexLocker locker(&m_lock);
    if (m_schedule.isEmpty())
        return nullptr;
    if (m_scheduleCursor >= m_schedule.size())
        m_scheduleCursor = 0;
    const int start = m_scheduleCursor;
    const TimeProvider *clock = m_clock;
    for (;;) {
        ModbusTask *scheduled = m_schedule.at(m_scheduleCursor);
        const QDateTime next = scheduled->nextProcessTime();
        // A task that never ran has no next time: it is due at once.
        if (!next.isValid() || !(clock->currentDateTime() < next)) {
            ModbusTask *copy = scheduled->clone();
            scheduled->setLastProcessTime(clock->currentDateTime());
            ++m_scheduleCursor;
            return copy;
        }
        if (++m_scheduleCursor >= m_schedule.size())
            m_scheduleCursor = 0;
        if (m_scheduleCursor == start)
            return nullptr;
    }
}

bool ModbusTaskServer::getNearestTaskTime(QDateTime &time)
{
    if (!m_enabled || m_paused)
        return false;
    QMutexLocker locker(&m_lock);
    if (m_schedule.isEmpty())
        return false;
    time = m_schedule.first()->nextProcessTime();
    for (qsizetype i = 1; i < m_schedule.size() && time.isValid(); ++i) {
        const QDateTime next = m_schedule.at(i)->nextProcessTime();
        // An invalid time means due at once, earlier than any valid one.
        if (!next.isValid() || next < time)
            time = next;
    }
    return true;
}

void ModbusTaskServer::getResults(ModbusTaskList &list, int count, bool *more)
{
    QMutexLocker locker(&m_lock);
    if (count == -1) {
        list.append(m_resultTasks);
        m_resultTasks.clear();
    } else if (!m_resultTasks.isEmpty()) {
        list.append(m_resultTasks.takeFirst());
    }
    updateCounts();
    if (more)
        *more = !m_resultTasks.isEmpty();
}

void ModbusTaskServer::removeIntervalTasks(ModbusItemBase *item)
{
    int removed = 0;
    {
        QMutexLocker locker(&m_lock);
        removed = m_intervalTasks.removeWithDelete(item);
        updateCounts();
    }
    if (removed > 0) {
        postReinitIntervalTasks();
        emit intervalTasksCountChanged();
    }
}

void ModbusTaskServer::removeTasks(ModbusItemBase *item)
{
    int removedQueued = 0;
    int removedInterval = 0;
    {
        QMutexLocker locker(&m_lock);
        m_resultTasks.removeWithDelete(item);
        removedQueued = m_queuedTasks.removeWithDelete(item);
        removedInterval = m_intervalTasks.removeWithDelete(item);
        updateCounts();
    }
    postReinitIntervalTasks();
    if (removedQueued > 0)
        emit queuedTasksCountChanged();
    if (removedInterval > 0)
        emit intervalTasksCountChanged();
}

void ModbusTaskServer::abortTasks(ModbusItemBase *item)
{
    int removed = 0;
    {
        QMutexLocker locker(&m_lock);
        removed = m_queuedTasks.removeWithDelete(item);
        updateCounts();
    }
    if (removed > 0)
        emit queuedTasksCountChanged();
}

void ModbusTaskServer::abortAllTasks()
{
    bool hadQueued = false;
    {
        QMutexLocker locker(&m_lock);
        hadQueued = !m_queuedTasks.isEmpty();
        m_queuedTasks.clearWithDelete();
        updateCounts();
    }
    postReinitIntervalTasks();
    if (hadQueued)
        emit queuedTasksCountChanged();
}

void ModbusTaskServer::clear()
{
    bool hadQueued = false;
    bool hadInterval = false;
    {
        QMutexLocker locker(&m_lock);
        hadQueued = !m_queuedTasks.isEmpty();
        hadInterval = !m_intervalTasks.isEmpty();
        m_resultTasks.clearWithDelete();
        m_queuedTasks.clearWithDelete();
        m_intervalTasks.clearWithDelete();
        updateCounts();
    }
    postReinitIntervalTasks();
    if (hadQueued)
        emit queuedTasksCountChanged();
    if (hadInterval)
        emit intervalTasksCountChanged();
}

void ModbusTaskServer::incrementExecutedTasksCount()
{
    ++m_executedTasksCount;
    emit executedTasksCountChanged();
}

void ModbusTaskServer::incrementErrorTasksCount()
{
    ++m_errorTasksCount;
    emit errorTasksCountChanged();
}

void ModbusTaskServer::incrementGoodTasksCount()
{
    ++m_goodTasksCount;
    emit goodTasksCountChanged();
}

void ModbusTaskServer::postReinitIntervalTasks()
{
    QCoreApplication::postEvent(this, new QEvent(QEvent::Type(ReinitEventType)),
                                Qt::LowEventPriority);
}

void ModbusTaskServer::customEvent(QEvent *e)
{
    if (e->type() != QEvent::Type(ReinitEventType)) {
        ErrObject::customEvent(e);
        return;
    }
    QCoreApplication::removePostedEvents(this, ReinitEventType);
    reinitIntervalTasks();
}

void ModbusTaskServer::reinitIntervalTasks()
{
    QMutexLocker locker(&m_lock);
    m_schedule.clearWithDelete();
    m_scheduleCursor = 0;
    for (int interval : m_intervalTasks.intervals()) {
        if (interval <= 0)
            continue;
        m_schedule.append(ModbusTaskList::fromOtherByInterval(m_intervalTasks, interval).clone());
    }
    // Emitted under the lock; the executor's wake-up is queued, so nothing re-enters here.
    emit tasksChanged();
}

void ModbusTaskServer::updateCounts()
{
    m_queuedTasksCount = int(m_queuedTasks.size());
    m_intervalTasksCount = int(m_intervalTasks.size());
    m_resultTasksCount = int(m_resultTasks.size());
}
