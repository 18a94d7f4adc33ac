#include "tavrinrecords.h"

#include <cmath>

namespace {

// The instrument's 8-byte number: the whole part as a signed 32-bit integer, then what is left
// as a float. The sample values are small enough for both parts to be exact.
void appendDoubleStruct(ModbusBytes &bytes, double value)
{
    const double whole = std::trunc(value);
    bytes += ModbusBytes::fromInt32(qint32(whole));
    bytes.appendFloat(float(value - whole));
}

// Generations 2 and 3 share their first 92 bytes.
void appendGeneration2(ModbusBytes &bytes, const TavrinRecord &r)
{
    bytes.appendUInt32(r.label);                   // 0
    bytes.appendUInt16(r.serviceFlags);            // 4
    bytes.appendUInt16(r.flowRateEsFlags);         // 6
    bytes.appendUInt16(r.heatEsFlags);             // 8
    bytes.appendUInt32(r.workTime);                // 10
    bytes.appendUInt32(r.flowRateSensorLessTime);  // 14
    bytes.appendUInt32(r.heatSensorLessTime);      // 18
    appendDoubleStruct(bytes, r.vPlus);            // 22
    appendDoubleStruct(bytes, r.vMinus);           // 30
    appendDoubleStruct(bytes, r.mPlus);            // 38
    appendDoubleStruct(bytes, r.w);                // 46
    bytes.appendUInt16(r.dWorkTime);               // 54
    bytes.appendUInt16(r.dFlowRateSensorLessTime); // 56
    bytes.appendUInt16(r.dHeatSensorLessTime);     // 58
    bytes.appendFloat(float(r.dVPlus));            // 60
    bytes.appendFloat(float(r.dVMinus));           // 64
    bytes.appendFloat(r.dMPlus);                   // 68
    bytes.appendFloat(r.dW);                       // 72
    bytes.appendFloat(r.dMinVolumeFlowRate);       // 76
    bytes.appendFloat(r.dMaxVolumeFlowRate);       // 80
    bytes.appendFloat(r.dMinWeightFlowRate);       // 84
    bytes.appendFloat(r.dMaxWeightFlowRate);       // 88
}

} // namespace

TavrinRecord TavrinRecord::sample(quint32 label, int seed)
{
    // m stays below 4096, so every float keeps its fraction exactly.
    const int m = int((label * 31u + quint32(seed) * 977u) & 0xFFFu);
    const quint32 base = label * 3u + quint32(seed) * 7u;
    TavrinRecord r;
    r.label = label;
    r.serviceFlags = quint16(0x1001 + 2 * m);
    r.flowRateEsFlags = quint16(0x2000 + m);
    r.heatEsFlags = quint16(0x4000 + m);
    r.workTime = base + 1;
    r.flowRateSensorLessTime = base + 2;
    r.heatSensorLessTime = base + 3;
    r.vPlus = 100000.5 + 4 * m;
    r.vMinus = 200000.25 + 4 * m;
    r.mPlus = 300000.75 + 4 * m;
    r.w = 400000.125 + 4 * m;
    r.dWorkTime = quint16(0x5000 + m);
    r.dFlowRateSensorLessTime = quint16(0x6000 + m);
    r.dHeatSensorLessTime = quint16(0x7000 + m);
    r.dVPlus = 500.5 + m;
    r.dVMinus = 600.25 + m;
    r.dMPlus = 700.5f + float(m);
    r.dW = 800.75f + float(m);
    r.dMinVolumeFlowRate = 900.125f + float(m);
    r.dMaxVolumeFlowRate = 1000.375f + float(m);
    r.dMinWeightFlowRate = 1100.625f + float(m);
    r.dMaxWeightFlowRate = 1200.875f + float(m);
    r.minTemperature1 = -10.25f - float(m);
    r.maxTemperature1 = 1300.5f + float(m);
    r.averageTemperature1 = 1400.75f + float(m);
    r.minTemperature2 = -20.5f - float(m);
    r.maxTemperature2 = 1500.25f + float(m);
    r.averageTemperature2 = 1600.125f + float(m);
    r.minPressure = 0.5f + float(m);
    r.maxPressure = 1700.625f + float(m);
    r.averagePressure = 1800.875f + float(m);
    return r;
}

int tavrinRecordSize(int generation)
{
    switch (generation) {
    case 1:
        return 58;
    case 2:
        return 92;
    default:
        return 128;
    }
}

ModbusBytes encodeTavrinRecord(const TavrinRecord &r, int generation)
{
    ModbusBytes bytes;
    bytes.reserve(tavrinRecordSize(generation));
    if (generation == 1) {
        bytes.appendUInt32(r.label);                   // 0
        appendDoubleStruct(bytes, r.vPlus);            // 4
        appendDoubleStruct(bytes, r.vMinus);           // 12
        bytes.appendUInt16(r.flowRateEsFlags);         // 20
        bytes.appendFloat(r.dMinVolumeFlowRate);       // 22
        bytes.appendFloat(r.dMaxVolumeFlowRate);       // 26
        bytes.appendUInt32(r.workTime);                // 30
        bytes.appendUInt32(r.flowRateSensorLessTime);  // 34
        appendDoubleStruct(bytes, r.dVPlus);           // 38
        appendDoubleStruct(bytes, r.dVMinus);          // 46
        bytes.appendUInt16(r.dWorkTime);               // 54
        bytes.appendUInt16(r.dFlowRateSensorLessTime); // 56
        return bytes;
    }
    appendGeneration2(bytes, r);
    if (generation == 2)
        return bytes;
    bytes.appendFloat(r.minTemperature1);     // 92
    bytes.appendFloat(r.maxTemperature1);     // 96
    bytes.appendFloat(r.averageTemperature1); // 100
    bytes.appendFloat(r.minTemperature2);     // 104
    bytes.appendFloat(r.maxTemperature2);     // 108
    bytes.appendFloat(r.averageTemperature2); // 112
    bytes.appendFloat(r.minPressure);         // 116
    bytes.appendFloat(r.maxPressure);         // 120
    bytes.appendFloat(r.averagePressure);     // 124
    return bytes;
}
