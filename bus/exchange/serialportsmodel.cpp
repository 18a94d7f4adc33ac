#include "serialportsmodel.h"

#include <QSerialPort>

namespace {

constexpr int ColumnCount = 7;

const SerialPortEnumerator *g_enumerator = nullptr;

// Qt 6 dropped QSerialPortInfo::isBusy(): a port another program holds (its lock file, or an
// exclusive open) refuses to open.
bool portIsBusy(const QString &systemLocation)
{
    QSerialPort port;
    port.setPortName(systemLocation);
    if (!port.open(QIODevice::ReadWrite))
        return port.error() == QSerialPort::PermissionError;
    port.close();
    return false;
}

} // namespace

SerialPortsModel::SerialPortsModel(QObject *parent) : QAbstractTableModel(parent)
{
    fill();
}

void SerialPortsModel::setEnumerator(const SerialPortEnumerator *enumerator)
{
    g_enumerator = enumerator;
}

QList<SerialPortEnumerator::Port> SerialPortsModel::currentPorts()
{
    return g_enumerator ? g_enumerator->ports() : SerialPortEnumerator::availablePorts();
}

QStringList SerialPortsModel::getNewList()
{
    QStringList names;
    const QList<SerialPortEnumerator::Port> ports = currentPorts();
    for (const SerialPortEnumerator::Port &port : ports)
        names.append(port.name);
    return names;
}

void SerialPortsModel::fill()
{
    beginResetModel();
    m_ports.clear();
    const QList<SerialPortEnumerator::Port> ports = currentPorts();
    for (const SerialPortEnumerator::Port &info : ports)
        m_ports.append(Port{info, portIsBusy(info.systemLocation)});
    endResetModel();
}

int SerialPortsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ports.size());
}

int SerialPortsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant SerialPortsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_ports.size())
        return QVariant();
    const Port &port = m_ports.at(index.row());
    switch (role) {
    case NameRole:
        return port.info.name;
    case SystemLocationRole:
        return port.info.systemLocation;
    case DescriptionRole:
        return port.info.description;
    case ManufacturerRole:
        return port.info.manufacturer;
    case VendorIdentifierRole:
        return port.info.vendorIdentifier;
    case ProductIdentifierRole:
        return port.info.productIdentifier;
    case IsBusyRole:
        return port.isBusy;
    case IsNullRole:
        return port.info.isNull;
    case IsValidRole:
        return !port.info.isNull;
    default:
        return QVariant();
    }
}

QVariant SerialPortsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QVariant();
    switch (section) {
    case 0:
        return tr("name");
    case 1:
        return tr("location");
    case 2:
        return tr("description");
    case 3:
        return tr("manufacturer");
    case 4:
        return tr("vendor ID");
    case 5:
        return tr("product ID");
    case 6:
        return tr("busy");
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> SerialPortsModel::roleNames() const
{
    return {
        {NameRole, "name"},
        {SystemLocationRole, "systemLocation"},
        {DescriptionRole, "description"},
        {ManufacturerRole, "manufacturer"},
        {VendorIdentifierRole, "vendorIdentifier"},
        {ProductIdentifierRole, "productIdentifier"},
        {IsBusyRole, "isBusy"},
        {IsNullRole, "isNull"},
        {IsValidRole, "isValid"},
    };
}
