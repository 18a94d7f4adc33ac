#ifndef MYDECLARATIVEITEM_H
#define MYDECLARATIVEITEM_H

#include "dorrikbus_global.h"
#include "mydeclarativeparserstatus.h"

#include <QObject>

// The declarative item base with the initializing flag. The library links Qt Qml but not Qt
// Quick, so it cannot be a QQuickItem: it is a non-visual QObject with the same parser status.
class DORRIKBUS_EXPORT MyDeclarativeItem : public QObject, public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)

public:
    explicit MyDeclarativeItem(QObject *parent = nullptr);
};

#endif
