#ifndef MODBUSUINT8_H
#define MODBUSUINT8_H

#include "modbusitembytebase.h"

// An unsigned byte, at a register address the low-order byte of the register.
class DORRIKBUS_EXPORT ModbusUInt8 : public ModbusItemByteBase
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusUInt8(QObject *parent = nullptr);
    explicit ModbusUInt8(quint32 address, QObject *parent = nullptr);

    quint8 value() const { return m_value; }
    void setValue(quint8 value);

    QString formatValue() const override;
    // A 16-bit number in the radix `base` of which the low 8 bits are kept ("300" sets 44);
    // text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(quint8 value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(quint8 value, bool encode);

    quint8 m_value = 0;
};

#endif
