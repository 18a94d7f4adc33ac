#ifndef SHOTSMODEL_H
#define SHOTSMODEL_H

#include "shipinfo.h"

#include <QAbstractListModel>

// Cells, each at most once, in the order they arrived.
class ShotsModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Roles { CellXRole = 33, CellYRole = 34 };

    explicit ShotsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Kept rows keep their places: only what left is removed and only what is new appended.
    void setCells(const CellList &cells);
    void appendCell(const QPoint &cell);
    void removeCell(const QPoint &cell);
    int indexOf(const QPoint &cell) const { return m_cells.indexOf(cell); }
    void clear();
    const CellList &cells() const { return m_cells; }

private:
    CellList m_cells;
};

#endif // SHOTSMODEL_H
