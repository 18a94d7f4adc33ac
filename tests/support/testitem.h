#ifndef TESTITEM_H
#define TESTITEM_H

#include "modbusitembase.h"

// Register items for tests of tasks, the task server and the client, standing in for the typed
// items: their value is their bytes, shown as hexadecimal text.

// count elements of elementSize bytes at a logical address; makes addressed tasks.
class TestItem : public ModbusItemBase
{
    Q_OBJECT

public:
    explicit TestItem(quint32 address = 400001, int count = 1, int elementSize = 2,
                      QObject *parent = nullptr);

    quint32 address() const { return m_address; }
    void setAddress(quint32 address) { m_address = address; }
    int updateCount() const { return m_updateCount; }

    QString formatValue() const override;
    void setFormatValue(const QString &text) override;
    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    void updateValueFromBytes() override { ++m_updateCount; }
    bool checkValidResultTask(ModbusTask *task) override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

private:
    quint32 m_address;
    int m_updateCount = 0;
};

// A record range of a device file, two bytes per element; makes file tasks.
class TestFileItem : public TestItem
{
    Q_OBJECT

public:
    TestFileItem(quint8 file, quint16 offset, int count, int modbusBlockSize = 0,
                 QObject *parent = nullptr);

    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    bool checkValidResultTask(ModbusTask *task) override;

private:
    quint8 m_file;
    quint16 m_offset;
    int m_modbusBlockSize;
};

// The device report, one byte per element; makes report tasks and refuses writes (null task).
class TestReportItem : public TestItem
{
    Q_OBJECT

public:
    explicit TestReportItem(QObject *parent = nullptr);

    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    bool checkValidResultTask(ModbusTask *task) override;
};

#endif
