#ifndef VPLOTRENDERER_H
#define VPLOTRENDERER_H

#include "vrendersourcedata.h"

#include <QImage>
#include <QPointF>
#include <QRectF>

#include <functional>

// Turns a chart's snapshot into a transparent picture, in the render thread: first it may move
// or resize the snapshot's ranges to follow the data, then it paints grid, axes, curves and
// figures.
class VPlotRenderer
{
public:
    struct Extent
    {
        // The union of the curves' extents; a curve of a single counted point does not widen it.
        QRectF rect;
        // The mean of the curves' extent centres, every curve counting.
        QPointF meanCentre;
        // Whether any curve had a point that counted.
        bool counted = false;
    };

    // The extent of the points inside limit, or of all points when limit has no area.
    static Extent extent(const QList<VCurveRenderData> &curves, const QRectF &limit);
    // Auto-scale and alignment; nothing when all four modes are 0.
    static void adjustRanges(VRenderSourceData &snapshot);
    // newerRequest is asked before each curve; once it says yes the render stops and *aborted
    // is set: the picture is then incomplete and to be thrown away.
    static QImage render(VRenderSourceData &snapshot, const std::function<bool()> &newerRequest,
                         bool *aborted);
    // Ranges and size that a picture can be drawn for: nothing would divide by zero.
    static bool drawable(qreal xMin, qreal xMax, qreal yMin, qreal yMax, qreal width, qreal height);
};

#endif
