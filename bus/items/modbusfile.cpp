#include "modbusfile.h"

#include "modbustaskfile.h"

ModbusFile::ModbusFile(QObject *parent) : ModbusItemBase(1, parent) {}

QString ModbusFile::value() const
{
    return QString::fromLatin1(bytes().toHex());
}

ModbusBytesArray ModbusFile::getModbusBytes(const ModbusBytesArray &elements) const
{
    // Records are registers: an odd length becomes the low-order byte of its first register.
    return elements.alignedToWord(false);
}

ModbusTask *ModbusFile::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    return new ModbusTaskFile(*this, type, interval, m_file, m_offset, m_length, m_modbusBlockSize);
}

int ModbusFile::requestItemModbusBytesCount() const
{
    const int n = requestItemBytesCount();
    return n + n % 2;
}

void ModbusFile::updateValueFromBytes()
{
    emit formatValueChanged();
    emit valueChanged();
}

bool ModbusFile::checkValidResultTask(ModbusTask *task)
{
    if (!ModbusItemBase::checkValidResultTask(task))
        return false;
    const auto *fileTask = dynamic_cast<const ModbusTaskFile *>(task);
    if (!fileTask)
        return false;
    if (fileTask->type() != DorrikBus::ReadTask)
        return true;
    // A read made for another range before a change must not fill the item.
    return fileTask->file() == m_file && fileTask->offset() == m_offset &&
           fileTask->length() == m_length;
}

QVariant ModbusFile::getTypedValue(const ModbusBytes &bytes) const
{
    return QString::fromLatin1(bytes.toHex());
}

void ModbusFile::setFile(quint8 file)
{
    if (file == m_file)
        return;
    m_file = file;
    reinitIntervalReading();
    needValueRead();
    emit fileChanged(file);
}

void ModbusFile::setOffset(quint16 offset)
{
    if (offset == m_offset)
        return;
    m_offset = offset;
    reinitIntervalReading();
    needValueRead();
    emit offsetChanged(offset);
}

void ModbusFile::setLength(int length)
{
    if (length < 0 || length == m_length)
        return;
    m_length = length;
    setRequestItemBytesCount(length);
    emit lengthChanged(length);
    needValueRead();
}

void ModbusFile::setModbusBlockSize(int size)
{
    if (size == m_modbusBlockSize)
        return;
    m_modbusBlockSize = size;
    emit modbusBlockSizeChanged(size);
}

void ModbusFile::setValue(const QString &value)
{
    setBytes(ModbusBytes::fromHex(value.toLatin1()), ValueChange);
    emit formatValueChanged();
    emit valueChanged();
}
