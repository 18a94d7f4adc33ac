#ifndef MODBUSITEMFLOATINGBASE_H
#define MODBUSITEMFLOATINGBASE_H

#include "modbusitemaddressedbase.h"

// An addressed item whose value is floating point, shown as text with Qt's number format
// character ('e', 'E', 'f', 'g', 'G') and precision.
class DORRIKBUS_EXPORT ModbusItemFloatingBase : public ModbusItemAddressedBase
{
    Q_OBJECT
    Q_PROPERTY(char format READ format WRITE setFormat NOTIFY formatChanged)
    Q_PROPERTY(int precision READ precision WRITE setPrecision NOTIFY precisionChanged)

public:
    explicit ModbusItemFloatingBase(int bytesPerElement, QObject *parent = nullptr);
    ModbusItemFloatingBase(int bytesPerElement, quint32 address, QObject *parent = nullptr);

    char format() const { return m_format; }
    // Neither setter checks its value; the text shown changes at the next value change.
    void setFormat(char format);
    int precision() const { return m_precision; }
    void setPrecision(int precision);

signals:
    void formatChanged();
    void precisionChanged();

private:
    char m_format = 'f';
    int m_precision = 3;
};

#endif
