#ifndef TRENDBYTESBUFFER_H
#define TRENDBYTESBUFFER_H

#include "dorrikbus_global.h"
#include "trendbytesitem.h"

#include <QList>

// An item's trend: samples from the oldest (index 0) to the newest. The owner keeps them in
// ascending time order; the buffer neither sorts nor checks it, and the minimum and maximum
// lookups rely on it. Lookups scan from the front, so the oldest of equal samples wins.
class DORRIKBUS_EXPORT TrendBytesBuffer : public QList<TrendBytesItem>
{
public:
    TrendBytesBuffer() = default;

    int indexOf(unsigned int label) const;
    int indexOf(const QDateTime &time) const;
    // 0 when empty.
    unsigned int maxIndexLabel() const;
    unsigned int minIndexLabel() const;
    // The epoch (as a local date-time) when empty.
    QDateTime maxTimeLabel() const;
    QDateTime minTimeLabel() const;
};

#endif
