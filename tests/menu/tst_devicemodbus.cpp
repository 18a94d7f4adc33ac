#include "menucontext.h"
#include "modbusbit.h"
#include "modbusclient.h"
#include "modbuscustombytes.h"
#include "modbusfile.h"
#include "modbusitemaddressedbase.h"
#include "modbusloopbackclient.h"
#include "requestlog.h"
#include "siterecords.h"
#include "tavrininstrument.h"

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQmlExpression>
#include <QtTest>

namespace {

using namespace RequestLog;

// Each run of patterns between empty entries must come in its order; the runs among themselves
// may interleave (a live block read can fall anywhere between the steps of a reaction).
bool chainsInOrder(const QStringList &log, const QStringList &expected)
{
    QStringList chain;
    for (const QString &pattern : expected + QStringList{QString()}) {
        if (!pattern.isEmpty()) {
            chain << pattern;
            continue;
        }
        if (!inOrder(log, chain))
            return false;
        chain.clear();
    }
    return true;
}

// The register map as the instrument's documentation lists it: name (- for an unnamed item),
// type, logical address (f<file>:<offset> for file areas, byte.bit for bits), group (- for
// none) and the block it lies in (- for none, @<address> for an unnamed block). Written out by
// hand, not from the QML, so that a slip on either side shows. The schedule entries follow in
// expectedMap() by their rule.
const char *const ExpectedMap = R"(
firmwareCrc16 ModbusUInt16 300001 - -
hasHeatChannel ModbusUInt8 300009 - -
lastArchiveTime ModbusDateTime 300036 - -
realFirmwareVer ModbusUInt32 300044 - -
maxSitesCountItem ModbusUInt16 300767 - -
verificationStatus ModbusUInt8 300401 - -
verificationQsim ModbusFloat 300402 - -
verificationQ ModbusFloat 300404 - -
verificationVplus ModbusFloat 300406 - -
verificationAccum ModbusUInt32 300408 - -
report ModbusReport - - -
mainReadGroup ModbusCustomBytes 300701 - -
dtMeasured ModbusFloat 300701 - mainReadGroup
p ModbusFloat 300703 - mainReadGroup
- ModbusUInt16 300705 - mainReadGroup
currentGain ModbusUInt16 300706 - mainReadGroup
- ModbusUInt32 300707 - mainReadGroup
signalStrength ModbusUInt32 300709 - mainReadGroup
measurementsPerSecond ModbusUInt16 300711 - mainReadGroup
vPlus ModbusDoubleStruct 300712 - mainReadGroup
vMinus ModbusDoubleStruct 300716 - mainReadGroup
flowRate ModbusFloat 300720 - mainReadGroup
flowVelocity ModbusFloat 300722 - mainReadGroup
esSecondary ModbusUInt16 300724 - mainReadGroup
measuredSoundSpeed ModbusFloat 300725 - mainReadGroup
hydrodynamicCoeff ModbusFloat 300727 - mainReadGroup
totalAdditionalDt ModbusFloat 300729 - mainReadGroup
flowIncreaseAcceleration ModbusFloat 300731 - mainReadGroup
- ModbusFloat 300733 - mainReadGroup
currentAdditionalDelay ModbusFloat 300735 - mainReadGroup
transducerSpacingRecommended ModbusFloat 300737 - mainReadGroup
currentAverageDt0 ModbusFloat 300739 - mainReadGroup
discreteOutputCurrentFreq ModbusFloat 300741 - mainReadGroup
discreteOutputIntegralValue ModbusFloat 300743 - mainReadGroup
discreteOutputStatus ModbusUInt8 300745 - mainReadGroup
powerStatus ModbusUInt16 300746 - mainReadGroup
chargeLevel ModbusUInt16 300747 - mainReadGroup
batteryRemain ModbusInt16 300748 - mainReadGroup
timeRo ModbusDateTime 300749 - mainReadGroup
failures ModbusUInt16 300751 - mainReadGroup
measureStatusRo ModbusUInt8 300752 - mainReadGroup
scheduleState ModbusUInt8 300753 - mainReadGroup
cardStatus ModbusUInt16 300754 - mainReadGroup
cardCapacity ModbusUInt32 300755 - mainReadGroup
cardSpaceOccupied ModbusUInt32 300757 - mainReadGroup
currentSiteRo ModbusUInt8 300759 - mainReadGroup
dtCalculated ModbusFloat 300760 - mainReadGroup
dt0 ModbusFloat 300762 - mainReadGroup
usbState ModbusUInt8 300764 - mainReadGroup
sitesRevisionRo ModbusUInt32 300765 - mainReadGroup
sitesTotalCount ModbusUInt16 300767 - mainReadGroup
additionalDelayCalibrationStatus ModbusUInt8 300768 - mainReadGroup
calibratingZeroFlowOffsetStatus ModbusUInt8 300769 - mainReadGroup
settingZeroFlowPointStatus ModbusUInt8 300770 - mainReadGroup
massFlowRate ModbusFloat 300771 - mainReadGroup
thermalPower ModbusFloat 300773 - mainReadGroup
mPlusAccumulated ModbusDoubleStruct 300775 - mainReadGroup
wPlus ModbusDoubleStruct 300779 - mainReadGroup
heatEs ModbusUInt16 300783 - mainReadGroup
rawCurrent ModbusFloat 300784 - mainReadGroup
pressureStatus ModbusUInt8 300786 - mainReadGroup
pressureCurrent ModbusFloat 300787 - mainReadGroup
pressure ModbusFloat 300789 - mainReadGroup
rawResistance1 ModbusFloat 300791 - mainReadGroup
temperatureStatus1 ModbusUInt8 300793 - mainReadGroup
resistance1 ModbusFloat 300794 - mainReadGroup
temperature1 ModbusFloat 300796 - mainReadGroup
rawResistance2 ModbusFloat 300798 - mainReadGroup
temperatureStatus2 ModbusUInt8 300800 - mainReadGroup
resistance2 ModbusFloat 300801 - mainReadGroup
temperature2 ModbusFloat 300803 - mainReadGroup
failureGpio ModbusBit 1.0 - failures
failureKeyboard ModbusBit 1.1 - failures
failureGauge ModbusBit 1.2 - failures
failureI2cEeprom ModbusBit 1.3 - failures
failureEFiles ModbusBit 1.4 - failures
failureRtc ModbusBit 1.5 - failures
failureParams ModbusBit 1.6 - failures
failureKeyboardTask ModbusBit 1.7 - failures
failureFatTask ModbusBit 0.0 - failures
failureArchTask ModbusBit 0.1 - failures
failureAppTask ModbusBit 0.2 - failures
failureModbusTask ModbusBit 0.3 - failures
failureUsb ModbusBit 0.4 - failures
failureSom ModbusBit 0.5 - failures
failureAfe ModbusBit 0.6 - failures
failureNorFlash ModbusBit 0.7 - failures
modbusAddress ModbusUInt8 400001 - -
baudRate ModbusUInt8 400002 - -
byteTimeout ModbusUInt8 400003 - -
rtsDelay ModbusUInt8 400004 - -
modbusMode ModbusUInt8 400005 - -
time ModbusDateTime 400006 time -
initialize ModbusUInt8 400008 command -
enterProgramming ModbusUInt8 400009 - -
eraseMemoryCard ModbusUInt16 400010 command -
shutdownRegister ModbusUInt8 400012 - -
sleepState ModbusUInt8 400013 - -
serialNumber ModbusUInt32 400015 serialnumber -
eraseArchive ModbusUInt32 400023 command -
somMenuVersion ModbusUInt32 400041 somMenuVersion -
resetMeasurementHistory ModbusUInt8 400123 command -
adcReadCommand ModbusUInt16 400126 adcData -
measureStatus ModbusUInt8 400127 measurestatus -
currentSite ModbusUInt8 400128 currentsite -
probeVoltage ModbusUInt16 400129 siteoptions -
automaticGainControl ModbusUInt16 400130 siteoptions -
manualGain ModbusUInt16 400131 siteoptions -
tMin ModbusFloat 400132 siteoptions3 -
tMax ModbusFloat 400134 siteoptions3 -
medianAveraging ModbusUInt16 400136 siteoptions -
arithmeticAveraging ModbusUInt16 400137 siteoptions -
sensorsFreqType ModbusUInt8 400140 siteoptions -
phaseVelocity ModbusFloat 400141 siteoptions3 -
sensorTemp ModbusFloat 400143 siteoptions3 -
pulsesCount ModbusUInt8 400145 siteoptions3 -
probeSignalFreq ModbusUInt8 400146 siteoptions3 -
signalDetectionThreshold ModbusUInt16 400153 siteoptions -
sensorsType ModbusUInt8 400162 siteoptions -
transducerMountingMethod ModbusUInt8 400163 siteoptions -
pipeMaterial ModbusUInt8 400164 siteoptions -
pipeLinerMaterial ModbusUInt8 400165 siteoptions -
flowSign ModbusUInt8 400166 siteoptions -
inertiaTime ModbusUInt16 400167 siteoptions -
pipeSoundSpeed ModbusFloat 400168 siteoptions2 -
pipeWallThickness ModbusFloat 400170 siteoptions -
pipeLinerSoundSpeed ModbusFloat 400172 siteoptions2 -
pipeLinerThickness ModbusFloat 400174 siteoptions -
pipeCircumference ModbusFloat 400176 siteoptions -
pipeOutsideDiameter ModbusFloat 400178 siteoptions -
transducerPlaneDiameter ModbusFloat 400180 siteoptions -
transducerSpacing ModbusFloat 400186 siteoptions -
pipeRoughness ModbusFloat 400188 siteoptions -
fluidViscosity ModbusFloat 400190 siteoptions -
maxFlowAcceleration ModbusFloat 400196 siteoptions -
maxFlowRate ModbusFloat 400198 siteoptions -
flowCutOff ModbusFloat 400200 siteoptions -
zeroFlowOffsetdt0 ModbusFloat 400202 siteoptions -
additionalDelay ModbusFloat 400204 siteoptions -
fluidSoundSpeed ModbusFloat 400206 siteoptions2 -
k1 ModbusFloat 400208 siteoptions -
k2 ModbusFloat 400210 siteoptions -
k3 ModbusFloat 400212 siteoptions -
lowerSetPoint ModbusFloat 400220 siteoptions -
upperSetPoint ModbusFloat 400222 siteoptions -
fluidType ModbusUInt8 400224 siteoptions -
fluidTemperature ModbusFloat 400225 siteoptions -
- ModbusFloat 400141 sitesensors -
- ModbusFloat 400143 sitesensors -
- ModbusUInt8 400145 sitesensors -
- ModbusUInt8 400146 sitesensors -
- ModbusFloat 400147 sitesensors -
- ModbusFloat 400149 sitesensors -
- ModbusUInt8 400151 sitesensors -
- ModbusUInt8 400152 sitesensors -
heatSupplySystem ModbusUInt8 401025 heatParameter -
upperMassFlowRateSetPoint ModbusFloat 401026 heatParameter -
lowerMassFlowRateSetPoint ModbusFloat 401028 heatParameter -
deltaT ModbusFloat 401030 heatParameter -
pressureSensorControl ModbusUInt8 401040 heatParameter -
currentConversionRange ModbusUInt8 401041 heatParameter -
pressureConversionRange ModbusUInt8 401042 heatParameter -
pressureDefaultValue ModbusFloat 401049 heatParameter -
temperature1SensorControl ModbusUInt8 401051 heatParameter -
rtdType1 ModbusUInt8 401052 heatParameter -
lowerNominalTemperature1 ModbusFloat 401059 heatParameter -
upperNominalTemperature1 ModbusFloat 401061 heatParameter -
temperature1DefaultValue ModbusFloat 401063 heatParameter -
temperature2SensorControl ModbusUInt8 401065 heatParameter -
rtdType2 ModbusUInt8 401066 heatParameter -
lowerNominalTemperature2 ModbusFloat 401073 heatParameter -
upperNominalTemperature2 ModbusFloat 401075 heatParameter -
temperature2DefaultValue ModbusFloat 401077 heatParameter -
atmosphericPressure ModbusFloat 401079 - -
sitesRevision ModbusUInt32 402999 sitesrevision -
siteCopier ModbusUInt32 403255 sitecopier -
siteCopyFrom ModbusUInt16 403255 - siteCopier
siteCopyTo ModbusUInt16 403256 - siteCopier
siteClear ModbusUInt16 403260 command -
siteMap ModbusFile f128:0 siteMap -
currentSiteItem TavSiteItem f128:0 currentsitepath -
editingSiteItem TavSiteItem f128:305 sites -
loggingInterval ModbusUInt16 403001 - -
discreteOutputMode ModbusUInt8 403101 - -
discreteOutputActiveState ModbusUInt8 403102 - -
discreteOutputKp ModbusFloat 403103 - -
discreteOutputKi ModbusFloat 403105 - -
discreteOutputImpulseTime ModbusUInt16 403107 - -
discreteOutputMaxFreq ModbusFloat 403108 - -
discreteOutputLowerLimit ModbusFloat 403110 - -
discreteOutputUpperLimit ModbusFloat 403112 - -
discreteOutputFreqListIndex ModbusUInt8 403114 - -
discreteOutputPulseListIndex ModbusUInt8 403115 - -
discreteOutputLogicalListIndex ModbusUInt8 403116 - -
discreteOutputCalculateKp ModbusUInt8 403253 - -
discreteOutputCalculateKi ModbusUInt8 403254 - -
adjustAdditionalDelay ModbusUInt8 403251 - -
setZeroFlowOffsetdt0 ModbusUInt8 403252 - -
onFlowZeroAdjusmentCommand ModbusUInt8 403257 calibration -
onFlowZeroAdjusmentStage ModbusUInt8 403258 calibration -
onFlowZeroAdjustmentTime ModbusUInt16 306124 calibration -
onFlowZeroAdjusmentC1 ModbusFloat 306125 calibration -
onFlowZeroAdjusmentDt1 ModbusFloat 306127 calibration -
onFlowZeroAdjusmentDt2 ModbusFloat 306129 calibration -
onFlowZeroAdjustmentDt0 ModbusFloat 306131 calibration -
adcDataForward ModbusInt16 302001 adcData -
adcDataBackward ModbusInt16 304049 adcData -
adcDataParams ModbusCustomBytes 301988 adcData -
adcStartForward ModbusUInt32 301988 - adcDataParams
adcStartBackward ModbusUInt32 301990 - adcDataParams
adcWindowStartForward ModbusUInt32 301992 - adcDataParams
adcWindowStartBackward ModbusUInt32 301994 - adcDataParams
scheduleCommand ModbusUInt8 403560 command -
scheduleMode ModbusUInt8 403561 - -
- ModbusCustomBytes 403562 - -
periodicScheduleStartTime ModbusDateTime 403562 - @403562
periodicSchedulePeriod ModbusDateTime 403564 - @403562
periodicScheduleDuration ModbusDateTime 403566 - @403562
periodicScheduleEndTime ModbusDateTime 403568 - @403562
periodicScheduleLoggingInterval ModbusUInt8 403570 - @403562
resetScheduleCommand ModbusUInt8 403691 command -
flowRateHistory TavrinFlowRateHistoryItem 300533 measurementHistory -
heatHistory TavrinHeatHistoryItem 301195 measurementHistory -
pressureHistory TavrinPressureHistoryItem 301317 measurementHistory -
)";

