#include "modbusitembase.h"

#include "internalitemmodel.h"
#include "modbusclient.h"
#include "modbustask.h"

#include <QMetaType>

#include <algorithm>
#include <limits>

namespace {

const ModbusBytes &emptyBytes()
{
    static const ModbusBytes empty;
    return empty;
}

const ModbusBytesArray &emptyBytesArray()
{
    static const ModbusBytesArray empty;
    return empty;
}

} // namespace

ModbusItemBase::ModbusItemBase(int bytesPerElement, QObject *parent)
    : ErrObject(parent), m_roles{RoleItem(LabelRole, QByteArrayLiteral("label"), tr("Label")),
                                 RoleItem(0, QByteArrayLiteral("value"), tr("Value"))},
      m_lastReadTime(QDateTime::fromMSecsSinceEpoch(0)),
      m_lastWriteTime(QDateTime::fromMSecsSinceEpoch(0)), m_requestItemBytesCount(bytesPerElement),
      m_topBytesArray(QList<ModbusBytes>{ModbusBytes::fromSize(bytesPerElement, 0)})
{
    m_model = new InternalItemModel(*this);
    m_model->setRoles(m_roles);
}

ModbusItemBase::~ModbusItemBase()
{
    m_destroying = true;
    setClient(nullptr);
    delete m_model;
    m_model = nullptr;
}

// Reading and writing ----------------------------------------------------------------------------

bool ModbusItemBase::read()
{
    return internalRead(false);
}

bool ModbusItemBase::readSync()
{
    return internalRead(true);
}

bool ModbusItemBase::write()
{
    return write(getModbusBytes());
}

bool ModbusItemBase::writeSync()
{
    return writeSync(getModbusBytes());
}

bool ModbusItemBase::write(const ModbusBytes &bytes)
{
    return write(bytes.splitBySize(requestItemModbusBytesCount(), m_count));
}

bool ModbusItemBase::write(const ModbusBytesArray &elements)
{
    return internalWrite(&elements, false);
}

bool ModbusItemBase::writeSync(const ModbusBytes &bytes)
{
    return writeSync(bytes.splitBySize(requestItemModbusBytesCount(), m_count));
}

bool ModbusItemBase::writeSync(const ModbusBytesArray &elements)
{
    return internalWrite(&elements, true);
}

bool ModbusItemBase::internalRead(bool sync)
{
    if (initializing()) {
        m_pendingRead = true;
        return false;
    }
    // A handler of beforeRead (or of a signal it causes) may ask again.
    if (m_reading)
        return false;
    m_reading = true;
    // A handler may also delete the item.
    const QPointer<ModbusItemBase> self(this);
    setActualValue(false);
    bool result = false;
    if (m_source) {
        result = m_source->internalRead(sync);
    } else if (checkClient()) {
        bool cancel = false;
        emitCancellable(&ModbusItemBase::beforeRead, cancel);
        result = !cancel && self && internalReading(sync);
    }
    if (self)
        m_reading = false;
    return result;
}

bool ModbusItemBase::internalReading(bool sync)
{
    if (!m_client)
        return false;
    ModbusTask *task = createModbusTask(DorrikBus::ReadTask, 0);
    if (!task)
        return false;
    taskCreated(task);
    if (!sync) {
        m_client->executeTask(task);
        return true;
    }
    return m_client->executeTaskSync(task);
}

bool ModbusItemBase::internalWrite(const ModbusBytesArray *elements, bool sync)
{
    // Unlike a read, a write asked for while the component is built is not remembered.
    if (initializing() || m_writing)
        return false;
    m_writing = true;
    const QPointer<ModbusItemBase> self(this);
    bool result = false;
    if (m_readOnly) {
        setErrorString(tr("can't write: object is readonly"));
    } else if (m_source) {
        // The item's bytes are in the source's already: the source writes its whole value.
        result = m_source->internalWrite(nullptr, sync);
    } else if (checkClient()) {
        bool cancel = false;
        emitCancellable(&ModbusItemBase::beforeWrite, cancel);
        result = !cancel && self && internalWriting(elements, sync);
    }
    if (self)
        m_writing = false;
    return result;
}

bool ModbusItemBase::internalWriting(const ModbusBytesArray *elements, bool sync)
{
    if (!m_client)
        return false;
    ModbusTask *task = createModbusTask(DorrikBus::WriteTask, 0);
    if (!task)
        return false;
    if (elements)
        task->setBytes(getModbusBytes(*elements));
    taskCreated(task);
    if (!sync) {
        m_client->executeTask(task);
        return true;
    }
    return m_client->executeTaskSync(task);
}

void ModbusItemBase::taskCreated(ModbusTask *) const {}

bool ModbusItemBase::checkClient()
{
    if (m_client)
        return true;
    setErrorString(tr("you should assign 'client' - property"));
    return false;
}

bool ModbusItemBase::taskCompleted(ModbusTask *task)
{
    // An item with a source takes its bytes from the source only.
    if (!m_client || m_source)
        return false;
    if (task->state() != DorrikBus::GoodState) {
        setErrorString(task->errorString());
        if (task->type() == DorrikBus::WriteTask)
            emit writeFailed(task->errorString());
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
        // The written bytes are the item's already; whether the device took them as they are
        // is for a read to tell, so actualValue stays.
        setLastWriteTime(task->lastProcessTime());
        onAfterWriteTask(*task);
        return true;
    }
    return true;
}

