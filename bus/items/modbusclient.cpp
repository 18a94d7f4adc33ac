#include "modbusclient.h"

#include "modbusclientexecutor.h"
#include "modbusitembase.h"
#include "modbustask.h"
#include "modbustaskserver.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>

#include <atomic>
#include <memory>
#include <utility>

ModbusClient::ModbusClient(QObject *parent) : ErrObject(parent)
{
    qRegisterMetaType<ModbusItemBase *>("ModbusItemBase *");
    qRegisterMetaType<ModbusTransport *>("ModbusTransport *");
    qRegisterMetaType<QList<ItemPointer>>("QList<ItemPointer >");
    qRegisterMetaType<ModbusTask *>("ModbusTask*");

    m_taskServer = new ModbusTaskServer(this);
    m_taskServer->setUseOptimization(m_useOptimization);
    m_taskServer->setMaxRequestRegsCount(m_maxRegisters);
    connect(m_taskServer, &ModbusTaskServer::intervalReadingEnabledChanged, this,
            &ModbusClient::intervalReadingEnabledChanged);

    m_executor = new ModbusClientExecutor(*m_taskServer);
    m_executor->setMaxArchRecords(m_maxArchRecords);
    m_thread = new QThread;
    m_thread->setObjectName(QStringLiteral("Modbus executor thread"));
    m_executor->moveToThread(m_thread);
    m_thread->start(QThread::InheritPriority);
    m_thread->setPriority(QThread::LowPriority);

    connect(m_executor, &ErrObject::error, this, &ModbusClient::setErrorString);
    connect(m_executor, &ModbusClientExecutor::taskPartialExecuted, this,
            &ModbusClient::taskPartialExecuted);
    connect(m_taskServer, &ModbusTaskServer::resultTasksCountChanged, this,
            &ModbusClient::onResultTasksChanged);
    connect(m_executor, &ModbusClientExecutor::executingItemsChanged, this,
            &ModbusClient::onExecutingItemsChanged);
    // The executor listens to this signal itself already.
    connect(m_taskServer, &ModbusTaskServer::tasksChanged, m_executor,
            &ModbusClientExecutor::wakeUp, Qt::UniqueConnection);
    connect(m_taskServer, &ModbusTaskServer::enabledChanged, this, &ModbusClient::enabledChanged);
    connect(m_taskServer, &ModbusTaskServer::pausedChanged, this, &ModbusClient::pausedChanged);
    connect(this, &ModbusClient::abortExecuting, m_taskServer, &ModbusTaskServer::abortTasks);
    connect(this, &ModbusClient::abortExecuting, this, &ModbusClient::dropWaitingTasks);
    // Directly, in the emitting thread: the running task has to see it between its blocks.
    connect(this, &ModbusClient::abortExecuting, m_executor, &ModbusClientExecutor::abortExecuting,
            Qt::DirectConnection);
    connect(this, &ModbusClient::retriesChanged, m_executor, &ModbusClientExecutor::setRetries);
    connect(m_taskServer, &ModbusTaskServer::queuedTasksCountChanged, this,
            &ModbusClient::queuedTasksCountChanged);
    connect(m_taskServer, &ModbusTaskServer::intervalTasksCountChanged, this,
            &ModbusClient::intervalTasksCountChanged);
    connect(m_taskServer, &ModbusTaskServer::errorTasksCountChanged, this,
            &ModbusClient::errorTasksCountChanged);
    connect(m_taskServer, &ModbusTaskServer::goodTasksCountChanged, this,
            &ModbusClient::goodTasksCountChanged);
    connect(m_taskServer, &ModbusTaskServer::executedTasksCountChanged, this,
            &ModbusClient::executedTasksCountChanged);
}

