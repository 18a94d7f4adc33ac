#ifndef EVENTPARSER_H
#define EVENTPARSER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "qdorrikobject.h"

class IEvent;
class ModbusBytes;

// Turns the instrument's event bytes into an event record.
class DORRIKBUS_EXPORT EventParser : public ErrObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit EventParser(QObject *parent = nullptr);

    // A new KeypadEvent or SystemEvent owned by the caller; null on error, with the reason in
    // the parser's error string.
    IEvent *parse(const ModbusBytes &bytes);

    QString toString(bool oneLine = false) const override;
};

#endif
