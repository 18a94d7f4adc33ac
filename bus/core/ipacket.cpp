#include "ipacket.h"

IPacket::~IPacket() = default;
