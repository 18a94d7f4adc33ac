#ifndef MODBUSARCHRECORDTAVRIN_H
#define MODBUSARCHRECORDTAVRIN_H

#include "modbusarchrecord.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

// The instrument's archive records in the three layouts of its generations (58, 92 and 128
// bytes). Every field of a record is a model role from 33 on, so tables, charts and exports get
// named, captioned columns; the current record is also republished as typed properties. The heat
// fields are listed as roles only when the instrument has a heat channel, which generations 2
// and 3 announce in bit 0 of every record's service flags.
class DORRIKBUS_EXPORT ModbusArchRecordTavrin : public ModbusArchRecord
{
    Q_OBJECT
    Q_PROPERTY(QDateTime recordLabel READ recordLabel NOTIFY recordLabelChanged)
    Q_PROPERTY(double vPlus READ vPlus NOTIFY vPlusChanged)
    Q_PROPERTY(double vMinus READ vMinus NOTIFY vMinusChanged)
    Q_PROPERTY(int flowRateEsFlags READ flowRateEsFlags NOTIFY flowRateEsFlagsChanged)
    Q_PROPERTY(int heatEsFlags READ heatEsFlags NOTIFY heatEsFlagsChanged)
    Q_PROPERTY(float dMinVolumeFlowRate READ dMinVolumeFlowRate NOTIFY dMinVolumeFlowRateChanged)
    Q_PROPERTY(float dMaxVolumeFlowRate READ dMaxVolumeFlowRate NOTIFY dMaxVolumeFlowRateChanged)
    Q_PROPERTY(float dMinWeightFlowRate READ dMinWeightFlowRate NOTIFY dMinWeightFlowRateChanged)
    Q_PROPERTY(float dMaxWeightFlowRate READ dMaxWeightFlowRate NOTIFY dMaxWeightFlowRateChanged)
    Q_PROPERTY(quint32 workTime READ workTime NOTIFY workTimeChanged)
    Q_PROPERTY(quint32 flowRateSensorLessTime READ flowRateSensorLessTime NOTIFY
                   flowRateSensorLessTimeChanged)
    Q_PROPERTY(quint32 heatSensorLessTime READ heatSensorLessTime NOTIFY heatSensorLessTimeChanged)
    Q_PROPERTY(float dVPlus READ dVPlus NOTIFY dVPlusChanged)
    Q_PROPERTY(float dVMinus READ dVMinus NOTIFY dVMinusChanged)
    Q_PROPERTY(quint16 dWorkTime READ dWorkTime NOTIFY dWorkTimeChanged)
    Q_PROPERTY(quint16 dFlowRateSensorLessTime READ dFlowRateSensorLessTime NOTIFY
                   dFlowRateSensorLessTimeChanged)
    Q_PROPERTY(
        quint16 dHeatSensorLessTime READ dHeatSensorLessTime NOTIFY dHeatSensorLessTimeChanged)
    Q_PROPERTY(quint16 serviceFlags READ serviceFlags NOTIFY serviceFlagsChanged)
    Q_PROPERTY(double mPlus READ mPlus NOTIFY mPlusChanged)
    Q_PROPERTY(double w READ w NOTIFY wChanged)
    Q_PROPERTY(float dMPlus READ dMPlus NOTIFY dMPlusChanged)
    Q_PROPERTY(float dW READ dW NOTIFY dWChanged)
    Q_PROPERTY(float minTemperature1 READ minTemperature1 NOTIFY minTemperature1Changed)
    Q_PROPERTY(float maxTemperature1 READ maxTemperature1 NOTIFY maxTemperature1Changed)
    Q_PROPERTY(float averageTemperature1 READ averageTemperature1 NOTIFY averageTemperature1Changed)
    Q_PROPERTY(float minTemperature2 READ minTemperature2 NOTIFY minTemperature2Changed)
    Q_PROPERTY(float maxTemperature2 READ maxTemperature2 NOTIFY maxTemperature2Changed)
    Q_PROPERTY(float averageTemperature2 READ averageTemperature2 NOTIFY averageTemperature2Changed)
    Q_PROPERTY(float minPressure READ minPressure NOTIFY minPressureChanged)
    Q_PROPERTY(float maxPressure READ maxPressure NOTIFY maxPressureChanged)
    Q_PROPERTY(float averagePressure READ averagePressure NOTIFY averagePressureChanged)
    Q_PROPERTY(
        QString flowRateEsFlagsBinary READ flowRateEsFlagsBinary NOTIFY flowRateEsFlagsChanged)
    Q_PROPERTY(QString heatEsFlagsBinary READ heatEsFlagsBinary NOTIFY heatEsFlagsChanged)
    Q_PROPERTY(bool quicklyNoSensor READ quicklyNoSensor NOTIFY quicklyNoSensorChanged)
    Q_PROPERTY(bool noSensor READ noSensor NOTIFY noSensorChanged)
    Q_PROPERTY(bool userDataError READ userDataError NOTIFY userDataErrorChanged)
    Q_PROPERTY(bool maxQOverflow READ maxQOverflow NOTIFY maxQOverflowChanged)
    Q_PROPERTY(bool highSetOverflow READ highSetOverflow NOTIFY highSetOverflowChanged)
    Q_PROPERTY(bool lowSetOverflow READ lowSetOverflow NOTIFY lowSetOverflowChanged)
    Q_PROPERTY(
        int tvnGeneration READ tvnGeneration WRITE setTvnGeneration NOTIFY tvnGenerationChanged)
    Q_PROPERTY(bool containsHeat READ containsHeat WRITE setContainsHeat NOTIFY containsHeatChanged)

public:
    // The record's fields as model roles; the first user role (32) is not used.
    enum Role : int {
        RecordLabelRole = 33,
        ServiceFlagsRole,
        FlowRateEsFlagsRole,
        HeatEsFlagsRole,
        WorkTimeRole,
        FlowRateSensorLessTimeRole,
        HeatSensorLessTimeRole,
        VPlusRole,
        VMinusRole,
        MPlusRole,
        WRole,
        DWorkTimeRole,
        DFlowRateSensorLessTimeRole,
        DHeatSensorLessTimeRole,
        DVPlusRole,
        DVMinusRole,
        DMPlusRole,
        DWRole,
        DMinVolumeFlowRateRole,
        DMaxVolumeFlowRateRole,
        DMinWeightFlowRateRole,
        DMaxWeightFlowRateRole,
        MinTemperature1Role,
        MaxTemperature1Role,
        AverageTemperature1Role,
        MinTemperature2Role,
        MaxTemperature2Role,
        AverageTemperature2Role,
        MinPressureRole,
        MaxPressureRole,
        AveragePressureRole,
    };

