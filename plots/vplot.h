#ifndef VPLOT_H
#define VPLOT_H

#include "gridvaluesmodel.h"
#include "vplotbase.h"
#include "vpointsmodel.h"

#include <QColor>
#include <QPen>
#include <QPointF>
#include <QQmlListProperty>

#include <memory>

#include "vcurve.h"
#include "vfigure.h"
#include "vmarker.h"

class VPlotEngine;
class VRenderResultData;
class VRenderSourceData;

// The declarative chart: curves from item models, line figures, markers, a grid and two axes.
// It does not paint the data itself. Each change that affects the picture asks for a new one; a
// render thread draws the whole chart for a snapshot of the item, and the item shows the latest
// picture, moved and stretched to its current ranges, until the next one arrives.
class VPlot : public VPlotBase
{
    Q_OBJECT
    Q_CLASSINFO("DefaultProperty", "curves")
    Q_PROPERTY(QQmlListProperty<VCurve> curves READ curves NOTIFY curvesChanged)
    Q_PROPERTY(QQmlListProperty<VFigure> figures READ figures NOTIFY figuresChanged)
    Q_PROPERTY(QQmlListProperty<VMarker> markers READ markers NOTIFY markersChanged)
    Q_PROPERTY(qreal xMin READ xMin WRITE setXMin NOTIFY xMinChanged)
    Q_PROPERTY(qreal xMax READ xMax WRITE setXMax NOTIFY xMaxChanged)
    Q_PROPERTY(qreal yMin READ yMin WRITE setYMin NOTIFY yMinChanged)
    Q_PROPERTY(qreal yMax READ yMax WRITE setYMax NOTIFY yMaxChanged)
    Q_PROPERTY(bool xAxis READ xAxis WRITE setXAxis NOTIFY xAxisChanged)
    Q_PROPERTY(bool yAxis READ yAxis WRITE setYAxis NOTIFY yAxisChanged)
    Q_PROPERTY(QColor axisColor READ axisColor WRITE setAxisColor NOTIFY axisColorChanged)
    Q_PROPERTY(bool antialiasing READ antialiasing WRITE setAntialiasing NOTIFY antialiasingChanged)
    Q_PROPERTY(bool interactive READ interactive WRITE setInteractive NOTIFY interactiveChanged)
    Q_PROPERTY(qreal zoomSpeed READ zoomSpeed WRITE setZoomSpeed NOTIFY zoomSpeedChanged)
    Q_PROPERTY(QDateTime xMinTime READ xMinTime WRITE setXMinTime NOTIFY xMinChanged)
    Q_PROPERTY(QDateTime xMaxTime READ xMaxTime WRITE setXMaxTime NOTIFY xMaxChanged)
    Q_PROPERTY(QDateTime yMinTime READ yMinTime WRITE setYMinTime NOTIFY yMinChanged)
    Q_PROPERTY(QDateTime yMaxTime READ yMaxTime WRITE setYMaxTime NOTIFY yMaxChanged)
    Q_PROPERTY(qreal gridStepH READ gridStepH WRITE setGridStepH NOTIFY gridStepHChanged)
    Q_PROPERTY(qreal gridStepV READ gridStepV WRITE setGridStepV NOTIFY gridStepVChanged)
    Q_PROPERTY(GridMode gridH READ gridH WRITE setGridH NOTIFY gridHChanged)
    Q_PROPERTY(GridMode gridV READ gridV WRITE setGridV NOTIFY gridVChanged)
    Q_PROPERTY(qreal xCenter READ xCenter NOTIFY xCenterChanged)
    Q_PROPERTY(qreal yCenter READ yCenter NOTIFY yCenterChanged)
    Q_PROPERTY(HAlignMode alignH READ alignH WRITE setAlignH NOTIFY alignHChanged)
    Q_PROPERTY(VAlignMode alignV READ alignV WRITE setAlignV NOTIFY alignVChanged)
    Q_PROPERTY(VScaleMode scaleV READ scaleV WRITE setScaleV NOTIFY scaleVChanged)
    Q_PROPERTY(HScaleMode scaleH READ scaleH WRITE setScaleH NOTIFY scaleHChanged)
    Q_PROPERTY(qreal scaleHPercents READ scaleHPercents WRITE setScaleHPercents NOTIFY
                   scaleHPercentsChanged)
    Q_PROPERTY(qreal scaleVPercents READ scaleVPercents WRITE setScaleVPercents NOTIFY
                   scaleVPercentsChanged)
    Q_PROPERTY(GridValuesModel *gridPointsH READ gridPointsH NOTIFY gridPointsHChanged)
    Q_PROPERTY(GridValuesModel *gridPointsV READ gridPointsV NOTIFY gridPointsVChanged)
    Q_PROPERTY(
        qreal minGridSizeH READ minGridSizeH WRITE setMinGridSizeH NOTIFY minGridSizeHChanged)
    Q_PROPERTY(
        qreal minGridSizeV READ minGridSizeV WRITE setMinGridSizeV NOTIFY minGridSizeVChanged)
    Q_PROPERTY(qreal minXWidth READ minXWidth WRITE setMinXWidth NOTIFY minXWidthChanged)
    Q_PROPERTY(qreal minYHeight READ minYHeight WRITE setMinYHeight NOTIFY minYHeightChanged)
    Q_PROPERTY(VPointsModel *markersModel READ markersModel NOTIFY markersModelChanged)
    Q_PROPERTY(qreal xScaleCoeff READ xScaleCoeff NOTIFY xScaleCoeffChanged)
    Q_PROPERTY(qreal yScaleCoeff READ yScaleCoeff NOTIFY yScaleCoeffChanged)
    Q_PROPERTY(bool drawGridV READ drawGridV WRITE setDragGridV NOTIFY drawGridVChanged)
    Q_PROPERTY(bool drawGridH READ drawGridH WRITE setDragGridH NOTIFY drawGridHChanged)
    Q_PROPERTY(QColor gridColorH READ gridColorH WRITE setGridColorH NOTIFY gridColorHChanged)
    Q_PROPERTY(QColor gridColorV READ gridColorV WRITE setGridColorV NOTIFY gridColorVChanged)
    Q_PROPERTY(bool ignoreOutdatedData READ ignoreOutdatedData WRITE setIgnoreOutdatedData NOTIFY
                   ignoreOutdatedDataChanged)

public:
    enum GridMode { FixedStep = 0, IntellectualGrid = 1, FixedWidgetStep = 2 };
    Q_ENUM(GridMode)
    enum HAlignMode { AlignHNone = 0, AlignHLeft = 1, AlignHRight = 2, AlignHCenter = 3 };
    Q_ENUM(HAlignMode)
    enum VAlignMode { AlignVNone = 0, AlignVTop = 1, AlignVBottom = 2, AlignVCenter = 3 };
    Q_ENUM(VAlignMode)
    enum HScaleMode { ScaleHNone = 0, ScaleHPeakToPeak = 1 };
    Q_ENUM(HScaleMode)
    enum VScaleMode {
        ScaleVNone = 0,
        ScaleVPeakToPeak = 1,
        ScaleVScopePeakToPeak = 2,
        ScaleVScopeAveragePercents = 3
    };
    Q_ENUM(VScaleMode)

