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

private:
    bool m_alignToWord = true;
};

#endif
