#include "usbbulkdevice.h"

#include "libusbbackend.h"

UsbBulkDevice::UsbBulkDevice(QObject *parent)
    : UsbBulkDevice(std::make_unique<LibusbBackend>(), parent)
{}

UsbBulkDevice::UsbBulkDevice(std::unique_ptr<UsbBackend> backend, QObject *parent)
    : QObject(parent), m_backend(std::move(backend))
{}

UsbBulkDevice::~UsbBulkDevice()
{
    close(false);
}

bool UsbBulkDevice::open(int vid, int pid, int configuration, const QString &serialNumber)
{
    m_openedSerialNumber.clear();
    m_errorString.clear();
    close(true);
    QList<UsbBackend::DeviceInfo> devices;
    // A bus that cannot be read has no device to offer: the same "not found" as an empty bus.
    m_backend->scan(devices);

    for (const UsbBackend::DeviceInfo &info : std::as_const(devices)) {
        if (info.vendorId != vid || info.productId != pid)
            continue;
        const UsbBackend::HandleId handle = m_backend->open(info.id);
        if (!handle)
            continue;
        const QString serial = readSerialNumber(handle, info);
        if ((serialNumber.isEmpty() || serialNumber == serial) && info.configurationsCount > 0) {
            // The first match is taken; the instrument is expected to be the only one.
            m_handle = handle;
            m_openedInfo = info;
            m_openedSerialNumber = serial;
            break;
        }
        m_backend->close(handle);
    }

    if (!m_handle) {
        setError(tr("open libusb device failed: device not found"));
        return false;
    }
    if (!setConfiguration(configuration)) {
        const QString error = m_errorString;
        close(true);
        m_openedSerialNumber.clear();
        setError(error);
        return false;
    }
    return true;
}

QString UsbBulkDevice::readSerialNumber(UsbBackend::HandleId handle,
                                        const UsbBackend::DeviceInfo &info)
{
    if (info.serialNumberIndex == 0)
        return QString();
    QByteArray text;
    if (m_backend->stringDescriptor(handle, info.serialNumberIndex, text) < 0)
        return QString();
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    return QString::fromLatin1(text).trimmed();
}

bool UsbBulkDevice::close(bool quiet)
{
    if (!m_handle)
        return true;
    bool released = true;
    if (m_claimedInterface >= 0)
        released = releaseInterface(quiet);
    m_backend->close(m_handle);
    m_handle = 0;
    m_openedInfo = UsbBackend::DeviceInfo();
    m_claimedInterface = -1;
    return released;
}

bool UsbBulkDevice::setConfiguration(int configuration)
{
    if (!m_handle) {
        setError(tr("setConfiguration failed: device didn't set"));
        return false;
    }
    const int result = m_backend->setConfiguration(m_handle, configuration);
    if (result < 0) {
        setError(tr("setConfiguration failed, error: %1 (%2)")
                     .arg(result)
                     .arg(m_backend->errorText(result)));
        return false;
    }
    return true;
}

bool UsbBulkDevice::selectInterface(int number)
{
    if (!m_handle) {
        setError(tr("setConfiguration failed: device didn't set"));
        return false;
    }
    // A failed release is reported and the claim goes on: libusb accepts a second claim of an
    // interface this handle already holds.
    if (m_claimedInterface >= 0)
        releaseInterface(false);
    const int result = m_backend->claimInterface(m_handle, number);
    if (result < 0) {
        setError(tr("selectInterface failed, usb_claim_interface error: %1").arg(result));
        return false;
    }
    m_claimedInterface = number;
    return true;
}

bool UsbBulkDevice::releaseInterface(bool quiet)
{
    if (!m_handle || m_claimedInterface < 0)
        return true;
    const int result = m_backend->releaseInterface(m_handle, m_claimedInterface);
    if (result < 0) {
        if (!quiet)
            setError(tr("releaseInterface failed, usb_release_interface error: %1").arg(result));
        return false;
    }
    m_claimedInterface = -1;
    return true;
}

int UsbBulkDevice::bulkWrite(const QByteArray &data, int endpoint, int timeout)
{
    // libusb dereferences the handle unchecked.
    if (!m_handle)
        return -1;
    return m_backend->bulkWrite(m_handle, endpoint, data, timeout);
}

QByteArray UsbBulkDevice::bulkRead(int size, int endpoint, int timeout)
{
    if (!m_handle || size <= 0)
        return QByteArray();
    m_readBuffer.resize(size);
    const int result = m_backend->bulkRead(m_handle, endpoint, m_readBuffer.data(), size, timeout);
    if (result <= 0)
        return QByteArray();
    return m_readBuffer.left(qMin(result, size));
}

bool UsbBulkDevice::findInterface(int number, int alternate, UsbBackend::InterfaceInfo &found)
{
    QList<UsbBackend::InterfaceInfo> interfaces;
    if (!m_backend->interfaces(m_handle, interfaces)) {
        setError(tr("usb_find_interface failed: config_descriptor didn't assigned"));
        return false;
    }
    for (const UsbBackend::InterfaceInfo &info : std::as_const(interfaces)) {
        if (info.number == number && (alternate == -1 || info.alternateSetting == alternate)) {
            found = info;
            return true;
        }
    }
    setError(tr("usb_find_interface failed: interface doesn't exist"));
    return false;
}

QList<int> UsbBulkDevice::endpoints(int interfaceNumber, bool in)
{
    QList<int> result;
    if (!m_handle) {
        setError(tr("setConfiguration failed: device didn't set"));
        return result;
    }
    // Any alternate setting: the claimed interface's number says nothing about which one.
    UsbBackend::InterfaceInfo info;
    if (!findInterface(interfaceNumber, -1, info))
        return result;
    for (quint8 address : std::as_const(info.endpoints)) {
        if (bool(address & 0x80) == in)
            result.append(address);
    }
    return result;
}

QList<int> UsbBulkDevice::inEndpoints(int interfaceNumber)
{
    return endpoints(interfaceNumber, true);
}

QList<int> UsbBulkDevice::outEndpoints(int interfaceNumber)
{
    return endpoints(interfaceNumber, false);
}

int UsbBulkDevice::configurationsCount() const
{
    return m_handle ? m_openedInfo.configurationsCount : 0;
}

QStringList UsbBulkDevice::deviceList()
{
    LibusbBackend backend;
    return deviceList(backend);
}

QStringList UsbBulkDevice::deviceList(UsbBackend &backend)
{
    QList<UsbBackend::DeviceInfo> devices;
    backend.scan(devices);
    QStringList list;
    for (const UsbBackend::DeviceInfo &info : std::as_const(devices)) {
        list.append(QStringLiteral("VID = 0x%1 PID = 0x%2")
                        .arg(info.vendorId, 0, 16)
                        .arg(info.productId, 0, 16));
    }
    return list;
}