QStringList expectedMap()
{
    QStringList lines = QString::fromLatin1(ExpectedMap).split('\n', Qt::SkipEmptyParts);
    for (int i = 0; i < 20; ++i) {
        const int a = 403571 + 6 * i;
        const QString entry = QStringLiteral("intervalSchedule%1").arg(i);
        lines << QStringLiteral("%1 ModbusCustomBytes %2 intervalschedulegroup -").arg(entry).arg(a)
              << QStringLiteral("%1.state ModbusUInt8 %2 - %1").arg(entry).arg(a)
              << QStringLiteral("%1.startTime ModbusDateTime %2 - %1").arg(entry).arg(a + 1)
              << QStringLiteral("%1.endTime ModbusDateTime %2 - %1").arg(entry).arg(a + 3)
              << QStringLiteral("%1.loggingInterval ModbusUInt8 %2 - %1").arg(entry).arg(a + 5)
              << QStringLiteral("- ModbusUInt8 %1 importintervalschedulegroupturn -").arg(a)
              << QStringLiteral("- ModbusDateTime %1 importintervalschedulegroup -").arg(a + 1)
              << QStringLiteral("- ModbusDateTime %1 importintervalschedulegroup -").arg(a + 3)
              << QStringLiteral("- ModbusUInt8 %1 importintervalschedulegroup -").arg(a + 5);
    }
    lines.sort();
    return lines;
}

