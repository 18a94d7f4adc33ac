#include "modbusarchrecord.h"

#include "modbusclient.h"
#include "modbustaskarchrecord67.h"

ModbusArchRecord::ModbusArchRecord(QObject *parent) : ModbusItemArchLabeledBase(0, parent)
{
    connect(&m_presence, &ModbusItemBase::afterRead, this, &ModbusArchRecord::onPresenceAfterRead);
    connect(&m_presence, &ErrObject::error, this, &ErrObject::error);
    connect(&m_presence, &ModbusArchLabel::prevLabelChanged, this,
            &ModbusArchRecord::prevLabelChanged);
    connect(&m_presence, &ModbusArchLabel::nextLabelChanged, this,
            &ModbusArchRecord::nextLabelChanged);
    connect(&m_presence, &ModbusArchLabel::prevLabelExistsChanged, this,
            &ModbusArchRecord::prevLabelExistsChanged);
    connect(&m_presence, &ModbusArchLabel::nextLabelExistsChanged, this,
            &ModbusArchRecord::nextLabelExistsChanged);
    connect(&m_presence, &ModbusArchLabel::firstLabelChanged, this,
            &ModbusArchRecord::firstLabelChanged);
    connect(&m_presence, &ModbusArchLabel::lastLabelChanged, this,
            &ModbusArchRecord::lastLabelChanged);
    connect(&m_presence, &ModbusArchLabel::usePrevChanged, this, &ModbusArchRecord::usePrevChanged);
    connect(&m_presence, &ModbusArchLabel::useNextChanged, this, &ModbusArchRecord::useNextChanged);
    connect(&m_presence, &ModbusArchLabel::useFirstChanged, this,
            &ModbusArchRecord::useFirstChanged);
    connect(&m_presence, &ModbusArchLabel::useLastChanged, this, &ModbusArchRecord::useLastChanged);
    // A result holds as many records as were found.
    setCheckReadTaskCount(false);
    RoleItems itemRoles = roles();
    itemRoles.append(RoleItem(ExistsRole, "exists", tr("Exists")));
    setRoles(itemRoles);
}

void ModbusArchRecord::setExists(bool value)
{
    if (value == m_exists)
        return;
    m_exists = value;
    emit existsChanged();
}

void ModbusArchRecord::setRecordSize(int size)
{
    if (size == m_recordSize)
        return;
    m_recordSize = size;
    emit recordSizeChanged();
    setRequestItemBytesCount(size);
}

void ModbusArchRecord::setCheckRecordSize(bool value)
{
    if (value == m_checkRecordSize)
        return;
    m_checkRecordSize = value;
    emit checkRecordSizeChanged();
}

void ModbusArchRecord::setUseCurrentTime(bool value)
{
    if (value == m_useCurrentTime)
        return;
    m_useCurrentTime = value;
    emit useCurrentTimeChanged();
}

void ModbusArchRecord::setUseNearLabel(bool value)
{
    if (value == m_useNearLabel)
        return;
    m_useNearLabel = value;
    emit useNearLabelChanged();
    needValueRead();
}

void ModbusArchRecord::setNormalizeLabel(bool value)
{
    if (value == m_normalizeLabel)
        return;
    m_normalizeLabel = value;
    emit normalizeLabelChanged(value);
}

bool ModbusArchRecord::internalReading(bool sync)
{
    if (m_useCurrentTime && archType() == DorrikBus::TimeArch)
        setTimeLabel(QDateTime::currentDateTime());
    if (func() == DorrikBus::Func67) {
        m_presenceReadIsSync = sync;
        const bool ok = readPresence(label(), count(), sync);
        m_presenceReadIsSync = false;
        if (!ok)
            return false;
        // Asynchronously the records follow the presence answer (onPresenceAfterRead).
        return sync ? internalReadRecords(true) : true;
    }
    reinitLabels();
    return internalReadRecords(sync);
}

bool ModbusArchRecord::readPresence(quint32 label, int count, bool sync)
{
    m_presence.setLabel(label);
    m_presence.setCount(count);
    if (sync)
        return m_presence.readSync();
    m_presence.read();
    return true;
}

void ModbusArchRecord::onPresenceAfterRead()
{
    reinitLabels();
    if (!m_presenceReadIsSync)
        internalReadRecords(false);
}

void ModbusArchRecord::reinitLabels()
{
    m_labels.clear();
    switch (func()) {
    case DorrikBus::Func65: {
        quint32 start = label();
        if (m_normalizeLabel)
            DorrikBus::normalizeArchLabel(start, archType(), archInterval());
        m_labels.append(start);
        while (m_labels.size() < count())
            m_labels.append(
                DorrikBus::getNextTimeLabel(m_labels.last(), archInterval(), nullptr, 1));
        break;
    }
    case DorrikBus::Func67:
        m_labels = m_presence.bytesArray().toModbusBytes().toArchLabels(0, -1);
        break;
    }
}

