#ifndef VCURVERENDERDATA_H
#define VCURVERENDERDATA_H

#include <QPen>
#include <QPointF>
#include <QVector>

// One curve as the renderer draws it: its pen and its points in plot units, read from the model
// in the GUI thread when the chart takes its snapshot.
struct VCurveRenderData
{
    QPen pen;
    QVector<QPointF> points;
};

#endif
