#ifndef FAKEUSBBACKEND_H
#define FAKEUSBBACKEND_H

#include "usbbackend.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>

#include <mutex>

// A scripted USB bus for tests. Devices are described up front; claims, writes and reads answer
// from scripts (then defaults: success, every byte written, and a timed-out read). Every call is
// logged as a short line ("claim 0", "write 01 0103 3000", "read 81 512 1"). Exchanges and event
// polls call in from other threads while the test scripts and reads: all of it is under m_mutex.
class FakeUsbBackend : public UsbBackend
{
public:
    // What libusb answers for a transfer that timed out with nothing moved.
    static constexpr int TimeoutResult = -7;

    // The instrument's layout: interface 0 with answers on 0x81, requests on 0x01 and events on
    // 0x82. Built out of line: gcc 12 inlines the nested initializer lists at -O2 and then warns
    // that the array behind them may be uninitialized.
    static QList<InterfaceInfo> instrumentInterfaces();

    struct Device
    {
        quint16 vendorId = 0x9812;
        quint16 productId = 0x4001;
        // Raw string descriptors; null for a device without that string.
        QByteArray serialNumber;
        QByteArray manufacturer;
        QByteArray product;
        quint16 deviceRelease = 0x0100;
        quint8 configurationsCount = 1;
        bool opens = true;
        quint8 busNumber = 1;
        QByteArray portPath;
        int setConfigurationResult = 0;
        QList<InterfaceInfo> interfaces = instrumentInterfaces();
    };

    // One scripted read: the bytes, or a negative result.
    struct Read
    {
        QByteArray bytes;
        int result = 0;
    };

    void addDevice(const Device &device);
    // Unplugs the device at that index; the later ones move up.
    void removeDevice(int index);
    // The instrument with that serial number.
    void addInstrument(const QByteArray &serialNumber);
    void setScanFails(bool fails);

    void scriptClaims(const QList<int> &results);
    void scriptReleases(const QList<int> &results);
    // Written counts or negative results of the next writes.
    void scriptWrites(const QList<int> &results);
    void queueRead(int endpoint, const QByteArray &bytes);
    void queueReadResult(int endpoint, int result);

    QStringList calls() const;
    void clearCalls();
    int scans() const;
    int readsOn(int endpoint) const;
    // Handles opened and not yet closed, and the indexes of their devices.
    int openHandles() const;
    QList<int> openDevices() const;
    // The serial number of the device a handle is open on; null for an unknown handle.
    QByteArray serialNumberOf(HandleId handle) const;

    bool scan(QList<DeviceInfo> &devices) override;
    HandleId open(DeviceId device) override;
    void close(HandleId handle) override;
    int stringDescriptor(HandleId handle, quint8 index, QByteArray &text) override;
    int setConfiguration(HandleId handle, int configuration) override;
    int claimInterface(HandleId handle, int number) override;
    int releaseInterface(HandleId handle, int number) override;
    int bulkWrite(HandleId handle, int endpoint, const QByteArray &data, int timeout) override;
    int bulkRead(HandleId handle, int endpoint, char *data, int size, int timeout) override;
    bool interfaces(HandleId handle, QList<InterfaceInfo> &list) override;
    QString errorText(int code) const override;

private:
    void log(const QString &line);
    const Device *deviceOf(HandleId handle) const;

    mutable std::mutex m_mutex;
    QList<Device> m_devices;
    bool m_scanFails = false;
    int m_scans = 0;
    // Handle -> index of its device.
    QHash<HandleId, int> m_handles;
    HandleId m_nextHandle = 1;
    QList<int> m_claims;
    QList<int> m_releases;
    QList<int> m_writes;
    QHash<int, QList<Read>> m_reads;
    QHash<int, int> m_readCounts;
    QStringList m_calls;
};

#endif