// What the device model reads and writes of the menu's context object. Like the real one it
// hands a new device address to the client.
class TestMenuContext : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int connectionType MEMBER connectionType NOTIFY connectionTypeChanged)
    Q_PROPERTY(
        int deviceAddress READ deviceAddress WRITE setDeviceAddress NOTIFY deviceAddressChanged)
    Q_PROPERTY(int deviceBaudRateIndex MEMBER deviceBaudRateIndex NOTIFY deviceBaudRateIndexChanged)
    Q_PROPERTY(bool embedded MEMBER embedded CONSTANT)
    Q_PROPERTY(quint32 menuVersionUInt MEMBER menuVersionUInt CONSTANT)

public:
    int deviceAddress() const { return m_deviceAddress; }
    void setDeviceAddress(int address)
    {
        if (address == m_deviceAddress)
            return;
        m_deviceAddress = address;
        if (client)
            client->setDeviceAddress(address);
        emit deviceAddressChanged();
    }

    // The program's rule.
    Q_INVOKABLE int compareVersions(const QString &first, const QString &second) const
    {
        return MenuContext::compareVersionTexts(first, second);
    }

    int connectionType = 2; // USB
    int deviceBaudRateIndex = 0;
    bool embedded = false;
    quint32 menuVersionUInt = 17439088;
    ModbusClient *client = nullptr;

