#include "modbustrendmodel.h"

#include "modbusitembase.h"

#include <QTimerEvent>

ModbusTrendModel::ModbusTrendModel(QObject *parent) : TrendModelBase(parent)
{
    updateTimer();
}

ModbusTrendModel::~ModbusTrendModel() = default;

ModbusItemBase *ModbusTrendModel::modbusItem() const
{
    return qobject_cast<ModbusItemBase *>(m_item);
}

void ModbusTrendModel::setItem(QObject *item)
{
    if (m_item == item)
        return;
    if (m_item)
        unRegisterItem(m_item);
    m_item = item;
    if (item)
        registerItem(item);
    emit itemChanged();
}

void ModbusTrendModel::registerItem(QObject *item)
{
    // The model keeps the item by a plain pointer: its destruction takes it away first.
    connect(item, &QObject::destroyed, this, &ModbusTrendModel::onItemDestroyed);
    if (auto *itemBase = qobject_cast<ModbusItemBase *>(item)) {
        connect(itemBase, &ModbusItemBase::bytesWasRead, this,
                &ModbusTrendModel::onItemBytesWasRead);
        if (m_useItemBuffer)
            appendItemBufferValues();
    }
}

void ModbusTrendModel::unRegisterItem(QObject *item)
{
    disconnect(item, nullptr, this, nullptr);
}

void ModbusTrendModel::onItemDestroyed()
{
    setItem(nullptr);
}

void ModbusTrendModel::setUseItemBuffer(bool value)
{
    if (m_useItemBuffer == value)
        return;
    m_useItemBuffer = value;
    emit useItemBufferChanged();
}

void ModbusTrendModel::setEnabled(bool value)
{
    if (m_enabled == value)
        return;
    m_enabled = value;
    emit enabledChanged();
}

void ModbusTrendModel::setSourceValue(qreal value)
{
    if (!initializing() && m_enabled && !m_running)
        addValue(value);
    // A NaN on either side counts as a change.
    if (m_sourceValue == value)
        return;
    m_sourceValue = value;
    emit sourceValueChanged(value);
}

void ModbusTrendModel::setRunning(bool value)
{
    if (m_running == value)
        return;
    m_running = value;
    updateTimer();
    emit runningChanged(value);
}

void ModbusTrendModel::setInterval(int value)
{
    if (m_interval == value)
        return;
    m_interval = value;
    updateTimer();
    emit intervalChanged(value);
}

void ModbusTrendModel::updateTimer()
{
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    if (!initializing() && m_running && m_interval > 0)
        m_timerId = startTimer(m_interval);
}

void ModbusTrendModel::componentComplete()
{
    MyDeclarativeParserStatus::componentComplete();
    updateTimer();
}

void ModbusTrendModel::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timerId) {
        TrendModelBase::timerEvent(event);
        return;
    }
    if (m_running)
        addValue(m_sourceValue);
}

void ModbusTrendModel::onItemBytesWasRead(const QDateTime &time)
{
    if (m_enabled)
        appendItemVariantValue(time);
}

namespace {

// 0 for a value that is not a number.
double numberOf(const QVariant &value)
{
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number : 0.0;
}

} // namespace

void ModbusTrendModel::appendItemVariantValue(const QDateTime &time)
{
    if (const ModbusItemBase *itemBase = modbusItem())
        addValue(time, numberOf(itemBase->variantValue()));
}

void ModbusTrendModel::appendItemBufferValues()
{
    const ModbusItemBase *itemBase = modbusItem();
    if (!itemBase)
        return;
    for (int i = 0; i < itemBase->trendSize(); ++i)
        addValue(itemBase->trendItem(i)->time, numberOf(itemBase->trendValue(i)));
}
