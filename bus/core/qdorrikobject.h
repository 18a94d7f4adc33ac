#ifndef QDORRIKOBJECT_H
#define QDORRIKOBJECT_H

#include "dorrikbus_global.h"

#include <QString>

// The one interface every library object shares: a text description for logs and error
// messages. Objects are never deleted through it, hence the protected, non-virtual destructor.
class DORRIKBUS_EXPORT QDorrikObject
{
public:
    virtual QString toString(bool oneLine = false) const = 0;

protected:
    QDorrikObject() = default;
    QDorrikObject(const QDorrikObject &) = default;
    QDorrikObject &operator=(const QDorrikObject &) = default;
    ~QDorrikObject() = default;
};

#endif