bool ModbusItemBase::checkValidResultTask(ModbusTask *task)
{
    if (task->force() != m_force)
        return false;
    if (!m_checkReadTaskCount)
        return true;
    return task->count() == m_count;
}

void ModbusItemBase::applyResultTask(const ModbusTask &task)
{
    setTopBytesArray(task.firstBytes(), ReadChange);
    if (m_maxTrendSize > 0)
        insertTopBytesToTrend(QDateTime::currentDateTime());
    emit bytesWasRead(QDateTime::currentDateTime());
}

void ModbusItemBase::onAfterReadTask(const ModbusTask &)
{
    setWasRead(true);
    ++m_readCount;
    emit readCountChanged();
    if (m_readingCounter > 0) {
        setReadingCounter(m_readingCounter - 1);
        if (m_readingCounter < 1)
            setIntervalReading(false);
    }
    emit afterRead();
}

void ModbusItemBase::onAfterWriteTask(const ModbusTask &)
{
    setWasWrite(true);
    ++m_writeCount;
    emit writeCountChanged();
    emit afterWrite();
    if (m_readAfterWrite)
        read();
}

void ModbusItemBase::needValueRead()
{
    setActualValue(false);
    if (!m_source && m_liveRead && m_connected)
        read();
}

void ModbusItemBase::componentComplete()
{
    MyDeclarativeParserStatus::componentComplete();
    if (m_pendingRead) {
        m_pendingRead = false;
        read();
    }
}

void ModbusItemBase::abortExecuting()
{
    emit abortExecutingInternal(this);
}

// Interval reading -------------------------------------------------------------------------------

void ModbusItemBase::setIntervalReading(bool value)
{
    if (m_intervalReading == value)
        return;
    const bool before = intervalReading();
    m_intervalReading = value;
    if (before == intervalReading())
        return;
    reinitIntervalReading();
    emit intervalReadingChanged();
}

void ModbusItemBase::setIntervalReadingCounter(quint32 value)
{
    if (m_intervalReadingCounter == value)
        return;
    const bool before = intervalReading();
    m_intervalReadingCounter = value;
    const bool changed = before != intervalReading();
    if (changed && !m_source)
        reinitIntervalReading();
    emit intervalReadingCounterChanged();
    // The property reads the counter too: bindings on it must hear of the change.
    if (changed)
        emit intervalReadingChanged();
}

void ModbusItemBase::beginReading()
{
    for (ModbusItemBase *item = this; item; item = item->m_source) {
        if (item->m_intervalReadingCounter == std::numeric_limits<quint32>::max())
            break;
        item->setIntervalReadingCounter(item->m_intervalReadingCounter + 1);
    }
}

void ModbusItemBase::endReading()
{
    for (ModbusItemBase *item = this; item; item = item->m_source) {
        if (item->m_intervalReadingCounter == 0)
            break;
        item->setIntervalReadingCounter(item->m_intervalReadingCounter - 1);
    }
}

void ModbusItemBase::reinitIntervalReading()
{
    if (!m_client)
        return;
    stopReading();
    if (intervalReading() && !m_source)
        startReading();
}

void ModbusItemBase::startReading()
{
    if (!checkClient())
        return;
    ModbusTask *task = createModbusTask(DorrikBus::ReadTask, m_interval);
    if (!task)
        return;
    taskCreated(task);
    m_client->startExecutingIntervalTask(task);
}

void ModbusItemBase::stopReading()
{
    if (checkClient())
        m_client->stopExecutingIntervalTask(this);
}

// Client -----------------------------------------------------------------------------------------

void ModbusItemBase::setClient(ModbusClient *client)
{
    if (m_client == client)
        return;
    if (ModbusClient *old = m_client) {
        unRegisterClient(old);
        if (intervalReading())
            stopReading();
        old->unRegisterItem(this);
    }
    m_client = client;
    updateConnected();
    if (client) {
        registerClient(client);
        client->registerItem(this);
        reinitIntervalReading();
    }
    updateConnected();
    emit clientChanged();
}

void ModbusItemBase::registerClient(ModbusClient *client)
{
    connect(client, &QObject::destroyed, this, &ModbusItemBase::onClientDestroyed);
    connect(client, &ModbusClient::connectedChanged, this,
            &ModbusItemBase::onClientConnectedChanged);
    connect(client, &ModbusClient::deviceAddressChanged, this,
            &ModbusItemBase::onClientDeviceAddressChanged);
    connect(client, &ModbusClient::readingAll, this, &ModbusItemBase::onClientReadingAll);
    connect(client, &ModbusClient::readingGroups, this, &ModbusItemBase::onClientReadingGroups);
    connect(client, &ModbusClient::collectItems, this, &ModbusItemBase::onClientCollectItems);
    connect(client, qOverload<int &, QStringList>(&ModbusClient::countItems), this,
            &ModbusItemBase::onClientCountItems);
    connect(this, &ModbusItemBase::abortExecutingInternal, client, &ModbusClient::abortExecuting);
    if (m_useClientDeviceAddress)
        setDeviceAddressInternal(client->deviceAddress());
}

void ModbusItemBase::unRegisterClient(ModbusClient *client)
{
    disconnect(client, nullptr, this, nullptr);
    disconnect(this, nullptr, client, nullptr);
}

void ModbusItemBase::onClientDestroyed()
{
    // The client is already torn down to its QObject part: forget it without calling into it.
    if (!m_client || sender() != static_cast<QObject *>(m_client))
        return;
    m_client = nullptr;
    updateConnected();
    emit clientChanged();
}

