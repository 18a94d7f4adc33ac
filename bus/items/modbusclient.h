#ifndef MODBUSCLIENT_H
#define MODBUSCLIENT_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "itempointer.h"
#include "modbustasklist.h"
#include "modbustransport.h"
#include "qdorrikobject.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QQmlListProperty>
#include <QStringList>
#include <QVariantList>

#include <functional>

class QThread;
class ModbusClientExecutor;
class ModbusItemBase;
class ModbusTask;
class ModbusTaskServer;

// The polling client that QML declares: the facade of a task server (queued, interval and result
// tasks), an executor that runs the tasks on the bus in the "Modbus executor thread", and that
// thread. Register items give it tasks; it hands every finished task back to its item in the GUI
// thread.
//
// Threads: the client, its task server and its items live in the GUI thread; only the executor
// lives in the executor thread. Calls cross as queued or blocking queued invocations, except the
// abort calls, which reach the executor directly.
class DORRIKBUS_EXPORT ModbusClient : public ErrObject, public QDorrikObject
{
    Q_OBJECT
    Q_CLASSINFO("DefaultProperty", "items")
    Q_PROPERTY(ModbusTransport *transport READ transport WRITE setTransport NOTIFY transportChanged)
    Q_PROPERTY(bool useOptimization READ useOptimization WRITE setUseOptimization NOTIFY
                   useOptimizationChanged)
    Q_PROPERTY(int maxRegisters READ maxRegisters WRITE setMaxRegisters NOTIFY maxRegistersChanged)
    Q_PROPERTY(
        int maxArchRecords READ maxArchRecords WRITE setMaxArchRecords NOTIFY maxArchRecordsChanged)
    Q_PROPERTY(bool enabled READ enabled WRITE setEnabled NOTIFY enabledChanged)
    Q_PROPERTY(bool paused READ paused WRITE setPaused NOTIFY pausedChanged)
    Q_PROPERTY(QQmlListProperty<ModbusItemBase> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(bool connected READ connected NOTIFY connectedChanged)
    Q_PROPERTY(quint64 queuedTasksCount READ queuedTasksCount NOTIFY queuedTasksCountChanged)
    Q_PROPERTY(quint64 intervalTasksCount READ intervalTasksCount NOTIFY intervalTasksCountChanged)
    Q_PROPERTY(quint64 executedTasksCount READ executedTasksCount NOTIFY executedTasksCountChanged)
    Q_PROPERTY(quint64 errorTasksCount READ errorTasksCount NOTIFY errorTasksCountChanged)
    Q_PROPERTY(quint64 goodTasksCount READ goodTasksCount NOTIFY goodTasksCountChanged)
    Q_PROPERTY(
        int deviceAddress READ deviceAddress WRITE setDeviceAddress NOTIFY deviceAddressChanged)
    Q_PROPERTY(bool singleResultProcessing READ singleResultProcessing WRITE
                   setSingleResultProcessing NOTIFY singleResultProcessingChanged)
    Q_PROPERTY(bool intervalReadingEnabled READ intervalReadingEnabled WRITE
                   setIntervalReadingEnabled NOTIFY intervalReadingEnabledChanged)
    Q_PROPERTY(int retries READ retries WRITE setRetries NOTIFY retriesChanged)

public:
    // How long destruction waits for the executor thread to end.
    static constexpr int StopTimeout = 5000;

    explicit ModbusClient(QObject *parent = nullptr);
    // Detaches the items first, so that none of them calls into a destroyed client.
    ~ModbusClient() override;

    Q_INVOKABLE QString toString(bool oneLine) const override;
    Q_INVOKABLE QString toString() const { return toString(false); }

    ModbusTransport *transport() const { return m_transport; }
    void setTransport(ModbusTransport *transport);
    bool useOptimization() const { return m_useOptimization; }
    void setUseOptimization(bool value);
    int maxRegisters() const { return m_maxRegisters; }
    void setMaxRegisters(int value);
    int maxArchRecords() const { return m_maxArchRecords; }
    void setMaxArchRecords(int value);
    bool enabled() const;
    void setEnabled(bool value);
    bool paused() const;
    void setPaused(bool value);
    bool intervalReadingEnabled() const;
    QQmlListProperty<ModbusItemBase> items();
    bool connected() const { return m_connected; }
    quint64 queuedTasksCount() const;
    quint64 intervalTasksCount() const;
    quint64 executedTasksCount() const;
    quint64 errorTasksCount() const;
    quint64 goodTasksCount() const;
    int deviceAddress() const { return m_deviceAddress; }
    // Values outside 0..255 are refused.
    void setDeviceAddress(int value);
    bool singleResultProcessing() const { return m_singleResultProcessing; }
    int retries() const { return m_retries; }

    ModbusTaskServer *taskServer() const { return m_taskServer; }
    // The worker in the executor thread; tests look at its schedule through it.
    ModbusClientExecutor *executor() const { return m_executor; }

    // Queues the task; the task server owns it from now on.
    virtual void executeTask(ModbusTask *task);
    // Runs the task and waits, then tells its item. Takes ownership; whether it ended good.
    virtual bool executeTaskSync(ModbusTask *task);
    // Runs the task and waits; the caller keeps it and no item is told.
    virtual void executeTaskSyncSilent(ModbusTask *task);

    void startExecutingIntervalTask(ModbusTask *task);
    void stopExecutingIntervalTask(ModbusItemBase *item);
    // The client remembers its items so that it can let them go before it is destroyed.
    void registerItem(ModbusItemBase *item);
    void unRegisterItem(ModbusItemBase *item);
    void wakeUpExecutor();

    QList<ModbusItemBase *> getItems(const QStringList &groups = QStringList());
    Q_INVOKABLE QVariantList getVariantItems(const QStringList &groups);
    Q_INVOKABLE QVariantList getVariantItems() { return getVariantItems(QStringList()); }

public slots:
    void startReading();
    void stopReading();
    void setSingleResultProcessing(bool value);
    void readAll(const QString &exceptGroup);
    void readAll();
    void readAll(const QStringList &exceptGroups);
    void readGroups(const QString &group);
    void readGroups(const QStringList &groups);
    void setIntervalReadingEnabled(bool value);
    int countItems(const QStringList &groups);
    void setRetries(int value);
    void abortExecutingAll();

signals:
    void useOptimizationChanged();
    void maxRegistersChanged();
    void transportChanged();
    void enabledChanged();
    void pausedChanged();
    void executed(ModbusItemBase *item);
    void itemsChanged();
    void connectedChanged();
    void queuedTasksCountChanged();
    void intervalTasksCountChanged();
    void executedTasksCountChanged();
    void errorTasksCountChanged();
    void deviceAddressChanged();
    void maxArchRecordsChanged();
    void singleResultProcessingChanged(bool value);
    void readingAll(QHash<QString, bool> exceptGroups);
    void readingGroups(QHash<QString, bool> groups);
    void goodTasksCountChanged();
    // Answered by the items during the emission, in the GUI thread.
    void collectItems(QList<ModbusItemBase *> &list, QStringList groups);
    void countItems(int &result, QStringList groups);
    void intervalReadingEnabledChanged(bool value);
    void taskPartialExecuted();
    void abortExecuting(ModbusItemBase *item);
    void retriesChanged(int value);

protected:
    void customEvent(QEvent *event) override;

private slots:
    void onResultTasksChanged();
    void updateConnected();
    void onExecutingItemsChanged(QList<ItemPointer> items);
    void dropWaitingTasks(ModbusItemBase *item);

private:
    enum { ProcessResultsEventType = 1000 };

    void processResultTasks();
    // Runs `work` in the executor thread and waits for its end while this thread's events go
    // on. False when the client was destroyed meanwhile: then nothing of it may be touched.
    bool runInExecutor(const std::function<void()> &work);
    void stopExecutorThread();
    static QHash<QString, bool> groupSet(const QStringList &groups);

    static void appendItem(QQmlListProperty<ModbusItemBase> *list, ModbusItemBase *item);
    static qsizetype itemCount(QQmlListProperty<ModbusItemBase> *list);
    static ModbusItemBase *itemAt(QQmlListProperty<ModbusItemBase> *list, qsizetype index);
    static void clearItems(QQmlListProperty<ModbusItemBase> *list);
    static void replaceItem(QQmlListProperty<ModbusItemBase> *list, qsizetype index,
                            ModbusItemBase *item);
    static void removeLastItem(QQmlListProperty<ModbusItemBase> *list);
    void adoptItem(ModbusItemBase *item);

    // Guarded: a transport deleted by its owner reads as null here.
    QPointer<ModbusTransport> m_transport;
    bool m_useOptimization = true;
    int m_maxRegisters = 32;
    int m_maxArchRecords = 4;
    bool m_connected = false;
    quint8 m_deviceAddress = 1;
    bool m_singleResultProcessing = false;
    int m_retries = 1;

    // On the heap, not by value: a thread stuck in a bus exchange past the stop time-out is
    // left to end on its own and deletes itself then.
    QThread *m_thread = nullptr;
    ModbusClientExecutor *m_executor = nullptr;
    ModbusTaskServer *m_taskServer = nullptr;
    // Guarded pointers: an item destroyed while it is executing or registered drops out.
    QList<ItemPointer> m_executingItems;
    ModbusTaskList m_pendingResults;
    // Forced one-shot tasks that failed while the link was down: queued again once it is up.
    ModbusTaskList m_waitingForLink;
    // The items declared inside the client, its children.
    QList<ItemPointer> m_items;
    QList<ItemPointer> m_registeredItems;
};

#endif
