#ifndef TAVRINFLOWRATEHISTORYITEM_H
#define TAVRINFLOWRATEHISTORYITEM_H

#include "tavrinhistoryitembase.h"

// The instrument's recent flow-rate samples: flow velocity, flow rate, V+, V- and their
// difference. The flow rate reads out multiplied by flowRateRatio, the unit the operator chose.
class DORRIKBUS_EXPORT TavrinFlowRateHistoryItem : public TavrinHistoryItemBase
{
    Q_OBJECT
    Q_PROPERTY(
        qreal flowRateRatio READ flowRateRatio WRITE setFlowRateRatio NOTIFY flowRateRatioChanged)

public:
    explicit TavrinFlowRateHistoryItem(QObject *parent = nullptr);
    ~TavrinFlowRateHistoryItem() override;

    qreal flowRateRatio() const { return m_flowRateRatio; }

    using TavrinHistoryItemBase::data;
    QVariant data(const ModbusBytes &bytes, int role) const override;

signals:
    void flowRateRatioChanged(qreal ratio);

public slots:
    void setFlowRateRatio(qreal ratio);

private:
    qreal m_flowRateRatio = 1.0;
};

#endif
