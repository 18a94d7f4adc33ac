#ifndef VFIGUREVLINERENDERDATA_H
#define VFIGUREVLINERENDERDATA_H

#include "vfigurebaselinerenderdata.h"

class VFigureVLineRenderData : public VFigureBaseLineRenderData
{
public:
    VFigureVLineRenderData(const QPen &pen, qreal x) : VFigureBaseLineRenderData(pen), m_x(x) {}

    int kind() const override { return 0; }
    qreal x() const { return m_x; }

private:
    qreal m_x;
};

#endif
