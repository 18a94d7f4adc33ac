#ifndef VGRIDVALUES_H
#define VGRIDVALUES_H

#include <QList>

// The values a chart's grid lines mark between two range ends.
class VGridValues
{
public:
    // More lines than any screen has pixels: such a grid is given as none, not allocated.
    static constexpr int MaxLines = 100000;

    // a + step, a + 2 step, ... up to b; a itself never. None for a step that is not a positive
    // finite number.
    static QList<double> fixedStep(double a, double b, double step);
    // The multiples of a rounded step (1 to 10 times a power of ten) strictly inside (a, b), the
    // step chosen so that no cell is smaller than minimumCell pixels of size.
    static QList<double> roundedStep(double a, double b, double minimumCell, double size);
};

#endif