ModbusClient::~ModbusClient()
{
    // Items outlive their client often (QML destroys in any order): each one lets go of the
    // client while it is still whole, so no item calls into it later.
    const QList<ItemPointer> registered = m_registeredItems;
    for (const ItemPointer &item : registered) {
        if (item && item->client() == this)
            item->setClient(nullptr);
    }
    for (const ItemPointer &item : std::as_const(m_items)) {
        if (item && item->client() == this)
            item->setClient(nullptr);
    }
    stopExecutorThread();
    m_pendingResults.clearWithDelete();
    m_waitingForLink.clearWithDelete();
}

void ModbusClient::stopExecutorThread()
{
    // From here on the executor neither takes tasks nor hands back results: the task server
    // goes with the client.
    m_executor->detachServer();
    disconnect(m_executor, nullptr, this, nullptr);

    // Set in this thread only, before the event loop can run the handler below.
    auto abandoned = std::make_shared<bool>(false);
    auto lentTransport = std::make_shared<QPointer<ModbusTransport>>();
    QThread *thread = m_thread;
    connect(thread, &QThread::finished, thread, [thread, abandoned, lentTransport] {
        if (!*abandoned)
            return;
        // Finished is emitted before the thread's last deferred deletes (the executor's).
        thread->wait();
        if (*lentTransport)
            (*lentTransport)->deleteLater();
        thread->deleteLater();
    });

    m_executor->deleteLater();
    m_executor = nullptr;
    thread->quit();
    if (thread->wait(StopTimeout)) {
        delete thread;
    } else {
        // The thread is stuck in an exchange (a link that does not answer). Terminating it would
        // unwind it wherever it stands, or not at all while it waits for another thread; it is
        // left to end by itself instead and cleans up then. A transport of this client that
        // it is still using goes with it.
        *abandoned = true;
        if (m_transport && m_transport->parent() == this) {
            m_transport->setParent(nullptr);
            *lentTransport = m_transport;
        }
    }
    m_thread = nullptr;
}

QString ModbusClient::toString(bool oneLine) const
{
    QString text = QStringLiteral("ModbusClient\n");
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}

void ModbusClient::setTransport(ModbusTransport *transport)
{
    if (m_transport == transport)
        return;
    if (m_transport)
        disconnect(m_transport, nullptr, this, nullptr);
    m_transport = transport;
    if (transport)
        connect(transport, &Transport::connectedChanged, this, &ModbusClient::updateConnected);
    ModbusClientExecutor *executor = m_executor;
    if (!runInExecutor([executor, transport] { executor->setTransport(transport); }))
        return;
    updateConnected();
    emit transportChanged();
}

void ModbusClient::updateConnected()
{
    const bool value = m_transport && m_transport->connected();
    if (value == m_connected)
        return;
    m_connected = value;
    if (value) {
        const ModbusTaskList waiting = std::exchange(m_waitingForLink, {});
        for (ModbusTask *task : waiting)
            executeTask(task);
    }
    emit connectedChanged();
}

void ModbusClient::dropWaitingTasks(ModbusItemBase *item)
{
    m_waitingForLink.removeWithDelete(item);
}

void ModbusClient::setUseOptimization(bool value)
{
    if (value == m_useOptimization)
        return;
    m_useOptimization = value;
    m_taskServer->setUseOptimization(value);
    emit useOptimizationChanged();
}

void ModbusClient::setMaxRegisters(int value)
{
    if (value == m_maxRegisters)
        return;
    m_maxRegisters = value;
    m_taskServer->setMaxRequestRegsCount(value);
    emit maxRegistersChanged();
}

void ModbusClient::setMaxArchRecords(int value)
{
    if (value == m_maxArchRecords)
        return;
    m_maxArchRecords = value;
    m_executor->setMaxArchRecords(value);
    emit maxArchRecordsChanged();
}

bool ModbusClient::enabled() const
{
    return m_taskServer->enabled();
}

void ModbusClient::setEnabled(bool value)
{
    m_taskServer->setEnabled(value);
}

bool ModbusClient::paused() const
{
    return m_taskServer->paused();
}

