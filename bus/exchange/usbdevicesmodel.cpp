#include "usbdevicesmodel.h"

#include "libusbbackend.h"

#include <QRegularExpression>

namespace {

constexpr int ColumnCount = 13;

// "*" any text, "?" any one character, everything else literal; found anywhere in the text.
// Written out because Qt's wildcard helper stops "*" at "/", and serial numbers may hold one.
QRegularExpression wildcardPattern(const QString &wildcard)
{
    QString pattern;
    for (const QChar c : wildcard) {
        if (c == QLatin1Char('*'))
            pattern += QLatin1String(".*");
        else if (c == QLatin1Char('?'))
            pattern += QLatin1Char('.');
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(pattern);
}

bool matches(const QRegularExpression &pattern, const QString &text)
{
    return pattern.match(text).hasMatch();
}

// A string descriptor as the device list shows it: leading white space dropped, up to the
// first zero byte.
QString descriptorText(const QByteArray &bytes)
{
    const int end = bytes.indexOf('\0');
    return QString::fromLatin1(end < 0 ? bytes : bytes.left(end))
        .remove(QRegularExpression(QStringLiteral("^\\s+")));
}

} // namespace

bool UsbDevicesModel::Device::operator==(const Device &other) const
{
    const UsbBackend::DeviceInfo &a = descriptor;
    const UsbBackend::DeviceInfo &b = other.descriptor;
    return a.descriptorLength == b.descriptorLength && a.descriptorType == b.descriptorType &&
           a.usbRelease == b.usbRelease && a.deviceClass == b.deviceClass &&
           a.deviceSubClass == b.deviceSubClass && a.deviceProtocol == b.deviceProtocol &&
           a.maxPacketSize0 == b.maxPacketSize0 && a.vendorId == b.vendorId &&
           a.productId == b.productId && a.deviceRelease == b.deviceRelease &&
           a.manufacturerIndex == b.manufacturerIndex && a.productIndex == b.productIndex &&
           a.serialNumberIndex == b.serialNumberIndex &&
           a.configurationsCount == b.configurationsCount && a.busNumber == b.busNumber &&
           a.portPath == b.portPath && manufacturer == other.manufacturer &&
           product == other.product && serialNumber == other.serialNumber;
}

UsbDevicesModel::UsbDevicesModel(QObject *parent)
    : UsbDevicesModel(std::make_unique<LibusbBackend>(), parent)
{}

UsbDevicesModel::UsbDevicesModel(std::unique_ptr<UsbBackend> backend, QObject *parent)
    : QAbstractTableModel(parent), m_backend(std::move(backend)), m_vidFilter(QStringLiteral("*")),
      m_pidFilter(QStringLiteral("*")), m_serialNumberFilter(QStringLiteral("*"))
{}

UsbDevicesModel::~UsbDevicesModel() = default;

// A row has no children: a table that answered its size for every parent would be an endless
// tree to a view.
int UsbDevicesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_devices.size());
}

int UsbDevicesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant UsbDevicesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_devices.size())
        return QVariant();
    // A table view shows the descriptor field of role 32 + n in column n. Only the display role
    // maps so: a number given for a view's size hint, font or colour would be misread.
    if (role == Qt::DisplayRole)
        role = DescriptorTypeRole + index.column();
    const Device &device = m_devices.at(index.row());
    const UsbBackend::DeviceInfo &d = device.descriptor;
    switch (role) {
    case DescriptorTypeRole:
        return int(d.descriptorType);
    case BcdUsbRole:
        return int(d.usbRelease);
    case DeviceClassRole:
        return int(d.deviceClass);
    case DeviceSubClassRole:
        return int(d.deviceSubClass);
    case DeviceProtocolRole:
        return int(d.deviceProtocol);
    case MaxPacketSize0Role:
        return int(d.maxPacketSize0);
    case IdVendorRole:
        return int(d.vendorId);
    case IdProductRole:
        return int(d.productId);
    case BcdDeviceRole:
        return int(d.deviceRelease);
    case IManufacturerRole:
        return int(d.manufacturerIndex);
    case IProductRole:
        return int(d.productIndex);
    case ISerialNumberRole:
        return int(d.serialNumberIndex);
    case NumConfigurationsRole:
        return int(d.configurationsCount);
    case ManufacturerRole:
        return device.manufacturer;
    case ProductRole:
        return device.product;
    case SerialNumberRole:
        return device.serialNumber;
    case VidRole:
        return normalID(d.vendorId);
    case PidRole:
        return normalID(d.productId);
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> UsbDevicesModel::roleNames() const
{
    return {
        {DescriptorTypeRole, "descriptorType"},
        {BcdUsbRole, "bcdUSB"},
        {DeviceClassRole, "deviceClass"},
        {DeviceSubClassRole, "deviceSubClass"},
        {DeviceProtocolRole, "deviceProtocol"},
        {MaxPacketSize0Role, "maxPacketSize0"},
        {IdVendorRole, "idVendor"},
        {IdProductRole, "idProduct"},
        {BcdDeviceRole, "bcdDevice"},
        {IManufacturerRole, "iManufacturer"},
        {IProductRole, "iProduct"},
        {ISerialNumberRole, "iSerialNumber"},
        {NumConfigurationsRole, "numConfigurations"},
        {ManufacturerRole, "manufacturer"},
        {ProductRole, "product"},
        {SerialNumberRole, "serialNumber"},
        {VidRole, "vid"},
        {PidRole, "pid"},
    };
}

void UsbDevicesModel::setVidFilter(const QString &filter)
{
    if (filter == m_vidFilter)
        return;
    m_vidFilter = filter;
    emit vidFilterChanged(filter);
}

void UsbDevicesModel::setPidFilter(const QString &filter)
{
    if (filter == m_pidFilter)
        return;
    m_pidFilter = filter;
    emit pidFilterChanged(filter);
}

void UsbDevicesModel::setSerialNumberFilter(const QString &filter)
{
    if (filter == m_serialNumberFilter)
        return;
    m_serialNumberFilter = filter;
    emit serialNumberFilterChanged(filter);
}

QString UsbDevicesModel::normalID(quint16 id) const
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

QList<UsbDevicesModel::Device> UsbDevicesModel::getUsbList() const
{
    const QRegularExpression vidPattern = wildcardPattern(m_vidFilter);
    const QRegularExpression pidPattern = wildcardPattern(m_pidFilter);
    const QRegularExpression serialPattern = wildcardPattern(m_serialNumberFilter);

    QList<Device> result;
    QList<UsbBackend::DeviceInfo> infos;
    if (!m_backend || !m_backend->scan(infos))
        return result;
    for (const UsbBackend::DeviceInfo &info : std::as_const(infos)) {
        if (!matches(vidPattern, normalID(info.vendorId)) ||
            !matches(pidPattern, normalID(info.productId)))
            continue;
        Device device;
        device.descriptor = info;
        // A device that cannot be opened is still listed, with empty texts.
        if (const UsbBackend::HandleId handle = m_backend->open(info.id)) {
            const auto readText = [&](quint8 index) {
                QByteArray bytes;
                if (index == 0 || m_backend->stringDescriptor(handle, index, bytes) <= 0)
                    return QString();
                return descriptorText(bytes);
            };
            device.manufacturer = readText(info.manufacturerIndex);
            device.product = readText(info.productIndex);
            device.serialNumber = readText(info.serialNumberIndex);
            m_backend->close(handle);
        }
        if (matches(serialPattern, device.serialNumber))
            result.append(device);
    }
    return result;
}

void UsbDevicesModel::fill()
{
    // Records are matched one to one, so that equal records (devices a backend cannot tell
    // apart by place) stay one row each.
    QList<Device> devices = getUsbList();
    QList<bool> kept(devices.size(), false);
    const auto unmatched = [&](const Device &device) {
        for (qsizetype i = 0; i < devices.size(); ++i) {
            if (!kept.at(i) && devices.at(i) == device)
                return i;
        }
        return qsizetype(-1);
    };
    QList<bool> keepRow(m_devices.size(), false);
    for (qsizetype row = 0; row < m_devices.size(); ++row) {
        const qsizetype i = unmatched(m_devices.at(row));
        if (i >= 0) {
            kept[i] = true;
            keepRow[row] = true;
        }
    }
    for (int row = int(m_devices.size()) - 1; row >= 0; --row) {
        if (keepRow.at(row))
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        m_devices.removeAt(row);
        endRemoveRows();
    }
    for (qsizetype i = 0; i < devices.size(); ++i) {
        if (kept.at(i))
            continue;
        const int row = int(m_devices.size());
        beginInsertRows(QModelIndex(), row, row);
        m_devices.append(devices.at(i));
        endInsertRows();
    }
}

QStringList UsbDevicesModel::getList(bool manufacturer, bool product, bool serialNumber,
                                     bool vidPid) const
{
    QStringList list;
    for (const Device &device : m_devices) {
        QString text;
        if (manufacturer)
            text += device.manufacturer + QLatin1Char(' ');
        if (product)
            text += device.product + QLatin1Char(' ');
        if (serialNumber)
            text += device.serialNumber + QLatin1Char(' ');
        if (vidPid)
            text += QStringLiteral(" %1:%2")
                        .arg(device.descriptor.vendorId)
                        .arg(device.descriptor.productId);
        list.append(text.trimmed());
    }
    return list;
}

void UsbDevicesModel::classBegin() {}

void UsbDevicesModel::componentComplete()
{
    fill();
}
