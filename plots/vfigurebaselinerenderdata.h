#ifndef VFIGUREBASELINERENDERDATA_H
#define VFIGUREBASELINERENDERDATA_H

#include "vfigurerenderdata.h"

#include <QPen>

class VFigureBaseLineRenderData : public VFigureRenderData
{
public:
    explicit VFigureBaseLineRenderData(const QPen &pen) : m_pen(pen) {}

    const QPen &pen() const { return m_pen; }

private:
    QPen m_pen;
};

#endif
