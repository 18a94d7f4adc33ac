#ifndef MODBUSFLOAT_H
#define MODBUSFLOAT_H

#include "modbusitemfloatingbase.h"

// An IEEE 754 single in two registers, big-endian.
class DORRIKBUS_EXPORT ModbusFloat : public ModbusItemFloatingBase
{
    Q_OBJECT
    Q_PROPERTY(float value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusFloat(QObject *parent = nullptr);
    explicit ModbusFloat(quint32 address, QObject *parent = nullptr);

    float value() const { return m_value; }
    // A NaN never equals the stored value, so it is always stored (and signalled) again.
    void setValue(float value);

    QString formatValue() const override;
    // Text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(float value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(float value, bool encode);

    float m_value = 0;
};

#endif
