#ifndef MODBUSDOUBLE_H
#define MODBUSDOUBLE_H

#include "modbusitemfloatingbase.h"

// An IEEE 754 double in four registers, big-endian.
class DORRIKBUS_EXPORT ModbusDouble : public ModbusItemFloatingBase
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusDouble(QObject *parent = nullptr);
    explicit ModbusDouble(quint32 address, QObject *parent = nullptr);

    double value() const { return m_value; }

    QString formatValue() const override;
    // Text that does not parse changes nothing; parsed text goes through the virtual setValue.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

    // Virtual so that a kind with another byte layout encodes every value it is given, also the
    // ones that arrive through this class (text, bytes read).
    // A NaN never equals the stored value, so it is always stored (and signalled) again.
    virtual void setValue(const double &value);

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(const double &value);

signals:
    void valueChanged();

protected:
    ModbusDouble(int bytesPerElement, quint32 address, QObject *parent);
    // Stores the value and signals it; with encoded bytes, they become the item's bytes. Bytes that
    // were decoded into the value stay as they are: encoding it again could change them.
    void assignValue(double value, const ModbusBytes *encoded);

private:
    double m_value = 0.0;
};

#endif
