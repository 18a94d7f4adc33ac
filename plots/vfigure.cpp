#include "vfigure.h"

VFigure::VFigure(int kind, QObject *parent) : QObject(parent), m_kind(kind) {}
