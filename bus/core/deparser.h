#ifndef DEPARSER_H
#define DEPARSER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "qdorrikobject.h"

class IPacket;
class ModbusBytes;
class Target;

// The abstract deparser: a packet in, the bytes of its whole frame out. A failed deparse
// returns false and leaves its text in the error string.
class DORRIKBUS_EXPORT Deparser : public ErrObject, public QDorrikObject
{
    Q_OBJECT
public:
    explicit Deparser(QObject *parent = nullptr);
    ~Deparser() override;

    QString toString(bool oneLine = false) const override = 0;
    virtual bool canDeparse(const IPacket &packet) const = 0;
    virtual bool deparse(const IPacket &packet, ModbusBytes &out, const Target *target) = 0;
};

#endif