    explicit VPlot(QQuickItem *parent = nullptr);
    ~VPlot() override;

    QQmlListProperty<VCurve> curves();
    QQmlListProperty<VFigure> figures();
    QQmlListProperty<VMarker> markers();
    const QList<VCurve *> &curveList() const { return m_curves; }
    const QList<VFigure *> &figureList() const { return m_figures; }
    const QList<VMarker *> &markerList() const { return m_markers; }

    qreal xMin() const { return m_xMin; }
    qreal xMax() const { return m_xMax; }
    qreal yMin() const { return m_yMin; }
    qreal yMax() const { return m_yMax; }
    bool xAxis() const { return m_xAxis; }
    bool yAxis() const { return m_yAxis; }
    QColor axisColor() const { return m_axisPen.color(); }
    // The renderer's hint; hides the item's own property of that name.
    bool antialiasing() const { return m_antialiasing; }
    bool interactive() const { return m_interactive; }
    qreal zoomSpeed() const { return m_zoomSpeed; }
    QDateTime xMinTime() const { return axeToTime(m_xMin); }
    QDateTime xMaxTime() const { return axeToTime(m_xMax); }
    QDateTime yMinTime() const { return axeToTime(m_yMin); }
    QDateTime yMaxTime() const { return axeToTime(m_yMax); }
    qreal gridStepH() const { return m_gridStepH; }
    qreal gridStepV() const { return m_gridStepV; }
    GridMode gridH() const { return m_gridH; }
    GridMode gridV() const { return m_gridV; }
    qreal xCenter() const { return m_xCenter; }
    qreal yCenter() const { return m_yCenter; }
    HAlignMode alignH() const { return m_alignH; }
    VAlignMode alignV() const { return m_alignV; }
    VScaleMode scaleV() const { return m_scaleV; }
    HScaleMode scaleH() const { return m_scaleH; }
    qreal scaleHPercents() const { return m_scaleHPercents; }
    qreal scaleVPercents() const { return m_scaleVPercents; }
    GridValuesModel *gridPointsH() const { return m_gridPointsH; }
    GridValuesModel *gridPointsV() const { return m_gridPointsV; }
    qreal minGridSizeH() const { return m_minGridSizeH; }
    qreal minGridSizeV() const { return m_minGridSizeV; }
    qreal minXWidth() const { return m_minXWidth; }
    qreal minYHeight() const { return m_minYHeight; }
    VPointsModel *markersModel() const { return m_markersModel; }
    qreal xScaleCoeff() const { return m_xScaleCoeff; }
    qreal yScaleCoeff() const { return m_yScaleCoeff; }
    bool drawGridV() const { return m_drawGridV; }
    bool drawGridH() const { return m_drawGridH; }
    QColor gridColorH() const { return m_gridPenH.color(); }
    QColor gridColorV() const { return m_gridPenV.color(); }
    bool ignoreOutdatedData() const { return m_ignoreOutdatedData; }

