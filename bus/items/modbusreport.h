#ifndef MODBUSREPORT_H
#define MODBUSREPORT_H

#include "modbusitembase.h"

#include <QVariantList>

// The device's identification, the answer to the report request (function 17): a device name
// text ended by a zero byte, split into the name and a dotted version by which the menu tells
// instruments and firmware apart. Never written to the device.
class DORRIKBUS_EXPORT ModbusReport : public ModbusItemBase
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QString deviceName READ deviceName NOTIFY deviceNameChanged)
    Q_PROPERTY(QString deviceVersion READ deviceVersion NOTIFY deviceVersionChanged)
    Q_PROPERTY(
        QVariantList deviceVersionList READ deviceVersionList NOTIFY deviceVersionListChanged)

public:
    explicit ModbusReport(QObject *parent = nullptr);

    QString value() const { return m_value; }
    // Also puts the text into the report bytes, and splits it into name and version.
    void setValue(const QString &value);
    QString deviceName() const { return m_deviceName; }
    void setDeviceName(const QString &name);
    QString deviceVersion() const { return m_deviceVersion; }
    void setDeviceVersion(const QString &version);
    QVariantList deviceVersionList() const { return m_deviceVersionList; }
    void setDeviceVersionList(const QVariantList &list);

    QString formatValue() const override { return value(); }
    void setFormatValue(const QString &text) override { setValue(text); }
    // A report task for a read; nothing for any other type.
    ModbusTask *createModbusTask(DorrikBus::ModbusTaskType type, int interval) override;
    void updateValueFromBytes() override;
    bool checkValidResultTask(ModbusTask *task) override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

signals:
    void valueChanged();
    void deviceNameChanged(const QString &name);
    void deviceVersionChanged(const QString &version);
    void deviceVersionListChanged(const QVariantList &list);

private:
    void assignValue(const QString &value, bool encode);

    QString m_value;
    QString m_deviceName;
    QString m_deviceVersion;
    QVariantList m_deviceVersionList;
};

#endif
