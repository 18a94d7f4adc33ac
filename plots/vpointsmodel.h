#ifndef VPOINTSMODEL_H
#define VPOINTSMODEL_H

#include <QAbstractListModel>
#include <QList>

// Where a chart's markers fall, for QML to draw them over the chart: one row per marker with its
// plot position, its pixel offsets and whether it lies inside the visible ranges.
class VPointsModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Roles {
        XValueRole = 0,
        YValueRole = 1,
        XOffsetRole = 2,
        YOffsetRole = 3,
        IndexRole = 4,
        IsVisibleRole = 5
    };

    struct Row
    {
        qreal xValue = 0;
        qreal yValue = 0;
        qreal xOffset = 0;
        qreal yOffset = 0;
        int index = 0;
        bool isVisible = false;
    };

    explicit VPointsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void appendRow(const Row &row);
    void setRow(int i, const Row &row);
    void clear();
    const QList<Row> &rows() const { return m_rows; }

private:
    QList<Row> m_rows;
};

#endif
