#ifndef MODBUSUINT64_H
#define MODBUSUINT64_H

#include "modbusitemintbase.h"

// An unsigned 64-bit value in four registers, the highest one first.
class DORRIKBUS_EXPORT ModbusUInt64 : public ModbusItemIntBase
{
    Q_OBJECT
    Q_PROPERTY(quint64 value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusUInt64(QObject *parent = nullptr);
    explicit ModbusUInt64(quint32 address, QObject *parent = nullptr);

    quint64 value() const { return m_value; }
    void setValue(const quint64 &value);

    QString formatValue() const override;
    // Text in the radix `base`; text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(const quint64 &value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(quint64 value, bool encode);

    quint64 m_value = 0;
};

#endif