void ModbusClient::setPaused(bool value)
{
    m_taskServer->setPaused(value);
}

bool ModbusClient::intervalReadingEnabled() const
{
    return m_taskServer->intervalReadingEnabled();
}

void ModbusClient::setIntervalReadingEnabled(bool value)
{
    m_taskServer->setIntervalReadingEnabled(value);
}

quint64 ModbusClient::queuedTasksCount() const
{
    return quint64(m_taskServer->queuedTasksCount());
}

quint64 ModbusClient::intervalTasksCount() const
{
    return quint64(m_taskServer->intervalTasksCount());
}

quint64 ModbusClient::executedTasksCount() const
{
    return m_taskServer->executedTasksCount();
}

quint64 ModbusClient::errorTasksCount() const
{
    return m_taskServer->errorTasksCount();
}

quint64 ModbusClient::goodTasksCount() const
{
    return m_taskServer->goodTasksCount();
}

void ModbusClient::setDeviceAddress(int value)
{
    if (value == m_deviceAddress || value < 0 || value > 255)
        return;
    m_deviceAddress = quint8(value);
    emit deviceAddressChanged();
}

void ModbusClient::setSingleResultProcessing(bool value)
{
    if (value == m_singleResultProcessing)
        return;
    m_singleResultProcessing = value;
    emit singleResultProcessingChanged(value);
}

void ModbusClient::setRetries(int value)
{
    if (value == m_retries || value < 1)
        return;
    m_retries = value;
    emit retriesChanged(value);
}

void ModbusClient::startReading()
{
    setEnabled(true);
}

void ModbusClient::stopReading()
{
    setEnabled(false);
}

void ModbusClient::executeTask(ModbusTask *task)
{
    m_taskServer->addQueuedTask(task);
}

bool ModbusClient::executeTaskSync(ModbusTask *task)
{
    std::unique_ptr<ModbusTask> owned(task);
    const QPointer<ModbusClient> self(this);
    executeTaskSyncSilent(task);
    if (!self)
        return false;
    // What counts is whether the item took the result: a good answer that it refuses (of
    // another force mark, size or address) left nothing behind.
    ModbusItemBase *item = task->firstItem();
    if (!item)
        return false;
    const bool accepted = item->taskCompleted(task);
    if (self)
        emit executed(item);
    return accepted;
}

void ModbusClient::executeTaskSyncSilent(ModbusTask *task)
{
    // A forced task runs again while it fails, but no more than `retries` times: the GUI thread
    // waits meanwhile.
    for (int pass = 0;; ++pass) {
        if (!enabled() || paused()) {
            task->setState(DorrikBus::ErrorState);
            task->setErrorString(tr("modbus client is disabled or paused"));
            return;
        }
        ModbusClientExecutor *executor = m_executor;
        if (!runInExecutor([executor, task] { executor->executeTask(task); }))
            return;
        if (!task->force() || task->state() == DorrikBus::GoodState || !connected() ||
            pass + 1 >= m_retries)
            return;
        task->reset();
    }
}

bool ModbusClient::runInExecutor(const std::function<void()> &work)
{
    QThread *caller = QThread::currentThread();
    if (caller == m_thread) {
        work();
        return true;
    }
    QAbstractEventDispatcher *dispatcher = caller->eventDispatcher();
    if (!dispatcher) {
        // A thread without an event loop serves no link, so it may simply block.
        QMetaObject::invokeMethod(m_executor, work, Qt::BlockingQueuedConnection);
        return true;
    }
    // Not a blocking queued call: a loopback or TFTP link living in this thread runs its side
    // of the exchange by a queued call into it, so this thread's events have to go on while it
    // waits. The wait ends when the work has run, or when its call was dropped unrun (the
    // executor thread ended); the work itself ends by the link's time-outs.
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<void> finisher(nullptr, [done, dispatcher](void *) {
        done->store(true);
        dispatcher->wakeUp();
    });
    QMetaObject::invokeMethod(
        m_executor, [work, finisher] { work(); }, Qt::QueuedConnection);
    finisher.reset();
    const QPointer<ModbusClient> self(this);
    while (!done->load())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    return !self.isNull();
}

