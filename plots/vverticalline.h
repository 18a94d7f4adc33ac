#ifndef VVERTICALLINE_H
#define VVERTICALLINE_H

#include "vbaselinefigure.h"

// A line across the whole chart at one x value. Moving it only stores: the line shows at its
// new place with the chart's next picture.
class VVerticalLine : public VBaseLineFigure
{
    Q_OBJECT
    Q_PROPERTY(qreal x READ x WRITE setX NOTIFY xChanged)

public:
    explicit VVerticalLine(QObject *parent = nullptr);

    qreal x() const { return m_x; }
    std::unique_ptr<VFigureRenderData> createRenderData() const override;

public slots:
    void setX(qreal x);

signals:
    void xChanged(qreal x);

private:
    qreal m_x = 0;
};

#endif
