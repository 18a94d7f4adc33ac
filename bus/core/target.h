#ifndef TARGET_H
#define TARGET_H

#include "dorrikbus_global.h"
#include "qdorrikobject.h"

#include <QObject>

// The peer of a frame: where a request goes to, or where an answer or request came from.
// Links recognise their targets by pointer; the target itself holds no data.
class DORRIKBUS_EXPORT Target : public QObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit Target(QObject *parent = nullptr);
    // A new object: neither parent, object name nor connections are copied.
    Target(const Target &other);

    // Identity: two targets are the same only when they are the same object.
    bool operator==(const Target &other) const { return this == &other; }
    bool operator!=(const Target &other) const { return !(*this == other); }
};

#endif