void ModbusItemBase::onClientConnectedChanged()
{
    updateConnected();
}

void ModbusItemBase::updateConnected()
{
    setConnected(m_client && m_client->connected());
}

void ModbusItemBase::setConnected(bool value)
{
    if (m_connected == value)
        return;
    m_connected = value;
    emit connectedChanged();
    // On both transitions; not while the item goes away.
    if ((m_readOnConnect || m_liveRead) && !m_destroying)
        read();
}

void ModbusItemBase::onClientDeviceAddressChanged()
{
    if (m_useClientDeviceAddress && m_client)
        setDeviceAddressInternal(m_client->deviceAddress());
}

void ModbusItemBase::setDeviceAddress(int value)
{
    // An address outside the range changes nothing at all, not even whether the item follows
    // the client.
    if (value < 0 || value > 255)
        return;
    setUseClientDeviceAddress(false);
    setDeviceAddressInternal(value);
}

void ModbusItemBase::setDeviceAddressInternal(int value)
{
    if (value == m_deviceAddress || value < 0 || value > 255)
        return;
    m_deviceAddress = quint8(value);
    emit deviceAddressChanged();
    reinitIntervalReading();
    needValueRead();
}

void ModbusItemBase::setUseClientDeviceAddress(bool value)
{
    if (m_useClientDeviceAddress == value)
        return;
    m_useClientDeviceAddress = value;
    if (value && m_client)
        setDeviceAddressInternal(m_client->deviceAddress());
    emit useClientDeviceAddressChanged();
}

void ModbusItemBase::onClientReadingAll(QHash<QString, bool> exceptGroups)
{
    if (!m_connected)
        return;
    if (exceptGroups.isEmpty() || !exceptGroups.contains(m_group))
        read();
}

void ModbusItemBase::onClientReadingGroups(QHash<QString, bool> groups)
{
    if (!m_connected)
        return;
    if (groups.isEmpty() ? m_group.isEmpty() : groups.contains(m_group))
        read();
}

bool ModbusItemBase::containedIn(const QStringList &groups) const
{
    if (m_group.isEmpty() && groups.isEmpty())
        return true;
    return groups.contains(m_group);
}

void ModbusItemBase::onClientCollectItems(QList<ModbusItemBase *> &list, const QStringList &groups)
{
    if (containedIn(groups))
        list.append(this);
}

void ModbusItemBase::onClientCountItems(int &result, const QStringList &groups)
{
    if (containedIn(groups))
        ++result;
}

// Plain setters ----------------------------------------------------------------------------------