    explicit ModbusArchRecordTavrin(QObject *parent = nullptr);

    QDateTime recordLabel() const { return m_recordLabel; }
    double vPlus() const { return m_vPlus; }
    double vMinus() const { return m_vMinus; }
    int flowRateEsFlags() const { return m_flowRateEsFlags; }
    int heatEsFlags() const { return m_heatEsFlags; }
    float dMinVolumeFlowRate() const { return m_dMinVolumeFlowRate; }
    float dMaxVolumeFlowRate() const { return m_dMaxVolumeFlowRate; }
    float dMinWeightFlowRate() const { return m_dMinWeightFlowRate; }
    float dMaxWeightFlowRate() const { return m_dMaxWeightFlowRate; }
    quint32 workTime() const { return m_workTime; }
    quint32 flowRateSensorLessTime() const { return m_flowRateSensorLessTime; }
    quint32 heatSensorLessTime() const { return m_heatSensorLessTime; }
    float dVPlus() const { return m_dVPlus; }
    float dVMinus() const { return m_dVMinus; }
    quint16 dWorkTime() const { return m_dWorkTime; }
    quint16 dFlowRateSensorLessTime() const { return m_dFlowRateSensorLessTime; }
    quint16 dHeatSensorLessTime() const { return m_dHeatSensorLessTime; }
    quint16 serviceFlags() const { return m_serviceFlags; }
    double mPlus() const { return m_mPlus; }
    double w() const { return m_w; }
    float dMPlus() const { return m_dMPlus; }
    float dW() const { return m_dW; }
    float minTemperature1() const { return m_minTemperature1; }
    float maxTemperature1() const { return m_maxTemperature1; }
    float averageTemperature1() const { return m_averageTemperature1; }
    float minTemperature2() const { return m_minTemperature2; }
    float maxTemperature2() const { return m_maxTemperature2; }
    float averageTemperature2() const { return m_averageTemperature2; }
    float minPressure() const { return m_minPressure; }
    float maxPressure() const { return m_maxPressure; }
    float averagePressure() const { return m_averagePressure; }
    QString flowRateEsFlagsBinary() const;
    QString heatEsFlagsBinary() const;
    bool quicklyNoSensor() const { return m_quicklyNoSensor; }
    bool noSensor() const { return m_noSensor; }
    bool userDataError() const { return m_userDataError; }
    bool maxQOverflow() const { return m_maxQOverflow; }
    bool highSetOverflow() const { return m_highSetOverflow; }
    bool lowSetOverflow() const { return m_lowSetOverflow; }
    int tvnGeneration() const { return m_tvnGeneration; }
    bool containsHeat() const { return m_containsHeat; }

