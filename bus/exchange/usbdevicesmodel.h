#ifndef USBDEVICESMODEL_H
#define USBDEVICESMODEL_H

#include "dorrikbus_global.h"
#include "usbbackend.h"

#include <QAbstractTableModel>
#include <QList>
#include <QQmlParserStatus>
#include <QStringList>

#include <memory>

// The USB devices attached to the computer whose vendor id, product id and serial number match
// three wildcard filters, one row per device. fill() refreshes the rows in place, so that a view
// keeps the devices that stay. GUI thread only.
class DORRIKBUS_EXPORT UsbDevicesModel : public QAbstractTableModel, public QQmlParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QString vidFilter READ vidFilter WRITE setVidFilter NOTIFY vidFilterChanged)
    Q_PROPERTY(QString pidFilter READ pidFilter WRITE setPidFilter NOTIFY pidFilterChanged)
    Q_PROPERTY(QString serialNumberFilter READ serialNumberFilter WRITE setSerialNumberFilter NOTIFY
                   serialNumberFilterChanged)

public:
    enum Role {
        DescriptorTypeRole = 32,
        BcdUsbRole,
        DeviceClassRole,
        DeviceSubClassRole,
        DeviceProtocolRole,
        MaxPacketSize0Role,
        IdVendorRole,
        IdProductRole,
        BcdDeviceRole,
        IManufacturerRole,
        IProductRole,
        ISerialNumberRole,
        NumConfigurationsRole,
        ManufacturerRole,
        ProductRole,
        SerialNumberRole,
        VidRole,
        PidRole,
    };

    // One device: its descriptor and the three texts read from it (empty when not read).
    struct Device
    {
        UsbBackend::DeviceInfo descriptor;
        QString manufacturer;
        QString product;
        QString serialNumber;

        bool operator==(const Device &other) const;
        bool operator!=(const Device &other) const { return !(*this == other); }
    };

    explicit UsbDevicesModel(QObject *parent = nullptr);
    explicit UsbDevicesModel(std::unique_ptr<UsbBackend> backend, QObject *parent = nullptr);
    ~UsbDevicesModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString vidFilter() const { return m_vidFilter; }
    QString pidFilter() const { return m_pidFilter; }
    QString serialNumberFilter() const { return m_serialNumberFilter; }

    Q_INVOKABLE QStringList getList(bool manufacturer, bool product, bool serialNumber,
                                    bool vidPid) const;
    Q_INVOKABLE QString normalID(quint16 id) const;
    QList<Device> getUsbList() const;

    void classBegin() override;
    void componentComplete() override;

public slots:
    void setVidFilter(const QString &filter);
    void setPidFilter(const QString &filter);
    void setSerialNumberFilter(const QString &filter);
    void fill();

signals:
    void vidFilterChanged(const QString &filter);
    void pidFilterChanged(const QString &filter);
    void serialNumberFilterChanged(const QString &filter);

private:
    std::unique_ptr<UsbBackend> m_backend;
    QList<Device> m_devices;
    QString m_vidFilter;
    QString m_pidFilter;
    QString m_serialNumberFilter;
};

#endif