signals:
    void connectionTypeChanged();
    void deviceAddressChanged();
    void deviceBaudRateIndexChanged();

private:
    int m_deviceAddress = 1;
};

// The globals of the start-up document that the device model reads, as small stand-ins.
const char *const Document = R"(
import QtQuick

Item {
    property bool isHeatSupported: deviceModbus.tvnGeneration >= 2 && deviceModbus.hasHeatChannel.has
    onIsHeatSupportedChanged: {
        if (isHeatSupported && !exportManager.active)
            deviceModbus.readAllHeatParams()
    }

    QtObject {
        id: exportManager
        property bool active: false
    }
    QtObject {
        id: sitesManager
        property int siteNameSize: 40
        property int reservedBytesCount: 0
        property int siteRecordSize: siteNameSize * 3 + reservedBytesCount + 2
        property int maxSitesCount: deviceModbus.maxSitesCountItem.value
        property int editingSiteIndex: 5
    }
    QtObject {
        id: deviceDimensions
        property QtObject flowRateDimension: QtObject {
            property real ratio: 1
        }
    }
    DeviceModbus {
        id: deviceModbus
    }
}
)";

// DeviceModbus in the small document, on the module of the build tree.
struct DeviceModel
{
    explicit DeviceModel(int connectionType = 2, bool embedded = false)
    {
        engine.addImportPath(QStringLiteral(DORRIK_QML_IMPORT_DIR));
        context.connectionType = connectionType;
        context.embedded = embedded;
        engine.rootContext()->setContextObject(&context);
        engine.rootContext()->setContextProperty(QStringLiteral("menuContext"), &context);
        QQmlComponent component(&engine);
        component.setData(
            Document, QUrl::fromLocalFile(QStringLiteral(DORRIK_MENU_QML_DIR "/sources/Test.qml")));
        root.reset(component.create());
        if (!root) {
            qWarning().noquote() << component.errorString();
            return;
        }
        client = root->findChild<ModbusClient *>(QStringLiteral("modbusClient"));
        context.client = client;
    }

    QVariant eval(const QString &script)
    {
        QQmlExpression expression(qmlContext(root.get()), root.get(), script);
        const QVariant result = expression.evaluate();
        if (expression.hasError())
            qWarning().noquote() << script << expression.error().toString();
        return result;
    }

    template <typename T = ModbusItemBase> T *item(const char *name) const
    {
        return qobject_cast<T *>(client->property(name).value<QObject *>());
    }

    QQmlEngine engine;
    TestMenuContext context;
    std::unique_ptr<QObject> root;
    ModbusClient *client = nullptr;
};

QString typeName(const QObject *object)
{
    const QMetaObject *meta = object->metaObject();
    while (meta && QByteArray(meta->className()).contains("_QML"))
        meta = meta->superClass();
    return QString::fromLatin1(meta ? meta->className() : "?");
}

} // namespace

class tst_DeviceModbus : public QObject
{
    Q_OBJECT

private slots:
    void registerMap();
    void sensorSetsAndBlockSizes();
    void requestLog_data();
    void requestLog();
    void refusedTableReadAgainASecondLater();
    void baudRateWriteAbortsQueuedReads();
    void generation_data();
    void generation();
    void revisionCommit_data();
    void revisionCommit();
    void revisionAdoptedFromTheInstrument();
    void revisionAheadForFourReads();
    void commitBeforeTheFirstLiveRead_data();
    void commitBeforeTheFirstLiveRead();

private:
    // Connects the model and waits for the reads of the connection to be answered.
    static bool connectAndSettle(DeviceModel &model, TavrinInstrument &instrument);
    QString describeItem(const QHash<const QObject *, QString> &names, const ModbusItemBase *item);
};

QString tst_DeviceModbus::describeItem(const QHash<const QObject *, QString> &names,
                                       const ModbusItemBase *item)
{
    const auto nameOf = [&](const QObject *object) {
        if (names.contains(object))
            return names.value(object);
        const auto *addressed = qobject_cast<const ModbusItemAddressedBase *>(object);
        return addressed ? QStringLiteral("@%1").arg(addressed->address()) : QStringLiteral("?");
    };
    // A child's register lies its byte offset on from its block's.
    std::function<qint64(const ModbusItemBase *)> addressOf =
        [&](const ModbusItemBase *i) -> qint64 {
        if (i->source())
            return addressOf(i->source()) + i->sourceByteIndex() / 2;
        const auto *addressed = qobject_cast<const ModbusItemAddressedBase *>(i);
        return addressed ? qint64(addressed->address()) : -1;
    };
    QString address;
    if (const auto *bit = qobject_cast<const ModbusBit *>(item)) {
        address = QStringLiteral("%1.%2").arg(bit->sourceByteIndex()).arg(bit->sourceBitIndex());
    } else if (const auto *file = qobject_cast<const ModbusFile *>(item)) {
        address = QStringLiteral("f%1:%2").arg(file->file()).arg(file->offset());
    } else {
        const qint64 value = addressOf(item);
        address = value < 0 ? QStringLiteral("-") : QString::number(value);
    }
    const QString name = names.value(item, QStringLiteral("-"));
    return QStringList{name, typeName(item), address,
                       item->group().isEmpty() ? QStringLiteral("-") : item->group(),
                       item->source() ? nameOf(item->source()) : QStringLiteral("-")}
        .join(' ');
}

