#include "vcurve.h"

#include "vplotbase.h"

VCurve::VCurve(QObject *parent) : QObject(parent) {}

void VCurve::setModel(QObject *model)
{
    if (model == m_model.data())
        return;
    if (m_model)
        disconnect(m_model.data(), nullptr, this, nullptr);
    auto *itemModel = qobject_cast<QAbstractItemModel *>(model);
    if (model && !itemModel)
        qWarning("VCurve: the model must be an item model; the curve is left without one");
    // Keeping a previous model that the curve no longer follows would show stale points and
    // read it after it is gone: anything but an item model leaves the curve without a model.
    attach(itemModel);
}

void VCurve::attach(QAbstractItemModel *model)
{
    dropCache();
    m_model = model;
    if (model) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &VCurve::onRowsInserted);
        connect(model, &QAbstractItemModel::rowsMoved, this, &VCurve::onRowsMoved);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &VCurve::onRowsRemoved);
        connect(model, &QAbstractItemModel::modelReset, this, &VCurve::onModelReset);
        // Values changed in place (a trend's last sample corrected, say) are new points too.
        connect(model, &QAbstractItemModel::dataChanged, this, &VCurve::onDataChanged);
        connect(model, &QObject::destroyed, this, [this] { attach(nullptr); });
    }
    resolveRoles();
    updateEmpty();
    emit modelChanged();
    emit pointsChanged();
    emit countChanged();
    emit needRepaint();
}

void VCurve::setXColumn(int column)
{
    m_xColumn = column;
    dropCache();
    emit needRepaint();
    emit xColumnChanged();
}

void VCurve::setYColumn(int column)
{
    m_yColumn = column;
    dropCache();
    emit needRepaint();
    emit yColumnChanged();
}

void VCurve::setXRole(const QString &role)
{
    if (m_xRole == role)
        return;
    m_xRole = role;
    resolveRoles();
    emit needRepaint();
    emit xRoleChanged();
}

void VCurve::setYRole(const QString &role)
{
    if (m_yRole == role)
        return;
    m_yRole = role;
    resolveRoles();
    emit needRepaint();
    emit yRoleChanged();
}

void VCurve::setColor(const QColor &color)
{
    if (m_pen.color() == color)
        return;
    m_pen.setColor(color);
    emit needRepaint();
    emit colorChanged();
}

int VCurve::count() const
{
    return m_model ? m_model->rowCount() : 0;
}

void VCurve::setXAutoCalc(bool xAutoCalc)
{
    if (m_xAutoCalc == xAutoCalc)
        return;
    m_xAutoCalc = xAutoCalc;
    dropCache();
    emit pointsChanged();
    emit needRepaint();
    emit xAutoCalcChanged();
}

void VCurve::setEmpty(bool empty)
{
    if (m_empty == empty)
        return;
    m_empty = empty;
    emit emptyChanged(empty);
}

QVector<QPointF> VCurve::points(const VPlotBase &plot) const
{
    if (!m_model)
        return {};
    if (m_cachePlot != &plot || m_cacheZeroTime != plot.zeroTime() ||
        m_cacheSecondWeight != plot.secondWeight()) {
        m_cache.clear();
        m_cachePlot = &plot;
        m_cacheZeroTime = plot.zeroTime();
        m_cacheSecondWeight = plot.secondWeight();
    }
    const int rows = m_model->rowCount();
    // Rows gone without a signal the cache heard of: read them all again.
    if (m_cache.size() > rows)
        m_cache.clear();
    if (m_cache.size() < rows) {
        m_cache.reserve(rows);
        const bool columns = !m_xAutoCalc && m_model->columnCount() >= 2;
        const int yColumn = columns || m_xAutoCalc ? m_yColumn : 0;
        for (int r = int(m_cache.size()); r < rows; ++r)
            m_cache.append(pointAt(plot, r, columns, yColumn));
    }
    return m_cache;
}

QPointF VCurve::pointAt(const VPlotBase &plot, int row, bool columns, int yColumn) const
{
    const qreal y = plot.valueToAxe(m_model->data(m_model->index(row, yColumn), m_yRoleNumber));
    const qreal x =
        columns ? plot.valueToAxe(m_model->data(m_model->index(row, m_xColumn), m_xRoleNumber))
                : qreal(row);
    return QPointF(x, y);
}

void VCurve::dropCache()
{
    m_cache.clear();
    m_cachePlot = nullptr;
}

void VCurve::classBegin()
{
    m_complete = false;
}

void VCurve::componentComplete()
{
    m_complete = true;
    resolveRoles();
}

void VCurve::resolveRoles()
{
    dropCache();
    if (!m_complete || !m_model)
        return;
    m_xRoleNumber = Qt::DisplayRole;
    m_yRoleNumber = Qt::DisplayRole;
    const QHash<int, QByteArray> names = m_model->roleNames();
    // A name the model does not know reads the display role.
    if (!m_xRole.isEmpty())
        m_xRoleNumber = names.key(m_xRole.toLatin1(), Qt::DisplayRole);
    if (!m_yRole.isEmpty())
        m_yRoleNumber = names.key(m_yRole.toLatin1(), Qt::DisplayRole);
}

void VCurve::updateEmpty()
{
    setEmpty(!m_model || m_model->rowCount() < 2);
}

void VCurve::rowsChanged()
{
    emit pointsChanged();
    emit countChanged();
    emit needRepaint();
}

void VCurve::onRowsInserted(const QModelIndex &parent, int first, int)
{
    // Rows after the last one read leave the points read valid; any others shift them.
    if (!parent.isValid() && first < m_cache.size())
        dropCache();
    updateEmpty();
    if (!parent.isValid())
        rowsChanged();
}

void VCurve::onRowsRemoved(const QModelIndex &parent, int, int)
{
    if (!parent.isValid())
        dropCache();
    updateEmpty();
    if (!parent.isValid())
        rowsChanged();
}

void VCurve::onDataChanged(const QModelIndex &topLeft)
{
    if (topLeft.parent().isValid())
        return;
    dropCache();
    emit pointsChanged();
    emit needRepaint();
}

void VCurve::onModelReset()
{
    dropCache();
    updateEmpty();
    rowsChanged();
}

void VCurve::onRowsMoved(const QModelIndex &sourceParent, int, int,
                         const QModelIndex &destinationParent, int)
{
    const bool fromTop = !sourceParent.isValid();
    const bool toTop = !destinationParent.isValid();
    if (fromTop || toTop)
        dropCache();
    if (fromTop && toTop) {
        emit pointsChanged();
        emit needRepaint();
    } else if (fromTop || toTop) {
        // Rows leaving or joining the top level change the points like a removal or insertion.
        updateEmpty();
        rowsChanged();
    }
}