void ModbusItemBase::setInterval(int value)
{
    if (m_interval == value)
        return;
    m_interval = value;
    emit intervalChanged();
    reinitIntervalReading();
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

void ModbusItemBase::setReadAfterWrite(bool value)
{
    if (m_readAfterWrite == value)
        return;
    m_readAfterWrite = value;
    emit readAfterWriteChanged();
}

void ModbusItemBase::setReadingCounter(int value)
{
    if (m_readingCounter == value)
        return;
    m_readingCounter = value;
    emit readingCounterChanged();
}

void ModbusItemBase::setForce(bool value)
{
    if (m_force == value)
        return;
    m_force = value;
    emit forceChanged();
}

void ModbusItemBase::setReadOnConnect(bool value)
{
    if (m_readOnConnect == value)
        return;
    m_readOnConnect = value;
    emit readOnConnectChanged();
}

void ModbusItemBase::setUseOptimizing(bool value)
{
    if (m_useOptimizing == value)
        return;
    m_useOptimizing = value;
    emit useOptimizingChanged();
    reinitIntervalReading();
}

void ModbusItemBase::setLiveRead(bool value)
{
    if (m_liveRead == value)
        return;
    m_liveRead = value;
    emit liveReadChanged();
}

void ModbusItemBase::setLiveWrite(bool value)
{
    if (m_liveWrite == value)
        return;
    m_liveWrite = value;
    emit liveWriteChanged();
}

void ModbusItemBase::setCount(int value)
{
    if (value == m_count || value < 1)
        return;
    m_count = value;
    requestSizeChanged();
    emit countChanged();
    needValueRead();
}

void ModbusItemBase::setRequestItemBytesCount(int value)
{
    if (value == m_requestItemBytesCount)
        return;
    m_requestItemBytesCount = value;
    requestSizeChanged();
}

void ModbusItemBase::requestSizeChanged()
{
    receiveBytesFromSource();
    reinitIntervalReading();
}

void ModbusItemBase::setActualValue(bool value)
{
    if (m_actualValue == value)
        return;
    m_actualValue = value;
    emit actualValueChanged();
}

void ModbusItemBase::setGroup(const QString &group)
{
    if (m_group == group)
        return;
    m_group = group;
    emit groupChanged(m_group);
}

// Bytes, arrays and trend ------------------------------------------------------------------------

const ModbusBytesArray *ModbusItemBase::trendBytesArray(int trendIndex) const
{
    if (trendIndex == -1)
        return &m_topBytesArray;
    if (trendIndex < -1 || trendIndex >= m_trend.size())
        return nullptr;
    return &m_trend.at(trendIndex).bytes;
}

const ModbusBytes *ModbusItemBase::specifiedBytes(int trendIndex, int arrayIndex) const
{
    const ModbusBytesArray *array = trendBytesArray(trendIndex);
    if (!array || arrayIndex < 0 || arrayIndex >= array->size())
        return nullptr;
    return &array->at(arrayIndex);
}

const ModbusBytesArray &ModbusItemBase::bytesArray() const
{
    const ModbusBytesArray *array = trendBytesArray(m_trendIndex);
    return array ? *array : emptyBytesArray();
}

const ModbusBytes &ModbusItemBase::bytes() const
{
    const ModbusBytes *b = specifiedBytes(m_trendIndex, m_arrayIndex);
    return b ? *b : emptyBytes();
}

const ModbusBytes &ModbusItemBase::topBytes() const
{
    const ModbusBytes *b = specifiedBytes(-1, m_arrayIndex);
    return b ? *b : emptyBytes();
}

const ModbusBytes *ModbusItemBase::arrayBytes(int index) const
{
    const ModbusBytesArray &array = bytesArray();
    return index >= 0 && index < array.size() ? &array.at(index) : nullptr;
}

const ModbusBytes *ModbusItemBase::trendBytes(int trendIndex) const
{
    if (trendIndex == -1)
        return &topBytes();
    if (trendIndex < 0 || trendIndex >= m_trend.size())
        return nullptr;
    return specifiedBytes(trendIndex, m_arrayIndex);
}

const TrendBytesItem *ModbusItemBase::trendItem(int index) const
{
    return index >= 0 && index < m_trend.size() ? &m_trend.at(index) : nullptr;
}

QVariant ModbusItemBase::variantValue() const
{
    return getTypedValue(topBytes());
}

QVariant ModbusItemBase::trendValue(int trendIndex) const
{
    const ModbusBytes *b = trendBytes(trendIndex);
    return b ? getTypedValue(*b) : QVariant();
}

ModbusBytesArray ModbusItemBase::getModbusBytes() const
{
    return bytesArray();
}

ModbusBytesArray ModbusItemBase::getModbusBytes(const ModbusBytesArray &elements) const
{
    return elements;
}

QString ModbusItemBase::bytesHex() const
{
    return QString::fromLatin1(bytes().toHex());
}

int ModbusItemBase::modelRowsCount() const
{
    switch (m_modelType) {
    case ArrayModel:
        return arraySize();
    case TrendModel:
        return trendSize();
    }
    return 0;
}

QVariant ModbusItemBase::data(int row, int role) const
{
    switch (m_modelType) {
    case ArrayModel: {
        const ModbusBytes *b = arrayBytes(row);
        return b ? data(*b, role) : QVariant();
    }
    case TrendModel: {
        const TrendBytesItem *sample = trendItem(row);
        if (!sample)
            return QVariant();
        if (role == LabelRole)
            return sample->time;
        if (m_arrayIndex < 0 || m_arrayIndex >= sample->bytes.size())
            return QVariant();
        return data(sample->bytes.at(m_arrayIndex), role);
    }
    }
    return QVariant();
}

QVariant ModbusItemBase::data(const ModbusBytes &bytes, int role) const
{
    return role == 0 ? getTypedValue(bytes) : QVariant();
}

void ModbusItemBase::setBytes(const ModbusBytes &bytes, BytesChangeType changeType)
{
    if (!specifiedBytes(m_trendIndex, m_arrayIndex) || this->bytes() == bytes)
        return;
    setBytesInternal(bytes, changeType, m_trendIndex, m_arrayIndex);
}

bool ModbusItemBase::setSpecifiedBytesInternal(const ModbusBytes &bytes, int trendIndex,
                                               int arrayIndex)
{
    ModbusBytesArray *array = nullptr;
    if (trendIndex == -1)
        array = &m_topBytesArray;
    else if (trendIndex >= 0 && trendIndex < m_trend.size())
        array = &m_trend[trendIndex].bytes;
    if (!array || arrayIndex < 0 || arrayIndex >= array->size())
        return false;
    (*array)[arrayIndex] = bytes;
    return true;
}

void ModbusItemBase::setBytesInternal(const ModbusBytes &bytes, BytesChangeType changeType,
                                      int trendIndex, int arrayIndex)
{
    if (!setSpecifiedBytesInternal(bytes, trendIndex, arrayIndex))
        return;
    if (trendIndex >= 0 && arrayIndex == m_arrayIndex)
        doItemsChanged(TrendModel, trendIndex, trendIndex);
    if (trendIndex == m_trendIndex) {
        doItemsChanged(ArrayModel, arrayIndex, arrayIndex);
        if (arrayIndex == m_arrayIndex)
            currentBytesChanged(changeType);
    }
}

void ModbusItemBase::setBytesArray(const ModbusBytesArray &array, BytesChangeType changeType)
{
    if (!trendBytesArray(m_trendIndex) || bytesArray() == array)
        return;
    setBytesArrayInternal(array, changeType, m_trendIndex);
}

void ModbusItemBase::appendBytesArray(const ModbusBytesArray &records, BytesChangeType changeType)
{
    if (records.isEmpty() || !trendBytesArray(m_trendIndex))
        return;
    ModbusBytesArray &stored = m_trendIndex == -1 ? m_topBytesArray : m_trend[m_trendIndex].bytes;
    const int first = int(stored.size());
    // Inside a reset of the list the views are told of everything at its end.
    const bool announce = m_arrayResetDepth == 0;
    if (announce)
        doItemsAboutToBeInserted(ArrayModel, first, first + int(records.size()) - 1);
    stored.append(records);
    if (announce)
        doItemsInserted(ArrayModel);
    // The list is another one, whether or not the current element was among the new ones.
    currentBytesChanged(changeType);
    if (m_trendIndex >= 0)
        doItemsChanged(TrendModel, m_trendIndex, m_trendIndex);
    emit arraySizeChanged();
}

void ModbusItemBase::setTopBytesArray(const ModbusBytesArray &array, BytesChangeType changeType)
{
    setBytesArrayInternal(array, changeType, -1);
}

void ModbusItemBase::clearArray()
{
    setBytesArray(ModbusBytesArray(), ExternalChange);
}

void ModbusItemBase::setBytesArrayInternal(const ModbusBytesArray &array,
                                           BytesChangeType changeType, int trendIndex)
{
    const ModbusBytesArray *stored = trendBytesArray(trendIndex);
    if (!stored)
        return;
    const bool current = trendIndex == m_trendIndex;
    const qsizetype oldSize = stored->size();
    const ModbusBytesArray oldList = *stored;
    const ModbusBytes oldBytes = bytes();
    if (current)
        doArrayModelAboutToBeReset();
    if (trendIndex == -1)
        m_topBytesArray = array;
    else
        m_trend[trendIndex].bytes = array;
    // Any element counts, not only the current one: children showing another element and a
    // live write of the whole list depend on it.
    if (bytes() != oldBytes || (current && array != oldList))
        currentBytesChanged(changeType);
    if (current)
        doArrayModelReset();
    if (trendIndex >= 0)
        doItemsChanged(TrendModel, trendIndex, trendIndex);
    if (current && array.size() != oldSize)
        emit arraySizeChanged();
}

void ModbusItemBase::currentBytesChanged(BytesChangeType changeType)
{
    bytesWasChanged();
    if (changeType != ValueChange) {
        updateValueFromBytes();
        emit binaryValueChanged();
        // Bytes from the source go no further up, or they would come straight back.
        if (changeType == SourceChange) {
            emit bytesChanged(changeType);
            return;
        }
    }
    if (m_source && !m_readOnly)
        modifySourceBytes();
    emit bytesChanged(changeType);
    if (changeType != ReadChange && changeType != SourceChange && m_liveWrite && !readOnly())
        write();
}

void ModbusItemBase::bytesWasChanged() {}

void ModbusItemBase::setArrayIndex(int index)
{
    if (m_arrayIndex == index)
        return;
    const ModbusBytes *before = specifiedBytes(m_trendIndex, m_arrayIndex);
    m_arrayIndex = index;
    const ModbusBytes *after = specifiedBytes(m_trendIndex, m_arrayIndex);
    if (before != after && !(before && after && *before == *after))
        currentBytesChanged(ArrayIndexChange);
    emit arrayIndexChanged();
}

void ModbusItemBase::setTrendIndex(int index)
{
    if (index == m_trendIndex || index < -1 || index >= m_trend.size())
        return;
    doArrayModelAboutToBeReset();
    const ModbusBytesArray before = bytesArray();
    m_trendIndex = index;
    if (bytesArray() != before)
        currentBytesChanged(TrendChange);
    doArrayModelReset();
    emit trendIndexChanged();
}

void ModbusItemBase::insertTopBytesToTrend(const QDateTime &time)
{
    insertBytesToTrend(time, m_topBytesArray);
}

void ModbusItemBase::insertBytesToTrend(const QDateTime &time, const ModbusBytesArray &array)
{
    const int oldArraySize = arraySize();
    const int existing = m_trend.indexOf(time);
    if (existing >= 0) {
        const bool current = existing == m_trendIndex;
        if (current)
            doArrayModelAboutToBeReset();
        m_trend[existing].bytes = array;
        if (current)
            doArrayModelReset();
        doItemsChanged(TrendModel, existing, existing);
        if (current) {
            currentBytesChanged(TrendChange);
            if (arraySize() != oldArraySize)
                emit arraySizeChanged();
        }
        return;
    }

    const ModbusBytesArray oldCurrent = bytesArray();
    const int n = m_trend.size();
    bool resetting = false;
    bool dropped = false;
    bool changed = false;
    if (m_maxTrendSize <= n && n >= 1) {
        doArrayModelAboutToBeReset();
        resetting = true;
        // A newer sample pushes out the oldest; an older one the newest.
        const int drop = m_trend.last().time < time ? 0 : n - 1;
        doItemsAboutToBeRemoved(TrendModel, drop, drop);
        m_trend.removeAt(drop);
        doItemsRemoved(TrendModel);
        dropped = true;
        changed = m_trendIndex > 0;
    }

    int position = int(m_trend.size());
    while (position > 0 && !(m_trend.at(position - 1).time < time))
        --position;
    // A sample put in front of the current one moves it: the array model shows another list.
    if (!resetting && m_trendIndex >= 0 && position <= m_trendIndex) {
        doArrayModelAboutToBeReset();
        resetting = true;
    }
    doItemsAboutToBeInserted(TrendModel, position, position);
    m_trend.insert(position, TrendBytesItem(time, array));
    doItemsInserted(TrendModel);
    if (resetting)
        doArrayModelReset();
    if (!dropped)
        emit trendSizeChanged();
    if (m_trendIndex >= 0 && bytesArray() != oldCurrent)
        changed = true;
    if (changed)
        currentBytesChanged(TrendChange);
    if (arraySize() != oldArraySize)
        emit arraySizeChanged();
}

void ModbusItemBase::setMaxTrendSize(int size)
{
    if (size == m_maxTrendSize || size < 0)
        return;
    m_maxTrendSize = size;
    if (m_trend.size() > size)
        resizeTrendBytes(size);
    emit maxTrendSizeChanged();
}

void ModbusItemBase::clearTrend()
{
    if (!m_trend.isEmpty())
        resizeTrendBytes(0);
}

void ModbusItemBase::resizeTrendBytes(int size)
{
    const int oldSize = int(m_trend.size());
    if (size < 0 || size >= oldSize)
        return;
    const int oldArraySize = arraySize();
    const bool onTrend = m_trendIndex >= 0;
    // The current list is a sample that moves or goes: the array model shows another one.
    if (onTrend)
        doArrayModelAboutToBeReset();
    if (size == 0) {
        doAboutToBeReset(TrendModel);
        m_trend.clear();
        doReset(TrendModel);
    } else {
        doItemsAboutToBeRemoved(TrendModel, 0, oldSize - size - 1);
        m_trend.remove(0, oldSize - size);
        doItemsRemoved(TrendModel);
    }
    bool indexChanged = false;
    if (onTrend && m_trendIndex >= size) {
        m_trendIndex = size - 1;
        indexChanged = true;
    }
    if (onTrend)
        doArrayModelReset();
    emit trendSizeChanged();
    if (indexChanged)
        emit trendIndexChanged();
    if (onTrend) {
        currentBytesChanged(TrendChange);
        if (arraySize() != oldArraySize)
            emit arraySizeChanged();
    }
}

void ModbusItemBase::removeTrendItems(int first, int last)
{
    if (first < 0 || last < first || last >= m_trend.size())
        return;
    const int oldArraySize = arraySize();
    const bool moved = m_trendIndex >= first;
    if (moved)
        doArrayModelAboutToBeReset();
    doItemsAboutToBeRemoved(TrendModel, first, last);
    for (int i = first; i <= last; ++i)
        m_trend.removeAt(first);
    doItemsRemoved(TrendModel);
    bool indexChanged = false;
    if (m_trendIndex >= m_trend.size()) {
        m_trendIndex = int(m_trend.size()) - 1;
        indexChanged = true;
    }
    if (moved)
        doArrayModelReset();
    emit trendSizeChanged();
    if (indexChanged)
        emit trendIndexChanged();
    if (moved) {
        currentBytesChanged(TrendChange);
        if (arraySize() != oldArraySize)
            emit arraySizeChanged();
    }
}

void ModbusItemBase::setModelType(ModelType type)
{
    if (m_modelType == type)
        return;
    // The rows are others now; views must not keep the old ones.
    if (m_model)
        m_model->doAboutToBeReset();
    m_modelType = type;
    if (m_model)
        m_model->doReset();
    emit modelTypeChanged();
}

void ModbusItemBase::setRoles(const RoleItems &roles)
{
    m_roles = roles;
    if (m_model)
        m_model->setRoles(roles);
}

void ModbusItemBase::doArrayModelAboutToBeReset()
{
    if (m_arrayResetDepth++ == 0)
        doAboutToBeReset(ArrayModel);
}

void ModbusItemBase::doArrayModelReset()
{
    if (m_arrayResetDepth > 0 && --m_arrayResetDepth == 0)
        doReset(ArrayModel);
}

void ModbusItemBase::doItemsAboutToBeInserted(ModelType type, int first, int last)
{
    if (m_model && type == m_modelType)
        m_model->doItemsAboutToBeInserted(first, last);
}

void ModbusItemBase::doItemsInserted(ModelType type)
{
    if (m_model && type == m_modelType)
        m_model->doItemsInserted();
}

void ModbusItemBase::doItemsAboutToBeRemoved(ModelType type, int first, int last)
{
    if (m_model && type == m_modelType)
        m_model->doItemsAboutToBeRemoved(first, last);
}

void ModbusItemBase::doItemsRemoved(ModelType type)
{
    if (m_model && type == m_modelType)
        m_model->doItemsRemoved();
}

void ModbusItemBase::doAboutToBeReset(ModelType type)
{
    if (m_model && type == m_modelType)
        m_model->doAboutToBeReset();
}

void ModbusItemBase::doReset(ModelType type)
{
    if (m_model && type == m_modelType)
        m_model->doReset();
}

void ModbusItemBase::doItemsAboutToBeMoved(ModelType type, int first, int last, int to)
{
    if (m_model && type == m_modelType)
        m_model->doItemsAboutToBeMoved(first, last, to);
}

void ModbusItemBase::doItemsMoved(ModelType type)
{
    if (m_model && type == m_modelType)
        m_model->doItemsMoved();
}

void ModbusItemBase::doItemsChanged(ModelType type, int first, int last)
{
    if (m_model && type == m_modelType)
        m_model->doItemsChanged(first, last);
}

QVariant ModbusItemBase::getModelValue(int row, int column) const
{
    if (column < 0 || column >= m_roles.size())
        return QVariant();
    return data(row, m_roles.at(column).role);
}

QVariant ModbusItemBase::getModelValue(int row, const QString &roleName) const
{
    const int index = m_roles.indexOf(roleName);
    return index < 0 ? QVariant() : data(row, m_roles.at(index).role);
}

QString ModbusItemBase::getModelHeader(const QString &roleName) const
{
    const int index = m_roles.indexOf(roleName);
    return index < 0 ? QString() : m_roles.at(index).title;
}

QString ModbusItemBase::getRoleNames() const
{
    if (!m_model)
        return QString();
    // The table is a hash: in role order, so that the text is the same on every run.
    const QHash<int, QByteArray> names = m_model->roleNames();
    QList<int> roles = names.keys();
    std::sort(roles.begin(), roles.end());
    QString text;
    for (int role : std::as_const(roles))
        text += QString::fromLatin1(names.value(role)) + QLatin1Char(' ');
    return text;
}

// Binary text ------------------------------------------------------------------------------------

QString ModbusItemBase::binaryValue() const
{
    return getBinaryValue(m_binaryBaseLength);
}

void ModbusItemBase::cancelRequest()
{
    if (m_requestCancel)
        *m_requestCancel = true;
}

void ModbusItemBase::emitCancellable(void (ModbusItemBase::*announce)(bool &), bool &cancel)
{
    // A handler may start another request of this item, which announces its own; and it may
    // delete the item, after which nothing here is touched.
    const QPointer<ModbusItemBase> self(this);
    bool *outer = m_requestCancel;
    m_requestCancel = &cancel;
    (this->*announce)(cancel);
    if (self)
        m_requestCancel = outer;
}

QString ModbusItemBase::getBinaryValue(int baseLength) const
{
    const QVariant value = variantValue();
    QString text;
    // Qt 6 would "convert" any text to a number in principle: only numeric values count as
    // numbers here, whatever else gives the bits of the bytes.
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        text = QString::number(value.toLongLong(), 2);
        break;
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        text = QString::number(value.toULongLong(), 2);
        break;
    case QMetaType::Float:
    case QMetaType::Double:
        text = QString::number(value.toDouble(), 'g', 2);
        break;
    default:
        text = bytes().toBinary();
        break;
    }
    if (baseLength < 0)
        return text;
    if (text.size() > baseLength) {
        qsizetype zeros = 0;
        while (zeros < text.size() && text.at(zeros) == QLatin1Char('0'))
            ++zeros;
        text.remove(0, zeros);
    }
    if (text.size() < baseLength)
        text.prepend(QString(baseLength - text.size(), QLatin1Char('0')));
    return text;
}

