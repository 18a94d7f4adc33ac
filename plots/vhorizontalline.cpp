#include "vhorizontalline.h"

#include "vfigurehlinerenderdata.h"

VHorizontalLine::VHorizontalLine(QObject *parent) : VBaseLineFigure(1, parent) {}

std::unique_ptr<VFigureRenderData> VHorizontalLine::createRenderData() const
{
    return std::make_unique<VFigureHLineRenderData>(pen(), m_y);
}

void VHorizontalLine::setY(qreal y)
{
    // A cursor that moves must show at once, not with whatever picture comes next.
    const bool moved = m_y != y;
    m_y = y;
    if (moved)
        emit needRepaint();
    emit yChanged(y);
}
