#ifndef TAVRINPRESSUREHISTORYITEM_H
#define TAVRINPRESSUREHISTORYITEM_H

#include "tavrinhistoryitembase.h"

// The instrument's recent pressure samples: the pressure and the current of its sensor.
class DORRIKBUS_EXPORT TavrinPressureHistoryItem : public TavrinHistoryItemBase
{
    Q_OBJECT

public:
    explicit TavrinPressureHistoryItem(QObject *parent = nullptr);
    ~TavrinPressureHistoryItem() override;
};

#endif
