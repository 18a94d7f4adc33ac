#ifndef MODBUSSERIALTRANSPORT_H
#define MODBUSSERIALTRANSPORT_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbustarget.h"
#include "modbustransport.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QString>

#include <atomic>

class ModbusParser;
class QSerialPortInvokable;
class SerialPortThread;

// Modbus RTU over a serial line (RS-485 through an adapter). The port lives in its own
// "Serial port thread"; every port operation is re-invoked there. The link has one peer, its
// own target. A client exchange: a pause since the previous answer, RTS up for the
// transmission and an RTS delay after it, a read time-out for the first answer bytes and a
// byte time-out that ends the answer. The byte time-out and RTS delay follow the baud rate
// until set by hand.
class DORRIKBUS_EXPORT ModbusSerialTransport : public ModbusTransport
{
    Q_OBJECT
    Q_PROPERTY(QString port READ port WRITE setPort NOTIFY portChanged)
    Q_PROPERTY(int baudRate READ baudRate WRITE setBaudRate NOTIFY baudRateChanged)
    Q_PROPERTY(DataBits dataBits READ dataBits WRITE setDataBits NOTIFY dataBitsChanged)
    Q_PROPERTY(Parity parity READ parity WRITE setParity NOTIFY parityChanged)
    Q_PROPERTY(StopBits stopBits READ stopBits WRITE setStopBits NOTIFY stopBitsChanged)
    Q_PROPERTY(
        FlowControl flowControl READ flowControl WRITE setFlowControl NOTIFY flowControlChanged)
    Q_PROPERTY(DataErrorPolicy dataErrorPolicy READ dataErrorPolicy WRITE setDataErrorPolicy NOTIFY
                   dataErrorPolicyChanged)
    Q_PROPERTY(bool dtr READ dtr WRITE setDtr NOTIFY dtrChanged)
    Q_PROPERTY(bool rts READ rts WRITE setRts NOTIFY rtsChanged)
    Q_PROPERTY(int readTimeout READ readTimeout WRITE setReadTimeout NOTIFY readTimeoutChanged)
    Q_PROPERTY(int writeTimeout READ writeTimeout WRITE setWriteTimeout NOTIFY writeTimeoutChanged)
    Q_PROPERTY(int byteTimeout READ byteTimeout WRITE setByteTimeout NOTIFY byteTimeoutChanged)
    Q_PROPERTY(bool controlRts READ controlRts WRITE setControlRts NOTIFY controlRtsChanged)
    Q_PROPERTY(int sendDelay READ sendDelay WRITE setSendDelay NOTIFY sendDelayChanged)
    Q_PROPERTY(int rtsDelay READ rtsDelay WRITE setRtsDelay NOTIFY rtsDelayChanged)

public:
    // The values are those of QSerialPort, so they pass to it unchanged; the Unknown values and
    // the data error policy are our own (Qt 6 has neither).
    enum DataBits { Data5 = 5, Data6 = 6, Data7 = 7, Data8 = 8, UnknownDataBits = -1 };
    Q_ENUM(DataBits)
    enum Parity {
        NoParity = 0,
        EvenParity = 2,
        OddParity = 3,
        SpaceParity = 4,
        MarkParity = 5,
        UnknownParity = -1
    };
    Q_ENUM(Parity)
    enum StopBits { OneStop = 1, OneAndHalfStop = 3, TwoStop = 2, UnknownStopBits = -1 };
    Q_ENUM(StopBits)
    enum FlowControl {
        NoFlowControl = 0,
        HardwareControl = 1,
        SoftwareControl = 2,
        UnknownFlowControl = -1
    };
    Q_ENUM(FlowControl)
    enum DataErrorPolicy {
        SkipPolicy = 0,
        PassZeroPolicy = 1,
        IgnorePolicy = 2,
        StopReceivingPolicy = 3,
        UnknownPolicy = -1
    };
    Q_ENUM(DataErrorPolicy)

    ModbusSerialTransport(DorrikBus::BusType busType, QObject *parent = nullptr);
    ~ModbusSerialTransport() override;

    static QString dataBitsStr(int value);
    static QString parityStr(int value);
    static QString stopBItsStr(int value);
    static QString flowControlStr(int value);
    static QString dataErrorPolicyStr(int value);

