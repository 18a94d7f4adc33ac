#ifndef INTERNALITEMMODEL_H
#define INTERNALITEMMODEL_H

#include "dorrikbus_global.h"
#include "roleitems.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>

class ModbusItemBase;

// The table model every register item publishes: it keeps no rows, asks its item for the row
// count and the values, and maps columns to the item's roles. The item announces every change of
// its rows through the do... operations; the model watches nothing by itself. GUI thread only.
class DORRIKBUS_EXPORT InternalItemModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit InternalItemModel(const ModbusItemBase &item, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // One column per distinct role id.
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // The display and edit roles are answered for the column's role, so that a plain table view
    // shows one role per column; every other role, as declarative delegates ask, whatever the
    // column.
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override { return m_roleNames; }

    // column must be below the number of roles.
    int getRoleByColumn(int column) const { return m_columnRoles.at(column); }
    // The lowest column with that role; -1 when none.
    int getColumnByRole(int role) const;
    // Emits no model signal: views attached already see the new columns at the next reset.
    void setRoles(const RoleItems &roles);

    void doItemsAboutToBeInserted(int first, int last);
    void doItemsInserted();
    void doItemsAboutToBeRemoved(int first, int last);
    void doItemsRemoved();
    void doItemsAboutToBeMoved(int first, int last, int destination);
    void doItemsMoved();
    void doAboutToBeReset();
    void doReset();
    void doItemsChanged(int first, int last);

private:
    const ModbusItemBase &m_item;
    QList<int> m_columnRoles;
    QList<QString> m_headers;
    QHash<int, QByteArray> m_roleNames;
};

#endif