void ModbusClient::startExecutingIntervalTask(ModbusTask *task)
{
    m_taskServer->addIntervalTask(task);
}

void ModbusClient::stopExecutingIntervalTask(ModbusItemBase *item)
{
    m_taskServer->removeIntervalTasks(item);
}

void ModbusClient::registerItem(ModbusItemBase *item)
{
    if (item && !m_registeredItems.contains(item))
        m_registeredItems.append(item);
}

void ModbusClient::unRegisterItem(ModbusItemBase *item)
{
    m_registeredItems.removeOne(item);
    m_executingItems.removeOne(item);
    dropWaitingTasks(item);
}

void ModbusClient::wakeUpExecutor()
{
    QMetaObject::invokeMethod(m_executor, &ModbusClientExecutor::wakeUp, Qt::QueuedConnection);
}

void ModbusClient::abortExecutingAll()
{
    m_waitingForLink.clearWithDelete();
    m_taskServer->abortAllTasks();
    m_executor->abortExecutingAll();
}

void ModbusClient::onResultTasksChanged()
{
    ModbusTaskList results;
    m_taskServer->getResults(results, -1);
    m_pendingResults.append(results);
    processResultTasks();
}

void ModbusClient::processResultTasks()
{
    while (!m_pendingResults.isEmpty()) {
        ModbusTask *task = m_pendingResults.takeFirst();
        ModbusItemBase *item = task->firstItem();
        if (!item) {
            delete task;
            continue;
        }
        if (task->force() && task->interval() == 0 && task->state() == DorrikBus::ErrorState) {
            // Run again, but while the link is down it waits for the link, and a device that
            // keeps failing ends it after `retries` runs, as a synchronous task.
            if (!m_connected) {
                task->reset();
                task->setForcedRuns(0);
                m_waitingForLink.append(task);
                continue;
            }
            task->setForcedRuns(task->forcedRuns() + 1);
            if (task->forcedRuns() < m_retries) {
                task->reset();
                executeTask(task);
                continue;
            }
        }
        item->taskCompleted(task);
        if (task->interval() == 0 || intervalReadingEnabled())
            emit executed(item);
        delete task;
        if (m_singleResultProcessing) {
            if (!m_pendingResults.isEmpty())
                QCoreApplication::postEvent(this, new QEvent(QEvent::Type(ProcessResultsEventType)),
                                            Qt::LowEventPriority);
            return;
        }
    }
}

void ModbusClient::customEvent(QEvent *event)
{
    if (event->type() != QEvent::Type(ProcessResultsEventType)) {
        ErrObject::customEvent(event);
        return;
    }
    QCoreApplication::removePostedEvents(this, ProcessResultsEventType);
    processResultTasks();
}

void ModbusClient::onExecutingItemsChanged(QList<ItemPointer> items)
{
    items.removeAll(ItemPointer());
    m_executingItems.removeAll(ItemPointer());
    const QList<ItemPointer> current = m_executingItems;
    for (const ItemPointer &item : current) {
        if (!items.contains(item)) {
            m_executingItems.removeOne(item);
            item->setExecuting(false);
        }
    }
    for (const ItemPointer &item : std::as_const(items)) {
        if (!m_executingItems.contains(item)) {
            m_executingItems.append(item);
            item->setExecuting(true);
        }
    }
}

QHash<QString, bool> ModbusClient::groupSet(const QStringList &groups)
{
    QHash<QString, bool> set;
    for (const QString &group : groups)
        set.insert(group, true);
    return set;
}

void ModbusClient::readAll(const QString &exceptGroup)
{
    readAll(exceptGroup.isEmpty() ? QStringList() : QStringList{exceptGroup});
}

