#include "packetdispatcher.h"

PacketDispatcher::PacketDispatcher(QObject *parent) : ErrObject(parent) {}

PacketDispatcher::~PacketDispatcher() = default;
