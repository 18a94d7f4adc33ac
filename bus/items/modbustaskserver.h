#ifndef MODBUSTASKSERVER_H
#define MODBUSTASKSERVER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "modbusitembase.h"
#include "modbustasklist.h"

#include <QDateTime>
#include <QRecursiveMutex>

#include <atomic>

class QEvent;
class ModbusTask;
class TimeProvider;

// The store of a client's tasks between the GUI thread (items add tasks and take results) and
// the executor thread (takes tasks, hands back results). It owns every task it holds: queued
// one-shot tasks, interval tasks, results, and the schedule of interval-task copies handed out
// round robin.
class DORRIKBUS_EXPORT ModbusTaskServer : public ErrObject
{
    Q_OBJECT

public:
    explicit ModbusTaskServer(QObject *parent = nullptr);
    ~ModbusTaskServer() override;

    // Read without the lock from either thread.
    bool enabled() const { return m_enabled; }
    bool paused() const { return m_paused; }
    bool intervalReadingEnabled() const { return m_intervalReadingEnabled; }
    bool useOptimization() const { return m_useOptimization; }
    int maxRequestRegsCount() const { return m_maxRequestRegsCount; }
    quint64 executedTasksCount() const { return m_executedTasksCount; }
    quint64 errorTasksCount() const { return m_errorTasksCount; }
    quint64 goodTasksCount() const { return m_goodTasksCount; }
    int queuedTasksCount() const { return m_queuedTasksCount; }
    int intervalTasksCount() const { return m_intervalTasksCount; }
    int resultTasksCount() const { return m_resultTasksCount; }

    void setEnabled(bool value);
    void setPaused(bool value);
    void setIntervalReadingEnabled(bool value);
    void setUseOptimization(bool value);
    void setMaxRequestRegsCount(int value);
    // Not owned; it must outlive the server or be replaced before it goes.
    void setTimeProvider(TimeProvider &clock);
    TimeProvider *timeProvider() const { return m_clock; }

    // Each takes ownership; a disabled server deletes the task at once.
    void addIntervalTask(ModbusTask *task);
    void addQueuedTask(ModbusTask *task);
    // From the executor thread.
    void addResult(ModbusTask *task);

    // From the executor thread; the caller owns what it gets (the oldest queued task, or a fresh
    // copy of a due interval task).
    ModbusTask *getQueuedTask();
    ModbusTask *getIntervalTask();
    bool getNearestTaskTime(QDateTime &time);
    // count == -1: all results; any other value: the oldest one. The caller owns them.
    void getResults(ModbusTaskList &list, int count = -1, bool *more = nullptr);

    void removeIntervalTasks(ModbusItemBase *item);
    void clear();

    void incrementExecutedTasksCount();
    void incrementErrorTasksCount();
    void incrementGoodTasksCount();

    // Many changes in a row cost one rebuild, run later in the server's thread.
    void postReinitIntervalTasks();

public slots:
    void reinitIntervalTasks();
    void removeTasks(ModbusItemBase *item);
    void abortTasks(ModbusItemBase *item);
    void abortAllTasks();

signals:
    void useOptimizationChanged();
    void resultTasksCountChanged();
    void intervalTasksCountChanged();
    void queuedTasksCountChanged();
    void tasksChanged();
    void enabledChanged();
    void pausedChanged();
    void executedTasksCountChanged();
    void errorTasksCountChanged();
    void goodTasksCountChanged();
    void intervalReadingEnabledChanged(bool value);

protected:
    void customEvent(QEvent *e) override;

private:
    enum { ReinitEventType = 1000 };

    // Call with the lock held; emits nothing.
    void updateCounts();

    // The lock guards the three lists, the schedule and the cursor.
    ModbusTaskList m_intervalTasks;
    ModbusTaskList m_queuedTasks;
    ModbusTaskList m_resultTasks;
    std::atomic<bool> m_useOptimization{true};
    std::atomic<int> m_maxRequestRegsCount{32};
    int m_scheduleCursor = 0;
    QRecursiveMutex m_lock;
    // Flags, sizes and counters are read by both threads without the lock.
    std::atomic<bool> m_paused{false};
    std::atomic<bool> m_enabled{true};
    std::atomic<quint64> m_executedTasksCount{0};
    std::atomic<quint64> m_errorTasksCount{0};
    std::atomic<quint64> m_goodTasksCount{0};
    ModbusTaskList m_schedule;
    // Read by the executor thread too, and replaceable while it runs.
    std::atomic<TimeProvider *> m_clock{nullptr};
    std::atomic<bool> m_intervalReadingEnabled{true};
    std::atomic<int> m_queuedTasksCount{0};
    std::atomic<int> m_intervalTasksCount{0};
    std::atomic<int> m_resultTasksCount{0};
};

#endif
