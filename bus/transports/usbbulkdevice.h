#ifndef USBBULKDEVICE_H
#define USBBULKDEVICE_H

#include "dorrikbus_global.h"
#include "usbbackend.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// A USB device opened by vendor, product and serial number, with one claimed interface and
// bulk transfers. Used only by its link, which serialises every call; no lock of its own.
class DORRIKBUS_EXPORT UsbBulkDevice : public QObject
{
    Q_OBJECT

public:
    // On libusb.
    explicit UsbBulkDevice(QObject *parent = nullptr);
    UsbBulkDevice(std::unique_ptr<UsbBackend> backend, QObject *parent = nullptr);
    ~UsbBulkDevice() override;

    bool open(int vid, int pid, int configuration, const QString &serialNumber);
    // False when releasing the claimed interface failed; the device is closed all the same.
    bool close(bool quiet);
    bool isOpen() const { return m_handle != 0; }

    bool setConfiguration(int configuration);
    bool selectInterface(int number);
    bool releaseInterface(bool quiet);
    int claimedInterface() const { return m_claimedInterface; }

    // Bytes written, or a negative error code.
    int bulkWrite(const QByteArray &data, int endpoint, int timeout);
    // The bytes read; empty on error or time-out.
    QByteArray bulkRead(int size, int endpoint, int timeout);

    QList<int> inEndpoints(int interfaceNumber);
    QList<int> outEndpoints(int interfaceNumber);

    QString errorString() const { return m_errorString; }
    QString openedSerialNumber() const { return m_openedSerialNumber; }
    int configurationsCount() const;

    // "VID = 0x.. PID = 0x.." for every attached device.
    static QStringList deviceList();
    static QStringList deviceList(UsbBackend &backend);

private:
    bool findInterface(int number, int alternate, UsbBackend::InterfaceInfo &found);
    QList<int> endpoints(int interfaceNumber, bool in);
    QString readSerialNumber(UsbBackend::HandleId handle, const UsbBackend::DeviceInfo &info);
    void setError(const QString &text) { m_errorString = text; }

    std::unique_ptr<UsbBackend> m_backend;
    UsbBackend::HandleId m_handle = 0;
    UsbBackend::DeviceInfo m_openedInfo;
    int m_claimedInterface = -1;
    QByteArray m_readBuffer;
    QString m_errorString;
    QString m_openedSerialNumber;
};

#endif
