#ifndef MODBUSINT8_H
#define MODBUSINT8_H

#include "modbusitembytebase.h"

// A signed (two's complement) byte, at a register address the low-order byte of the register.
class DORRIKBUS_EXPORT ModbusInt8 : public ModbusItemByteBase
{
    Q_OBJECT
    Q_PROPERTY(qint8 value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusInt8(QObject *parent = nullptr);
    explicit ModbusInt8(quint32 address, QObject *parent = nullptr);

    qint8 value() const { return m_value; }
    void setValue(qint8 value);

    QString formatValue() const override;
    // A 16-bit number in the radix `base` of which the low 8 bits are kept as a signed byte
    // ("200" sets -56); text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(qint8 value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(qint8 value, bool encode);

    qint8 m_value = 0;
};

#endif
