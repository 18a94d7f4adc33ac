#ifndef MODBUSSTRINGANSI_H
#define MODBUSSTRINGANSI_H

#include "modbusitemintbase.h"

// 8-bit (Latin-1) text in registers: one character per register (its low-order byte) or two.
// length counts characters; the item covers 2 x length bytes, or length bytes two to a register.
class DORRIKBUS_EXPORT ModbusStringAnsi : public ModbusItemIntBase
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(bool oneCharPerRegister READ oneCharPerRegister WRITE setOneCharPerRegister NOTIFY
                   oneCharPerRegisterChanged)
    Q_PROPERTY(int length READ length WRITE setLength NOTIFY lengthChanged)

public:
    explicit ModbusStringAnsi(QObject *parent = nullptr);
    ModbusStringAnsi(quint32 address, QObject *parent = nullptr);

    QString value() const { return m_value; }
    // Characters without an 8-bit code are stored as '?'. The text is neither cut nor padded.
    void setValue(const QString &value);
    bool oneCharPerRegister() const { return m_oneCharPerRegister; }
    // Re-encodes the current text in the new layout.
    void setOneCharPerRegister(bool on);
    int length() const { return m_length; }
    // Values below 1 are ignored.
    void setLength(int length);
    void updateRequestItemBytesCount();

    QString formatValue() const override { return value(); }
    void setFormatValue(const QString &text) override { setValue(text); }
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the text as setValue would store it; the item's value waits for the next read.
    virtual bool writeValue(const QString &value);

signals:
    void valueChanged();
    void oneCharPerRegisterChanged();
    void lengthChanged();

private:
    QString m_value;
    bool m_oneCharPerRegister = true;
    int m_length = 1;
};

#endif
