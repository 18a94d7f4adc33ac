#include "vplotrenderer.h"

#include "vfigurehlinerenderdata.h"
#include "vfigurevlinerenderdata.h"
#include "vplot.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

bool contains(const QRectF &limit, const QPointF &p)
{
    // Edges included.
    return p.x() >= limit.left() && p.x() <= limit.right() && p.y() >= limit.top() &&
           p.y() <= limit.bottom();
}

// The smallest rectangle around the counted points, starting as a point at the first finite one.
QRectF curveExtent(const QVector<QPointF> &points, const QRectF &limit, bool *counted)
{
    const bool all = limit.width() <= 0 || limit.height() <= 0;
    bool any = false;
    qreal left = 0, right = 0, top = 0, bottom = 0;
    for (const QPointF &p : points) {
        // A sensor fault (NaN, inf) is no place: seeding the extent with it would make every
        // range NaN and leave the chart empty.
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            continue;
        if (!all && !contains(limit, p))
            continue;
        if (!any) {
            left = right = p.x();
            top = bottom = p.y();
            any = true;
            continue;
        }
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    }
    *counted = any;
    return any ? QRectF(left, top, right - left, bottom - top) : QRectF(0, 0, 0, 0);
}

QRectF unite(const QRectF &a, const QRectF &b)
{
    const qreal left = std::min(a.left(), b.left());
    const qreal top = std::min(a.top(), b.top());
    const qreal right = std::max(a.right(), b.right());
    const qreal bottom = std::max(a.bottom(), b.bottom());
    return QRectF(left, top, right - left, bottom - top);
}

// A run of points many more than the picture has pixel columns, as a long archive gives, is
// drawn as the first, lowest, highest and last point of each column's stretch: the same pixels
// for a fraction of the work, where drawing every segment of a jagged curve of 100,000 points
// took the renderer seconds.
void drawRun(QPainter &painter, const QPointF *data, qsizetype count)
{
    const QPaintDevice *device = painter.device();
    const qsizetype columns = device ? qMax(1, device->width()) : 1;
    const QTransform &t = painter.worldTransform();
    if (count <= 4 * columns || t.isRotating()) {
        painter.drawPolyline(data, int(count));
        return;
    }
    QVector<QPointF> reduced;
    reduced.reserve(4 * columns + 4);
    const auto column = [&t](const QPointF &p) { return std::floor(t.m11() * p.x() + t.dx()); };
    qsizetype first = 0;
    qreal firstColumn = column(data[0]);
    qsizetype low = 0;
    qsizetype high = 0;
    const auto flush = [&](qsizetype last) {
        qsizetype picks[4] = {first, std::min(low, high), std::max(low, high), last};
        for (int k = 0; k < 4; ++k) {
            if (k == 0 || picks[k] != picks[k - 1])
                reduced.append(data[picks[k]]);
        }
    };
    for (qsizetype i = 1; i < count; ++i) {
        const qreal c = column(data[i]);
        if (c != firstColumn) {
            flush(i - 1);
            first = low = high = i;
            firstColumn = c;
            continue;
        }
        if (data[i].y() < data[low].y())
            low = i;
        if (data[i].y() > data[high].y())
            high = i;
    }
    flush(count - 1);
    painter.drawPolyline(reduced.constData(), int(reduced.size()));
}

// The curve as runs of finite points: a non-finite point breaks the line there.
void drawFinitePolyline(QPainter &painter, const QVector<QPointF> &points)
{
    const QPointF *data = points.constData();
    const qsizetype count = points.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= count; ++i) {
        if (i < count && std::isfinite(data[i].x()) && std::isfinite(data[i].y()))
            continue;
        if (i > start)
            drawRun(painter, data + start, i - start);
        start = i + 1;
    }
}

void limitAround(qreal c, qreal minimum, qreal *low, qreal *high)
{
    if (minimum > 0 && *high - *low < minimum) {
        *low = c - minimum / 2;
        *high = c + minimum / 2;
    }
}

} // namespace

