#ifndef MODBUSITEMINTBASE_H
#define MODBUSITEMINTBASE_H

#include "modbusitemaddressedbase.h"

// An addressed item whose value is an integer, shown and parsed as text in the radix `base`.
class DORRIKBUS_EXPORT ModbusItemIntBase : public ModbusItemAddressedBase
{
    Q_OBJECT
    Q_PROPERTY(int base READ base WRITE setBase NOTIFY baseChanged)

public:
    explicit ModbusItemIntBase(int bytesPerElement, QObject *parent = nullptr);
    ModbusItemIntBase(int bytesPerElement, quint32 address, QObject *parent = nullptr);

    int base() const { return m_base; }
    // Not checked: Qt's number conversions get the radix as it is. The text shown changes at the
    // next value change.
    void setBase(int base);

signals:
    void baseChanged();

private:
    int m_base = 10;
};

#endif
