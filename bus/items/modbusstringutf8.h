#ifndef MODBUSSTRINGUTF8_H
#define MODBUSSTRINGUTF8_H

#include "modbuscustombytes.h"

// UTF-8 text in a block of registers. With adjustLength set the text is cut at a whole character
// and padded with adjustByte to exactly that many bytes; read back, it ends at the first zero.
class DORRIKBUS_EXPORT ModbusStringUtf8 : public ModbusCustomBytes
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int length READ length WRITE setLength NOTIFY lengthChanged)
    Q_PROPERTY(int adjustLength READ adjustLength WRITE setAdjustLength NOTIFY adjustLengthChanged)
    Q_PROPERTY(quint8 adjustByte READ adjustByte WRITE setAdjustByte NOTIFY adjustByteChanged)

public:
    explicit ModbusStringUtf8(QObject *parent = nullptr);

    QString value() const { return m_value; }
    void setValue(const QString &value);
    // The byte length: the item size.
    int length() const { return itemSize(); }
    void setLength(int length) { setItemSize(length); }
    int adjustLength() const { return m_adjustLength; }
    quint8 adjustByte() const { return m_adjustByte; }

    QString formatValue() const override { return value(); }
    void setFormatValue(const QString &text) override { setValue(text); }
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the text as setValue would store it; the item's value waits for the next read.
    virtual bool writeValue(const QString &value);
    // Applies from the next value on; the stored bytes stay as they are.
    void setAdjustLength(int length);
    void setAdjustByte(quint8 byte);

signals:
    void valueChanged();
    void lengthChanged();
    void adjustLengthChanged(int length);
    void adjustByteChanged(quint8 byte);

private:
    ModbusBytes encode(const QString &value) const;

    QString m_value;
    int m_adjustLength = -1;
    quint8 m_adjustByte = 0;
};

#endif
