#ifndef MODBUSDATETIME_H
#define MODBUSDATETIME_H

#include "modbusitemaddressedbase.h"

#include <QDateTime>

// A date and time held by the instrument as 32-bit seconds since 1970-01-01 00:00 of its own wall
// clock, counted as if that clock were UTC (the archive label form). The value is that wall-clock
// reading as a local date-time; it is shown and parsed as it is, never shifted by the computer's
// time zone, so text written back leaves the instrument's clock where it was.
class DORRIKBUS_EXPORT ModbusDateTime : public ModbusItemAddressedBase
{
    Q_OBJECT
    Q_PROPERTY(QDateTime value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QString format READ format WRITE setFormat NOTIFY formatChanged)

public:
    explicit ModbusDateTime(QObject *parent = nullptr);
    ModbusDateTime(quint32 address, QObject *parent = nullptr);

    QDateTime value() const { return m_value; }
    // Equal means the same wall-clock reading: the bytes hold nothing else.
    void setValue(const QDateTime &value);
    QString format() const { return m_format; }
    void setFormat(const QString &format);

    QString formatValue() const override;
    // A text that does not match the format stores an invalid date-time.
    void setFormatValue(const QString &text) override;
    void updateValueFromBytes() override;
    QVariant getTypedValue(const ModbusBytes &bytes) const override;

public slots:
    // Writes the time's 4 bytes; the item's value waits for the next read.
    virtual bool writeValue(const QDateTime &value);

signals:
    void valueChanged();
    void formatChanged();

private:
    // Stores and reports a value; with encode the bytes follow it.
    void assignValue(const QDateTime &value, bool encode);

    QDateTime m_value;
    QString m_format = QStringLiteral("yyyy.MM.dd hh:mm:ss");
};

#endif
