#ifndef MODBUSTASK_H
#define MODBUSTASK_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "modbustaskdatalist.h"

#include <QDateTime>
#include <QList>
#include <QString>

class ModbusItemBase;

// One unit of work of the polling client: read these register items, or write these bytes to
// them, once or every interval milliseconds. Not a QObject and never used by two threads at once:
// built in the GUI thread, filled in the executor thread, handed over under the task server's
// lock. Abstract: the kinds (addressed, report, file, archive) say how it goes on the bus.
class DORRIKBUS_EXPORT ModbusTask
{
public:
    // A write of the given elements (in place of the item's current ones); interval 0.
    ModbusTask(ModbusItemBase &item, const ModbusBytesArray &bytes);
    // A read, once (interval 0) or every interval milliseconds.
    ModbusTask(ModbusItemBase &item, int interval);
    // Any type; a type other than a read never keeps an interval.
    ModbusTask(ModbusItemBase &item, DorrikBus::ModbusTaskType type, int interval);
    // Copies everything but the error text; the data items are shared until one side writes.
    ModbusTask(const ModbusTask &other);
    // The split copy: as the copy, with only the data item at index (0 <= index < data items).
    ModbusTask(ModbusTask &other, int index);
    ModbusTask &operator=(const ModbusTask &) = delete;

    virtual ~ModbusTask();
    virtual ModbusTask *clone() const = 0;
    // Back to NoneState for another run; a read also forgets its old answer.
    virtual void reset();
    // One task per data item; the caller owns them.
    virtual QList<ModbusTask *> split() = 0;
    virtual void append(const ModbusTask &other);
    virtual void append(ModbusItemBase &item);

    int interval() const { return m_interval; }
    DorrikBus::ModbusTaskType type() const { return m_type; }
    QString errorString() const { return m_errorString; }
    QDateTime lastProcessTime() const { return m_lastProcessTime; }
    DorrikBus::ModbusTaskState state() const { return m_state; }
    bool force() const { return m_force; }
    bool useOptimizing() const { return m_useOptimizing; }
    quint8 deviceAddress() const { return m_deviceAddress; }
    int count() const { return m_count; }

    void setState(DorrikBus::ModbusTaskState state) { m_state = state; }
    void setCount(int count) { m_count = count; }
    void setForce(bool force) { m_force = force; }
    void setDeviceAddress(quint8 address) { m_deviceAddress = address; }
    void setErrorString(const QString &text) { m_errorString = text; }
    void setLastProcessTime(const QDateTime &time) { m_lastProcessTime = time; }
    // A point on one process-wide clock, taken when the task was made (an interval task's copy:
    // when it was handed out). An abort stops the running task only when it was raised later,
    // so that an abort arriving while the executor takes the task is not lost.
    quint64 stamp() const { return m_stamp; }
    void setStamp(quint64 stamp) { m_stamp = stamp; }
    // The next point of that clock; any thread.
    static quint64 nextStamp();
    // How many times the client has run a forced task so far; reset() keeps it.
    int forcedRuns() const { return m_forcedRuns; }
    void setForcedRuns(int runs) { m_forcedRuns = runs; }

    // lastProcessTime + interval; invalid while lastProcessTime is.
    QDateTime nextProcessTime() const;
    bool executed() const { return m_state != DorrikBus::NoneState; }

    const ModbusTaskDataList &dataList() const { return m_dataList; }
    // Null when the first item has been destroyed.
    ModbusItemBase *firstItem() const;
    const ModbusBytesArray &firstBytes() const;
    bool contains(ModbusItemBase *item) const { return m_dataList.contains(item); }
    // Bytes read or written by the whole task: sum of bytesCount x count over the data items.
    int requestBytesCount() const;

    void setBytes(const ModbusBytesArray &bytes);
    // n == -1: the answer is cut per data item. Otherwise it is first cut into count() equal
    // pieces (count() must be at least 1; the value of n is not used).
    void setBytes(const ModbusBytes &bytes, int n);

    void initLastProcessTime(const ModbusItemBase &item);
    void abort();

protected:
    // For kinds that make up their own data items.
    ModbusTaskDataList &mutableDataList() { return m_dataList; }

private:
    int m_interval = 0;
    DorrikBus::ModbusTaskType m_type = DorrikBus::ReadTask;
    QString m_errorString;
    QDateTime m_lastProcessTime;
    DorrikBus::ModbusTaskState m_state = DorrikBus::NoneState;
    bool m_force = false;
    bool m_useOptimizing = true;
    quint8 m_deviceAddress = 1;
    int m_count = 1;
    int m_forcedRuns = 0;
    quint64 m_stamp = nextStamp();
    ModbusTaskDataList m_dataList;
};

#endif
