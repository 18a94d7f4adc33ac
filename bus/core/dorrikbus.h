#ifndef DORRIKBUS_H
#define DORRIKBUS_H

#include "dorrikbus_global.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>

class ModbusBytes;

// The library's namespace class: shared enums and their texts, the logical register address
// space, report-text helpers, the archive-label calendar and the version. All members are static;
// it is a QObject only so that QML can name its enums and call normalizeBinary.
class DORRIKBUS_EXPORT DorrikBus : public QObject
{
    Q_OBJECT
public:
    // Every enum has a fixed underlying type: callers pass values outside the lists (an unknown
    // archive type or interval, any direction byte), which must stay well-defined.
    enum BusType : int { ClientBus = 0, ServerBus = 1 };
    Q_ENUM(BusType)

    enum ArchType : int { IndexArch = 0, TimeArch = 1 };
    Q_ENUM(ArchType)

    enum ArchDirection : int { Forward = 0, Backward = 1 };
    Q_ENUM(ArchDirection)

    // The instrument's two archive-record function codes.
    enum ArchFunc : int { Func65 = 65, Func67 = 67 };
    Q_ENUM(ArchFunc)

    enum ArchInterval : int {
        Second = 0,
        Minute = 1,
        Hour = 2,
        Day = 3,
        Week = 4,
        Decade = 5,
        Month = 6,
        Quarter = 7,
        Year = 8
    };
    Q_ENUM(ArchInterval)

    enum PacketState : int { Request = 0, Response = 1 };
    Q_ENUM(PacketState)

    enum PacketKind : int {
        RegistersPacket = 0,
        ArchPacket = 1,
        ReportPacket = 2,
        ArchPresencePacket = 3,
        FilePacket = 4
    };
    Q_ENUM(PacketKind)

    enum ModbusAddressType : int {
        DiscreteInputs = 0,
        Coils = 1,
        InputRegisters = 2,
        HoldingRegisters = 3
    };
    Q_ENUM(ModbusAddressType)

    enum RegisterType : int { HoldingRegister = 0, InputRegister = 1 };
    Q_ENUM(RegisterType)

    enum ExceptionCode : int {
        NoException = 0,
        IllegalFunction = 1,
        IllegalDataAddress = 2,
        IllegalDataValue = 3,
        SlaveDeviceFailure = 4,
        Acknowledge = 5,
        SlaveDeviceBusy = 6,
        MemoryParityError = 8,
        GatewayPathUnavailable = 10,
        GatewayTargetDeviceFailedToRespond = 11
    };
    Q_ENUM(ExceptionCode)

    // 65 to 69 are the instrument's own functions.
    enum FunctionCode : int {
        UnknownFunctionCode = 0,
        ReadCoils = 1,
        ReadDiscreteInputs = 2,
        ReadHoldingRegisters = 3,
        ReadInputRegisters = 4,
        WriteSingleCoil = 5,
        WriteSingleRegister = 6,
        ReadExceptionStatus = 7,
        Diagnostics = 8,
        GetCommEventCounter = 11,
        GetCommEventLog = 12,
        WriteMultipleCoils = 15,
        WriteMultipleRegisters = 16,
        ReportSlaveId = 17,
        ReadFileRecord = 20,
        WriteFileRecord = 21,
        MaskWriteRegister = 22,
        ReadWriteMultipleRegisters = 23,
        ReadFifoQueue = 24,
        ReadDeviceIdentification = 43,
        ReadArchRecord65 = 65,
        ReadArchRecordsPresence = 66,
        ReadArchRecord67 = 67,
        ReadFile = 68,
        WriteFile = 69
    };
    Q_ENUM(FunctionCode)

    enum ModbusTaskType : int { ReadTask = 0, WriteTask = 1 };
    Q_ENUM(ModbusTaskType)

    enum ModbusTaskState : int { NoneState = 0, GoodState = 1, ErrorState = 2, AbortedState = 3 };
    Q_ENUM(ModbusTaskState)

    explicit DorrikBus(QObject *parent = nullptr);

    // Enum texts; "?" for a value the enum does not list.
    static QString busTypeStr(int type);
    static QString archTypeStr(int type);
    static QString archDirectionStr(int direction);
    static QString packetStateStr(int state);
    static QString packetKindStr(int kind);
    static QString modbusAddressTypeStr(int type);
    static QString exceptionCodeStr(int code);
    static QString functionCodeStr(int code);

    // Logical (Modicon) addresses: coils below 100001, discrete inputs 100001..300000, input
    // registers 300001..400000, holding registers above 400000.
    static ModbusAddressType getAddressType(quint32 address);
    static RegisterType getRegisterType(quint32 address);
    static RegisterType getRegisterType(FunctionCode function);
    static bool isHolding(quint32 address);
    static bool isInput(quint32 address);
    static FunctionCode getReadRegFunctionCode(quint32 address);
    static int getBytesInAddress(quint32 address);
    static bool isReadOnly(quint32 address);
    static quint32 absToLog(quint16 address, RegisterType type);
    static quint32 absToLog(quint16 address, FunctionCode function);
    static quint32 logToAbs(quint32 logical);

    // The device name at the front of the report bytes, terminated by a zero byte.
    static QString getDevNameFromReportBytes(const ModbusBytes &bytes);
    static ModbusBytes setDevNameToReportBytes(const ModbusBytes &bytes, const QString &name);

    Q_INVOKABLE static QString normalizeBinary(const QString &text, int length);

    static QString version();

    // Archive labels count seconds of the instrument's wall clock, which has no zone.
    static QDateTime archLabelToTime(unsigned int label);
    static unsigned int archLabelToSeconds(QDateTime t);

    // Label calendar. Date-times are taken by their clock reading, whatever zone they carry.
    static QDateTime getNextTimeLabel(const QDateTime &t, ArchInterval interval, bool *ok = nullptr,
                                      unsigned int step = 1);
    static QDateTime getPrevTimeLabel(const QDateTime &t, ArchInterval interval, bool *ok = nullptr,
                                      unsigned int step = 1);
    static unsigned int getNextTimeLabel(unsigned int label, ArchInterval interval,
                                         bool *ok = nullptr, unsigned int step = 1);
    static unsigned int getPrevTimeLabel(unsigned int label, ArchInterval interval,
                                         bool *ok = nullptr, unsigned int step = 1);
    static unsigned int getPrevLabel(unsigned int label, ArchType archType, ArchInterval interval,
                                     bool *ok = nullptr, unsigned int step = 1);
    static unsigned int getNextLabel(unsigned int label, ArchType archType, ArchInterval interval,
                                     bool *ok = nullptr, unsigned int step = 1,
                                     ArchDirection direction = Forward);

    static int getLabelsBetween(const QDateTime &from, const QDateTime &to, ArchInterval interval);
    static int getLabelsBetween(unsigned int from, unsigned int &to, ArchType archType,
                                ArchInterval interval);

    static void normalizeArchLabel(QDateTime &t, ArchInterval interval);
    static QDateTime normalizedArchLabel(const QDateTime &t, ArchInterval interval);
    static void normalizeArchLabel(unsigned int &label, ArchType archType, ArchInterval interval);
    static unsigned int normalizedArchLabel(unsigned int label, ArchType archType,
                                            ArchInterval interval);

    static QVariant getVariantLabel(unsigned int label, ArchType archType, bool asText,
                                    const QString &format);
    static unsigned int getIntLabel(QVariant v, const QString &format);
};

#endif
