#ifndef VHORIZONTALLINE_H
#define VHORIZONTALLINE_H

#include "vbaselinefigure.h"

// A line across the whole chart at one y value. Moving it only stores: the line shows at its
// new place with the chart's next picture.
class VHorizontalLine : public VBaseLineFigure
{
    Q_OBJECT
    Q_PROPERTY(qreal y READ y WRITE setY NOTIFY yChanged)

public:
    explicit VHorizontalLine(QObject *parent = nullptr);

    qreal y() const { return m_y; }
    std::unique_ptr<VFigureRenderData> createRenderData() const override;

public slots:
    void setY(qreal y);

signals:
    void yChanged(qreal y);

private:
    qreal m_y = 0;
};

#endif