VPlotRenderer::Extent VPlotRenderer::extent(const QList<VCurveRenderData> &curves,
                                            const QRectF &limit)
{
    Extent result;
    bool united = false;
    qreal sumX = 0;
    qreal sumY = 0;
    for (const VCurveRenderData &curve : curves) {
        bool counted = false;
        const QRectF r = curveExtent(curve.points, limit, &counted);
        result.counted = result.counted || counted;
        sumX += r.x() + r.width() * 0.5;
        sumY += r.y() + r.height() * 0.5;
        if (r.width() == 0 && r.height() == 0)
            continue;
        result.rect = united ? unite(result.rect, r) : r;
        united = true;
    }
    if (!curves.isEmpty())
        result.meanCentre = QPointF(sumX / curves.size(), sumY / curves.size());
    return result;
}

void VPlotRenderer::adjustRanges(VRenderSourceData &s)
{
    if (s.scaleH == 0 && s.scaleV == 0 && s.alignH == 0 && s.alignV == 0)
        return;
    const QRectF R = extent(s.curves, QRectF(0, 0, 0, 0)).rect;

    if (s.scaleH == VPlot::ScaleHPeakToPeak) {
        const qreal span = std::abs(s.scaleHPercents / 100 * R.width());
        const qreal c = R.x() + R.width() * 0.5;
        s.xMin = c - span / 2;
        s.xMax = c + span / 2;
        limitAround(c, s.minXWidth, &s.xMin, &s.xMax);
        if (R.width() == 0) {
            s.xMin = R.x() - 1;
            s.xMax = R.x() + R.width() + 1;
        }
    }

    switch (s.scaleV) {
    case VPlot::ScaleVPeakToPeak: {
        const qreal span = std::abs(s.scaleVPercents / 100 * R.height());
        const qreal c = R.y() + R.height() * 0.5;
        s.yMin = c - span / 2;
        s.yMax = c + span / 2;
        limitAround(c, s.minYHeight, &s.yMin, &s.yMax);
        if (R.height() == 0) {
            s.yMin = R.y() + R.height() - 1;
            s.yMax = R.y() + 1;
        }
        break;
    }
    case VPlot::ScaleVScopePeakToPeak:
    case VPlot::ScaleVScopeAveragePercents: {
        // The data inside the visible x range decides.
        const Extent S = extent(s.curves, QRectF(s.xMin, R.y(), s.xMax - s.xMin, R.height()));
        // Without a point in view there is nothing to scale to: the y range stays.
        if (!S.counted)
            break;
        const qreal c = S.meanCentre.y();
        const qreal half = s.scaleV == VPlot::ScaleVScopePeakToPeak
                               ? std::abs(s.scaleVPercents / 100 * S.rect.height()) / 2
                               : std::abs(s.scaleVPercents / 100 * c);
        s.yMin = c - half;
        s.yMax = c + half;
        limitAround(c, s.minYHeight, &s.yMin, &s.yMax);
        break;
    }
    default:
        break;
    }

    if (s.scaleH == VPlot::ScaleHNone) {
        const qreal width = s.xMax - s.xMin;
        switch (s.alignH) {
        case VPlot::AlignHLeft:
            s.xMin = R.x();
            s.xMax = s.xMin + width;
            break;
        case VPlot::AlignHRight:
            s.xMax = R.x() + R.width();
            s.xMin = s.xMax - width;
            break;
        case VPlot::AlignHCenter:
            s.xMin = R.x() + R.width() * 0.5 - width / 2;
            s.xMax = s.xMin + width;
            break;
        default:
            break;
        }
    }
    if (s.scaleV == VPlot::ScaleVNone) {
        const qreal height = s.yMax - s.yMin;
        switch (s.alignV) {
        case VPlot::AlignVTop:
            s.yMax = R.y() + R.height();
            s.yMin = s.yMax - height;
            break;
        case VPlot::AlignVBottom:
            s.yMin = R.y();
            s.yMax = s.yMin + height;
            break;
        case VPlot::AlignVCenter:
            s.yMin = R.y() + R.height() * 0.5 - height / 2;
            s.yMax = s.yMin + height;
            break;
        default:
            break;
        }
    }
}

