#ifndef SHIPSIZESMODEL_H
#define SHIPSIZESMODEL_H

#include "shipsizelist.h"

#include <QAbstractListModel>

// The ships still to place, one row per size.
class ShipSizesModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { SizeRole = 33, ShipsCountRole = 34 };

    explicit ShipSizesModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void setShipSizes(const ShipSizeList &sizes);
    void increaseShipSize(int size);
    void decreaseShipSize(int size);
    void removeRow(int row);
    void clear();
    ShipSizeList shipSizes() const { return ShipSizeList(m_pairs); }

private:
    int rowOf(int size) const;
    void setCount(int row, int count);
    void appendPair(const ShipSizeList::Pair &pair);
    void insertPair(int row, const ShipSizeList::Pair &pair);

    QList<ShipSizeList::Pair> m_pairs;
};

#endif // SHIPSIZESMODEL_H
