#include "vverticalline.h"

#include "vfigurevlinerenderdata.h"

VVerticalLine::VVerticalLine(QObject *parent) : VBaseLineFigure(0, parent) {}

std::unique_ptr<VFigureRenderData> VVerticalLine::createRenderData() const
{
    return std::make_unique<VFigureVLineRenderData>(pen(), m_x);
}

void VVerticalLine::setX(qreal x)
{
    m_x = x;
    emit xChanged(x);
}
