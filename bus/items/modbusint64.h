#ifndef MODBUSINT64_H
#define MODBUSINT64_H

#include "modbusitemintbase.h"

// A signed 64-bit value in four registers, the highest one first.
class DORRIKBUS_EXPORT ModbusInt64 : public ModbusItemIntBase
{
    Q_OBJECT
    // QML numbers cannot hold every 64-bit value: the property is a variant.
    Q_PROPERTY(QVariant value READ valueQml WRITE setValueQml NOTIFY valueChanged)

public:
    explicit ModbusInt64(QObject *parent = nullptr);
    explicit ModbusInt64(quint32 address, QObject *parent = nullptr);

    qint64 value() const { return m_value; }
    void setValue(const qint64 &value);
    QVariant valueQml() const { return QVariant(qlonglong(m_value)); }
    // A variant that does not convert sets 0.
    void setValueQml(const QVariant &value);

    QString formatValue() const override;
    // Text in the radix `base`; text that does not parse changes nothing.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the value to the device; the item's own value follows at the next read.
    virtual bool writeValue(const qint64 &value);

signals:
    void valueChanged();

private:
    // Bytes that were decoded into the value stay as they are: encoding it again could change
    // them (and push them into a source).
    void assignValue(qint64 value, bool encode);

    qint64 m_value = 0;
};

#endif
