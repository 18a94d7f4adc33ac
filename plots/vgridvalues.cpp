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
    // Negative powers of ten are not exact in binary: 0.3 / 0.1 is 2.999..., whose floor would
    // halve the cell. Scale by the exact whole power instead, and let a mantissa a few units in
    // the last place below a whole number count as that number.
    const double scale = std::pow(10.0, std::abs(p));
    const double mantissa = p < 0 ? raw * scale : raw / scale;
    const double digit = std::floor(mantissa * (1 + 1e-12));
    // Values are the multiples of numerator / denominator.
    double numerator = p < 0 ? digit : digit * scale;
    double denominator = p < 0 ? scale : 1;
    if (digit == 0) {
        numerator = 1;
        denominator = 1;
    }
    const double step = numerator / denominator;
    if (!std::isfinite(step) || step <= 0)
        return values;

    const double first = std::trunc(a / step);
    // Beyond 64-bit whole numbers the start is not representable.
    if (!(std::abs(first) < 9.0e18))
        return values;
    // Each value from its own multiple: summing steps would carry their error into the last
    // line, which could then land on b or just past it.
    const qint64 start = qint64(first);
    for (qint64 i = start;; ++i) {
        const double v = double(i) * numerator / denominator;
        if (!(v < b))
            break;
        if (v > a) {
            if (values.size() >= MaxLines)
                return {};
            values.append(v);
        }
        // A step below the resolution of the values would never reach b.
        if (i > start && v == double(i - 1) * numerator / denominator)
            return {};
    }
    return values;
}