    QString port() const { return m_portName; }
    void setPort(const QString &name);
    int baudRate() const { return m_baudRate; }
    void setBaudRate(int rate);
    DataBits dataBits() const { return m_dataBits; }
    void setDataBits(DataBits value);
    Parity parity() const { return m_parity; }
    void setParity(Parity value);
    StopBits stopBits() const { return m_stopBits; }
    void setStopBits(StopBits value);
    FlowControl flowControl() const { return m_flowControl; }
    void setFlowControl(FlowControl value);
    DataErrorPolicy dataErrorPolicy() const { return m_dataErrorPolicy; }
    void setDataErrorPolicy(DataErrorPolicy value);
    bool dtr() const { return m_dtr; }
    void setDtr(bool on);
    bool rts() const { return m_rts; }
    void setRts(bool on);
    int readTimeout() const { return m_readTimeout; }
    void setReadTimeout(int ms);
    int writeTimeout() const { return m_writeTimeout; }
    void setWriteTimeout(int ms);
    int byteTimeout() const { return m_byteTimeout; }
    void setByteTimeout(int ms);
    bool controlRts() const { return m_controlRts; }
    int sendDelay() const { return m_sendDelay; }
    int rtsDelay() const { return m_rtsDelay; }

    bool sendBytes(const ModbusBytes &frame, const Target *target, ModbusBytes *answer,
                   QString *error) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    const Target *clientTarget() override;
    const Target *target() { return clientTarget(); }
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    bool applyPortOptions();
    void getPortOptions();
    void checkPortAvailable();
    bool checkModbusBytes(const ModbusBytes &bytes, DorrikBus::PacketState state) const;

public slots:
    void setControlRts(bool on);
    void setSendDelay(int ms);
    void setRtsDelay(int ms);
    void onReadyRead();

signals:
    void portChanged();
    void baudRateChanged();
    void dataBitsChanged();
    void parityChanged();
    void stopBitsChanged();
    void flowControlChanged();
    void dataErrorPolicyChanged();
    void dtrChanged();
    void rtsChanged();
    void readTimeoutChanged();
    void writeTimeoutChanged();
    void byteTimeoutChanged();
    void controlRtsChanged(bool on);
    void sendDelayChanged(int ms);
    void rtsDelayChanged(int ms);

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    void calcDelays();
    void storeByteTimeout(int ms);
    void storeRtsDelay(int ms);
    void reapplyWhenConnected();
    // The size of the whole request at the start of the receive buffer, 0 when there is none.
    int firstRequestSize() const;

    // Owner's thread: properties, connect and the server's receive path.
    QString m_portName;
    ModbusTarget m_target;
    int m_writeTimeout = 500;
    int m_calculatedByteTimeout = 20;
    int m_baudRate = 19200;
    DataBits m_dataBits = Data8;
    Parity m_parity = NoParity;
    StopBits m_stopBits = OneStop;
    FlowControl m_flowControl = NoFlowControl;
    DataErrorPolicy m_dataErrorPolicy = IgnorePolicy;
    bool m_dtr = false;
    bool m_rts = false;
    bool m_rtsDelaySetByHand = false;
    bool m_byteTimeoutSetByHand = false;
    int m_calculatedRtsDelay = 1;
    ModbusParser *m_parser = nullptr;
    ModbusBytes m_receiveBuffer;
    QElapsedTimer m_lastChunk; // when the last incomplete request chunk came

    // Written by the owner's setters, read by exchanges on the caller's thread.
    std::atomic<int> m_readTimeout{500};
    std::atomic<int> m_byteTimeout{20};
    std::atomic<int> m_sendDelay{2};
    // Off by default: ports that cannot drive RTS (pseudo terminals, some adapters) still work.
    std::atomic<bool> m_controlRts{false};
    std::atomic<int> m_rtsDelay{3};

    // One exchange at a time, from any thread; also guards bytesAvailable and the two below.
    QMutex m_exchangeMutex;
    QElapsedTimer m_exchangeTimer; // since the last answer was taken
    bool m_firstExchange = true;   // the first exchange does not wait for the send delay
    // Set by the exchange that found the port lost, cleared by the next open.
    std::atomic<bool> m_lossReported{false};

    SerialPortThread *m_portThread;     // child; runs until destruction
    QSerialPortInvokable *m_serialPort; // lives in m_portThread
};

#endif
