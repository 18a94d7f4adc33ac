#ifndef DORRIKBUS_H
#define DORRIKBUS_H

#include "dorrikbus_global.h"

#include <QDateTime>
#include <QObject>

// The library's namespace class: shared enums, texts, address conversions, the archive-label
// calendar and the version. A QObject so that QML can name its enums.
class DORRIKBUS_EXPORT DorrikBus : public QObject
{
    Q_OBJECT
public:
    explicit DorrikBus(QObject *parent = nullptr);

    // Archive labels count seconds of the instrument's wall clock, which has no zone.
    static QDateTime archLabelToTime(unsigned int label);
    static unsigned int archLabelToSeconds(QDateTime t);
};

#endif
