#ifndef MODBUSITEMARCHBASE_H
#define MODBUSITEMARCHBASE_H

#include "dorrikbus.h"
#include "modbusitembase.h"

// The base of every archive item: which archive is meant (number, function, type), and the
// item's bytes as hexadecimal text. Archive items only read: the stored read-only flag is set, so
// a write is refused before any task is made.
class DORRIKBUS_EXPORT ModbusItemArchBase : public ModbusItemBase
{
    Q_OBJECT
    Q_PROPERTY(QString value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int archIndex READ archIndex WRITE setArchIndex NOTIFY archIndexChanged)
    Q_PROPERTY(DorrikBus::ArchFunc func READ func WRITE setFunc NOTIFY funcChanged)
    Q_PROPERTY(DorrikBus::ArchType archType READ archType WRITE setArchType NOTIFY archTypeChanged)

public:
    explicit ModbusItemArchBase(int bytesPerElement, QObject *parent = nullptr);

    QString value() const { return m_value; }
    void setValue(const QString &text);
    quint16 archIndex() const { return m_archIndex; }
    void setArchIndex(quint16 index);
    DorrikBus::ArchFunc func() const { return m_func; }
    void setFunc(DorrikBus::ArchFunc func);
    DorrikBus::ArchType archType() const { return m_archType; }
    void setArchType(DorrikBus::ArchType type);

    QString formatValue() const override { return m_value; }
    void setFormatValue(const QString &text) override { setValue(text); }
    bool readOnly() const override { return true; }
    void updateValueFromBytes() override;
    bool checkValidResultTask(ModbusTask *task) override;

    virtual void onFuncChanged() {}

signals:
    void valueChanged();
    void archIndexChanged();
    void funcChanged();
    void archTypeChanged();

private:
    void archiveChanged();

    QString m_value;
    quint16 m_archIndex = 0;
    DorrikBus::ArchFunc m_func = DorrikBus::Func65;
    DorrikBus::ArchType m_archType = DorrikBus::TimeArch;
};

#endif