void ModbusItemBase::setBinaryBaseLength(int length)
{
    if (m_binaryBaseLength == length)
        return;
    m_binaryBaseLength = length;
    emit binaryBaseLengthChanged(length);
    emit binaryValueChanged();
}

// Sources ----------------------------------------------------------------------------------------

void ModbusItemBase::setSource(ModbusItemBase *source)
{
    if (m_source == source)
        return;
    if (m_source)
        unRegisterSource(m_source);
    m_source = source;
    if (source) {
        registerSource(source);
        receiveBytesFromSource();
    } else if (m_liveRead) {
        read();
    }
    reinitIntervalReading();
    emit sourceChanged();
}

void ModbusItemBase::registerSource(ModbusItemBase *source)
{
    connect(source, &ModbusItemBase::bytesChanged, this, &ModbusItemBase::onSourceBytesChanged);
    connect(source, &ModbusItemBase::bytesWasRead, this, &ModbusItemBase::onSourceBytesWasRead);
    connect(source, &QObject::destroyed, this, &ModbusItemBase::onSourceDestroyed);
    connect(source, &ModbusItemBase::afterRead, this, &ModbusItemBase::afterRead);
    connect(source, &ModbusItemBase::afterWrite, this, &ModbusItemBase::afterWrite);
}

void ModbusItemBase::unRegisterSource(ModbusItemBase *source)
{
    disconnect(source, nullptr, this, nullptr);
}

