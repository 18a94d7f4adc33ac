#ifndef MODBUSITEMADDRESSEDBASE_H
#define MODBUSITEMADDRESSEDBASE_H

#include "modbusitembase.h"

// A register item at a logical (Modicon) address: the address decides whether the item may be
// written, how its bytes go on the wire and which read results belong to it.
class DORRIKBUS_EXPORT ModbusItemAddressedBase : public ModbusItemBase
{
    Q_OBJECT
    Q_CLASSINFO("ExportProp", "address")
    Q_PROPERTY(quint32 address READ address WRITE setAddress NOTIFY addressChanged)

public:
    // bytesPerElement: the size of one element; the address is the first holding register.
    explicit ModbusItemAddressedBase(int bytesPerElement, QObject *parent = nullptr);
    ModbusItemAddressedBase(int bytesPerElement, quint32 address, QObject *parent = nullptr);

    quint32 address() const { return m_address; }
    void setAddress(quint32 address);

    ModbusBytesArray getModbusBytes() const override;
    // Register addresses carry whole words: an odd element gets a zero byte in front.
    ModbusBytesArray getModbusBytes(const ModbusBytesArray &elements) const override;
    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    int requestItemModbusBytesCount() const override;
    // Writes are always taken; a read only when it was made for the current address and size.
    bool checkValidResultTask(ModbusTask *task) override;

signals:
    void addressChanged();

private:
    bool wordAddress() const;

    quint32 m_address = 400001;
};

#endif
