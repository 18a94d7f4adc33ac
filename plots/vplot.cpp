#include "vplot.h"

#include "plotrenderevent.h"
#include "vbaselinefigure.h"
#include "vgridvalues.h"
#include "vplotrenderer.h"
#include "vplotthreadengine.h"
#include "vrenderresultdata.h"
#include "vrendersourcedata.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWheelEvent>

#include <cmath>

namespace {

bool usableAxis(qreal low, qreal high, qreal size)
{
    const qreal extent = high - low;
    return std::isfinite(extent) && extent != 0 && std::isfinite(size) && size > 0;
}

} // namespace

VPlot::VPlot(QQuickItem *parent)
    : VPlotBase(parent), m_gridPointsH(new GridValuesModel(this)),
      m_gridPointsV(new GridValuesModel(this)), m_markersModel(new VPointsModel(this)),
      m_axisPen(QColor(40, 40, 40, 255), 0), m_gridPenH(QColor(0, 0, 0, 100), 0),
      m_gridPenV(QColor(0, 0, 0, 100), 0)
{
    // A width of 0 alone is cosmetic in Qt 6 only by default; say it, as the scale is not 1.
    m_axisPen.setCosmetic(true);
    setFlag(ItemHasContents, true);
    setAcceptedMouseButtons(Qt::LeftButton);
    m_engine = new VPlotThreadEngine(this);
    connectEngine();
}

VPlot::~VPlot()
{
    // Joins the render thread while the item is still whole.
    delete m_engine;
    m_engine = nullptr;
    for (VCurve *curve : std::as_const(m_curves))
        disconnect(curve, nullptr, this, nullptr);
    for (VFigure *figure : std::as_const(m_figures))
        disconnect(figure, nullptr, this, nullptr);
    for (VMarker *marker : std::as_const(m_markers))
        disconnect(marker, nullptr, this, nullptr);
}

// Lists -------------------------------------------------------------------------------------------

QQmlListProperty<VCurve> VPlot::curves()
{
    return QQmlListProperty<VCurve>(this, nullptr, &VPlot::appendCurve, &VPlot::curveCount,
                                    &VPlot::curveAt, &VPlot::clearCurves, &VPlot::replaceCurve,
                                    &VPlot::removeLastCurve);
}

QQmlListProperty<VFigure> VPlot::figures()
{
    return QQmlListProperty<VFigure>(this, nullptr, &VPlot::appendFigure, &VPlot::figureCount,
                                     &VPlot::figureAt, &VPlot::clearFigures, &VPlot::replaceFigure,
                                     &VPlot::removeLastFigure);
}

QQmlListProperty<VMarker> VPlot::markers()
{
    return QQmlListProperty<VMarker>(this, nullptr, &VPlot::appendMarker, &VPlot::markerCount,
                                     &VPlot::markerAt, &VPlot::clearMarkers, &VPlot::replaceMarker,
                                     &VPlot::removeLastMarker);
}

void VPlot::releaseLater(const QList<QObject *> &objects)
{
    QList<QPointer<QObject>> guarded;
    for (QObject *object : objects)
        guarded.append(object);
    // Qt 6 assigns a whole list from QML by clear() and appending the new entries, often the
    // same objects: deleting them at once would hand it dangling pointers. They go once control
    // is back in the event loop, unless they were put back.
    QMetaObject::invokeMethod(
        this,
        [this, guarded] {
            for (const QPointer<QObject> &object : guarded) {
                QObject *o = object.data();
                if (!o || m_curves.contains(o) || m_figures.contains(o) || m_markers.contains(o))
                    continue;
                delete o;
            }
        },
        Qt::QueuedConnection);
}

void VPlot::adoptCurve(VCurve *curve)
{
    if (!curve->parent())
        curve->setParent(this);
    connect(curve, &VCurve::needRepaint, this, &VPlot::onNeedRepaint);
    connect(curve, &QObject::destroyed, this, [this, curve] {
        m_curves.removeAll(curve);
        emit curvesChanged();
        askForPicture();
    });
}

void VPlot::appendCurve(QQmlListProperty<VCurve> *list, VCurve *curve)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (!curve)
        return;
    plot->m_curves.append(curve);
    plot->adoptCurve(curve);
    emit plot->curvesChanged();
    plot->askForPicture();
}

qsizetype VPlot::curveCount(QQmlListProperty<VCurve> *list)
{
    return static_cast<VPlot *>(list->object)->m_curves.size();
}

