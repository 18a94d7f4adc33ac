#ifndef MEASUREMENTMODEL_H
#define MEASUREMENTMODEL_H

#include <QtGlobal>

// What the simulated instrument measures on each site's pipe, as smooth functions of the
// instrument's clock (seconds since 1970 as its wall clock, with a fraction), so that the live
// block, the measurement history and the archive records tell one story. Site i's flow is the
// flow of site 0 times 1 + i / 4, so that the archives of two sites differ.
namespace MeasurementModel {

double flowRate(int site, double t);     // m³/h
double flowVelocity(int site, double t); // m/s, through a pipe of 100 mm inside
// Volume that passed between t0 and t1 (m³) and the flow's extremes then (m³/h).
double volume(int site, double t0, double t1);
void flowRange(int site, double t0, double t1, double &min, double &max);

// Water of the heat channel: mass flow (t/h) and heat (Gcal) from the volume at a 40 °C drop.
constexpr double Density = 0.9982;   // t/m³
constexpr double HeatPerTon = 0.040; // Gcal/t
double massFlowRate(int site, double t);
double thermalPower(int site, double t); // Gcal/h

double pressure(double t);        // MPa
double pressureCurrent(double t); // mA of a 4-20 mA sensor for 0-1.6 MPa
double temperature1(double t);    // °C, supply
double temperature2(double t);    // °C, return

double soundSpeed(double t);           // km/s, water
double flightTime(double t);           // µs
double dtMeasured(int site, double t); // µs

} // namespace MeasurementModel

#endif
