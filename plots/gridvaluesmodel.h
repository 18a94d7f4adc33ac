#ifndef GRIDVALUESMODEL_H
#define GRIDVALUESMODEL_H

#include <QAbstractListModel>
#include <QDateTime>
#include <QList>

// Where a chart's grid lines fall, for QML to draw labels beside them: one row per line, its
// value in plot units, its pixel offset and, for vertical lines, the date-time of the value.
class GridValuesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Roles { IndexRole = 32, ValueRole = 33, OffsetRole = 34, TimeRole = 35 };

    struct Row
    {
        int index = 0;
        qreal value = 0;
        qreal offset = 0;
        QDateTime time;

        bool operator==(const Row &other) const
        {
            return index == other.index && value == other.value && offset == other.offset &&
                   time == other.time;
        }
        bool operator!=(const Row &other) const { return !(*this == other); }
    };

    explicit GridValuesModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    void setCount(int count);
    void setRow(int i, const Row &row);
    const QList<Row> &rows() const { return m_rows; }

private:
    QList<Row> m_rows;
};

#endif