void tst_DeviceModbus::registerMap()
{
    DeviceModel model;
    QVERIFY(model.client);
    // Names: the client's aliases, and the aliases an item declares itself (schedule entries).
    QHash<const QObject *, QString> names;
    const auto collectNames = [&](const QObject *owner, const QString &prefix) {
        const QMetaObject *meta = owner->metaObject();
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            auto *value = meta->property(i).read(owner).value<QObject *>();
            if (qobject_cast<ModbusItemBase *>(value))
                names.insert(value, prefix + QString::fromLatin1(meta->property(i).name()));
        }
    };
    collectNames(model.client, QString());
    const QHash<const QObject *, QString> clientNames = names;
    for (auto it = clientNames.cbegin(); it != clientNames.cend(); ++it) {
        if (it.value().startsWith(QLatin1String("intervalSchedule")))
            collectNames(it.key(), it.value() + '.');
    }

    QStringList actual;
    for (const ModbusItemBase *item : model.client->findChildren<ModbusItemBase *>())
        actual << describeItem(names, item);
    actual.sort();
    const QStringList expected = expectedMap();
    QStringList missing;
    QStringList extra;
    for (const QString &line : expected) {
        if (!actual.contains(line))
            missing << line;
    }
    for (const QString &line : actual) {
        if (!expected.contains(line))
            extra << line;
    }
    QVERIFY2(missing.isEmpty() && extra.isEmpty(),
             qPrintable(QStringLiteral("\nmissing:\n  %1\nextra:\n  %2")
                            .arg(missing.join("\n  "), extra.join("\n  "))));
    QCOMPARE(actual.size(), expected.size());
}

void tst_DeviceModbus::sensorSetsAndBlockSizes()
{
    DeviceModel model;
    QVERIFY(model.client);
    const auto addresses = [&] {
        QList<quint32> result;
        for (const char *name : {"phaseVelocity", "sensorTemp", "pulsesCount", "probeSignalFreq"})
            result << model.item<ModbusItemAddressedBase>(name)->address();
        return result;
    };
    QCOMPARE(addresses(), (QList<quint32>{400141, 400143, 400145, 400146}));
    model.eval("deviceModbus.sensorsFreqType.value = 1");
    QCOMPARE(addresses(), (QList<quint32>{400147, 400149, 400151, 400152}));
    // Any other type selects the first set.
    model.eval("deviceModbus.sensorsFreqType.value = 2");
    QCOMPARE(addresses(), (QList<quint32>{400141, 400143, 400145, 400146}));

    auto *live = model.item<ModbusCustomBytes>("mainReadGroup");
    QCOMPARE(live->itemSize(), 140);
    model.eval("deviceModbus.hasHeatChannel.value = 1");
    QCOMPARE(live->itemSize(), 140); // generation 1 has no heat channel
    model.eval("deviceModbus.tvnGeneration = 2");
    QCOMPARE(live->itemSize(), 208);
    QCOMPARE(model.item<ModbusCustomBytes>("adcDataParams")->itemSize(), 16);
    QCOMPARE(model.item<ModbusCustomBytes>("intervalSchedule0")->itemSize(), 12);
    QCOMPARE(model.item<ModbusCustomBytes>("intervalSchedule19")->itemSize(), 12);

    auto *siteMap = model.item<ModbusFile>("siteMap");
    QCOMPARE(siteMap->length(), 0);
    model.eval("deviceModbus.maxSitesCountItem.value = 20");
    QCOMPARE(siteMap->length(), 20 * 122);
    QCOMPARE(siteMap->modbusBlockSize(), 122);
    QCOMPARE(model.item<ModbusFile>("currentSiteItem")->length(), 122);
    model.eval("deviceModbus.currentSiteRo.value = 3");
    QCOMPARE(int(model.item<ModbusFile>("currentSiteItem")->offset()), 3 * 61);

    // Registers once per connection type.
    DeviceModel rs485(0);
    QCOMPARE(rs485.item<ModbusItemAddressedBase>("adcReadCommand")->address(), 400124u);
    QCOMPARE(rs485.item<ModbusItemAddressedBase>("resetMeasurementHistory")->address(), 400121u);
    QCOMPARE(rs485.client->retries(), 2);
    QCOMPARE(model.client->retries(), 1);
}

bool tst_DeviceModbus::connectAndSettle(DeviceModel &model, TavrinInstrument &instrument)
{
    model.client->setTransport(instrument.link());
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        if (model
                .eval("deviceModbus.siteMap.wasRead && deviceModbus.mainReadGroup.wasRead && "
                      "deviceModbus.currentSiteItem.wasRead")
                .toBool())
            return true;
        QTest::qWait(10);
    }
    qWarning().noquote() << "not settled:" << described(instrument.requests(), WithUnit).join('\n');
    return false;
}

