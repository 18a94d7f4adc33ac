#ifndef USBBACKEND_H
#define USBBACKEND_H

#include "dorrikbus_global.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The few USB operations UsbBulkDevice needs, so that tests can script a device. Results follow
// the old libusb 0.1 conventions the device object was written against: a negative number is an
// error code, anything else a success (for transfers: the bytes moved).
//
// Devices and open handles are opaque numbers; 0 is none. A device number stays valid until the
// next scan; a handle until it is closed. No lock: one backend serves one device object, whose
// link serialises every call.
class DORRIKBUS_EXPORT UsbBackend
{
public:
    using DeviceId = quintptr;
    using HandleId = quintptr;

    // One attached device, as its standard device descriptor tells.
    struct DeviceInfo
    {
        DeviceId id = 0;
        quint8 descriptorLength = 18;
        quint8 descriptorType = 1;
        quint16 usbRelease = 0x0200; // bcdUSB
        quint8 deviceClass = 0;
        quint8 deviceSubClass = 0;
        quint8 deviceProtocol = 0;
        quint8 maxPacketSize0 = 64;
        quint16 vendorId = 0;
        quint16 productId = 0;
        quint16 deviceRelease = 0;    // bcdDevice
        quint8 manufacturerIndex = 0; // string indexes; 0: no such string
        quint8 productIndex = 0;
        quint8 serialNumberIndex = 0;
        quint8 configurationsCount = 0;
        // Where the device is plugged in: two devices with equal descriptors and texts differ
        // here only.
        quint8 busNumber = 0;
        QByteArray portPath; // port numbers from the root hub down
    };

    // The first alternate setting of one interface of the first configuration.
    struct InterfaceInfo
    {
        int number = 0;
        int alternateSetting = 0;
        QList<quint8> endpoints; // addresses in descriptor order; bit 7 set for IN
    };

    virtual ~UsbBackend() = default;

    // A fresh list of the attached devices. False, with an empty list, when the bus cannot be
    // read at all (no USB access on this machine).
    virtual bool scan(QList<DeviceInfo> &devices) = 0;
    virtual HandleId open(DeviceId device) = 0;
    virtual void close(HandleId handle) = 0;
    // The string descriptor as ASCII; a negative result on failure.
    virtual int stringDescriptor(HandleId handle, quint8 index, QByteArray &text) = 0;
    virtual int setConfiguration(HandleId handle, int configuration) = 0;
    virtual int claimInterface(HandleId handle, int number) = 0;
    virtual int releaseInterface(HandleId handle, int number) = 0;
    virtual int bulkWrite(HandleId handle, int endpoint, const QByteArray &data, int timeout) = 0;
    virtual int bulkRead(HandleId handle, int endpoint, char *data, int size, int timeout) = 0;
    // The interfaces of the open device's first configuration; false when it has none.
    virtual bool interfaces(HandleId handle, QList<InterfaceInfo> &list) = 0;
    virtual QString errorText(int code) const = 0;
};

#endif
