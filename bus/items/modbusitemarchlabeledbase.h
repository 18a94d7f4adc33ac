#ifndef MODBUSITEMARCHLABELEDBASE_H
#define MODBUSITEMARCHLABELEDBASE_H

#include "modbusitemarchbase.h"

#include <QDateTime>
#include <QVariant>

// An archive item that reads from a label: the raw label, its date-time and QML forms, the
// archive interval for label arithmetic and the text format of labels shown as text. Every change
// of the label passes through the virtual setLabel(quint32).
class DORRIKBUS_EXPORT ModbusItemArchLabeledBase : public ModbusItemArchBase
{
    Q_OBJECT
    Q_PROPERTY(QVariant label READ variantLabel WRITE setVariantLabel NOTIFY labelChanged)
    Q_PROPERTY(QString timeFormat READ timeFormat WRITE setTimeFormat NOTIFY timeFormatChanged)
    Q_PROPERTY(DorrikBus::ArchInterval archInterval READ archInterval WRITE setArchInterval NOTIFY
                   archIntervalChanged)

public:
    explicit ModbusItemArchLabeledBase(int bytesPerElement, QObject *parent = nullptr);

    quint32 label() const { return m_label; }
    QVariant variantLabel() const { return getVariantLabel(m_label, false); }
    void setVariantLabel(const QVariant &label);
    QDateTime timeLabel() const;
    void setTimeLabel(const QDateTime &time);
    // Any label of this item's archive as a number, a date-time or (asText) the date-time text.
    QVariant getVariantLabel(quint32 label, bool asText) const;
    DorrikBus::ArchInterval archInterval() const { return m_archInterval; }
    void setArchInterval(DorrikBus::ArchInterval interval);
    QString timeFormat() const { return m_timeFormat; }
    void setTimeFormat(const QString &format);

    virtual void setLabel(quint32 label);
    virtual void setLabel(const QDateTime &time) { setTimeLabel(time); }
    virtual void onLabelChanged();

signals:
    void labelChanged();
    void timeLabelChanged();
    void timeFormatChanged();
    void archIntervalChanged();

private:
    QString m_timeFormat = QStringLiteral("dd.MM.yyyy hh:mm:ss");
    quint32 m_label;
    DorrikBus::ArchInterval m_archInterval = DorrikBus::Hour;
};

#endif
