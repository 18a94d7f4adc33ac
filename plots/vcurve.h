#ifndef VCURVE_H
#define VCURVE_H

#include <QAbstractItemModel>
#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QPen>
#include <QPointF>
#include <QPointer>
#include <QQmlParserStatus>
#include <QVector>

class VPlotBase;

// A polyline of a chart whose points come from an item model: a row per point, x and y from two
// columns or two roles, or x the row number. It draws nothing itself: the chart reads its points
// when it takes a snapshot for the renderer.
class VCurve : public QObject, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QObject *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(int xColumn READ xColumn WRITE setXColumn NOTIFY xColumnChanged)
    Q_PROPERTY(int yColumn READ yColumn WRITE setYColumn NOTIFY yColumnChanged)
    Q_PROPERTY(QString xRole READ xRole WRITE setXRole NOTIFY xRoleChanged)
    Q_PROPERTY(QString yRole READ yRole WRITE setYRole NOTIFY yRoleChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(bool xAutoCalc READ xAutoCalc WRITE setXAutoCalc NOTIFY xAutoCalcChanged)
    Q_PROPERTY(bool empty READ empty WRITE setEmpty NOTIFY emptyChanged)

public:
    explicit VCurve(QObject *parent = nullptr);

    QObject *model() const { return m_model.data(); }
    void setModel(QObject *model);
    int xColumn() const { return m_xColumn; }
    void setXColumn(int column);
    int yColumn() const { return m_yColumn; }
    void setYColumn(int column);
    QString xRole() const { return m_xRole; }
    void setXRole(const QString &role);
    QString yRole() const { return m_yRole; }
    void setYRole(const QString &role);
    QColor color() const { return m_pen.color(); }
    void setColor(const QColor &color);
    int count() const;
    bool xAutoCalc() const { return m_xAutoCalc; }
    void setXAutoCalc(bool xAutoCalc);
    bool empty() const { return m_empty; }

    const QPen &pen() const { return m_pen; }
    // The points in plot units, model values converted through the chart's time base.
    QVector<QPointF> points(const VPlotBase &plot) const;

    void classBegin() override;
    void componentComplete() override;

public slots:
    void setEmpty(bool empty);
    void onRowsInserted(const QModelIndex &parent, int first, int last);
    void onRowsRemoved(const QModelIndex &parent, int first, int last);
    void onModelReset();
    void onRowsMoved(const QModelIndex &sourceParent, int sourceStart, int sourceEnd,
                     const QModelIndex &destinationParent, int destinationRow);

signals:
    void modelChanged();
    void xColumnChanged();
    void yColumnChanged();
    void xRoleChanged();
    void yRoleChanged();
    void colorChanged();
    void needRepaint();
    void pointsChanged();
    void countChanged();
    void xAutoCalcChanged();
    void emptyChanged(bool empty);

private:
    void onDataChanged(const QModelIndex &topLeft);
    void resolveRoles();
    void updateEmpty();
    void rowsChanged();
    void attach(QAbstractItemModel *model);
    QPointF pointAt(const VPlotBase &plot, int row, bool columns, int yColumn) const;
    void dropCache();

    QPointer<QAbstractItemModel> m_model;
    int m_xColumn = 0;
    int m_yColumn = 1;
    QString m_xRole;
    QString m_yRole;
    // A default pen: one device pixel wide whatever the chart's scale.
    QPen m_pen{QColor(Qt::black), 0};
    bool m_xAutoCalc = false;
    bool m_empty = true;
    // An object made in C++ is complete at once; the declarative engine calls classBegin first.
    bool m_complete = true;
    int m_xRoleNumber = Qt::DisplayRole;
    int m_yRoleNumber = Qt::DisplayRole;
    // The points already read, for the chart and time base they were converted for: rows added
    // at the end are read alone, so a curve growing row by row is not read over and over.
    mutable QVector<QPointF> m_cache;
    mutable const VPlotBase *m_cachePlot = nullptr;
    mutable QDateTime m_cacheZeroTime;
    mutable qreal m_cacheSecondWeight = 0;
};

#endif
