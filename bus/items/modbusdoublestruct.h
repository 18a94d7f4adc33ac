#ifndef MODBUSDOUBLESTRUCT_H
#define MODBUSDOUBLESTRUCT_H

#include "modbusdouble.h"

// The instrument's double struct: a big-endian signed 32-bit whole part, then a big-endian single
// holding the fraction (with the value's sign); the value is their sum. -2.5 is -2 and -0.5.
class DORRIKBUS_EXPORT ModbusDoubleStruct : public ModbusDouble
{
    Q_OBJECT

public:
    explicit ModbusDoubleStruct(QObject *parent = nullptr);
    explicit ModbusDoubleStruct(quint32 address, QObject *parent = nullptr);

    // Whether the value has a double-struct form: finite, its whole part within 32 bits.
    static bool fits(double value);

    // A value that does not fit is refused: nothing changes.
    void setValue(const double &value) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // A value that does not fit is refused: nothing is written (false).
    bool writeValue(const double &value) override;
};

#endif