VCurve *VPlot::curveAt(QQmlListProperty<VCurve> *list, qsizetype index)
{
    return static_cast<VPlot *>(list->object)->m_curves.value(index);
}

void VPlot::clearCurves(QQmlListProperty<VCurve> *list)
{
    auto *plot = static_cast<VPlot *>(list->object);
    QList<QObject *> cleared;
    for (VCurve *curve : std::as_const(plot->m_curves)) {
        disconnect(curve, nullptr, plot, nullptr);
        cleared.append(curve);
    }
    plot->m_curves.clear();
    emit plot->curvesChanged();
    plot->askForPicture();
    plot->releaseLater(cleared);
}

void VPlot::replaceCurve(QQmlListProperty<VCurve> *list, qsizetype index, VCurve *curve)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (!curve || index < 0 || index >= plot->m_curves.size())
        return;
    disconnect(plot->m_curves.at(index), nullptr, plot, nullptr);
    plot->m_curves[index] = curve;
    plot->adoptCurve(curve);
    emit plot->curvesChanged();
    plot->askForPicture();
}

void VPlot::removeLastCurve(QQmlListProperty<VCurve> *list)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (plot->m_curves.isEmpty())
        return;
    disconnect(plot->m_curves.takeLast(), nullptr, plot, nullptr);
    emit plot->curvesChanged();
    plot->askForPicture();
}

void VPlot::adoptFigure(VFigure *figure)
{
    if (!figure->parent())
        figure->setParent(this);
    if (auto *line = qobject_cast<VBaseLineFigure *>(figure))
        connect(line, &VBaseLineFigure::needRepaint, this, &VPlot::onNeedRepaint);
    connect(figure, &QObject::destroyed, this, [this, figure] {
        m_figures.removeAll(figure);
        emit figuresChanged();
        askForPicture();
    });
}

void VPlot::appendFigure(QQmlListProperty<VFigure> *list, VFigure *figure)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (!figure)
        return;
    plot->m_figures.append(figure);
    plot->adoptFigure(figure);
    emit plot->figuresChanged();
    plot->askForPicture();
}

qsizetype VPlot::figureCount(QQmlListProperty<VFigure> *list)
{
    return static_cast<VPlot *>(list->object)->m_figures.size();
}

VFigure *VPlot::figureAt(QQmlListProperty<VFigure> *list, qsizetype index)
{
    return static_cast<VPlot *>(list->object)->m_figures.value(index);
}

void VPlot::clearFigures(QQmlListProperty<VFigure> *list)
{
    auto *plot = static_cast<VPlot *>(list->object);
    QList<QObject *> cleared;
    for (VFigure *figure : std::as_const(plot->m_figures)) {
        disconnect(figure, nullptr, plot, nullptr);
        cleared.append(figure);
    }
    plot->m_figures.clear();
    emit plot->figuresChanged();
    plot->askForPicture();
    plot->releaseLater(cleared);
}

void VPlot::replaceFigure(QQmlListProperty<VFigure> *list, qsizetype index, VFigure *figure)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (!figure || index < 0 || index >= plot->m_figures.size())
        return;
    disconnect(plot->m_figures.at(index), nullptr, plot, nullptr);
    plot->m_figures[index] = figure;
    plot->adoptFigure(figure);
    emit plot->figuresChanged();
    plot->askForPicture();
}

void VPlot::removeLastFigure(QQmlListProperty<VFigure> *list)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (plot->m_figures.isEmpty())
        return;
    disconnect(plot->m_figures.takeLast(), nullptr, plot, nullptr);
    emit plot->figuresChanged();
    plot->askForPicture();
}

void VPlot::adoptMarker(VMarker *marker)
{
    if (!marker->parent())
        marker->setParent(this);
    connect(marker, &VMarker::positionChanged, this, &VPlot::onMarkerChanged);
    connect(marker, &QObject::destroyed, this, [this, marker] {
        m_markers.removeAll(marker);
        emit markersChanged();
        rebuildMarkersModel();
    });
}

void VPlot::appendMarker(QQmlListProperty<VMarker> *list, VMarker *marker)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (!marker)
        return;
    plot->m_markers.append(marker);
    plot->adoptMarker(marker);
    emit plot->markersChanged();
    plot->m_markersModel->appendRow(plot->markerRow(int(plot->m_markers.size()) - 1));
}

