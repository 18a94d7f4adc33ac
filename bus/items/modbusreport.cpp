#include "modbusreport.h"

#include "modbustaskreport.h"

#include <QRegularExpression>

ModbusReport::ModbusReport(QObject *parent) : ModbusItemBase(0, parent)
{
    setReadOnly(true);
}

void ModbusReport::setValue(const QString &value)
{
    assignValue(value, true);
}

void ModbusReport::setDeviceName(const QString &name)
{
    if (name == m_deviceName)
        return;
    m_deviceName = name;
    emit deviceNameChanged(name);
}

void ModbusReport::setDeviceVersion(const QString &version)
{
    if (version == m_deviceVersion)
        return;
    m_deviceVersion = version;
    QVariantList parts;
    // No version has no parts (splitting an empty text would give one empty part).
    if (!version.isEmpty()) {
        const QStringList texts = version.split(QLatin1Char('.'));
        for (const QString &part : texts)
            parts.append(part);
    }
    setDeviceVersionList(parts);
    emit deviceVersionChanged(version);
}

void ModbusReport::setDeviceVersionList(const QVariantList &list)
{
    if (list == m_deviceVersionList)
        return;
    m_deviceVersionList = list;
    emit deviceVersionListChanged(list);
}

ModbusTask *ModbusReport::createModbusTask(DorrikBus::ModbusTaskType type, int interval)
{
    if (type != DorrikBus::ReadTask)
        return nullptr;
    return new ModbusTaskReport(*this, interval);
}

void ModbusReport::updateValueFromBytes()
{
    // The text follows the answer without being written back into it: an answer without a zero
    // byte gives no text, and must not get its first byte zeroed for it.
    assignValue(DorrikBus::getDevNameFromReportBytes(bytes()), false);
}

bool ModbusReport::checkValidResultTask(ModbusTask *task)
{
    return dynamic_cast<ModbusTaskReport *>(task) != nullptr;
}

QVariant ModbusReport::getTypedValue(const ModbusBytes &bytes) const
{
    return DorrikBus::getDevNameFromReportBytes(bytes);
}

void ModbusReport::assignValue(const QString &value, bool encode)
{
    if (value == m_value)
        return;
    m_value = value;
    if (encode)
        setBytes(DorrikBus::setDevNameToReportBytes(bytes(), value), ValueChange);
    emit valueChanged();
    emit formatValueChanged();

    // A first word, white space, then word characters and dots: "ABC 1.02.3". Qt 4's \w took
    // any letter or digit, not only ASCII ones.
    static const QRegularExpression pattern(QStringLiteral("(\\w+)\\s+((\\.*\\w+)+)"),
                                            QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = pattern.match(value);
    if (match.hasMatch()) {
        setDeviceName(match.captured(1));
        setDeviceVersion(match.captured(2));
    } else {
        setDeviceName(QString());
        setDeviceVersion(QString());
    }
}
