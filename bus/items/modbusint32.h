#ifndef MODBUSINT32_H
#define MODBUSINT32_H

#include "modbusitemintbase.h"

// A signed 32-bit value in two registers, the high one first.
class DORRIKBUS_EXPORT ModbusInt32 : public ModbusItemIntBase
{
    Q_OBJECT
    Q_PROPERTY(qint32 value READ value WRITE setValue NOTIFY valueChanged)

public:
    explicit ModbusInt32(QObject *parent = nullptr);
    explicit ModbusInt32(quint32 address, QObject *parent = nullptr);

    qint32 value() const { return m_value; }
    void setValue(qint32 value);

    QString formatValue() const override;
    // Text in the radix `base`; text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(qint32 value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(qint32 value, bool encode);

    qint32 m_value = 0;
};

#endif
