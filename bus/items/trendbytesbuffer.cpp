#include "trendbytesbuffer.h"

int TrendBytesBuffer::indexOf(unsigned int label) const
{
    for (qsizetype i = 0; i < size(); ++i) {
        if (at(i).labelInSeconds() == label)
            return int(i);
    }
    return -1;
}

int TrendBytesBuffer::indexOf(const QDateTime &time) const
{
    for (qsizetype i = 0; i < size(); ++i) {
        if (at(i).time == time)
            return int(i);
    }
    return -1;
}

unsigned int TrendBytesBuffer::maxIndexLabel() const
{
    return isEmpty() ? 0 : last().labelInSeconds();
}

unsigned int TrendBytesBuffer::minIndexLabel() const
{
    return isEmpty() ? 0 : first().labelInSeconds();
}

QDateTime TrendBytesBuffer::maxTimeLabel() const
{
    return isEmpty() ? QDateTime::fromMSecsSinceEpoch(0) : last().time;
}

QDateTime TrendBytesBuffer::minTimeLabel() const
{
    return isEmpty() ? QDateTime::fromMSecsSinceEpoch(0) : first().time;
}
