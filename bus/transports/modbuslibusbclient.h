#ifndef MODBUSLIBUSBCLIENT_H
#define MODBUSLIBUSBCLIENT_H

#include "dorrikbus_global.h"
#include "modbustarget.h"
#include "modbustransport.h"
#include "usbbackend.h"

#include <atomic>
#include <memory>

class UsbBulkDevice;

// The Modbus master link over the instrument's USB interface: each RTU request is one bulk
// write, its answer one bulk read on the first IN endpoint of interface 0; the instrument's
// event records come on the second IN endpoint and are polled by the evented base.
//
// Threads: opening and closing run in the owner's thread, exchanges in the caller's and event
// polls in the reader thread; the link mutex serialises all of them on the device, which has no
// lock of its own. The waits (answer time-out, the 1 ms drain and poll) run in those threads.
class DORRIKBUS_EXPORT ModbusLibusbClient : public ModbusTransport
{
    Q_OBJECT
    Q_PROPERTY(quint16 vid READ vid WRITE setVid NOTIFY vidChanged)
    Q_PROPERTY(quint16 pid READ pid WRITE setPid NOTIFY pidChanged)
    Q_PROPERTY(
        QString serialNumber READ serialNumber WRITE setSerialNumber NOTIFY serialNumberChanged)
    Q_PROPERTY(bool strictSerialNumber READ strictSerialNumber WRITE setStrictSerialNumber NOTIFY
                   strictSerialNumberChanged)
    Q_PROPERTY(int readTimeout READ readTimeout WRITE setReadTimeout NOTIFY readTimeoutChanged)
    Q_PROPERTY(int writeTimeout READ writeTimeout WRITE setWriteTimeout NOTIFY writeTimeoutChanged)

public:
    // On libusb.
    explicit ModbusLibusbClient(QObject *parent = nullptr);
    // On the given backend (tests script a device through it).
    explicit ModbusLibusbClient(std::unique_ptr<UsbBackend> backend, QObject *parent = nullptr);
    ~ModbusLibusbClient() override;

    quint16 vid() const { return m_vid; }
    quint16 pid() const { return m_pid; }
    QString serialNumber() const { return m_serialNumber; }
    bool strictSerialNumber() const { return m_strictSerialNumber; }
    int readTimeout() const { return m_readTimeout.load(); }
    int writeTimeout() const { return m_writeTimeout.load(); }

    const ModbusTarget *target() const { return &m_target; }

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer = nullptr,
                   QString *error = nullptr) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    bool readEventBytes(ModbusBytes &bytes, QString *error) override;
    const Target *clientTarget() override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

public slots:
    void setVid(quint16 vid);
    void setPid(quint16 pid);
    void setSerialNumber(const QString &serialNumber);
    void setStrictSerialNumber(bool strict);
    void setReadTimeout(int ms);
    void setWriteTimeout(int ms);

signals:
    void vidChanged(quint16 vid);
    void pidChanged(quint16 pid);
    void serialNumberChanged(const QString &serialNumber);
    void strictSerialNumberChanged(bool strict);
    void readTimeoutChanged(int ms);
    void writeTimeoutChanged(int ms);

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    // Closes the link and hands it to the automatic reconnection, in the owner's thread.
    void dropLink();

    ModbusTarget m_target;
    // Chosen at connect; used under the link mutex.
    quint8 m_readEndpoint = 0;
    quint8 m_writeEndpoint = 0;
    quint8 m_eventEndpoint = 0;
    UsbBulkDevice *m_device; // child; used under the link mutex only
    // Owner's thread.
    quint16 m_vid = 0x9812;
    quint16 m_pid = 0x4001;
    QString m_serialNumber;
    bool m_strictSerialNumber = true;
    // Written by the owner, read by exchanges in other threads.
    std::atomic<int> m_readTimeout{3000};
    std::atomic<int> m_writeTimeout{3000};
};

#endif