    void setXMin(qreal value);
    void setXMax(qreal value);
    void setYMin(qreal value);
    void setYMax(qreal value);
    void setXAxis(bool on);
    void setYAxis(bool on);
    void setAxisColor(const QColor &color);
    void setAntialiasing(bool on);
    void setInteractive(bool on);
    void setZoomSpeed(qreal speed);
    void setXMinTime(const QDateTime &time) { setXMin(timeToAxe(time)); }
    void setXMaxTime(const QDateTime &time) { setXMax(timeToAxe(time)); }
    void setYMinTime(const QDateTime &time) { setYMin(timeToAxe(time)); }
    void setYMaxTime(const QDateTime &time) { setYMax(timeToAxe(time)); }
    void setGridStepH(qreal step);
    void setGridStepV(qreal step);
    void setGridH(GridMode mode);
    void setGridV(GridMode mode);
    void setAlignH(HAlignMode mode);
    void setAlignV(VAlignMode mode);
    void setScaleV(VScaleMode mode);
    void setScaleH(HScaleMode mode);
    void setScaleHPercents(qreal percents);
    void setScaleVPercents(qreal percents);
    void setMinGridSizeH(qreal size);
    void setMinGridSizeV(qreal size);
    void setMinXWidth(qreal width);
    void setMinYHeight(qreal height);
    void setGridColorH(const QColor &color);
    void setGridColorV(const QColor &color);
    void setIgnoreOutdatedData(bool on);

    // Sets the four ranges at once (dragging, the wheel, an adopted picture), keeping the
    // minimum extents; asks for a picture only when told to.
    void setRanges(qreal xMin, qreal xMax, qreal yMin, qreal yMax, bool askForPicture);

    Q_INVOKABLE qreal plotToWidgetX(qreal x) const;
    Q_INVOKABLE qreal plotToWidgetY(qreal y) const;
    Q_INVOKABLE qreal widgetToPlotX(qreal px) const;
    // py is measured up from the bottom edge.
    Q_INVOKABLE qreal widgetToPlotY(qreal py) const;

    // For tests: renders through engine (taken over) in place of the render thread.
    void setEngine(VPlotEngine *engine);
    VPlotEngine *engine() const { return m_engine; }
    // The picture on show, or none.
    const VRenderResultData *result() const { return m_result.get(); }
    quint32 requestCounter() const { return m_requestCounter; }
    // The snapshot of the item as the renderer would get it now.
    std::unique_ptr<VRenderSourceData> makeSnapshot() const;