bool ModbusArchRecord::internalReadRecords(bool sync)
{
    quint32 start = 0;
    if (m_labels.isEmpty()) {
        if (m_presence.nextLabelExists() && m_useNearLabel) {
            start = m_presence.nextLabelInt();
        } else if (m_presence.prevLabelExists() && m_useNearLabel) {
            start = m_presence.prevLabelInt();
        } else {
            setErrorString(tr("No such arch records"));
            return false;
        }
    } else {
        if (m_labels.first() != label() && !m_useNearLabel) {
            setErrorString(tr("specified arch label (%1) doesn't exist").arg(label()));
            return false;
        }
        start = m_labels.first();
    }
    ModbusTask *task = createModbusTask(DorrikBus::ReadTask, 0);
    auto *record = dynamic_cast<ModbusTaskArchRecord65 *>(task);
    if (!record) {
        delete task;
        return false;
    }
    if (!checkClient()) {
        delete task;
        return false;
    }
    record->setCount(m_labels.isEmpty() ? count() : int(m_labels.size()));
    record->setLabel(start);
    if (!sync) {
        client()->executeTask(record);
        return true;
    }
    return client()->executeTaskSync(record);
}

ModbusTask *ModbusArchRecord::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    if (type != DorrikBus::ReadTask)
        return nullptr;
    switch (func()) {
    case DorrikBus::Func65:
        return new ModbusTaskArchRecord65(*this, label(), interval);
    case DorrikBus::Func67:
        return new ModbusTaskArchRecord67(*this, label(), m_labels, interval);
    }
    return nullptr;
}

bool ModbusArchRecord::checkValidResultTask(ModbusTask *task)
{
    const bool valid = ModbusItemArchLabeledBase::checkValidResultTask(task);
    const auto *record = dynamic_cast<const ModbusTaskArchRecord65 *>(task);
    if (!record)
        return false;
    if (record->recordSize() != 0 && record->recordSize() != m_recordSize)
        return false;
    const ModbusBytesArray &records = record->firstBytes();
    if (m_checkRecordSize && m_recordSize != 0 && !records.isEmpty() &&
        records.first().size() != m_recordSize) {
        setErrorString(tr("Arch record size check failed: received length: %1, need %2")
                           .arg(records.first().size())
                           .arg(m_recordSize));
        return false;
    }
    return valid;
}

void ModbusArchRecord::applyResultTask(const ModbusTask &task)
{
    const auto &record = static_cast<const ModbusTaskArchRecord65 &>(task);
    const ModbusBytesArray &records = record.firstBytes();
    if ((!m_checkRecordSize || m_recordSize == 0) && !records.isEmpty() &&
        records.first().size() != 0)
        setRecordSize(int(records.first().size()));
    if (record.label() == label() || m_useNearLabel)
        setBytesArray(records, ReadChange);
    emit bytesWasRead(QDateTime::currentDateTime());
}

void ModbusArchRecord::bytesWasChanged()
{
    ModbusItemArchLabeledBase::bytesWasChanged();
    setExists(!bytes().emptyOrZero());
}

QVariant ModbusArchRecord::data(const ModbusBytes &bytes, int role) const
{
    if (role == ExistsRole)
        return !bytes.emptyOrZero();
    return ModbusItemArchLabeledBase::data(bytes, role);
}

QVariant ModbusArchRecord::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant(bytes.toHex());
}

void ModbusArchRecord::needValueRead()
{
    updateArchPresenceObject();
    ModbusItemArchLabeledBase::needValueRead();
}

void ModbusArchRecord::updateArchPresenceObject()
{
    m_presence.setArchType(archType());
    m_presence.setArchIndex(archIndex());
    m_presence.setClient(client());
    m_presence.setFunc(func());
    m_presence.setArchInterval(archInterval());
}

void ModbusArchRecord::onLabelChanged()
{
    ModbusItemArchLabeledBase::onLabelChanged();
}

quint32 ModbusArchRecord::neighbourLabel(bool next, bool *ok) const
{
    *ok = false;
    switch (func()) {
    case DorrikBus::Func65: {
        quint32 start = label();
        DorrikBus::normalizeArchLabel(start, archType(), archInterval());
        return next ? DorrikBus::getNextLabel(start, archType(), archInterval(), ok, 1,
                                              DorrikBus::Forward)
                    : DorrikBus::getPrevLabel(start, archType(), archInterval(), ok, 1);
    }
    case DorrikBus::Func67:
        *ok = m_presence.wasRead() &&
              (next ? m_presence.nextLabelExists() : m_presence.prevLabelExists());
        return next ? m_presence.nextLabelInt() : m_presence.prevLabelInt();
    }
    return label();
}

bool ModbusArchRecord::move(bool next, bool sync)
{
    if (func() != DorrikBus::Func65 && func() != DorrikBus::Func67)
        return false;
    // Function 67 before any presence answer: read where the item stands.
    if (func() != DorrikBus::Func67 || m_presence.wasRead()) {
        bool ok = false;
        const quint32 target = neighbourLabel(next, &ok);
        if (!ok)
            return false;
        setLabel(target);
    }
    // With live reading the label change has started the read.
    if (liveRead())
        return false;
    return sync ? readSync() : read();
}

bool ModbusArchRecord::readNextInternal(bool sync)
{
    return move(true, sync);
}

bool ModbusArchRecord::readPrevInternal(bool sync)
{
    return move(false, sync);
}

bool ModbusArchRecord::setNextLabel()
{
    bool ok = false;
    const quint32 target = neighbourLabel(true, &ok);
    if (!ok && (func() == DorrikBus::Func65 || func() == DorrikBus::Func67))
        return false;
    setLabel(target);
    return true;
}

bool ModbusArchRecord::setPrevLabel()
{
    bool ok = false;
    const quint32 target = neighbourLabel(false, &ok);
    if (!ok && (func() == DorrikBus::Func65 || func() == DorrikBus::Func67))
        return false;
    setLabel(target);
    return true;
}
