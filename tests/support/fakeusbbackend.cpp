#include "fakeusbbackend.h"

QList<UsbBackend::InterfaceInfo> FakeUsbBackend::instrumentInterfaces()
{
    return {{0, 0, {0x81, 0x01, 0x82}}};
}

namespace {

constexpr quint8 ManufacturerStringIndex = 1;
constexpr quint8 ProductStringIndex = 2;
constexpr quint8 SerialNumberStringIndex = 3;

QString hexByte(int value)
{
    return QStringLiteral("%1").arg(value & 0xff, 2, 16, QLatin1Char('0'));
}

} // namespace

void FakeUsbBackend::addDevice(const Device &device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.append(device);
}

void FakeUsbBackend::removeDevice(int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= 0 && index < m_devices.size())
        m_devices.removeAt(index);
}

void FakeUsbBackend::addInstrument(const QByteArray &serialNumber)
{
    Device device;
    device.serialNumber = serialNumber;
    addDevice(device);
}

void FakeUsbBackend::setScanFails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scanFails = fails;
}

void FakeUsbBackend::scriptClaims(const QList<int> &results)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_claims += results;
}

void FakeUsbBackend::scriptReleases(const QList<int> &results)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_releases += results;
}

void FakeUsbBackend::scriptWrites(const QList<int> &results)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_writes += results;
}

void FakeUsbBackend::queueRead(int endpoint, const QByteArray &bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reads[endpoint].append(Read{bytes, int(bytes.size())});
}

void FakeUsbBackend::queueReadResult(int endpoint, int result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reads[endpoint].append(Read{QByteArray(), result});
}

QStringList FakeUsbBackend::calls() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

void FakeUsbBackend::clearCalls()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
}

int FakeUsbBackend::scans() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_scans;
}

int FakeUsbBackend::readsOn(int endpoint) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_readCounts.value(endpoint);
}

int FakeUsbBackend::openHandles() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_handles.size());
}

QList<int> FakeUsbBackend::openDevices() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handles.values();
}

void FakeUsbBackend::log(const QString &line)
{
    m_calls.append(line);
}

QByteArray FakeUsbBackend::serialNumberOf(HandleId handle) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Device *device = deviceOf(handle);
    return device ? device->serialNumber : QByteArray();
}

const FakeUsbBackend::Device *FakeUsbBackend::deviceOf(HandleId handle) const
{
    const auto it = m_handles.constFind(handle);
    return it == m_handles.cend() ? nullptr : &m_devices.at(*it);
}

bool FakeUsbBackend::scan(QList<DeviceInfo> &devices)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_scans;
    log(QStringLiteral("scan"));
    devices.clear();
    if (m_scanFails)
        return false;
    for (int i = 0; i < m_devices.size(); ++i) {
        const Device &device = m_devices.at(i);
        DeviceInfo info;
        info.id = DeviceId(i + 1);
        info.vendorId = device.vendorId;
        info.productId = device.productId;
        info.deviceRelease = device.deviceRelease;
        info.manufacturerIndex = device.manufacturer.isNull() ? 0 : ManufacturerStringIndex;
        info.productIndex = device.product.isNull() ? 0 : ProductStringIndex;
        info.serialNumberIndex = device.serialNumber.isNull() ? 0 : SerialNumberStringIndex;
        info.configurationsCount = device.configurationsCount;
        info.busNumber = device.busNumber;
        info.portPath = device.portPath;
        devices.append(info);
    }
    return true;
}

UsbBackend::HandleId FakeUsbBackend::open(DeviceId device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int index = int(device) - 1;
    log(QStringLiteral("open %1").arg(index));
    if (index < 0 || index >= m_devices.size() || !m_devices.at(index).opens)
        return 0;
    const HandleId handle = m_nextHandle++;
    m_handles.insert(handle, index);
    return handle;
}

void FakeUsbBackend::close(HandleId handle)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(QStringLiteral("close %1").arg(m_handles.value(handle, -1)));
    m_handles.remove(handle);
}

int FakeUsbBackend::stringDescriptor(HandleId handle, quint8 index, QByteArray &text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Device *device = deviceOf(handle);
    if (!device)
        return -1;
    const QByteArray &string = index == ManufacturerStringIndex   ? device->manufacturer
                               : index == ProductStringIndex      ? device->product
                               : index == SerialNumberStringIndex ? device->serialNumber
                                                                  : QByteArray();
    if (string.isNull())
        return -1;
    text = string;
    return int(text.size());
}

int FakeUsbBackend::setConfiguration(HandleId handle, int configuration)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(QStringLiteral("config %1").arg(configuration));
    const Device *device = deviceOf(handle);
    return device ? device->setConfigurationResult : -4;
}

int FakeUsbBackend::claimInterface(HandleId handle, int number)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(QStringLiteral("claim %1").arg(number));
    if (!deviceOf(handle))
        return -4;
    return m_claims.isEmpty() ? 0 : m_claims.takeFirst();
}

int FakeUsbBackend::releaseInterface(HandleId handle, int number)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(QStringLiteral("release %1").arg(number));
    if (!deviceOf(handle))
        return -4;
    return m_releases.isEmpty() ? 0 : m_releases.takeFirst();
}

int FakeUsbBackend::bulkWrite(HandleId handle, int endpoint, const QByteArray &data, int timeout)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(QStringLiteral("write %1 %2 %3")
            .arg(hexByte(endpoint), QString::fromLatin1(data.toHex()))
            .arg(timeout));
    if (!deviceOf(handle))
        return -4;
    return m_writes.isEmpty() ? int(data.size()) : m_writes.takeFirst();
}

int FakeUsbBackend::bulkRead(HandleId handle, int endpoint, char *data, int size, int timeout)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    log(QStringLiteral("read %1 %2 %3").arg(hexByte(endpoint)).arg(size).arg(timeout));
    ++m_readCounts[endpoint];
    if (!deviceOf(handle))
        return -4;
    QList<Read> &queue = m_reads[endpoint];
    if (queue.isEmpty())
        return TimeoutResult;
    const Read read = queue.takeFirst();
    if (read.result < 0)
        return read.result;
    const int n = qMin(int(read.bytes.size()), size);
    memcpy(data, read.bytes.constData(), size_t(n));
    return n;
}

bool FakeUsbBackend::interfaces(HandleId handle, QList<InterfaceInfo> &list)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Device *device = deviceOf(handle);
    if (!device)
        return false;
    list = device->interfaces;
    return true;
}

QString FakeUsbBackend::errorText(int code) const
{
    return QStringLiteral("fake error %1").arg(code);
}
