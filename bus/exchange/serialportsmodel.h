#ifndef SERIALPORTSMODEL_H
#define SERIALPORTSMODEL_H

#include "dorrikbus_global.h"
#include "serialportenumerator.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The serial ports of the computer, one row per port, every column showing the port's name.
// Whether a port is busy is found when the list is read, by trying to open it. GUI thread only.
class DORRIKBUS_EXPORT SerialPortsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        NameRole = 0,
        SystemLocationRole,
        DescriptionRole,
        ManufacturerRole,
        VendorIdentifierRole,
        ProductIdentifierRole,
        IsBusyRole,
        IsNullRole,
        IsValidRole,
    };

    struct Port
    {
        SerialPortEnumerator::Port info;
        bool isBusy = false;
    };

    explicit SerialPortsModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // The names of the ports available now.
    Q_INVOKABLE static QStringList getNewList();

    // Where every model and getNewList() read the ports from; null restores QtSerialPort. The
    // enumerator stays the caller's.
    static void setEnumerator(const SerialPortEnumerator *enumerator);

public slots:
    void fill();

private:
    static QList<SerialPortEnumerator::Port> currentPorts();

    QList<Port> m_ports;
};

#endif
