#ifndef MODBUSITEMBYTEBASE_H
#define MODBUSITEMBYTEBASE_H

#include "modbusitemintbase.h"

// An integer item whose value is one byte. At a register address the instrument keeps it in the
// low-order byte of a 16-bit register; `alignToWord` says whether the item's own bytes keep that
// register form (a zero byte in front) or the bare byte.
class DORRIKBUS_EXPORT ModbusItemByteBase : public ModbusItemIntBase
{
    Q_OBJECT
    Q_PROPERTY(bool alignToWord READ alignToWord WRITE setAlignToWord NOTIFY alignToWordChanged)

public:
    explicit ModbusItemByteBase(QObject *parent = nullptr);
    explicit ModbusItemByteBase(quint32 address, QObject *parent = nullptr);

    bool alignToWord() const { return m_alignToWord; }

    // Keeps the low-order byte of every register read; nothing goes into the trend.
    void applyResultTask(const ModbusTask &task) override;

public slots:
    void setAlignToWord(bool align);

signals:
    void alignToWordChanged(bool align);

protected:
    // The byte as the item keeps it: aligned, a register 0x00 and the byte; else the bare byte.
    ModbusBytes bytesOfByte(quint8 value) const
    {
        return ModbusBytes::fromUInt8(value, m_alignToWord);
    }
    // Aligned, the low-order byte of the first register (a lone byte counts as that); else the
    // first byte. 0 when there is none.
    quint8 byteOfBytes(const ModbusBytes &bytes) const;

private:
    bool m_alignToWord = true;
};

#endif
