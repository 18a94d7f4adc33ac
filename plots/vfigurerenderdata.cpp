#include "vfigurerenderdata.h"

VFigureRenderData::~VFigureRenderData() = default;
