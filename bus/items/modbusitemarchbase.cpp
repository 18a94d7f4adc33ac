#include "modbusitemarchbase.h"

#include "modbustaskarch.h"

ModbusItemArchBase::ModbusItemArchBase(int bytesPerElement, QObject *parent)
    : ModbusItemBase(bytesPerElement, parent)
{
    setReadOnly(true);
}

void ModbusItemArchBase::setValue(const QString &text)
{
    if (text == m_value)
        return;
    m_value = text;
    setBytes(ModbusBytes::fromModbusString(text), ValueChange);
    emit valueChanged();
    emit formatValueChanged();
}

void ModbusItemArchBase::updateValueFromBytes()
{
    setValue(QString::fromLatin1(bytes().toHex()));
}

void ModbusItemArchBase::setArchIndex(quint16 index)
{
    if (index == m_archIndex)
        return;
    m_archIndex = index;
    emit archIndexChanged();
    archiveChanged();
}

void ModbusItemArchBase::setFunc(DorrikBus::ArchFunc func)
{
    if (func == m_func)
        return;
    m_func = func;
    emit funcChanged();
    archiveChanged();
}

void ModbusItemArchBase::setArchType(DorrikBus::ArchType type)
{
    if (type == m_archType)
        return;
    m_archType = type;
    emit archTypeChanged();
    archiveChanged();
}

void ModbusItemArchBase::archiveChanged()
{
    reinitIntervalReading();
    needValueRead();
}

bool ModbusItemArchBase::checkValidResultTask(ModbusTask *task)
{
    if (!ModbusItemBase::checkValidResultTask(task))
        return false;
    const auto *arch = dynamic_cast<const ModbusTaskArch *>(task);
    return arch && arch->archIndex() == m_archIndex && arch->archType() == m_archType &&
           arch->func() == m_func;
}
