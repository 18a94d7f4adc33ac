#ifndef IPACKET_H
#define IPACKET_H

#include "dorrikbus_global.h"
#include "qdorrikobject.h"

// Root of every packet: parsers, deparsers and dispatchers hand packets around through it and
// the receiver of a parsed packet deletes it through this virtual destructor.
class DORRIKBUS_EXPORT IPacket : public QDorrikObject
{
public:
    IPacket() = default;
    IPacket(const IPacket &) = default;
    IPacket &operator=(const IPacket &) = default;
    virtual ~IPacket();
};

#endif