bool VPlotRenderer::drawable(qreal xMin, qreal xMax, qreal yMin, qreal yMax, qreal width,
                             qreal height)
{
    const qreal dx = xMax - xMin;
    const qreal dy = yMax - yMin;
    return std::isfinite(dx) && std::isfinite(dy) && dx != 0 && dy != 0 && width > 0 &&
           height > 0 && std::isfinite(width) && std::isfinite(height);
}

QImage VPlotRenderer::render(VRenderSourceData &s, const std::function<bool()> &newerRequest,
                             bool *aborted)
{
    *aborted = false;
    adjustRanges(s);

    const int w = std::isfinite(s.width) ? std::max(0, qRound(s.width)) : 0;
    const int h = std::isfinite(s.height) ? std::max(0, qRound(s.height)) : 0;
    // Handed on not premultiplied, as the chart passes the picture on unchanged; but drawn
    // premultiplied, the painter's own format: into the other one every curve segment cost
    // a conversion of its pixels, and a dense curve of 2,500 points took 300 ms, not 5.
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (image.isNull() || !drawable(s.xMin, s.xMax, s.yMin, s.yMax, s.width, s.height))
        return image.convertToFormat(QImage::Format_ARGB32);

    QPainter painter(&image);
    const QTransform pixels = painter.worldTransform();
    painter.setRenderHint(QPainter::Antialiasing, s.antialiasing);
    // Plot units onto the picture, y growing upward.
    painter.translate(0, s.height);
    painter.scale(1, -1);
    painter.scale(s.width / (s.xMax - s.xMin), s.height / (s.yMax - s.yMin));
    painter.translate(-s.xMin, -s.yMin);

    if (s.drawGridH || s.drawGridV) {
        // Grid offsets are pixels from the top-left corner.
        painter.save();
        painter.setWorldTransform(pixels);
        const int width = int(s.width);
        const int height = int(s.height);
        if (s.drawGridV) {
            painter.setPen(s.gridPenV);
            for (const GridValuesModel::Row &row : std::as_const(s.gridRowsV)) {
                const int x = int(row.offset);
                painter.drawLine(x, 0, x, height);
            }
        }
        if (s.drawGridH) {
            painter.setPen(s.gridPenH);
            for (const GridValuesModel::Row &row : std::as_const(s.gridRowsH)) {
                const int y = int(row.offset);
                painter.drawLine(0, y, width, y);
            }
        }
        painter.restore();
    }

    // Axes and figures at their exact plot positions: whole plot units would misplace them on
    // any chart whose range spans only a few units.
    if (s.xAxis || s.yAxis) {
        painter.setPen(s.axisPen);
        if (s.xAxis)
            painter.drawLine(QLineF(s.xMin, 0, s.xMax, 0));
        if (s.yAxis)
            painter.drawLine(QLineF(0, s.yMin, 0, s.yMax));
    }

    for (const VCurveRenderData &curve : std::as_const(s.curves)) {
        if (newerRequest && newerRequest()) {
            *aborted = true;
            break;
        }
        painter.setPen(curve.pen);
        drawFinitePolyline(painter, curve.points);
    }

    if (!*aborted) {
        for (const std::unique_ptr<VFigureRenderData> &figure : s.figures) {
            if (figure->kind() == 0) {
                const auto &line = static_cast<const VFigureVLineRenderData &>(*figure);
                painter.setPen(line.pen());
                painter.drawLine(QLineF(line.x(), s.yMin, line.x(), s.yMax));
            } else if (figure->kind() == 1) {
                const auto &line = static_cast<const VFigureHLineRenderData &>(*figure);
                painter.setPen(line.pen());
                painter.drawLine(QLineF(s.xMin, line.y(), s.xMax, line.y()));
            }
        }
    }
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
