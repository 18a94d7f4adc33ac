#ifndef TAVRINPRESSUREHISTORYITEM_H
#define TAVRINPRESSUREHISTORYITEM_H

#include "modbuscustombytes.h"

#include <QDateTime>

// The instrument's recent pressure samples: each read of the 244-byte history block appends its
// records (pressure and current) to a list of at most maxHistorySize records, oldest first,
// stamped one second apart back from currentTime.
class DORRIKBUS_EXPORT TavrinPressureHistoryItem : public ModbusCustomBytes
{
    Q_OBJECT
    Q_PROPERTY(
        int maxHistorySize READ maxHistorySize WRITE setMaxHistorySize NOTIFY maxHistorySizeChanged)
    Q_PROPERTY(
        QDateTime currentTime READ currentTime WRITE setCurrentTime NOTIFY currentTimeChanged)

public:
    explicit TavrinPressureHistoryItem(QObject *parent = nullptr);
    ~TavrinPressureHistoryItem() override;

    int maxHistorySize() const { return m_maxHistorySize; }
    QDateTime currentTime() const { return m_currentTime; }

    void applyResultTask(const ModbusTask &task) override;
    using ModbusCustomBytes::data;
    QVariant data(const ModbusBytes &bytes, int role) const override;

signals:
    void maxHistorySizeChanged(int size);
    void currentTimeChanged(const QDateTime &time);

public slots:
    void setMaxHistorySize(int size);
    void setCurrentTime(const QDateTime &time);
    void setItemSize(int size) override;

private:
    int m_maxHistorySize = 300;
    QDateTime m_currentTime;
};

#endif