qsizetype VPlot::markerCount(QQmlListProperty<VMarker> *list)
{
    return static_cast<VPlot *>(list->object)->m_markers.size();
}

VMarker *VPlot::markerAt(QQmlListProperty<VMarker> *list, qsizetype index)
{
    return static_cast<VPlot *>(list->object)->m_markers.value(index);
}

void VPlot::clearMarkers(QQmlListProperty<VMarker> *list)
{
    auto *plot = static_cast<VPlot *>(list->object);
    QList<QObject *> cleared;
    for (VMarker *marker : std::as_const(plot->m_markers)) {
        disconnect(marker, nullptr, plot, nullptr);
        cleared.append(marker);
    }
    plot->m_markers.clear();
    emit plot->markersChanged();
    plot->m_markersModel->clear();
    plot->releaseLater(cleared);
}

void VPlot::replaceMarker(QQmlListProperty<VMarker> *list, qsizetype index, VMarker *marker)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (!marker || index < 0 || index >= plot->m_markers.size())
        return;
    disconnect(plot->m_markers.at(index), nullptr, plot, nullptr);
    plot->m_markers[index] = marker;
    plot->adoptMarker(marker);
    emit plot->markersChanged();
    plot->m_markersModel->setRow(int(index), plot->markerRow(int(index)));
}

void VPlot::removeLastMarker(QQmlListProperty<VMarker> *list)
{
    auto *plot = static_cast<VPlot *>(list->object);
    if (plot->m_markers.isEmpty())
        return;
    disconnect(plot->m_markers.takeLast(), nullptr, plot, nullptr);
    emit plot->markersChanged();
    plot->rebuildMarkersModel();
}

// Properties --------------------------------------------------------------------------------------

void VPlot::setXMin(qreal value)
{
    if (value == m_xMin)
        return;
    if (m_minXWidth > 0 && m_xMax - value < m_minXWidth)
        value = m_xMax - m_minXWidth;
    if (value == m_xMin)
        return;
    m_xMin = value;
    updateScaleCoeffs();
    updateCenters();
    updateGrid();
    refreshMarkers();
    askForPicture();
    emit xMinChanged();
}

void VPlot::setXMax(qreal value)
{
    if (value == m_xMax)
        return;
    if (m_minXWidth > 0 && value - m_xMin < m_minXWidth)
        value = m_xMin + m_minXWidth;
    if (value == m_xMax)
        return;
    m_xMax = value;
    updateScaleCoeffs();
    updateCenters();
    updateGrid();
    refreshMarkers();
    askForPicture();
    emit xMaxChanged();
}

void VPlot::setYMin(qreal value)
{
    if (value == m_yMin)
        return;
    if (m_minYHeight > 0 && m_yMax - value < m_minYHeight)
        value = m_yMax - m_minYHeight;
    if (value == m_yMin)
        return;
    m_yMin = value;
    updateScaleCoeffs();
    updateCenters();
    updateGrid();
    refreshMarkers();
    askForPicture();
    emit yMinChanged();
}

void VPlot::setYMax(qreal value)
{
    if (value == m_yMax)
        return;
    if (m_minYHeight > 0 && value - m_yMin < m_minYHeight)
        value = m_yMin + m_minYHeight;
    if (value == m_yMax)
        return;
    m_yMax = value;
    updateScaleCoeffs();
    updateCenters();
    updateGrid();
    refreshMarkers();
    askForPicture();
    emit yMaxChanged();
}

void VPlot::setXAxis(bool on)
{
    if (m_xAxis == on)
        return;
    m_xAxis = on;
    askForPicture();
    emit xAxisChanged();
}

void VPlot::setYAxis(bool on)
{
    if (m_yAxis == on)
        return;
    m_yAxis = on;
    askForPicture();
    emit yAxisChanged();
}

void VPlot::setAxisColor(const QColor &color)
{
    if (m_axisPen.color() == color)
        return;
    m_axisPen.setColor(color);
    askForPicture();
    emit axisColorChanged();
}

void VPlot::setAntialiasing(bool on)
{
    if (m_antialiasing == on)
        return;
    m_antialiasing = on;
    askForPicture();
    emit antialiasingChanged();
}

void VPlot::setInteractive(bool on)
{
    if (m_interactive == on)
        return;
    m_interactive = on;
    setAcceptedMouseButtons(on ? Qt::LeftButton : Qt::NoButton);
    if (!on)
        m_dragging = false;
    emit interactiveChanged();
}

