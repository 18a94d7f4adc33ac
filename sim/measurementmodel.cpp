#include "measurementmodel.h"

#include <QtMath>

namespace MeasurementModel {

namespace {

constexpr double FlowPeriod = 60;               // s
constexpr double MeanFlow = 12.5;               // m³/h on site 0
constexpr double FlowSwing = 2.5;               // m³/h
constexpr double PipeArea = M_PI * 0.05 * 0.05; // m², 100 mm inside

double scale(int site)
{
    return 1.0 + site / 4.0;
}

double wave(double t, double period, double phase = 0)
{
    return qSin(2 * M_PI * t / period + phase);
}

} // namespace

double flowRate(int site, double t)
{
    return scale(site) * (MeanFlow + FlowSwing * wave(t, FlowPeriod));
}

double flowVelocity(int site, double t)
{
    return flowRate(site, t) / 3600.0 / PipeArea;
}

double volume(int site, double t0, double t1)
{
    // The integral of the rate, in closed form: no sum over the seconds of a long interval.
    const double w = 2 * M_PI / FlowPeriod;
    const double swing = FlowSwing / w * (qCos(w * t0) - qCos(w * t1));
    return scale(site) * (MeanFlow * (t1 - t0) + swing) / 3600.0;
}

void flowRange(int site, double t0, double t1, double &min, double &max)
{
    if (t1 - t0 >= FlowPeriod) {
        min = scale(site) * (MeanFlow - FlowSwing);
        max = scale(site) * (MeanFlow + FlowSwing);
        return;
    }
    min = max = flowRate(site, t1);
    for (double t = t0; t < t1; t += 1.0) {
        const double rate = flowRate(site, t);
        min = qMin(min, rate);
        max = qMax(max, rate);
    }
}

double massFlowRate(int site, double t)
{
    return flowRate(site, t) * Density;
}

double thermalPower(int site, double t)
{
    return massFlowRate(site, t) * HeatPerTon;
}

double pressure(double t)
{
    return 0.6 + 0.02 * wave(t, 90);
}

double pressureCurrent(double t)
{
    return 4.0 + 16.0 * pressure(t) / 1.6;
}

double temperature1(double t)
{
    return 70.0 + 0.5 * wave(t, 300);
}

double temperature2(double t)
{
    return 30.0 + 0.3 * wave(t, 300, 1.0);
}

double soundSpeed(double t)
{
    return 1.48 + 0.002 * wave(t, 45);
}

double flightTime(double t)
{
    return 72.5 + 0.05 * wave(t, 45);
}

double dtMeasured(int site, double t)
{
    return 0.08 * flowVelocity(site, t);
}

} // namespace MeasurementModel