void tst_DeviceModbus::requestLog_data()
{
    QTest::addColumn<int>("generation");
    QTest::addColumn<bool>("heat");
    QTest::addColumn<int>("freqType");
    QTest::addColumn<bool>("embedded");
    // Run after the connection's reads were answered, with the log cleared; empty: the log of the
    // connection itself is checked.
    QTest::addColumn<QString>("script");
    // Requests that must come in this order, as regular expressions over the described log; an
    // empty entry starts another order, checked on its own.
    QTest::addColumn<QStringList>("expected");
    // "<pattern>#<n>": the pattern matches exactly n requests.
    QTest::addColumn<QStringList>("counts");
    // True once the requests came.
    QTest::addColumn<QString>("check");

    QStringList table;
    for (int record = 0; record < 20; record += 2)
        table << QStringLiteral("FR 0x80 %1 122 u1").arg(record * 61);
    QTest::newRow("connect: groups read, the sites table once")
        << 1 << false << 0 << false << QString() << (QStringList{"R 300767 1 u1"} << table)
        << QStringList{"R 300044 2 u1#1", "R 400001 1 u1#1",    "R 400129 1 u1#1",
                       "R 403571 6 u1#1", "FR 0x80 0 122 u1#1", "FR 0x80 0 61 u1#1",
                       "R 302001 .*#0",   "R 304049 .*#0",      "R 301988 .*#0",
                       "R 300533 .*#0",   "R 301195 .*#0",      "R 400041 .*#0",
                       "R 401025 .*#0",   "R 400147 .*#0",      "R 403571 1 u1#0",
                       "R 403572 .*#0",   "FR 0x80 305 .*#0",   "W .*#0"}
        << QString();
    QTest::newRow("live block, generation 1 with a heat channel")
        << 1 << true << 0 << false << QString() << QStringList{"R 300701 70 u1"}
        << QStringList{"R 300701 104 .*#0", "R 401025 .*#0"} << QString();
    QTest::newRow("live block, generation 3 without a heat channel")
        << 3 << false << 0 << false << QString() << QStringList{"R 300701 70 u1"}
        << QStringList{"R 300701 104 .*#0", "R 401025 .*#0"} << QString();
    QTest::newRow("live block, generation 2 with a heat channel")
        << 2 << true << 0 << false << QString()
        << QStringList{"R 300009 1 u1", "R 300044 2 u1", "R 401025 1 u1", "R 300701 104 u1"}
        << QStringList{"R 401025 1 u1#1", "R 401079 2 u1#1"} << "deviceModbus.tvnGeneration === 2";
    QTest::newRow("sensor frequency type 1: the second set")
        << 1 << false << 1 << false << QString()
        << QStringList{"R 400140 1 u1", "R 400147 2 u1", "R 400149 2 u1", "R 400151 1 u1",
                       "R 400152 1 u1"}
        << QStringList{"R 400141 2 u1#1", "R 400147 2 u1#1"} << QString();
    QTest::newRow("sensor frequency type 2: the first set")
        << 1 << false << 2 << false << QString()
        << QStringList{"R 400140 1 u1", "R 400141 2 u1", "R 400143 2 u1", "R 400145 1 u1",
                       "R 400146 1 u1"}
        << QStringList{"R 400141 2 u1#2", "R 400147 .*#0"} << QString();
    QTest::newRow("device address 12")
        << 1 << false << 0 << false
        << "deviceModbus.modbusAddress.value = 12; deviceModbus.modbusAddress.write()"
        << QStringList{"W 400001 000c u1", "R 300701 70 u12"} << QStringList{}
        << "menuContext.deviceAddress === 12";
    QTest::newRow("pipe material: pipe sound speed read again")
        << 1 << false << 0 << false
        << "deviceModbus.pipeMaterial.value = 2; deviceModbus.pipeMaterial.write()"
        << QStringList{"W 400164 0002 u1", "R 400168 2 u1"} << QStringList{} << QString();
    QTest::newRow("liner material: liner sound speed read again")
        << 1 << false << 0 << false
        << "deviceModbus.pipeLinerMaterial.value = 1; deviceModbus.pipeLinerMaterial.write()"
        << QStringList{"W 400165 0001 u1", "R 400172 2 u1"} << QStringList{} << QString();
    QTest::newRow("circumference: plane diameter read again")
        << 1 << false << 0 << false
        << "deviceModbus.pipeCircumference.value = 330; deviceModbus.pipeCircumference.write()"
        << QStringList{"W 400176 43a50000 u1", "R 400180 2 u1"} << QStringList{} << QString();
    QTest::newRow("current site 3: settings, record, then the record at 183")
        << 1 << false << 0 << false
        << "deviceModbus.currentSite.value = 3; deviceModbus.currentSite.write()"
        << QStringList{"W 400128 0003 u1", "R 400129 1 u1",   "R 400132 2 u1",
                       "R 400168 2 u1",    "FR 0x80 0 61 u1", "",
                       "W 400128 0003 u1", "R 300701 70 u1",  "FR 0x80 183 61 u1"}
        << QStringList{} << "deviceModbus.siteIndex === 3";
    QTest::newRow("export running: only writes")
        << 1 << false << 0 << false
        << "exportManager.active = true|"
           "deviceModbus.pipeMaterial.value = 2; deviceModbus.pipeMaterial.write();"
           "deviceModbus.baudRate.value = 3; deviceModbus.baudRate.write();"
           "deviceModbus.currentSite.value = 1; deviceModbus.currentSite.write()"
        << QStringList{"W 400164 0002 u1", "W 400002 0003 u1", "W 400128 0001 u1"}
        << QStringList{"R .*#0", "FR .*#0"} << "menuContext.deviceBaudRateIndex === 0";
    QTest::newRow("signal capture before the menu's first command: no data")
        << 1 << false << 0 << false << "deviceModbus.adcReadCommand.read()"
        << QStringList{"R 400126 1 u1", "W 400126 0001 u1"}
        << QStringList{"R 302001 .*#0", "R 304049 .*#0", "R 301988 .*#0"} << QString();
    QTest::newRow("signal capture after a command: data, then the next")
        << 1 << false << 0 << false
        << "(function() {"
           "  var item = deviceModbus.adcReadCommand;"
           "  var again = function() { item.afterWrite.disconnect(again); item.read() };"
           "  item.afterWrite.connect(again);"
           "  item.read()"
           "})()"
        << QStringList{"R 400126 1 u1", "W 400126 0001 u1", "R 400126 1 u1",   "R 302001 .*",
                       "R 304049 .*",   "R 301988 8 u1",    "W 400126 0001 u1"}
        << QStringList{"W 400126 0001 u1#2"} << QString();
    QTest::newRow("menu version written on the instrument")
        << 1 << false << 0 << true << QString() << QStringList{"W 400041 010a1970 u1"}
        << QStringList{"W 400041 .*#1"} << QString();
    QTest::newRow("menu version not written on a desktop")
        << 1 << false << 0 << false << QString() << QStringList{}
        << QStringList{"W 400041 .*#0", "R 400041 .*#0"} << QString();
    QTest::newRow("site copy 3 to 5")
        << 1 << false << 0 << false
        << "deviceModbus.siteCopyFrom.value = 3; deviceModbus.siteCopyTo.value = 5;"
           "deviceModbus.siteCopier.write()"
        << QStringList{"W 403255 00030005 u1"} << QStringList{} << QString();
}