    // Used by bytesWasChanged; only tvnGeneration and containsHeat are written from QML.
    void setRecordLabel(const QDateTime &label);
    void setVPlus(const double &value);
    void setVMinus(const double &value);
    void setMPlus(const double &value);
    void setW(const double &value);
    void setFlowRateEsFlags(quint16 flags);
    void setServiceFlags(quint16 flags);
    void setHeatEsFlags(int flags);
    void setWorkTime(quint32 value);
    void setFlowRateSensorLessTime(quint32 value);
    void setHeatSensorLessTime(quint32 value);
    void setDWorkTime(quint16 value);
    void setDFlowRateSensorLessTime(quint16 value);
    void setDHeatSensorLessTime(quint16 value);
    void setDVPlus(float value);
    void setDVMinus(float value);
    void setDMPlus(float value);
    void setDW(float value);
    void setDMinVolumeFlowRate(float value);
    void setDMaxVolumeFlowRate(float value);
    void setDMinWeightFlowRate(float value);
    void setDMaxWeightFlowRate(float value);
    void setMinTemperature1(float value);
    void setMaxTemperature1(float value);
    void setAverageTemperature1(float value);
    void setMinTemperature2(float value);
    void setMaxTemperature2(float value);
    void setAverageTemperature2(float value);
    void setMinPressure(float value);
    void setMaxPressure(float value);
    void setAveragePressure(float value);
    void setQuicklyNoSensor(bool value);
    void setNoSensor(bool value);
    void setUserDataError(bool value);
    void setMaxQOverflow(bool value);
    void setHighSetOverflow(bool value);
    void setLowSetOverflow(bool value);
    void setContainsHeat(bool value);

    // Rebuilds the roles from tvnGeneration and containsHeat.
    void updateRoleNames();

    void bytesWasChanged() override;
    // The base hides the item base's data(row, role); keep it reachable beside the override.
    using ModbusItemBase::data;
    QVariant data(const ModbusBytes &bytes, int role) const override;
    virtual QVariant dataGen1(const ModbusBytes &bytes, int role) const;
    virtual QVariant dataGen2(const ModbusBytes &bytes, int role) const;
    virtual QVariant dataGen3(const ModbusBytes &bytes, int role) const;

public slots:
    void setTvnGeneration(int generation);

signals:
    void recordLabelChanged();
    void vPlusChanged();
    void vMinusChanged();
    void flowRateEsFlagsChanged();
    void dMinVolumeFlowRateChanged();
    void dMaxVolumeFlowRateChanged();
    void workTimeChanged();
    void flowRateSensorLessTimeChanged();
    void quicklyNoSensorChanged();
    void noSensorChanged();
    void userDataErrorChanged();
    void maxQOverflowChanged();
    void highSetOverflowChanged();
    void lowSetOverflowChanged();
    void dVPlusChanged(float value);
    void dVMinusChanged(float value);
    void dWorkTimeChanged(quint16 value);
    void dFlowRateSensorLessTimeChanged(quint16 value);
    void tvnGenerationChanged(int generation);
    void serviceFlagsChanged(quint16 flags);
    void heatEsFlagsChanged(int flags);
    void heatSensorLessTimeChanged(quint32 value);
    void wChanged(double value);
    void mPlusChanged(double value);
    void dHeatSensorLessTimeChanged(quint16 value);
    void dMPlusChanged(double value);
    void dWChanged(double value);
    void dMinWeightFlowRateChanged(float value);
    void dMaxWeightFlowRateChanged(float value);
    void containsHeatChanged(bool value);
    void minTemperature1Changed(float value);
    void maxTemperature1Changed(float value);
    void averageTemperature1Changed(float value);
    void minTemperature2Changed(float value);
    void maxTemperature2Changed(float value);
    void averageTemperature2Changed(float value);
    void minPressureChanged(float value);
    void maxPressureChanged(float value);
    void averagePressureChanged(float value);

private:
    QDateTime m_recordLabel;
    double m_vPlus = 0;
    double m_vMinus = 0;
    quint16 m_flowRateEsFlags = 0;
    int m_heatEsFlags = 0;
    float m_dMinVolumeFlowRate = 0;
    float m_dMaxVolumeFlowRate = 0;
    float m_dMinWeightFlowRate = 0;
    float m_dMaxWeightFlowRate = 0;
    quint32 m_workTime = 0;
    quint32 m_flowRateSensorLessTime = 0;
    quint32 m_heatSensorLessTime = 0;
    float m_dVPlus = 0;
    float m_dVMinus = 0;
    quint16 m_dWorkTime = 0;
    quint16 m_dFlowRateSensorLessTime = 0;
    quint16 m_dHeatSensorLessTime = 0;
    quint16 m_serviceFlags = 0;
    double m_mPlus = 0;
    double m_w = 0;
    float m_dMPlus = 0;
    float m_dW = 0;
    float m_minTemperature1 = 0;
    float m_maxTemperature1 = 0;
    float m_averageTemperature1 = 0;
    float m_minTemperature2 = 0;
    float m_maxTemperature2 = 0;
    float m_averageTemperature2 = 0;
    float m_minPressure = 0;
    float m_maxPressure = 0;
    float m_averagePressure = 0;
    bool m_quicklyNoSensor = false;
    bool m_noSensor = false;
    bool m_userDataError = false;
    bool m_maxQOverflow = false;
    bool m_highSetOverflow = false;
    bool m_lowSetOverflow = false;
    int m_tvnGeneration = 1;
    bool m_containsHeat = false;
};

#endif
