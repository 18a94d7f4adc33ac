#ifndef VFIGUREHLINERENDERDATA_H
#define VFIGUREHLINERENDERDATA_H

#include "vfigurebaselinerenderdata.h"

class VFigureHLineRenderData : public VFigureBaseLineRenderData
{
public:
    VFigureHLineRenderData(const QPen &pen, qreal y) : VFigureBaseLineRenderData(pen), m_y(y) {}

    int kind() const override { return 1; }
    qreal y() const { return m_y; }

private:
    qreal m_y;
};

#endif
