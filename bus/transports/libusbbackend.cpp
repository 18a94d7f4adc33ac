#include "libusbbackend.h"

#include <libusb.h>

namespace {

libusb_device_handle *toHandle(UsbBackend::HandleId handle)
{
    return reinterpret_cast<libusb_device_handle *>(handle);
}

// libusb-1.0 reports a timed-out transfer as an error even when some bytes moved; the 0.1
// calls this link was written against counted those bytes as the result.
int transferResult(int result, int transferred)
{
    if (result == 0 || (result == LIBUSB_ERROR_TIMEOUT && transferred > 0))
        return transferred;
    return result;
}

} // namespace

LibusbBackend::LibusbBackend() = default;

LibusbBackend::~LibusbBackend()
{
    freeDeviceList();
    if (m_context)
        libusb_exit(m_context);
}

void LibusbBackend::freeDeviceList()
{
    if (m_deviceList)
        libusb_free_device_list(m_deviceList, 1);
    m_deviceList = nullptr;
}

bool LibusbBackend::scan(QList<DeviceInfo> &devices)
{
    devices.clear();
    freeDeviceList();
    if (!m_context && libusb_init(&m_context) < 0) {
        m_context = nullptr;
        return false;
    }
    const ssize_t count = libusb_get_device_list(m_context, &m_deviceList);
    if (count < 0) {
        m_deviceList = nullptr;
        return false;
    }
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device *device = m_deviceList[i];
        libusb_device_descriptor descriptor{};
        if (libusb_get_device_descriptor(device, &descriptor) < 0)
            continue;
        DeviceInfo info;
        info.id = reinterpret_cast<DeviceId>(device);
        info.descriptorLength = descriptor.bLength;
        info.descriptorType = descriptor.bDescriptorType;
        info.usbRelease = descriptor.bcdUSB;
        info.deviceClass = descriptor.bDeviceClass;
        info.deviceSubClass = descriptor.bDeviceSubClass;
        info.deviceProtocol = descriptor.bDeviceProtocol;
        info.maxPacketSize0 = descriptor.bMaxPacketSize0;
        info.vendorId = descriptor.idVendor;
        info.productId = descriptor.idProduct;
        info.deviceRelease = descriptor.bcdDevice;
        info.manufacturerIndex = descriptor.iManufacturer;
        info.productIndex = descriptor.iProduct;
        info.serialNumberIndex = descriptor.iSerialNumber;
        info.configurationsCount = descriptor.bNumConfigurations;
        info.busNumber = libusb_get_bus_number(device);
        quint8 ports[8] = {};
        const int depth = libusb_get_port_numbers(device, ports, int(sizeof ports));
        if (depth > 0)
            info.portPath = QByteArray(reinterpret_cast<const char *>(ports), depth);
        else // a root hub has no port: its address tells it apart on its bus
            info.portPath = QByteArray(1, char(libusb_get_device_address(device)));
        devices.append(info);
    }
    return true;
}

UsbBackend::HandleId LibusbBackend::open(DeviceId device)
{
    libusb_device_handle *handle = nullptr;
    if (!device || libusb_open(reinterpret_cast<libusb_device *>(device), &handle) < 0)
        return 0;
    return reinterpret_cast<HandleId>(handle);
}

void LibusbBackend::close(HandleId handle)
{
    if (handle)
        libusb_close(toHandle(handle));
}

int LibusbBackend::stringDescriptor(HandleId handle, quint8 index, QByteArray &text)
{
    unsigned char buffer[256] = {};
    const int result =
        libusb_get_string_descriptor_ascii(toHandle(handle), index, buffer, sizeof(buffer));
    if (result < 0)
        text.clear();
    else
        text = QByteArray(reinterpret_cast<const char *>(buffer), result);
    return result;
}

int LibusbBackend::setConfiguration(HandleId handle, int configuration)
{
    return libusb_set_configuration(toHandle(handle), configuration);
}

int LibusbBackend::claimInterface(HandleId handle, int number)
{
    return libusb_claim_interface(toHandle(handle), number);
}

int LibusbBackend::releaseInterface(HandleId handle, int number)
{
    return libusb_release_interface(toHandle(handle), number);
}

int LibusbBackend::bulkWrite(HandleId handle, int endpoint, const QByteArray &data, int timeout)
{
    int transferred = 0;
    // libusb takes a non-const buffer for both directions; an OUT transfer only reads it.
    auto *bytes = reinterpret_cast<unsigned char *>(const_cast<char *>(data.constData()));
    const int result = libusb_bulk_transfer(toHandle(handle), quint8(endpoint & ~0x80), bytes,
                                            int(data.size()), &transferred, timeout);
    return transferResult(result, transferred);
}

int LibusbBackend::bulkRead(HandleId handle, int endpoint, char *data, int size, int timeout)
{
    int transferred = 0;
    const int result =
        libusb_bulk_transfer(toHandle(handle), quint8(endpoint | 0x80),
                             reinterpret_cast<unsigned char *>(data), size, &transferred, timeout);
    return transferResult(result, transferred);
}

bool LibusbBackend::interfaces(HandleId handle, QList<InterfaceInfo> &list)
{
    list.clear();
    libusb_config_descriptor *config = nullptr;
    if (libusb_get_config_descriptor(libusb_get_device(toHandle(handle)), 0, &config) < 0 ||
        !config)
        return false;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface &interface = config->interface[i];
        if (interface.num_altsetting < 1)
            continue;
        const libusb_interface_descriptor &setting = interface.altsetting[0];
        InterfaceInfo info;
        info.number = setting.bInterfaceNumber;
        info.alternateSetting = setting.bAlternateSetting;
        for (int e = 0; e < setting.bNumEndpoints; ++e)
            info.endpoints.append(setting.endpoint[e].bEndpointAddress);
        list.append(info);
    }
    libusb_free_config_descriptor(config);
    return true;
}

QString LibusbBackend::errorText(int code) const
{
    return QString::fromLatin1(libusb_strerror(code));
}
