#ifndef TAVRINRECORDS_H
#define TAVRINRECORDS_H

#include "modbusbytes.h"

#include <QtGlobal>

// One archive record of the instrument, every field of every generation.
struct TavrinRecord
{
    quint32 label = 0;
    quint16 serviceFlags = 0, flowRateEsFlags = 0, heatEsFlags = 0;
    quint32 workTime = 0, flowRateSensorLessTime = 0, heatSensorLessTime = 0;
    double vPlus = 0, vMinus = 0, mPlus = 0, w = 0; // double structs
    quint16 dWorkTime = 0, dFlowRateSensorLessTime = 0, dHeatSensorLessTime = 0;
    double dVPlus = 0, dVMinus = 0; // double struct in generation 1, float later
    float dMPlus = 0, dW = 0, dMinVolumeFlowRate = 0, dMaxVolumeFlowRate = 0,
          dMinWeightFlowRate = 0, dMaxWeightFlowRate = 0;
    float minTemperature1 = 0, maxTemperature1 = 0, averageTemperature1 = 0, minTemperature2 = 0,
          maxTemperature2 = 0, averageTemperature2 = 0, minPressure = 0, maxPressure = 0,
          averagePressure = 0;
    // Distinct, exactly representable values derived from label and seed (for golden tests).
    // Every field differs from every other of its width, so a field read at a neighbour's offset
    // shows; the service flags always carry the heat bit (bit 0).
    static TavrinRecord sample(quint32 label, int seed = 0);
};

// 58, 92, 128 (others: 128)
int tavrinRecordSize(int generation);
// Generation 1 and 2 as such; any other value gives the generation-3 layout.
ModbusBytes encodeTavrinRecord(const TavrinRecord &record, int generation);

#endif
