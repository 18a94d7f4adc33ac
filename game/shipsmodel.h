#ifndef SHIPSMODEL_H
#define SHIPSMODEL_H

#include "shipinfo.h"

#include <QAbstractListModel>

// Ships in arrival order; a ship whose state changed counts as a new one.
class ShipsModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { SizeRole = 33, CellXRole = 34, CellYRole = 35, OrientationRole = 36 };

    explicit ShipsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void setShips(const ShipList &ships);
    void appendShip(const ShipInfo &ship);
    void removeRow(int row);
    void removeShip(const ShipInfo &ship);
    void setShip(int row, const ShipInfo &ship);
    void clear();
    const ShipList &ships() const { return m_ships; }

private:
    ShipList m_ships;
};

#endif // SHIPSMODEL_H
