#ifndef VBASELINEFIGURE_H
#define VBASELINEFIGURE_H

#include "vfigure.h"

#include <QColor>
#include <QPen>

// A straight line figure: the pen that its kinds share.
class VBaseLineFigure : public VFigure
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(qreal thickness READ thickness WRITE setThickness NOTIFY thicknessChanged)
    Q_PROPERTY(bool cosmetic READ cosmetic WRITE setCosmetic NOTIFY cosmeticChanged)

public:
    QColor color() const { return m_pen.color(); }
    qreal thickness() const { return m_pen.widthF(); }
    bool cosmetic() const { return m_pen.isCosmetic(); }
    const QPen &pen() const { return m_pen; }

public slots:
    void setThickness(qreal thickness);
    void setColor(const QColor &color);
    void setCosmetic(bool cosmetic);

signals:
    void needRepaint();
    void thicknessChanged(qreal thickness);
    void colorChanged(const QColor &color);
    void cosmeticChanged(bool cosmetic);

protected:
    VBaseLineFigure(int kind, QObject *parent);

private:
    QPen m_pen;
};

#endif