void VPlot::setZoomSpeed(qreal speed)
{
    if (m_zoomSpeed == speed)
        return;
    m_zoomSpeed = speed;
    emit zoomSpeedChanged();
}

void VPlot::setGridStepH(qreal step)
{
    if (m_gridStepH == step)
        return;
    m_gridStepH = step;
    updateGrid();
    askForPicture();
    emit gridStepHChanged();
}

void VPlot::setGridStepV(qreal step)
{
    if (m_gridStepV == step)
        return;
    m_gridStepV = step;
    updateGrid();
    askForPicture();
    emit gridStepVChanged();
}

void VPlot::setGridH(GridMode mode)
{
    if (m_gridH == mode)
        return;
    m_gridH = mode;
    updateGrid();
    askForPicture();
    emit gridHChanged(mode);
}

void VPlot::setGridV(GridMode mode)
{
    if (m_gridV == mode)
        return;
    m_gridV = mode;
    updateGrid();
    askForPicture();
    emit gridVChanged(mode);
}

void VPlot::setAlignH(HAlignMode mode)
{
    if (m_alignH == mode)
        return;
    m_alignH = mode;
    emit alignHChanged(mode);
}

void VPlot::setAlignV(VAlignMode mode)
{
    if (m_alignV == mode)
        return;
    m_alignV = mode;
    emit alignVChanged(mode);
}

void VPlot::setScaleV(VScaleMode mode)
{
    if (m_scaleV == mode)
        return;
    m_scaleV = mode;
    askForPicture();
    emit scaleVChanged(mode);
}

void VPlot::setScaleH(HScaleMode mode)
{
    if (m_scaleH == mode)
        return;
    m_scaleH = mode;
    askForPicture();
    emit scaleHChanged(mode);
}

void VPlot::setScaleHPercents(qreal percents)
{
    if (!(percents > 0) || m_scaleHPercents == percents)
        return;
    m_scaleHPercents = percents;
    askForPicture();
    emit scaleHPercentsChanged(percents);
}

void VPlot::setScaleVPercents(qreal percents)
{
    if (!(percents > 0) || m_scaleVPercents == percents)
        return;
    m_scaleVPercents = percents;
    askForPicture();
    emit scaleVPercentsChanged(percents);
}

void VPlot::setMinGridSizeH(qreal size)
{
    if (!(size > 0) || m_minGridSizeH == size)
        return;
    m_minGridSizeH = size;
    updateGrid();
    askForPicture();
    emit minGridSizeHChanged(size);
}

void VPlot::setMinGridSizeV(qreal size)
{
    if (!(size > 0) || m_minGridSizeV == size)
        return;
    m_minGridSizeV = size;
    updateGrid();
    askForPicture();
    emit minGridSizeVChanged(size);
}

void VPlot::setMinXWidth(qreal width)
{
    if (m_minXWidth == width)
        return;
    m_minXWidth = width;
    if (width > 0 && width > m_xMax - m_xMin)
        setXMax(m_xMin + width);
    emit minXWidthChanged(width);
}

void VPlot::setMinYHeight(qreal height)
{
    if (m_minYHeight == height)
        return;
    m_minYHeight = height;
    if (height > 0 && height > m_yMax - m_yMin)
        setYMax(m_yMin + height);
    emit minYHeightChanged(height);
}

void VPlot::setDragGridV(bool on)
{
    if (m_drawGridV == on)
        return;
    m_drawGridV = on;
    emit drawGridVChanged(on);
}

void VPlot::setDragGridH(bool on)
{
    if (m_drawGridH == on)
        return;
    m_drawGridH = on;
    emit drawGridHChanged(on);
}

void VPlot::setGridColorH(const QColor &color)
{
    if (m_gridPenH.color() == color)
        return;
    m_gridPenH.setColor(color);
    emit gridColorHChanged(color);
}

void VPlot::setGridColorV(const QColor &color)
{
    if (m_gridPenV.color() == color)
        return;
    m_gridPenV.setColor(color);
    emit gridColorVChanged(color);
}

void VPlot::setIgnoreOutdatedData(bool on)
{
    if (m_ignoreOutdatedData == on)
        return;
    m_ignoreOutdatedData = on;
    emit ignoreOutdatedDataChanged(on);
}

