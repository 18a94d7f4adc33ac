#ifndef MODBUSTCPPACKETDISPATCHER_H
#define MODBUSTCPPACKETDISPATCHER_H

#include "dorrikbus_global.h"
#include "packetdispatcher.h"

// The Modbus TCP member of the dispatchers: it lets every packet pass.
class DORRIKBUS_EXPORT ModbusTCPPacketDispatcher : public PacketDispatcher
{
    Q_OBJECT

public:
    explicit ModbusTCPPacketDispatcher(QObject *parent = nullptr);

    QString toString(bool oneLine = false) const override;

public slots:
    void onPacketReceiving(const IPacket &packet, const Target *target, bool &allow) override;
    void onPacketSending(const IPacket &packet, const Target *target, bool &allow) override;
};

#endif
