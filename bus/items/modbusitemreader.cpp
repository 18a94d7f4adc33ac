#include "modbusitemreader.h"

#include "modbusitembase.h"

ModbusItemReader::ModbusItemReader(QObject *parent) : QObject(parent) {}

ModbusItemReader::~ModbusItemReader()
{
    setItem(nullptr);
}

void ModbusItemReader::componentComplete()
{
    MyDeclarativeParserStatus::componentComplete();
    if (holds())
        m_item->beginReading();
}

void ModbusItemReader::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    if (m_item && !initializing()) {
        if (active)
            m_item->beginReading();
        else
            m_item->endReading();
    }
    emit activeChanged(active);
}

void ModbusItemReader::setItem(ModbusItemBase *item)
{
    if (m_item == item)
        return;
    if (m_item) {
        if (holds())
            m_item->endReading();
        disconnect(m_item, nullptr, this, nullptr);
    }
    m_item = item;
    if (m_item) {
        connect(m_item, &QObject::destroyed, this, &ModbusItemReader::onItemDestroyed);
        if (holds())
            m_item->beginReading();
    }
    emit itemChanged(item);
}

// The item is inside QObject's destructor: forget it without calling it.
void ModbusItemReader::onItemDestroyed()
{
    m_item = nullptr;
    emit itemChanged(nullptr);
}