void VPlot::setRanges(qreal xMin, qreal xMax, qreal yMin, qreal yMax, bool askForPicture)
{
    if (m_minXWidth > 0 && xMax - xMin < m_minXWidth)
        xMax = xMin + m_minXWidth;
    if (m_minYHeight > 0 && yMax - yMin < m_minYHeight)
        yMax = yMin + m_minYHeight;
    const bool xMinChange = xMin != m_xMin;
    const bool xMaxChange = xMax != m_xMax;
    const bool yMinChange = yMin != m_yMin;
    const bool yMaxChange = yMax != m_yMax;
    m_xMin = xMin;
    m_xMax = xMax;
    m_yMin = yMin;
    m_yMax = yMax;
    updateScaleCoeffs();
    updateCenters();
    if (xMinChange)
        emit xMinChanged();
    if (xMaxChange)
        emit xMaxChanged();
    if (yMinChange)
        emit yMinChanged();
    if (yMaxChange)
        emit yMaxChanged();
    if (!xMinChange && !xMaxChange && !yMinChange && !yMaxChange)
        return;
    updateGrid();
    refreshMarkers();
    if (askForPicture)
        this->askForPicture();
}

// Conversions -------------------------------------------------------------------------------------

bool VPlot::xUsable() const
{
    return usableAxis(m_xMin, m_xMax, width());
}

bool VPlot::yUsable() const
{
    return usableAxis(m_yMin, m_yMax, height());
}

qreal VPlot::plotToWidgetX(qreal x) const
{
    if (!xUsable())
        return 0;
    return width() / (m_xMax - m_xMin) * (x - m_xMin);
}

qreal VPlot::plotToWidgetY(qreal y) const
{
    if (!yUsable())
        return 0;
    return height() - height() / (m_yMax - m_yMin) * (y - m_yMin);
}

qreal VPlot::widgetToPlotX(qreal px) const
{
    if (!xUsable())
        return 0;
    return m_xMin + px * (m_xMax - m_xMin) / width();
}

qreal VPlot::widgetToPlotY(qreal py) const
{
    if (!yUsable())
        return 0;
    return m_yMin + py * (m_yMax - m_yMin) / height();
}

void VPlot::updateScaleCoeffs()
{
    // An empty range or size keeps the last coefficient rather than an endless one.
    if (xUsable()) {
        const qreal coeff = width() / (m_xMax - m_xMin);
        if (coeff != m_xScaleCoeff) {
            m_xScaleCoeff = coeff;
            emit xScaleCoeffChanged(coeff);
        }
    }
    if (yUsable()) {
        const qreal coeff = height() / (m_yMax - m_yMin);
        if (coeff != m_yScaleCoeff) {
            m_yScaleCoeff = coeff;
            emit yScaleCoeffChanged(coeff);
        }
    }
}

void VPlot::updateCenters()
{
    const qreal x = (m_xMin + m_xMax) / 2;
    if (x != m_xCenter) {
        m_xCenter = x;
        emit xCenterChanged(x);
    }
    const qreal y = (m_yMin + m_yMax) / 2;
    if (y != m_yCenter) {
        m_yCenter = y;
        emit yCenterChanged(y);
    }
}

// Grid and markers --------------------------------------------------------------------------------

void VPlot::updateGrid()
{
    QList<double> vertical;
    if (xUsable()) {
        switch (m_gridV) {
        case FixedStep:
            if (m_gridStepV < m_xMax - m_xMin)
                vertical = VGridValues::fixedStep(m_xMin, m_xMax, m_gridStepV);
            break;
        case IntellectualGrid:
            vertical = VGridValues::roundedStep(m_xMin, m_xMax, m_minGridSizeV, width());
            break;
        case FixedWidgetStep:
            if (width() > m_gridStepV) {
                vertical = VGridValues::fixedStep(0, width(), m_gridStepV);
                for (double &value : vertical)
                    value = widgetToPlotX(value);
            }
            break;
        }
    }
    m_gridPointsV->setCount(int(vertical.size()));
    for (int i = 0; i < vertical.size(); ++i) {
        const double value = vertical.at(i);
        m_gridPointsV->setRow(i, {i, value, plotToWidgetX(value), axeToTime(value)});
    }

    QList<double> horizontal;
    if (yUsable()) {
        switch (m_gridH) {
        case FixedStep:
            if (m_gridStepH < m_yMax - m_yMin)
                horizontal = VGridValues::fixedStep(m_yMin, m_yMax, m_gridStepH);
            break;
        case IntellectualGrid:
            horizontal = VGridValues::roundedStep(m_yMin, m_yMax, m_minGridSizeH, height());
            break;
        case FixedWidgetStep:
            // Pixel rows counted up from the bottom edge.
            if (height() > m_gridStepH) {
                horizontal = VGridValues::fixedStep(0, height(), m_gridStepH);
                for (double &value : horizontal)
                    value = widgetToPlotY(value);
            }
            break;
        }
    }
    m_gridPointsH->setCount(int(horizontal.size()));
    for (int i = 0; i < horizontal.size(); ++i) {
        const double value = horizontal.at(i);
        m_gridPointsH->setRow(i, {i, value, plotToWidgetY(value), QDateTime()});
    }
}

