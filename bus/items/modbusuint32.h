#ifndef MODBUSUINT32_H
#define MODBUSUINT32_H

#include "modbusitemintbase.h"

// An unsigned 32-bit value in two registers, the high one first.
class DORRIKBUS_EXPORT ModbusUInt32 : public ModbusItemIntBase
{
    Q_OBJECT
    Q_PROPERTY(quint32 value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusUInt32(QObject *parent = nullptr);
    explicit ModbusUInt32(quint32 address, QObject *parent = nullptr);

    quint32 value() const { return m_value; }
    void setValue(quint32 value);

    QString formatValue() const override;
    // Text in the radix `base`; text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(quint32 value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(quint32 value, bool encode);

    quint32 m_value = 0;
};

#endif
