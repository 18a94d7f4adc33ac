#include "testitem.h"

#include "modbustaskaddressed.h"
#include "modbustaskfile.h"
#include "modbustaskreport.h"

TestItem::TestItem(quint32 address, int count, int elementSize, QObject *parent)
    : ModbusItemBase(elementSize, parent), m_address(address)
{
    setCount(count);
    ModbusBytesArray zeros;
    for (int i = 0; i < count; ++i)
        zeros.append(ModbusBytes::fromSize(elementSize, 0));
    setTopBytesArray(zeros, ValueChange);
}

QString TestItem::formatValue() const
{
    return QString::fromLatin1(getModbusBytes().toModbusBytes().toHex());
}

void TestItem::setFormatValue(const QString &text)
{
    setTopBytesArray(ModbusBytes::fromModbusString(text).splitBySize(requestItemModbusBytesCount()),
                     ValueChange);
    emit formatValueChanged();
}

ModbusTask *TestItem::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    return new ModbusTaskAddressed(*this, m_address, type, interval);
}

bool TestItem::checkValidResultTask(ModbusTask *task)
{
    auto *addressed = dynamic_cast<ModbusTaskAddressed *>(task);
    return addressed && addressed->address() == m_address &&
           ModbusItemBase::checkValidResultTask(task);
}

QVariant TestItem::getTypedValue(const ModbusBytes &bytes) const
{
    return bytes.toUInt16(0);
}

TestFileItem::TestFileItem(quint8 file, quint16 offset, int count, int modbusBlockSize,
                           QObject *parent)
    : TestItem(0, count, 2, parent), m_file(file), m_offset(offset),
      m_modbusBlockSize(modbusBlockSize)
{}

ModbusTask *TestFileItem::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    return new ModbusTaskFile(*this, type, interval, m_file, m_offset, count() * 2,
                              m_modbusBlockSize);
}

bool TestFileItem::checkValidResultTask(ModbusTask *task)
{
    auto *fileTask = dynamic_cast<ModbusTaskFile *>(task);
    return fileTask && fileTask->file() == m_file && fileTask->offset() == m_offset &&
           ModbusItemBase::checkValidResultTask(task);
}

TestReportItem::TestReportItem(QObject *parent) : TestItem(0, 1, 1, parent) {}

ModbusTask *TestReportItem::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    if (type != DorrikBus::ReadTask)
        return nullptr;
    return new ModbusTaskReport(*this, interval);
}

bool TestReportItem::checkValidResultTask(ModbusTask *task)
{
    return dynamic_cast<ModbusTaskReport *>(task) && ModbusItemBase::checkValidResultTask(task);
}