    void paint(QPainter *painter) override;

public slots:
    void setDragGridV(bool on);
    void setDragGridH(bool on);
    void onNeedRepaint();
    void onEngineRenderComplete();
    void onMarkerChanged();

signals:
    void curvesChanged();
    void figuresChanged();
    void markersChanged();
    void xMinChanged();
    void xMaxChanged();
    void yMinChanged();
    void yMaxChanged();
    void xAxisChanged();
    void yAxisChanged();
    void axisColorChanged();
    void antialiasingChanged();
    void interactiveChanged();
    void zoomSpeedChanged();
    void gridStepHChanged();
    void gridStepVChanged();
    void xCenterChanged(qreal xCenter);
    void yCenterChanged(qreal yCenter);
    void alignHChanged(VPlot::HAlignMode alignH);
    void alignVChanged(VPlot::VAlignMode alignV);
    void scaleVChanged(VPlot::VScaleMode scaleV);
    void scaleHChanged(VPlot::HScaleMode scaleH);
    void scaleHPercentsChanged(qreal scaleHPercents);
    void scaleVPercentsChanged(qreal scaleVPercents);
    void gridHChanged(VPlot::GridMode gridH);
    void gridPointsHChanged(GridValuesModel *gridPointsH);
    void gridVChanged(VPlot::GridMode gridV);
    void gridPointsVChanged(GridValuesModel *gridPointsV);
    void minGridSizeHChanged(qreal minGridSizeH);
    void minGridSizeVChanged(qreal minGridSizeV);
    void minXWidthChanged(qreal minXWidth);
    void minYHeightChanged(qreal minYHeight);
    void markersModelChanged(VPointsModel *markersModel);
    void xScaleCoeffChanged(qreal xScaleCoeff);
    void yScaleCoeffChanged(qreal yScaleCoeff);
    void drawGridHChanged(bool drawGridH);
    void drawGridVChanged(bool drawGridV);
    void gridColorHChanged(const QColor &gridColorH);
    void gridColorVChanged(const QColor &gridColorV);
    void ignoreOutdatedDataChanged(bool ignoreOutdatedData);

protected:
    void customEvent(QEvent *event) override;
    void componentComplete() override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    static void appendCurve(QQmlListProperty<VCurve> *list, VCurve *curve);
    static qsizetype curveCount(QQmlListProperty<VCurve> *list);
    static VCurve *curveAt(QQmlListProperty<VCurve> *list, qsizetype index);
    static void clearCurves(QQmlListProperty<VCurve> *list);
    static void replaceCurve(QQmlListProperty<VCurve> *list, qsizetype index, VCurve *curve);
    static void removeLastCurve(QQmlListProperty<VCurve> *list);
    static void appendFigure(QQmlListProperty<VFigure> *list, VFigure *figure);
    static qsizetype figureCount(QQmlListProperty<VFigure> *list);
    static VFigure *figureAt(QQmlListProperty<VFigure> *list, qsizetype index);
    static void clearFigures(QQmlListProperty<VFigure> *list);
    static void replaceFigure(QQmlListProperty<VFigure> *list, qsizetype index, VFigure *figure);
    static void removeLastFigure(QQmlListProperty<VFigure> *list);
    static void appendMarker(QQmlListProperty<VMarker> *list, VMarker *marker);
    static qsizetype markerCount(QQmlListProperty<VMarker> *list);
    static VMarker *markerAt(QQmlListProperty<VMarker> *list, qsizetype index);
    static void clearMarkers(QQmlListProperty<VMarker> *list);
    static void replaceMarker(QQmlListProperty<VMarker> *list, qsizetype index, VMarker *marker);
    static void removeLastMarker(QQmlListProperty<VMarker> *list);

    void adoptCurve(VCurve *curve);
    void adoptFigure(VFigure *figure);
    void adoptMarker(VMarker *marker);
    void releaseLater(const QList<QObject *> &objects);

    void askForPicture();
    void updateScaleCoeffs();
    void updateCenters();
    void updateGrid();
    VPointsModel::Row markerRow(int i) const;
    void refreshMarkers();
    void rebuildMarkersModel();
    bool xUsable() const;
    bool yUsable() const;
    void connectEngine();

    QList<VCurve *> m_curves;
    QList<VFigure *> m_figures;
    QList<VMarker *> m_markers;

    qreal m_xMin = -100;
    qreal m_xMax = 100;
    qreal m_yMin = -100;
    qreal m_yMax = 100;
    bool m_xAxis = false;
    bool m_yAxis = false;
    bool m_antialiasing = true;
    bool m_interactive = true;
    qreal m_zoomSpeed = 0.1;
    qreal m_gridStepH = 10;
    qreal m_gridStepV = 10;
    GridMode m_gridH = FixedStep;
    GridMode m_gridV = FixedStep;
    qreal m_xCenter = 0;
    qreal m_yCenter = 0;
    HAlignMode m_alignH = AlignHRight;
    VAlignMode m_alignV = AlignVCenter;
    VScaleMode m_scaleV = ScaleVNone;
    HScaleMode m_scaleH = ScaleHNone;
    qreal m_scaleHPercents = 100;
    qreal m_scaleVPercents = 100;
    GridValuesModel *m_gridPointsH;
    GridValuesModel *m_gridPointsV;
    qreal m_minGridSizeH = 50;
    qreal m_minGridSizeV = 50;
    qreal m_minXWidth = 0;
    qreal m_minYHeight = 0;
    VPointsModel *m_markersModel;
    qreal m_xScaleCoeff = 1.0;
    qreal m_yScaleCoeff = 1.0;
    bool m_drawGridV = false;
    bool m_drawGridH = false;
    bool m_ignoreOutdatedData = false;

    QPen m_axisPen;
    QPen m_gridPenH;
    QPen m_gridPenV;

    // Dragging: the ranges and the screen position where the left button went down.
    qreal m_dragXMin = 0;
    qreal m_dragXMax = 0;
    qreal m_dragYMin = 0;
    qreal m_dragYMax = 0;
    QPointF m_dragStart;
    bool m_dragging = false;

    VPlotEngine *m_engine = nullptr;
    std::unique_ptr<VRenderResultData> m_result;
    quint32 m_requestCounter = 0;
};

#endif