VPointsModel::Row VPlot::markerRow(int i) const
{
    const VMarker *marker = m_markers.at(i);
    VPointsModel::Row row;
    row.xValue = marker->x();
    row.yValue = marker->y();
    row.xOffset = plotToWidgetX(marker->x());
    row.yOffset = plotToWidgetY(marker->y());
    row.index = i;
    row.isVisible = QRectF(m_xMin, m_yMin, m_xMax - m_xMin, m_yMax - m_yMin)
                        .contains(QPointF(marker->x(), marker->y()));
    return row;
}

void VPlot::refreshMarkers()
{
    for (int i = 0; i < m_markers.size(); ++i)
        m_markersModel->setRow(i, markerRow(i));
}

void VPlot::rebuildMarkersModel()
{
    m_markersModel->clear();
    for (int i = 0; i < m_markers.size(); ++i)
        m_markersModel->appendRow(markerRow(i));
}

void VPlot::onMarkerChanged()
{
    const int i = int(m_markers.indexOf(qobject_cast<VMarker *>(sender())));
    if (i < 0)
        return;
    m_markersModel->setRow(i, markerRow(i));
}

// Pictures ----------------------------------------------------------------------------------------

void VPlot::askForPicture()
{
    QCoreApplication::postEvent(this, new PlotRenderEvent);
}

void VPlot::onNeedRepaint()
{
    askForPicture();
}

std::unique_ptr<VRenderSourceData> VPlot::makeSnapshot() const
{
    auto s = std::make_unique<VRenderSourceData>();
    s->curves.reserve(m_curves.size());
    for (const VCurve *curve : m_curves)
        s->curves.append({curve->pen(), curve->points(*this)});
    s->width = width();
    s->height = height();
    s->antialiasing = antialiasing();
    s->gridPenH = m_gridPenH;
    s->gridPenV = m_gridPenV;
    s->axisPen = m_axisPen;
    s->gridStepH = m_gridStepH;
    s->gridStepV = m_gridStepV;
    s->xAxis = m_xAxis;
    s->yAxis = m_yAxis;
    s->alignH = m_alignH;
    s->alignV = m_alignV;
    s->xMin = m_xMin;
    s->xMax = m_xMax;
    s->yMin = m_yMin;
    s->yMax = m_yMax;
    s->scaleH = m_scaleH;
    s->scaleV = m_scaleV;
    s->scaleHPercents = m_scaleHPercents;
    s->scaleVPercents = m_scaleVPercents;
    s->gridRowsH = m_gridPointsH->rows();
    s->gridRowsV = m_gridPointsV->rows();
    s->gridH = m_gridH;
    s->gridV = m_gridV;
    for (const VFigure *figure : m_figures)
        s->figures.push_back(figure->createRenderData());
    s->minXWidth = m_minXWidth;
    s->minYHeight = m_minYHeight;
    s->drawGridH = m_drawGridH;
    s->drawGridV = m_drawGridV;
    return s;
}

void VPlot::customEvent(QEvent *event)
{
    if (event->type() != PlotRenderEvent::Type) {
        VPlotBase::customEvent(event);
        return;
    }
    QCoreApplication::removePostedEvents(this, PlotRenderEvent::Type);
    event->accept();
    if (!isComponentComplete() || !m_engine)
        return;
    std::unique_ptr<VRenderSourceData> snapshot = makeSnapshot();
    snapshot->requestNumber = ++m_requestCounter;
    m_engine->render(std::move(snapshot));
}

