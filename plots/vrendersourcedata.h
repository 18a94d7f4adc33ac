#ifndef VRENDERSOURCEDATA_H
#define VRENDERSOURCEDATA_H

#include "gridvaluesmodel.h"
#include "vcurverenderdata.h"
#include "vfigurerenderdata.h"

#include <QList>
#include <QPen>

#include <memory>
#include <vector>

// Everything the renderer needs of one chart, copied in the GUI thread and owned by the render
// engine from then on, so that the render thread reads nothing else. The renderer may move the
// four ranges to follow the data; they travel back with the picture.
class VRenderSourceData
{
public:
    VRenderSourceData();
    virtual ~VRenderSourceData();
    VRenderSourceData(const VRenderSourceData &) = delete;
    VRenderSourceData &operator=(const VRenderSourceData &) = delete;

    QList<VCurveRenderData> curves;
    qreal width = 0;
    qreal height = 0;
    bool antialiasing = true;
    QPen gridPenH;
    QPen gridPenV;
    QPen axisPen;
    qreal gridStepH = 10;
    qreal gridStepV = 10;
    bool xAxis = false;
    bool yAxis = false;
    quint32 requestNumber = 0;
    // The chart's enums as numbers: the renderer shares them without knowing the item.
    int alignH = 0;
    int alignV = 0;
    qreal xMin = -100;
    qreal xMax = 100;
    qreal yMin = -100;
    qreal yMax = 100;
    int scaleH = 0;
    int scaleV = 0;
    qreal scaleHPercents = 100;
    qreal scaleVPercents = 100;
    QList<GridValuesModel::Row> gridRowsH;
    QList<GridValuesModel::Row> gridRowsV;
    int gridH = 0;
    int gridV = 0;
    std::vector<std::unique_ptr<VFigureRenderData>> figures;
    qreal minXWidth = 0;
    qreal minYHeight = 0;
    bool drawGridH = false;
    bool drawGridV = false;
};

#endif
