#include "modbusitembase.h"

#include "modbusclient.h"
#include "modbustask.h"

ModbusItemBase::ModbusItemBase(int bytesPerElement, QObject *parent)
    : ErrObject(parent), m_lastReadTime(QDateTime::fromMSecsSinceEpoch(0)),
      m_lastWriteTime(QDateTime::fromMSecsSinceEpoch(0)), m_requestItemBytesCount(bytesPerElement),
      m_topBytesArray({ModbusBytes::fromSize(bytesPerElement, 0)})
{}

ModbusItemBase::~ModbusItemBase()
{
    setClient(nullptr);
}

void ModbusItemBase::setClient(ModbusClient *client)
{
    if (m_client == client)
        return;
    if (ModbusClient *old = m_client) {
        unRegisterClient(old);
        old->unRegisterItem(this);
    }
    m_client = client;
    if (client) {
        registerClient(client);
        client->registerItem(this);
    }
    emit clientChanged();
}

void ModbusItemBase::registerClient(ModbusClient *client)
{
    connect(client, &QObject::destroyed, this, &ModbusItemBase::onClientDestroyed);
    connect(this, &ModbusItemBase::abortExecutingInternal, client, &ModbusClient::abortExecuting);
}

void ModbusItemBase::unRegisterClient(ModbusClient *client)
{
    disconnect(client, nullptr, this, nullptr);
    disconnect(this, nullptr, client, nullptr);
}

void ModbusItemBase::onClientDestroyed()
{
    // The client is already being torn down: forget it without calling into it.
    if (!m_client || sender() != static_cast<QObject *>(m_client))
        return;
    m_client = nullptr;
    emit clientChanged();
}

void ModbusItemBase::setInterval(int value)
{
    if (m_interval == value)
        return;
    m_interval = value;
    emit intervalChanged();
}

void ModbusItemBase::setLastReadTime(const QDateTime &time)
{
    if (m_lastReadTime == time)
        return;
    m_lastReadTime = time;
    emit lastReadTimeChanged();
}

void ModbusItemBase::setLastWriteTime(const QDateTime &time)
{
    if (m_lastWriteTime == time)
        return;
    m_lastWriteTime = time;
    emit lastWriteTimeChanged();
}

void ModbusItemBase::setExecuting(bool value)
{
    if (m_executing == value)
        return;
    m_executing = value;
    emit executingChanged();
}

void ModbusItemBase::setReadOnly(bool value)
{
    if (m_readOnly == value)
        return;
    m_readOnly = value;
    emit readOnlyChanged();
}

void ModbusItemBase::setWasRead(bool value)
{
    if (m_wasRead == value)
        return;
    m_wasRead = value;
    emit wasReadChanged();
}

void ModbusItemBase::setWasWrite(bool value)
{
    if (m_wasWrite == value)
        return;
    m_wasWrite = value;
    emit wasWriteChanged();
}

void ModbusItemBase::setForce(bool value)
{
    if (m_force == value)
        return;
    m_force = value;
    emit forceChanged();
}

void ModbusItemBase::setUseOptimizing(bool value)
{
    if (m_useOptimizing == value)
        return;
    m_useOptimizing = value;
    emit useOptimizingChanged();
}

void ModbusItemBase::setDeviceAddress(int value)
{
    if (value == m_deviceAddress || value < 0 || value > 255)
        return;
    m_deviceAddress = quint8(value);
    emit deviceAddressChanged();
}

void ModbusItemBase::setCount(int value)
{
    if (value == m_count || value < 1)
        return;
    m_count = value;
    emit countChanged();
}

void ModbusItemBase::setActualValue(bool value)
{
    if (m_actualValue == value)
        return;
    m_actualValue = value;
    emit actualValueChanged();
}

const ModbusBytes &ModbusItemBase::bytes() const
{
    static const ModbusBytes empty;
    return m_topBytesArray.isEmpty() ? empty : m_topBytesArray.first();
}

void ModbusItemBase::setTopBytesArray(const ModbusBytesArray &array, BytesChangeType changeType)
{
    if (m_topBytesArray == array)
        return;
    m_topBytesArray = array;
    // Bytes that the typed value produced need no decoding back into it.
    if (changeType != ValueChange)
        updateValueFromBytes();
    emit bytesChanged(changeType);
}

ModbusBytesArray ModbusItemBase::getModbusBytes() const
{
    return m_topBytesArray;
}

ModbusBytesArray ModbusItemBase::getModbusBytes(const ModbusBytesArray &elements) const
{
    return elements;
}

bool ModbusItemBase::taskCompleted(ModbusTask *task)
{
    if (!m_client)
        return false;
    if (task->state() != DorrikBus::GoodState) {
        setErrorString(task->errorString());
        return false;
    }
    if (!checkValidResultTask(task))
        return false;
    switch (task->type()) {
    case DorrikBus::ReadTask:
        applyResultTask(*task);
        setLastReadTime(task->lastProcessTime());
        onAfterReadTask(*task);
        setActualValue(true);
        return true;
    case DorrikBus::WriteTask:
        setLastWriteTime(task->lastProcessTime());
        onAfterWriteTask(*task);
        return true;
    }
    return true;
}

void ModbusItemBase::applyResultTask(const ModbusTask &task)
{
    setTopBytesArray(task.firstBytes(), ReadChange);
    emit bytesWasRead(QDateTime::currentDateTime());
}

bool ModbusItemBase::checkValidResultTask(ModbusTask *task)
{
    if (task->force() != m_force)
        return false;
    if (!m_checkReadTaskCount)
        return true;
    return task->count() == m_count;
}

void ModbusItemBase::onAfterReadTask(const ModbusTask &)
{
    setWasRead(true);
    ++m_readCount;
    emit readCountChanged();
    emit afterRead();
}

void ModbusItemBase::onAfterWriteTask(const ModbusTask &)
{
    setWasWrite(true);
    ++m_writeCount;
    emit writeCountChanged();
    emit afterWrite();
}

void ModbusItemBase::abortExecuting()
{
    emit abortExecutingInternal(this);
}
