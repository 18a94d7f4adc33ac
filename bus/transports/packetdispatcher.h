#ifndef PACKETDISPATCHER_H
#define PACKETDISPATCHER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "ipacket.h"
#include "qdorrikobject.h"
#include "target.h"

// The base of packet filters that a translator records per link. A hook clears `allow` to stop
// the packet; leaving it as it is lets the packet pass.
class DORRIKBUS_EXPORT PacketDispatcher : public ErrObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit PacketDispatcher(QObject *parent = nullptr);
    ~PacketDispatcher() override;

public slots:
    virtual void onPacketReceiving(const IPacket &packet, const Target *target, bool &allow) = 0;
    virtual void onPacketSending(const IPacket &packet, const Target *target, bool &allow) = 0;
};

#endif