void tst_DeviceModbus::requestLog()
{
    QFETCH(int, generation);
    QFETCH(bool, heat);
    QFETCH(int, freqType);
    QFETCH(bool, embedded);
    QFETCH(QString, script);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, counts);
    QFETCH(QString, check);

    TavrinInstrument instrument;
    instrument.setGeneration(generation);
    instrument.setHeatChannel(heat);
    instrument.setRegisters(400140, ModbusBytes::fromUInt16(quint16(freqType)));
    // A signal capture is done by the next read of its command.
    instrument.setCaptureTime(0);
    DeviceModel model(2, embedded);
    QVERIFY(model.client);
    QVERIFY(connectAndSettle(model, instrument));
    if (!script.isEmpty()) {
        // A set-up before '|' runs first; what it stops may still have a request on its way in
        // the worker's queue, which is let through before the log starts.
        if (script.contains('|')) {
            model.eval(script.section('|', 0, 0));
            QTest::qWait(300);
        }
        instrument.clearRequests();
        model.eval(script.section('|', -1));
    }
    QTRY_VERIFY2_WITH_TIMEOUT(chainsInOrder(described(instrument.requests(), WithUnit), expected),
                              qPrintable(described(instrument.requests(), WithUnit).join('\n')),
                              5000);
    if (!check.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(model.eval(check).toBool(), 2000);
    // What should not come has had its chance.
    QTest::qWait(200);
    const QStringList log = described(instrument.requests(), WithUnit);
    for (const QString &count : counts) {
        const QString pattern = count.section('#', 0, 0);
        QVERIFY2(countOf(log, pattern) == count.section('#', 1).toInt(),
                 qPrintable(count + QStringLiteral(":\n") + log.join('\n')));
    }
}

void tst_DeviceModbus::refusedTableReadAgainASecondLater()
{
    TavrinInstrument instrument;
    // The current site's record is read first, then the table.
    instrument.setFileException(SiteRecords::File, DorrikBus::IllegalDataAddress, 2);
    DeviceModel model;
    QVERIFY(model.client);
    model.client->setTransport(instrument.link());
    const auto tableReads = [&] {
        QList<qint64> times;
        for (const InstrumentRequest &request : instrument.requests()) {
            if (request.function == DorrikBus::ReadFile && request.address == 0 &&
                request.count == 122)
                times << request.time;
        }
        return times;
    };
    QTRY_COMPARE_WITH_TIMEOUT(tableReads().size(), 2, 5000);
    const qint64 gap = tableReads().at(1) - tableReads().at(0);
    QVERIFY2(gap >= 900 && gap < 2000, qPrintable(QString::number(gap)));
    QTRY_VERIFY(model.eval("deviceModbus.siteMap.wasRead").toBool());
    QCOMPARE(model.eval("deviceModbus.siteMap.intervalReading").toBool(), false);
}

void tst_DeviceModbus::baudRateWriteAbortsQueuedReads()
{
    TavrinInstrument instrument;
    DeviceModel model;
    QVERIFY(model.client);
    QVERIFY(connectAndSettle(model, instrument));
    instrument.setDelay(100);
    instrument.clearRequests();
    model.eval("deviceModbus.readAllParams()");
    QTRY_COMPARE(instrument.requestCount(), 1); // one read in flight, the rest queued
    model.eval("deviceModbus.baudRate.value = 4; deviceModbus.baudRate.write()");
    QTRY_COMPARE_WITH_TIMEOUT(model.context.deviceBaudRateIndex, 4, 3000);
    instrument.setDelay(0);
    const QStringList log = described(instrument.requests(), WithUnit);
    QVERIFY2(log.size() >= 2, qPrintable(log.join('\n')));
    QVERIFY2(log.at(0).startsWith("R "), qPrintable(log.join('\n')));
    QCOMPARE(log.at(1), QStringLiteral("W 400002 0004 u1"));
}

void tst_DeviceModbus::generation_data()
{
    QTest::addColumn<quint32>("firmware");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("generation");
    QTest::newRow("23.06.00.18 is still the first") << 922400720u << "23.06.00.18" << 1;
    QTest::newRow("23.06.00.19") << 922400760u << "23.06.00.19" << 2;
    QTest::newRow("23.06.00.27 opens the third") << 922401080u << "23.06.00.27" << 3;
}

void tst_DeviceModbus::generation()
{
    QFETCH(quint32, firmware);
    QFETCH(QString, version);
    QFETCH(int, generation);
    TavrinInstrument instrument;
    instrument.setFirmwareVersion(firmware);
    DeviceModel model;
    QVERIFY(model.client);
    QCOMPARE(model.eval("deviceModbus.realFirmwareVer.generationDetermined").toBool(), false);
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable(QStringLiteral("TvnGeneration: %1").arg(generation)));
    QVERIFY(connectAndSettle(model, instrument));
    QTRY_VERIFY(model.eval("deviceModbus.realFirmwareVer.generationDetermined").toBool());
    QCOMPARE(model.eval("deviceModbus.realFirmwareVer.version").toString(), version);
    QCOMPARE(model.eval("deviceModbus.tvnGeneration").toInt(), generation);
}

