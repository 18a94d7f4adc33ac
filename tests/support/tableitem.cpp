#include "tableitem.h"

#include "modbusbytesarray.h"

TableItem::TableItem(const QStringList &titles, const QList<QVariantList> &rows, QObject *parent)
    : ModbusItemBase(4, parent), m_cell([rows](int row, int column) {
          return column < rows.at(row).size() ? rows.at(row).at(column) : QVariant();
      })
{
    setUp(titles, int(rows.size()));
}

TableItem::TableItem(const QStringList &titles, int rowCount, Cell cell, QObject *parent)
    : ModbusItemBase(4, parent), m_cell(std::move(cell))
{
    setUp(titles, rowCount);
}

void TableItem::setUp(const QStringList &titles, int rowCount)
{
    RoleItems roles;
    for (int i = 0; i < titles.size(); ++i)
        roles.append(RoleItem(i, "column" + QByteArray::number(i), titles.at(i)));
    setRoles(roles);
    // Each element holds its row number, which data() turns back into the row's cells.
    ModbusBytesArray elements;
    elements.reserve(rowCount);
    for (int r = 0; r < rowCount; ++r) {
        ModbusBytes bytes;
        bytes.appendUInt32(quint32(r));
        elements.append(bytes);
    }
    setTopBytesArray(elements, ExternalChange);
}

QVariant TableItem::getTypedValue(const ModbusBytes &bytes) const
{
    return bytes.toUInt32(0);
}

QVariant TableItem::data(const ModbusBytes &bytes, int role) const
{
    return m_cell(int(bytes.toUInt32(0)), role);
}
