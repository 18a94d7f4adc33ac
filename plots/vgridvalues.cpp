#include "vgridvalues.h"

#include <cmath>

QList<double> VGridValues::fixedStep(double a, double b, double step)
{
    QList<double> values;
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(step) || step <= 0)
        return values;
    const double n = std::floor((b - a) / step);
    if (!(n >= 1) || n > MaxLines)
        return values;
    values.reserve(int(n));
    double v = a;
    for (int i = 0; i < int(n); ++i) {
        v += step;
        values.append(v);
    }
    return values;
}

QList<double> VGridValues::roundedStep(double a, double b, double minimumCell, double size)
{
    QList<double> values;
    // An inverted or empty range has nothing strictly inside it; walking it would never end.
    if (!std::isfinite(a) || !std::isfinite(b) || !(b > a) || !(minimumCell > 0))
        return values;
    const double cells = std::floor(size / minimumCell);
    if (!(cells >= 1) || cells > MaxLines)
        return values;
    const double raw = (b - a) / cells;

    int p = 0;
    if (raw > 1) {
        for (double q = raw / 10; q >= 1; q /= 10)
            ++p;
    } else if (raw > 0) {
        for (double q = raw; q <= 1; q *= 10)
            --p;
    }
    const double power = std::pow(10.0, p);
    double step = std::trunc(std::floor(raw / power)) * power;
    if (step == 0)
        step = 1;
    if (!std::isfinite(step) || step <= 0)
        return values;

    const double first = std::trunc(a / step);
    // Beyond 64-bit whole numbers the start is not representable.
    if (!(std::abs(first) < 9.0e18))
        return values;
    double v = double(qint64(first)) * step;
    while (v < b) {
        if (v > a) {
            if (values.size() >= MaxLines)
                return {};
            values.append(v);
        }
        const double next = v + step;
        // A step below the resolution of v would never reach b.
        if (next == v)
            return {};
        v = next;
    }
    return values;
}
