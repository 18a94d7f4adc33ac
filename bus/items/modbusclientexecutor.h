#ifndef MODBUSCLIENTEXECUTOR_H
#define MODBUSCLIENTEXECUTOR_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "itempointer.h"
#include "modbuser.h"

#include <QDateTime>
#include <QList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <mutex>
#include <utility>

class ModbusItemBase;
class ModbusTask;
class ModbusTaskAddressed;
class ModbusTaskArchPresence;
class ModbusTaskArchPresence65;
class ModbusTaskArchRecord65;
class ModbusTaskFile;
class ModbusTaskReport;
class ModbusTaskServer;
class ModbusTransport;

// The worker of a ModbusClient, living in the client's "Modbus executor thread": the only object
// that talks to the bus for that client. One timer decides when to take the next task from the
// task server; the task runs with retries through the own request API, in blocks where it is
// long, and goes back to the task server as one result per data item.
//
// Threads: everything runs in the executor thread except abortExecuting, abortExecutingAll,
// setMaxArchRecords, retries(), timerInterval() and detachServer(), which the GUI thread calls
// directly; the values they share are atomics or sit under the abort lock.
class DORRIKBUS_EXPORT ModbusClientExecutor : public ErrObject
{
    Q_OBJECT
    Q_PROPERTY(int retries READ retries WRITE setRetries NOTIFY retriesChanged)

public:
    // Blocks of register and file requests: 122 registers fit any link's frame with room left.
    static constexpr int MaxBlockRegisters = 122;
    // Labels per presence request (function 66): 62 labels of 4 bytes fit one frame.
    static constexpr int MaxRequestLabels = 62;
    // The timer's interval with nothing to do and nothing due: no interval task, no
    // connection or no interval reading.
    static constexpr int IdleInterval = 10000;
    // The first look at the task server, unless a wake-up comes first.
    static constexpr int StartInterval = 60000;

    explicit ModbusClientExecutor(ModbusTaskServer &server, QObject *parent = nullptr);
    ~ModbusClientExecutor() override;

    int retries() const { return m_retries; }
    int maxArchRecords() const { return m_maxArchRecords; }
    Q_INVOKABLE void setMaxArchRecords(int value);

    // The timer's current interval, readable from any thread (tests look at the schedule).
    int timerInterval() const { return m_timerInterval; }
    Modbuser &modbuser() { return m_modbuser; }

    // Forgets the aborts of items that are gone.
    void resetAborting();
    // Whether the running task is to stop now: an abort of all, or of its first item, was raised
    // after the task was made or handed out (its stamp).
    bool checkAbort(const ModbusTask &task);

    // Test seam: called in this thread after a task was taken from the task server and before
    // it runs.
    void setTaskTakenHook(std::function<void(ModbusTask *)> hook)
    {
        m_taskTakenHook = std::move(hook);
    }

    // The client gives the executor up (its thread did not end in time): from now on no task
    // server is asked or told anything, and a task that is still running is dropped at its end.
    // Any thread; waits for a task server call under way to end.
    void detachServer();

    void executeTaskAddressed(ModbusTask &task);
    void executeTaskRegs(ModbusTaskAddressed &task);
    void executeTaskCoils(ModbusTaskAddressed &task);
    void executeTaskDiscreteInputs(ModbusTaskAddressed &task);
    void executeTaskFile(ModbusTaskFile &task);
    void executeTaskReport(ModbusTaskReport &task);
    void executeTaskArchRecord(ModbusTaskArchRecord65 &task);
    void executeTaskArchPresence65(ModbusTaskArchPresence65 &task);
    void executeTaskArchPresence67(ModbusTaskArchPresence &task);

public slots:
    void setTransport(ModbusTransport *value);
    // Runs one task in this thread; the caller keeps it.
    void executeTask(ModbusTask *task);
    void wakeUp();
    void abortExecuting(ModbusItemBase *item);
    void abortExecutingAll();
    void setRetries(int value);

signals:
    void executingItemsChanged(QList<ItemPointer> items);
    void taskPartialExecuted();
    void retriesChanged(bool value);

private slots:
    void onTimer();

private:
    void setTimerInterval(int ms);
    QDateTime currentDateTime();
    // The common ending of a register, file or report run.
    void finish(ModbusTask &task, bool ok);
    // Between the blocks of a long transfer: progress, then whether to stop.
    bool blockDone(ModbusTask &task);
    void executeWrite(ModbusTask &task, quint32 start, int block,
                      const std::function<bool(quint32, const ModbusBytes &)> &write,
                      bool betweenBlocks);
    // Reads the task's registers in blocks of at most `block`, each starting where the one
    // before ended, until all are read, a read fails or one comes back empty.
    void executeRead(ModbusTask &task, quint32 start, int block,
                     const std::function<bool(quint32, int, ModbusBytes &)> &read);
    // One presence request, its labels in rising order; false when it failed.
    bool readPresenceBlock(const ModbusTaskArchPresence &task, quint32 start, int count,
                           QList<quint32> &labels);
    // Hands a finished task to the task server, one result per data item.
    void deliver(ModbusTask *task);

    Modbuser m_modbuser;
    QTimer m_timer;
    // Null once detached; guarded by m_serverMutex for the executor thread's calls into it.
    ModbusTaskServer *m_server;
    std::mutex m_serverMutex;
    std::atomic<int> m_maxArchRecords{1};
    // Each item's latest abort, stamped on the tasks' clock, under the abort lock. The flag and
    // the stamp of the latest abort of all are read without it, so that a check costs nothing
    // while nothing was aborted.
    QList<QPair<ItemPointer, quint64>> m_abortList;
    std::mutex m_abortMutex;
    std::atomic<bool> m_abortItem{false};
    std::atomic<quint64> m_abortAllStamp{0};
    std::function<void(ModbusTask *)> m_taskTakenHook;
    std::atomic<int> m_retries{1};
    std::atomic<int> m_timerInterval{StartInterval};
};

#endif
