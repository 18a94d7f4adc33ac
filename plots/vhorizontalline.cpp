#include "vhorizontalline.h"

#include "vfigurehlinerenderdata.h"

VHorizontalLine::VHorizontalLine(QObject *parent) : VBaseLineFigure(1, parent) {}

std::unique_ptr<VFigureRenderData> VHorizontalLine::createRenderData() const
{
    return std::make_unique<VFigureHLineRenderData>(pen(), m_y);
}

void VHorizontalLine::setY(qreal y)
{
    m_y = y;
    emit yChanged(y);
}
