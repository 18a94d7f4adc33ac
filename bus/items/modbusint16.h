#ifndef MODBUSINT16_H
#define MODBUSINT16_H

#include "modbusitemintbase.h"

// A signed (two's complement) 16-bit register.
class DORRIKBUS_EXPORT ModbusInt16 : public ModbusItemIntBase
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusInt16(QObject *parent = nullptr);
    explicit ModbusInt16(quint32 address, QObject *parent = nullptr);

    qint16 value() const { return m_value; }
    void setValue(qint16 value);

    QString formatValue() const override;
    // Text in the radix `base`; text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(qint16 value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(qint16 value, bool encode);

    qint16 m_value = 0;
};

#endif
