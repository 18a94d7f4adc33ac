#ifndef MODBUSCUSTOMBYTES_H
#define MODBUSCUSTOMBYTES_H

#include "modbusitemaddressedbase.h"

// A block of registers of any size at a logical address, shown as hexadecimal text. The device
// model uses it as a group read in one request, with typed items inside it taking their values
// from slices of its bytes.
class DORRIKBUS_EXPORT ModbusCustomBytes : public ModbusItemAddressedBase
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int itemSize READ itemSize WRITE setItemSize NOTIFY itemSizeChanged)

public:
    explicit ModbusCustomBytes(QObject *parent = nullptr);
    ModbusCustomBytes(int bytesPerElement, QObject *parent = nullptr);

    // The text exactly as last set, or the bytes in lower-case hexadecimal after a read.
    QString value() const { return m_value; }
    // The element size in bytes: the base's request byte count.
    int itemSize() const { return requestItemBytesCount(); }

    QString formatValue() const override { return value(); }
    void setFormatValue(const QString &text) override { setValue(text); }
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Characters that are not hexadecimal digits are skipped.
    void setValue(const QString &value);
    // A negative size is ignored. Derived items may refuse any change.
    virtual void setItemSize(int size);

signals:
    void valueChanged(const QString &value);
    void itemSizeChanged(int size);

private:
    QString m_value;
};

#endif
