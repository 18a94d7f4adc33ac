#include "vbaselinefigure.h"

VBaseLineFigure::VBaseLineFigure(int kind, QObject *parent)
    : VFigure(kind, parent), m_pen(QBrush(QColor(QStringLiteral("black"))), 1.0, Qt::SolidLine,
                                   Qt::SquareCap, Qt::BevelJoin)
{
    m_pen.setCosmetic(true);
}

void VBaseLineFigure::setThickness(qreal thickness)
{
    m_pen.setWidthF(thickness);
    emit needRepaint();
    emit thicknessChanged(thickness);
}

void VBaseLineFigure::setColor(const QColor &color)
{
    m_pen.setColor(color);
    emit needRepaint();
    emit colorChanged(color);
}

void VBaseLineFigure::setCosmetic(bool cosmetic)
{
    m_pen.setCosmetic(cosmetic);
    emit cosmeticChanged(cosmetic);
}
