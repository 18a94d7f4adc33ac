#ifndef LIBUSBBACKEND_H
#define LIBUSBBACKEND_H

#include "dorrikbus_global.h"
#include "usbbackend.h"

struct libusb_context;
struct libusb_device;

// The USB backend on libusb-1.0. Its context is made at the first scan (and tried again at the
// next one when that failed, as on a machine without a USB bus) and ended with the backend.
class DORRIKBUS_EXPORT LibusbBackend : public UsbBackend
{
public:
    LibusbBackend();
    ~LibusbBackend() override;
    LibusbBackend(const LibusbBackend &) = delete;
    LibusbBackend &operator=(const LibusbBackend &) = delete;

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
    void freeDeviceList();

    libusb_context *m_context = nullptr;
    // The last scan's list: its devices stay referenced until the next scan, so that the ids
    // handed out remain valid for open.
    libusb_device **m_deviceList = nullptr;
};

#endif