void VPlot::onEngineRenderComplete()
{
    std::unique_ptr<VRenderResultData> result = m_engine->takeResult();
    // None means an earlier call took it: the picture on show is the latest.
    if (!result)
        return;
    if (m_ignoreOutdatedData && result->requestNumber() != m_requestCounter)
        return;
    // A picture of an empty range has nothing to stretch; the one on show stays.
    if (!VPlotRenderer::drawable(result->xMin(), result->xMax(), result->yMin(), result->yMax(), 1,
                                 1))
        return;
    m_result = std::move(result);
    setRanges(m_result->xMin(), m_result->xMax(), m_result->yMin(), m_result->yMax(), false);
    update();
}

void VPlot::setEngine(VPlotEngine *engine)
{
    if (engine == m_engine)
        return;
    delete m_engine;
    m_engine = engine;
    if (m_engine) {
        m_engine->setParent(this);
        connectEngine();
    }
}

void VPlot::connectEngine()
{
    connect(m_engine, &VPlotEngine::rendered, this, &VPlot::onEngineRenderComplete);
}

void VPlot::paint(QPainter *painter)
{
    if (!m_result || !VPlotRenderer::drawable(m_xMin, m_xMax, m_yMin, m_yMax, width(), height()))
        return;
    const VRenderResultData &r = *m_result;
    // The picture was drawn for its own ranges: move and stretch it onto the current ones.
    painter->save();
    painter->setClipRect(boundingRect());
    painter->translate((r.xMin() - m_xMin) * m_xScaleCoeff, -(r.yMax() - m_yMax) * m_yScaleCoeff);
    painter->scale((r.xMax() - r.xMin()) / (m_xMax - m_xMin),
                   (r.yMax() - r.yMin()) / (m_yMax - m_yMin));
    painter->drawImage(QPointF(0, 0), r.image());
    painter->restore();
}

// Item events -------------------------------------------------------------------------------------

void VPlot::componentComplete()
{
    VPlotBase::componentComplete();
    updateGrid();
    refreshMarkers();
    askForPicture();
}

void VPlot::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    VPlotBase::geometryChange(newGeometry, oldGeometry);
    updateScaleCoeffs();
    updateGrid();
    // Marker offsets are pixels too: without this they would point at the old size.
    refreshMarkers();
    askForPicture();
}

void VPlot::mousePressEvent(QMouseEvent *event)
{
    if (!m_interactive || event->buttons() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_dragXMin = m_xMin;
    m_dragXMax = m_xMax;
    m_dragYMin = m_yMin;
    m_dragYMax = m_yMax;
    m_dragStart = event->globalPosition();
    m_dragging = true;
    event->accept();
}

void VPlot::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        event->ignore();
        return;
    }
    const QPointF moved = event->globalPosition() - m_dragStart;
    const qreal dx = xUsable() ? moved.x() * (m_xMax - m_xMin) / width() : 0;
    const qreal dy = yUsable() ? moved.y() * (m_yMax - m_yMin) / height() : 0;
    setRanges(m_dragXMin - dx, m_dragXMax - dx, m_dragYMin + dy, m_dragYMax + dy, true);
    event->accept();
}

void VPlot::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    event->accept();
}

void VPlot::wheelEvent(QWheelEvent *event)
{
    if (!m_interactive || width() <= 0 || height() <= 0) {
        event->ignore();
        return;
    }
    const int steps = event->angleDelta().y() / 120;
    const qreal f = steps;
    const QPointF at = event->position();

    qreal xMin = m_xMin;
    qreal xMax = m_xMax;
    const qreal hx = at.x() / width();
    const qreal extentX = m_xMax - m_xMin;
    qreal dX = extentX * m_zoomSpeed * f;
    // Zoom in only as far as the smallest extent, about the same point.
    if (m_minXWidth > 0 && extentX - dX < m_minXWidth)
        dX = extentX <= m_minXWidth ? 0 : extentX - m_minXWidth;
    xMin += hx * dX;
    xMax -= (1 - hx) * dX;

    qreal yMin = m_yMin;
    qreal yMax = m_yMax;
    const qreal hy = (height() - at.y()) / height();
    const qreal extentY = m_yMax - m_yMin;
    qreal dY = extentY * m_zoomSpeed * f;
    if (m_minYHeight > 0 && extentY - dY < m_minYHeight)
        dY = extentY <= m_minYHeight ? 0 : extentY - m_minYHeight;
    yMin += hy * dY;
    yMax -= (1 - hy) * dY;

    setRanges(xMin, xMax, yMin, yMax, true);
    event->accept();
}
