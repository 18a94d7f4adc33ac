#include "modbusarchlabel.h"

#include "modbustaskarchpresence65.h"

#include <QDebug>

ModbusArchLabel::ModbusArchLabel(QObject *parent) : ModbusItemArchLabeledBase(4, parent)
{
    m_prevLabel = DorrikBus::getPrevLabel(label(), archType(), archInterval(), nullptr, 1);
    m_nextLabel = DorrikBus::getNextLabel(label(), archType(), archInterval(), nullptr, 1,
                                          DorrikBus::Forward);
    m_value = label();
    RoleItems roles;
    roles.append(RoleItem(0, "value", tr("Value")));
    setRoles(roles);
}

void ModbusArchLabel::setDirection(DorrikBus::ArchDirection direction)
{
    if (direction == m_direction)
        return;
    m_direction = direction;
    emit directionChanged();
}

void ModbusArchLabel::setUseFlag(bool &flag, bool value, void (ModbusArchLabel::*changed)())
{
    if (flag == value)
        return;
    flag = value;
    emit(this->*changed)();
    if (value)
        needValueRead();
}

void ModbusArchLabel::setUsePrev(bool value)
{
    setUseFlag(m_usePrev, value, &ModbusArchLabel::usePrevChanged);
}

void ModbusArchLabel::setUseNext(bool value)
{
    setUseFlag(m_useNext, value, &ModbusArchLabel::useNextChanged);
}

void ModbusArchLabel::setUseFirst(bool value)
{
    setUseFlag(m_useFirst, value, &ModbusArchLabel::useFirstChanged);
}

void ModbusArchLabel::setUseLast(bool value)
{
    setUseFlag(m_useLast, value, &ModbusArchLabel::useLastChanged);
}

void ModbusArchLabel::setPrevLabel(quint32 label)
{
    if (label == m_prevLabel)
        return;
    m_prevLabel = label;
    emit prevLabelChanged();
}

void ModbusArchLabel::setNextLabel(quint32 label)
{
    if (label == m_nextLabel)
        return;
    m_nextLabel = label;
    emit nextLabelChanged();
}

void ModbusArchLabel::setFirstLabel(quint32 label)
{
    if (label == m_firstLabel)
        return;
    m_firstLabel = label;
    emit firstLabelChanged();
}

void ModbusArchLabel::setLastLabel(quint32 label)
{
    if (label == m_lastLabel)
        return;
    m_lastLabel = label;
    emit lastLabelChanged();
}

void ModbusArchLabel::setPrevLabelExists(bool value)
{
    if (value == m_prevLabelExists)
        return;
    m_prevLabelExists = value;
    emit prevLabelExistsChanged();
}

void ModbusArchLabel::setNextLabelExists(bool value)
{
    if (value == m_nextLabelExists)
        return;
    m_nextLabelExists = value;
    emit nextLabelExistsChanged();
}

void ModbusArchLabel::setValue(quint32 value)
{
    if (value == m_value)
        return;
    m_value = value;
    emit valueChanged();
    emit formatValueChanged();
}

QString ModbusArchLabel::formatValue() const
{
    return getVariantLabel(m_value, true).toString();
}

void ModbusArchLabel::setFormatValue(const QString &)
{
    // QDebug quotes the text.
    qWarning() << tr("'setFormatValue': can't change readonly property");
}

ModbusTask *ModbusArchLabel::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    if (type != DorrikBus::ReadTask)
        return nullptr;
    if (func() == DorrikBus::Func65)
        return new ModbusTaskArchPresence65(*this, m_direction, interval);
    return new ModbusTaskArchPresence(*this, m_direction, interval);
}

void ModbusArchLabel::componentComplete()
{
    ModbusItemArchLabeledBase::componentComplete();
    // Function 67 archives have gaps: no neighbour is claimed before one was read.
    if (func() == DorrikBus::Func67) {
        setPrevLabelExists(false);
        setNextLabelExists(false);
    }
}

void ModbusArchLabel::applyResultTask(const ModbusTask &task)
{
    ModbusItemArchLabeledBase::applyResultTask(task);
    const auto *presence = dynamic_cast<const ModbusTaskArchPresence *>(&task);
    if (!presence)
        return;
    if (presence->readPrev()) {
        setPrevLabelExists(presence->prevLabelExists);
        if (presence->prevLabelExists)
            setPrevLabel(presence->prevLabel);
    }
    if (presence->readNext()) {
        setNextLabelExists(presence->nextLabelExists);
        if (presence->nextLabelExists)
            setNextLabel(presence->nextLabel);
    }
    if (presence->readFirst())
        setFirstLabel(presence->firstLabel);
    if (presence->readLast())
        setLastLabel(presence->lastLabel);
}

void ModbusArchLabel::updateValueFromBytes()
{
    setValue(bytes().toUInt32(0));
}

bool ModbusArchLabel::checkValidResultTask(ModbusTask *task)
{
    if (!ModbusItemArchLabeledBase::checkValidResultTask(task))
        return false;
    const auto *presence = dynamic_cast<const ModbusTaskArchPresence *>(task);
    return presence && presence->label() == label() &&
           presence->maxRequestLabels == m_maxRequestLabels;
}

QVariant ModbusArchLabel::getTypedValue(const ModbusBytes &bytes) const
{
    return getVariantLabel(bytes.toUInt32(0), false);
}

void ModbusArchLabel::onFuncChanged()
{
    if (!initializing())
        emit valueChanged();
}

void ModbusArchLabel::setEndVariantLabel(const QVariant &label)
{
    const quint32 end = DorrikBus::getIntLabel(label, timeFormat());
    if (end == m_endLabel)
        return;
    m_endLabel = end;
    reinitIntervalReading();
    needValueRead();
    emit endLabelChanged();
}

void ModbusArchLabel::setMaxRequestLabels(int value)
{
    if (value == m_maxRequestLabels)
        return;
    m_maxRequestLabels = value;
    emit maxRequestLabelsChanged(value);
}