void ModbusItemBase::onSourceDestroyed()
{
    if (sender() == static_cast<QObject *>(m_source))
        setSource(nullptr);
}

void ModbusItemBase::onSourceBytesChanged(BytesChangeType)
{
    if (m_sourceTrendIndex == -1)
        receiveBytesFromSource();
}

void ModbusItemBase::onSourceBytesWasRead(const QDateTime &label)
{
    if (m_maxTrendSize > 0)
        insertTopBytesToTrend(label);
    if (m_sourceTrendIndex >= 0)
        receiveBytesFromSource();
    emit bytesWasRead(label);
}

void ModbusItemBase::receiveBytesFromSource()
{
    if (!m_source)
        return;
    ModbusBytesArray array;
    const ModbusBytesArray *sourceArray = m_source->trendBytesArray(m_sourceTrendIndex);
    if (sourceArray && m_sourceArrayIndex >= -1) {
        if (m_sourceArrayIndex == -1) {
            for (const ModbusBytes &element : *sourceArray)
                array.append(getBytesFromSourceBytes(element));
        } else if (m_sourceArrayIndex < sourceArray->size()) {
            array.append(getBytesFromSourceBytes(sourceArray->at(m_sourceArrayIndex)));
        }
    } else {
        array.append(ModbusBytes::fromSize(requestBytesCount(), 0));
    }
    newBytesFromSource(array);
}

