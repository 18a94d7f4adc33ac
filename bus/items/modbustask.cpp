#include "modbustask.h"

#include "modbusitembase.h"

#include <QObject>

#include <atomic>

ModbusTask::ModbusTask(ModbusItemBase &item, const ModbusBytesArray &bytes)
    : m_interval(0), m_type(DorrikBus::WriteTask), m_force(item.force()),
      m_useOptimizing(item.useOptimizing()), m_deviceAddress(quint8(item.deviceAddress())),
      m_count(item.count())
{
    append(item);
    m_dataList.setBytes(bytes);
    initLastProcessTime(item);
}

ModbusTask::ModbusTask(ModbusItemBase &item, int interval)
    : m_interval(interval), m_type(DorrikBus::ReadTask), m_force(item.force()),
      m_useOptimizing(item.useOptimizing()), m_deviceAddress(quint8(item.deviceAddress())),
      m_count(item.count())
{
    append(item);
    initLastProcessTime(item);
}

ModbusTask::ModbusTask(ModbusItemBase &item, DorrikBus::ModbusTaskType type, int interval)
    : m_interval(interval), m_type(type), m_force(item.force()),
      m_useOptimizing(item.useOptimizing()), m_deviceAddress(quint8(item.deviceAddress())),
      m_count(item.count())
{
    append(item);
    // Only a read is repeated: a write runs once.
    if (m_type != DorrikBus::ReadTask)
        m_interval = 0;
    initLastProcessTime(item);
}

ModbusTask::ModbusTask(const ModbusTask &other)
    : m_interval(other.m_interval), m_type(other.m_type),
      m_lastProcessTime(other.m_lastProcessTime), m_state(other.m_state), m_force(other.m_force),
      m_useOptimizing(other.m_useOptimizing), m_deviceAddress(other.m_deviceAddress),
      m_count(other.m_count), m_forcedRuns(other.m_forcedRuns), m_stamp(other.m_stamp),
      m_dataList(other.m_dataList)
{}

ModbusTask::ModbusTask(ModbusTask &other, int index)
    : m_interval(other.m_interval), m_type(other.m_type),
      m_lastProcessTime(other.m_lastProcessTime), m_state(other.m_state), m_force(other.m_force),
      m_useOptimizing(other.m_useOptimizing), m_deviceAddress(other.m_deviceAddress),
      m_count(other.m_count), m_forcedRuns(other.m_forcedRuns), m_stamp(other.m_stamp)
{
    m_dataList.append(other.m_dataList.at(index));
}

ModbusTask::~ModbusTask() = default;

quint64 ModbusTask::nextStamp()
{
    static std::atomic<quint64> clock{0};
    return ++clock;
}

void ModbusTask::reset()
{
    m_errorString.clear();
    m_state = DorrikBus::NoneState;
    m_lastProcessTime = QDateTime::fromMSecsSinceEpoch(0);
    // A re-run of a read must not deliver the old answer; a write keeps what it has to write.
    if (m_type == DorrikBus::ReadTask) {
        for (ModbusTaskDataItem &dataItem : m_dataList)
            dataItem.setBytes(ModbusBytesArray());
    }
}

void ModbusTask::append(const ModbusTask &other)
{
    m_dataList.append(other.m_dataList);
}

void ModbusTask::append(ModbusItemBase &item)
{
    const ModbusBytesArray bytes =
        m_type == DorrikBus::WriteTask ? item.getModbusBytes() : ModbusBytesArray();
    m_dataList.append(
        ModbusTaskDataItem(&item, item.requestItemModbusBytesCount(), item.count(), bytes));
}

QDateTime ModbusTask::nextProcessTime() const
{
    if (!m_lastProcessTime.isValid())
        return QDateTime();
    return m_lastProcessTime.addMSecs(m_interval);
}

ModbusItemBase *ModbusTask::firstItem() const
{
    if (m_dataList.isEmpty())
        return nullptr;
    return m_dataList.first().item().data();
}

const ModbusBytesArray &ModbusTask::firstBytes() const
{
    static const ModbusBytesArray empty;
    if (m_dataList.isEmpty())
        return empty;
    return m_dataList.first().bytes();
}

int ModbusTask::requestBytesCount() const
{
    int total = 0;
    for (const ModbusTaskDataItem &dataItem : m_dataList)
        total += dataItem.bytesCount() * dataItem.count();
    return total;
}

void ModbusTask::setBytes(const ModbusBytesArray &bytes)
{
    m_dataList.setBytes(bytes);
}

void ModbusTask::setBytes(const ModbusBytes &bytes, int n)
{
    if (n == -1)
        m_dataList.setBytes(bytes);
    else
        m_dataList.setBytes(bytes.splitByCount(m_count));
}

void ModbusTask::initLastProcessTime(const ModbusItemBase &item)
{
    switch (m_type) {
    case DorrikBus::ReadTask:
        m_lastProcessTime = item.lastReadTime();
        break;
    case DorrikBus::WriteTask:
        m_lastProcessTime = item.lastWriteTime();
        break;
    }
}

void ModbusTask::abort()
{
    m_state = DorrikBus::AbortedState;
    m_errorString = QObject::tr("aborted");
}
