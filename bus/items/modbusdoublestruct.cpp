#include "modbusdoublestruct.h"

#include <cmath>
#include <limits>

ModbusDoubleStruct::ModbusDoubleStruct(QObject *parent) : ModbusDouble(8, 400001, parent) {}

ModbusDoubleStruct::ModbusDoubleStruct(quint32 address, QObject *parent)
    : ModbusDouble(8, address, parent)
{}

bool ModbusDoubleStruct::fits(double value)
{
    // Beyond this the whole part has no 32-bit form: converting it would be undefined.
    if (!std::isfinite(value))
        return false;
    const double whole = std::trunc(value);
    return whole >= double(std::numeric_limits<qint32>::min()) &&
           whole <= double(std::numeric_limits<qint32>::max());
}

void ModbusDoubleStruct::setValue(const double &value)
{
    if (!fits(value))
        return;
    const ModbusBytes encoded = ModbusBytes::fromDoubleStruct(value);
    assignValue(value, &encoded);
}

void ModbusDoubleStruct::updateValueFromBytes()
{
    assignValue(bytes().toDoubleStruct(0), nullptr);
}

QVariant ModbusDoubleStruct::getTypedValue(const ModbusBytes &bytes) const
{
    return QVariant(bytes.toDoubleStruct(0));
}

bool ModbusDoubleStruct::writeValue(const double &value)
{
    return fits(value) && write(ModbusBytes::fromDoubleStruct(value));
}
