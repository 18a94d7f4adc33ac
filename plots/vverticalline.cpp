#include "vverticalline.h"

#include "vfigurevlinerenderdata.h"

VVerticalLine::VVerticalLine(QObject *parent) : VBaseLineFigure(0, parent) {}

std::unique_ptr<VFigureRenderData> VVerticalLine::createRenderData() const
{
    return std::make_unique<VFigureVLineRenderData>(pen(), m_x);
}

void VVerticalLine::setX(qreal x)
{
    // A cursor that moves must show at once, not with whatever picture comes next.
    const bool moved = m_x != x;
    m_x = x;
    if (moved)
        emit needRepaint();
    emit xChanged(x);
}