void ModbusItemBase::newBytesFromSource(const ModbusBytesArray &array)
{
    setTopBytesArray(array, SourceChange);
}

ModbusBytes ModbusItemBase::getBytesFromSourceBytes(const ModbusBytes &sourceBytes) const
{
    ModbusBytes slice =
        ModbusBytes::fromOther(sourceBytes, m_sourceByteIndex, requestItemModbusBytesCount());
    if (slice.size() < m_requestItemBytesCount)
        slice.resize(m_requestItemBytesCount, true);
    return slice;
}

void ModbusItemBase::modifySourceBytes()
{
    if (!m_source)
        return;
    ModbusBytes sourceBytes = m_source->bytes();
    sourceBytes.setBytes(bytes(), m_sourceByteIndex, -1);
    m_source->setBytes(sourceBytes, DependentChange);
}

void ModbusItemBase::setSourceByteIndex(int index)
{
    m_sourceByteIndexAssigned = true;
    if (m_sourceByteIndex == index)
        return;
    m_sourceByteIndex = index;
    receiveBytesFromSource();
    emit sourceByteIndexChanged();
}

void ModbusItemBase::setSourceTrendIndex(int index)
{
    if (m_sourceTrendIndex == index)
        return;
    m_sourceTrendIndex = index;
    receiveBytesFromSource();
    emit sourceTrendIndexChanged();
}

