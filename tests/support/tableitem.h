#ifndef TABLEITEM_H
#define TABLEITEM_H

#include "modbusitembase.h"

#include <QList>
#include <QStringList>
#include <QVariant>

#include <functional>

// A register item whose table model serves the cells a test gives (date-times, floats, doubles,
// texts): one column per title, one row per element. It never talks to an instrument.
class TableItem : public ModbusItemBase
{
    Q_OBJECT

public:
    using Cell = std::function<QVariant(int row, int column)>;

    TableItem(const QStringList &titles, const QList<QVariantList> &rows,
              QObject *parent = nullptr);
    // Cells made on demand, for tables too large to hold.
    TableItem(const QStringList &titles, int rowCount, Cell cell, QObject *parent = nullptr);

    QString formatValue() const override { return QString(); }
    void setFormatValue(const QString &) override {}
    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType, int) override { return nullptr; }
    void updateValueFromBytes() override {}
    QVariant getTypedValue(const ModbusBytes &bytes) const override;
    using ModbusItemBase::data;
    QVariant data(const ModbusBytes &bytes, int role) const override;

private:
    void setUp(const QStringList &titles, int rowCount);

    Cell m_cell;
};

#endif
