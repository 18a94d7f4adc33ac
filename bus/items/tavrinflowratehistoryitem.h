#ifndef TAVRINFLOWRATEHISTORYITEM_H
#define TAVRINFLOWRATEHISTORYITEM_H

#include "modbuscustombytes.h"

#include <QDateTime>

// The instrument's recent flow-rate samples: each read of the 244-byte history block appends its
// records (flow velocity, flow rate, V+, V- and their difference) to a list of at most
// maxHistorySize records, oldest first, stamped one second apart back from currentTime.
class DORRIKBUS_EXPORT TavrinFlowRateHistoryItem : public ModbusCustomBytes
{
    Q_OBJECT
    Q_PROPERTY(
        int maxHistorySize READ maxHistorySize WRITE setMaxHistorySize NOTIFY maxHistorySizeChanged)
    Q_PROPERTY(
        QDateTime currentTime READ currentTime WRITE setCurrentTime NOTIFY currentTimeChanged)
    Q_PROPERTY(
        qreal flowRateRatio READ flowRateRatio WRITE setFlowRateRatio NOTIFY flowRateRatioChanged)

public:
    explicit TavrinFlowRateHistoryItem(QObject *parent = nullptr);
    ~TavrinFlowRateHistoryItem() override;

    int maxHistorySize() const { return m_maxHistorySize; }
    QDateTime currentTime() const { return m_currentTime; }
    qreal flowRateRatio() const { return m_flowRateRatio; }

    void applyResultTask(const ModbusTask &task) override;
    using ModbusCustomBytes::data;
    QVariant data(const ModbusBytes &bytes, int role) const override;

signals:
    void maxHistorySizeChanged(int size);
    void currentTimeChanged(const QDateTime &time);
    void flowRateRatioChanged(qreal ratio);

public slots:
    void setMaxHistorySize(int size);
    void setCurrentTime(const QDateTime &time);
    void setFlowRateRatio(qreal ratio);
    void setItemSize(int size) override;

private:
    int m_maxHistorySize = 300;
    QDateTime m_currentTime;
    qreal m_flowRateRatio = 1.0;
};

#endif
