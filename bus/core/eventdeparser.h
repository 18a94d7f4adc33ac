#ifndef EVENTDEPARSER_H
#define EVENTDEPARSER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "qdorrikobject.h"

class IEvent;
class ModbusBytes;

// Writes an event record as the instrument's event bytes. Only key events can be written.
class DORRIKBUS_EXPORT EventDeparser : public ErrObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit EventDeparser(QObject *parent = nullptr);

    // Appends the event's bytes to `bytes` (not cleared first). False, with the buffer unchanged
    // and the reason in the error string, for an event that cannot be written.
    virtual bool deparse(const IEvent &event, ModbusBytes &bytes);

    QString toString(bool oneLine = false) const override;
};

#endif