void ModbusClient::readAll()
{
    readAll(QStringList());
}

void ModbusClient::readAll(const QStringList &exceptGroups)
{
    if (!m_connected)
        return;
    emit readingAll(groupSet(exceptGroups));
}

void ModbusClient::readGroups(const QString &group)
{
    readGroups(group.isEmpty() ? QStringList() : QStringList{group});
}

void ModbusClient::readGroups(const QStringList &groups)
{
    if (!m_connected)
        return;
    emit readingGroups(groupSet(groups));
}

int ModbusClient::countItems(const QStringList &groups)
{
    int count = 0;
    emit countItems(count, groups);
    return count;
}

QList<ModbusItemBase *> ModbusClient::getItems(const QStringList &groups)
{
    QList<ModbusItemBase *> list;
    emit collectItems(list, groups);
    return list;
}

QVariantList ModbusClient::getVariantItems(const QStringList &groups)
{
    QVariantList list;
    const QList<ModbusItemBase *> found = getItems(groups);
    for (ModbusItemBase *item : found)
        list.append(QVariant::fromValue<QObject *>(item));
    return list;
}

QQmlListProperty<ModbusItemBase> ModbusClient::items()
{
    return QQmlListProperty<ModbusItemBase>(
        this, nullptr, &ModbusClient::appendItem, &ModbusClient::itemCount, &ModbusClient::itemAt,
        &ModbusClient::clearItems, &ModbusClient::replaceItem, &ModbusClient::removeLastItem);
}

void ModbusClient::adoptItem(ModbusItemBase *item)
{
    item->setParent(this);
    if (!item->client())
        item->setClient(this);
}

void ModbusClient::appendItem(QQmlListProperty<ModbusItemBase> *list, ModbusItemBase *item)
{
    auto *client = static_cast<ModbusClient *>(list->object);
    if (!item)
        return;
    client->m_items.append(item);
    client->adoptItem(item);
    emit client->itemsChanged();
}

qsizetype ModbusClient::itemCount(QQmlListProperty<ModbusItemBase> *list)
{
    return static_cast<ModbusClient *>(list->object)->m_items.size();
}

ModbusItemBase *ModbusClient::itemAt(QQmlListProperty<ModbusItemBase> *list, qsizetype index)
{
    const auto &items = static_cast<ModbusClient *>(list->object)->m_items;
    return index >= 0 && index < items.size() ? items.at(index).data() : nullptr;
}

void ModbusClient::clearItems(QQmlListProperty<ModbusItemBase> *list)
{
    auto *client = static_cast<ModbusClient *>(list->object);
    const QList<ItemPointer> items = std::exchange(client->m_items, {});
    emit client->itemsChanged();
    // Qt 6.4 assigns a whole list from QML by clear() and appending the new entries, often the
    // same items: deleting them here would hand it dangling pointers. The entries go once control
    // is back in the event loop, unless they were put back or moved to another owner.
    QMetaObject::invokeMethod(
        client,
        [client, items] {
            for (const ItemPointer &item : items) {
                if (item && item->parent() == client && !client->m_items.contains(item))
                    delete item.data();
            }
        },
        Qt::QueuedConnection);
}

void ModbusClient::replaceItem(QQmlListProperty<ModbusItemBase> *list, qsizetype index,
                               ModbusItemBase *item)
{
    // Without its own replace, Qt would clear (and so delete) every item and append them again.
    auto *client = static_cast<ModbusClient *>(list->object);
    if (!item || index < 0 || index >= client->m_items.size())
        return;
    client->m_items[index] = item;
    client->adoptItem(item);
    emit client->itemsChanged();
}

void ModbusClient::removeLastItem(QQmlListProperty<ModbusItemBase> *list)
{
    auto *client = static_cast<ModbusClient *>(list->object);
    if (client->m_items.isEmpty())
        return;
    client->m_items.removeLast();
    emit client->itemsChanged();
}
