#include "modbusitemarchlabeledbase.h"

ModbusItemArchLabeledBase::ModbusItemArchLabeledBase(int bytesPerElement, QObject *parent)
    : ModbusItemArchBase(bytesPerElement, parent),
      m_label(DorrikBus::archLabelToSeconds(QDateTime::currentDateTime()))
{}

void ModbusItemArchLabeledBase::setVariantLabel(const QVariant &label)
{
    setLabel(DorrikBus::getIntLabel(label, m_timeFormat));
}

QDateTime ModbusItemArchLabeledBase::timeLabel() const
{
    return DorrikBus::archLabelToTime(m_label);
}

void ModbusItemArchLabeledBase::setTimeLabel(const QDateTime &time)
{
    setLabel(DorrikBus::archLabelToSeconds(time));
}

QVariant ModbusItemArchLabeledBase::getVariantLabel(quint32 label, bool asText) const
{
    return DorrikBus::getVariantLabel(label, archType(), asText, m_timeFormat);
}

void ModbusItemArchLabeledBase::setArchInterval(DorrikBus::ArchInterval interval)
{
    if (interval == m_archInterval)
        return;
    m_archInterval = interval;
    emit archIntervalChanged();
}

void ModbusItemArchLabeledBase::setTimeFormat(const QString &format)
{
    if (format == m_timeFormat)
        return;
    m_timeFormat = format;
    emit timeFormatChanged();
}

void ModbusItemArchLabeledBase::setLabel(quint32 label)
{
    if (label == m_label)
        return;
    m_label = label;
    onLabelChanged();
    emit labelChanged();
    emit timeLabelChanged();
}

void ModbusItemArchLabeledBase::onLabelChanged()
{
    reinitIntervalReading();
    needValueRead();
}