void tst_DeviceModbus::revisionCommit_data()
{
    QTest::addColumn<int>("connectionType");
    QTest::addColumn<QString>("written");
    QTest::newRow("USB adds 3") << 2 << "W 402999 0000000d u1";
    QTest::newRow("RS-485 adds 1") << 0 << "W 402999 0000000b u1";
}

void tst_DeviceModbus::revisionCommit()
{
    QFETCH(int, connectionType);
    QFETCH(QString, written);
    TavrinInstrument instrument;
    instrument.setSitesRevision(10);
    DeviceModel model(connectionType);
    QVERIFY(model.client);
    QVERIFY(connectAndSettle(model, instrument));
    QCOMPARE(model.eval("deviceModbus.currentRevision").toDouble(), 10.0);
    instrument.clearRequests();
    model.eval("deviceModbus.commitSitesRevision()");
    QTRY_VERIFY(inOrder(described(instrument.requests(), WithUnit), {written, "R 300701 70 u1"}));
    const quint32 expected = connectionType == 2 ? 13 : 11;
    QCOMPARE(instrument.sitesRevision(), expected);
    QCOMPARE(instrument.registers(402999, 2).toUInt32(0), expected);
    QCOMPARE(model.eval("deviceModbus.currentRevision").toDouble(), double(expected));
}

void tst_DeviceModbus::revisionAdoptedFromTheInstrument()
{
    TavrinInstrument instrument;
    instrument.setSitesRevision(0xFFFFFFF5);
    DeviceModel model;
    QVERIFY(model.client);
    QVERIFY(connectAndSettle(model, instrument));
    // The first read only adopts the instrument's revision.
    QCOMPARE(model.eval("deviceModbus.currentRevision").toDouble(), double(0xFFFFFFF5));
    QTest::qWait(200);
    QCOMPARE(countOf(described(instrument.requests(), WithUnit), "FR 0x80 0 122 u1"), 1);

    // Another client wraps the counter.
    instrument.clearRequests();
    instrument.setSitesRevision(0);
    QTRY_COMPARE_WITH_TIMEOUT(model.eval("deviceModbus.currentRevision").toDouble(), 0.0, 3000);
    QTRY_VERIFY(inOrder(described(instrument.requests(), WithUnit),
                        {"R 300701 70 u1", "FR 0x80 0 122 u1", "FR 0x80 0 61 u1"}));
}

void tst_DeviceModbus::revisionAheadForFourReads()
{
    TavrinInstrument instrument;
    instrument.setSitesRevision(20);
    DeviceModel model;
    QVERIFY(model.client);
    QVERIFY(connectAndSettle(model, instrument));
    QCOMPARE(model.eval("deviceModbus.currentRevision").toDouble(), 20.0);
    // Live reads one at a time, by hand.
    model.client->setIntervalReadingEnabled(false);
    QTest::qWait(100);
    const auto liveRead = [&](quint32 instrumentRevision) {
        instrument.setSitesRevision(instrumentRevision);
        instrument.clearRequests();
        const qulonglong before = model.eval("deviceModbus.mainReadGroup.readCount").toULongLong();
        model.eval("deviceModbus.mainReadGroup.read()");
        return QTest::qWaitFor(
            [&] {
                return model.eval("deviceModbus.mainReadGroup.readCount").toULongLong() > before;
            },
            2000);
    };
    const auto counter = [&] { return model.eval("deviceModbus.revisionLessCounter").toInt(); };
    QVERIFY(liveRead(17));
    QVERIFY(liveRead(17));
    QCOMPARE(counter(), 2);
    QVERIFY(liveRead(20)); // level again: the count starts over
    QCOMPARE(counter(), 0);
    QVERIFY(liveRead(17));
    QVERIFY(liveRead(17));
    QVERIFY(liveRead(17));
    QCOMPARE(counter(), 3);
    QCOMPARE(model.eval("deviceModbus.currentRevision").toDouble(), 20.0);
    QVERIFY(liveRead(17));
    QTRY_COMPARE(model.eval("deviceModbus.currentRevision").toDouble(), 17.0);
    QTRY_VERIFY(inOrder(described(instrument.requests(), WithUnit),
                        {"R 300701 70 u1", "FR 0x80 0 122 u1", "FR 0x80 0 61 u1"}));
}

void tst_DeviceModbus::commitBeforeTheFirstLiveRead_data()
{
    QTest::addColumn<int>("connectionType");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("written");
    QTest::newRow("USB") << 2 << false << "W 402999 000001f7 u1";
    QTest::newRow("RS-485") << 0 << false << "W 402999 000001f5 u1";
    QTest::newRow("live block refused") << 2 << true << QString();
}

void tst_DeviceModbus::commitBeforeTheFirstLiveRead()
{
    QFETCH(int, connectionType);
    QFETCH(bool, refused);
    QFETCH(QString, written);
    TavrinInstrument instrument;
    instrument.setSitesRevision(500);
    instrument.setDelay(10);
    if (refused)
        instrument.setException(300701, DorrikBus::IllegalDataAddress);
    DeviceModel model(connectionType);
    QVERIFY(model.client);
    // Before anything of the live block has been answered.
    model.eval("deviceModbus.commitSitesRevision()");
    QCOMPARE(model.eval("deviceModbus.currentRevision").toDouble(), -1.0);
    model.client->setTransport(instrument.link());
    if (refused) {
        QTest::qWait(1500);
        QCOMPARE(countOf(described(instrument.requests(), WithUnit), "W 402999 .*"), 0);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(inOrder(described(instrument.requests(), WithUnit), {written}), 10000);
    QCOMPARE(countOf(described(instrument.requests(), WithUnit), "W 402999 .*"), 1);
    // The instrument logs a write before its thread has stored it.
    QTRY_COMPARE(instrument.sitesRevision(), connectionType == 2 ? 503u : 501u);
}

QTEST_MAIN(tst_DeviceModbus)
#include "tst_devicemodbus.moc"
