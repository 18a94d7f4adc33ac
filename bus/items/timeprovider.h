#ifndef TIMEPROVIDER_H
#define TIMEPROVIDER_H

#include "dorrikbus_global.h"

#include <QDateTime>
#include <QObject>

// The clock of the task server. Tests replace it to control time.
class DORRIKBUS_EXPORT TimeProvider : public QObject
{
    Q_OBJECT

public:
    explicit TimeProvider(QObject *parent = nullptr);

    // The current local date and time. Called from the GUI thread and the executor thread.
    virtual QDateTime currentDateTime() const;
};

#endif
