#include "modbusitemaddressedbase.h"

#include "modbustaskaddressed.h"

ModbusItemAddressedBase::ModbusItemAddressedBase(int bytesPerElement, QObject *parent)
    : ModbusItemAddressedBase(bytesPerElement, 400001, parent)
{}

ModbusItemAddressedBase::ModbusItemAddressedBase(int bytesPerElement, quint32 address,
                                                 QObject *parent)
    : ModbusItemBase(bytesPerElement, parent), m_address(address)
{
    setReadOnly(DorrikBus::isReadOnly(address));
}

void ModbusItemAddressedBase::setAddress(quint32 address)
{
    if (m_address == address)
        return;
    m_address = address;
    emit addressChanged();
    setReadOnly(DorrikBus::isReadOnly(address));
    reinitIntervalReading();
    needValueRead();
}

bool ModbusItemAddressedBase::wordAddress() const
{
    const DorrikBus::ModbusAddressType type = DorrikBus::getAddressType(m_address);
    return type == DorrikBus::InputRegisters || type == DorrikBus::HoldingRegisters;
}

ModbusBytesArray ModbusItemAddressedBase::getModbusBytes() const
{
    return getModbusBytes(bytesArray());
}

ModbusBytesArray ModbusItemAddressedBase::getModbusBytes(const ModbusBytesArray &elements) const
{
    return wordAddress() ? elements.alignedToWord(false) : elements;
}

ModbusTask *ModbusItemAddressedBase::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    return new ModbusTaskAddressed(*this, m_address, type, interval);
}

int ModbusItemAddressedBase::requestItemModbusBytesCount() const
{
    const int n = requestItemBytesCount();
    return wordAddress() ? n + n % 2 : n;
}

bool ModbusItemAddressedBase::checkValidResultTask(ModbusTask *task)
{
    const auto *addressed = dynamic_cast<const ModbusTaskAddressed *>(task);
    if (!addressed)
        return false;
    if (addressed->type() != DorrikBus::ReadTask)
        return true;
    return addressed->address() == m_address &&
           addressed->requestBytesCount() == requestModbusBytesCount();
}