void ModbusItemBase::setSourceArrayIndex(int index)
{
    if (index < 0 || m_sourceArrayIndex == index)
        return;
    m_sourceArrayIndex = index;
    receiveBytesFromSource();
    emit sourceArrayIndexChanged();
}

// Child items ------------------------------------------------------------------------------------

QQmlListProperty<ModbusItemBase> ModbusItemBase::items()
{
    // All six callbacks: with fewer, Qt implements replace and removeLast by clear() and
    // appending again, and clear() deletes the children.
    return QQmlListProperty<ModbusItemBase>(
        this, nullptr, &ModbusItemBase::appendItem, &ModbusItemBase::itemCount,
        &ModbusItemBase::itemAt, &ModbusItemBase::clearItems, &ModbusItemBase::replaceItem,
        &ModbusItemBase::removeLastItem);
}

void ModbusItemBase::appendItem(QQmlListProperty<ModbusItemBase> *list, ModbusItemBase *item)
{
    auto *owner = static_cast<ModbusItemBase *>(list->object);
    if (!item)
        return;
    item->setParent(owner);
    owner->m_items.append(item);
    connect(item, &QObject::destroyed, owner, [owner, item] { owner->m_items.removeAll(item); });
    emit owner->itemsChanged();
    owner->adoptChild(owner->m_items.size() - 1);
}

void ModbusItemBase::adoptChild(qsizetype index)
{
    ModbusItemBase *child = m_items.at(index);
    if (!child->source())
        child->setSource(this);
    if (!child->m_sourceByteIndexAssigned) {
        // Children without an index lie one after the other in the owner's bytes.
        int byteIndex = 0;
        if (index > 0) {
            const ModbusItemBase *previous = m_items.at(index - 1);
            byteIndex = previous->sourceByteIndex() + previous->requestItemModbusBytesCount();
        }
        child->setSourceByteIndex(byteIndex);
        child->setReadOnly(readOnly());
    }
}

qsizetype ModbusItemBase::itemCount(QQmlListProperty<ModbusItemBase> *list)
{
    return static_cast<ModbusItemBase *>(list->object)->m_items.size();
}

ModbusItemBase *ModbusItemBase::itemAt(QQmlListProperty<ModbusItemBase> *list, qsizetype index)
{
    const auto &items = static_cast<ModbusItemBase *>(list->object)->m_items;
    return index >= 0 && index < items.size() ? items.at(index) : nullptr;
}

void ModbusItemBase::clearItems(QQmlListProperty<ModbusItemBase> *list)
{
    auto *owner = static_cast<ModbusItemBase *>(list->object);
    QList<QPointer<ModbusItemBase>> items;
    for (ModbusItemBase *item : std::as_const(owner->m_items))
        items.append(item);
    owner->m_items.clear();
    emit owner->itemsChanged();
    // Qt 6.4 assigns a whole list from QML by clear() and appending the new entries, often the
    // same children: deleting them here would hand it dangling pointers. They go once control is
    // back in the event loop, unless they were put back or moved to another owner.
    QMetaObject::invokeMethod(
        owner,
        [owner, items] {
            for (const QPointer<ModbusItemBase> &item : items) {
                if (item && item->parent() == owner && !owner->m_items.contains(item.data()))
                    delete item.data();
            }
        },
        Qt::QueuedConnection);
}

void ModbusItemBase::replaceItem(QQmlListProperty<ModbusItemBase> *list, qsizetype index,
                                 ModbusItemBase *item)
{
    auto *owner = static_cast<ModbusItemBase *>(list->object);
    if (!item || index < 0 || index >= owner->m_items.size())
        return;
    item->setParent(owner);
    owner->m_items[index] = item;
    connect(item, &QObject::destroyed, owner, [owner, item] { owner->m_items.removeAll(item); });
    emit owner->itemsChanged();
    owner->adoptChild(index);
}

void ModbusItemBase::removeLastItem(QQmlListProperty<ModbusItemBase> *list)
{
    auto *owner = static_cast<ModbusItemBase *>(list->object);
    if (owner->m_items.isEmpty())
        return;
    owner->m_items.removeLast();
    emit owner->itemsChanged();
}

// Free conversions -------------------------------------------------------------------------------

QList<ModbusItemBase *> itemsFromVariantList(const QVariantList &list)
{
    QList<ModbusItemBase *> items;
    for (const QVariant &value : list) {
        if (auto *item = qobject_cast<ModbusItemBase *>(value.value<QObject *>()))
            items.append(item);
    }
    return items;
}

QVariantList variantListFromObjects(const QList<ModbusItemBase *> &objects)
{
    QVariantList list;
    list.reserve(objects.size());
    for (ModbusItemBase *object : objects)
        list.append(QVariant::fromValue<QObject *>(object));
    return list;
}
