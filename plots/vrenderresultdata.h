#ifndef VRENDERRESULTDATA_H
#define VRENDERRESULTDATA_H

#include <QImage>
#include <QRectF>

// A rendered picture with the request it answers and the ranges it was drawn for.
class VRenderResultData
{
public:
    VRenderResultData(const QImage &image, quint32 requestNumber, const QRectF &ranges);

    const QImage &image() const { return m_image; }
    quint32 requestNumber() const { return m_requestNumber; }
    // x = xMin, y = yMin, width = xMax - xMin, height = yMax - yMin.
    const QRectF &ranges() const { return m_ranges; }
    qreal xMin() const { return m_ranges.x(); }
    qreal xMax() const { return m_ranges.x() + m_ranges.width(); }
    qreal yMin() const { return m_ranges.y(); }
    qreal yMax() const { return m_ranges.y() + m_ranges.height(); }

private:
    QImage m_image;
    quint32 m_requestNumber;
    QRectF m_ranges;
};

#endif
