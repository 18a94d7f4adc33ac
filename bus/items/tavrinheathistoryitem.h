#ifndef TAVRINHEATHISTORYITEM_H
#define TAVRINHEATHISTORYITEM_H

#include "tavrinhistoryitembase.h"

// The instrument's recent heat samples: mass flow rate, thermal power, M+ and W+.
class DORRIKBUS_EXPORT TavrinHeatHistoryItem : public TavrinHistoryItemBase
{
    Q_OBJECT

public:
    explicit TavrinHeatHistoryItem(QObject *parent = nullptr);
    ~TavrinHeatHistoryItem() override;
};

#endif
