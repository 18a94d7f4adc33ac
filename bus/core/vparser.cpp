#include "vparser.h"

#include "ipacket.h"

VParser::VParser(QObject *parent) : ErrObject(parent) {}

VParser::~VParser() = default;

bool VParser::parse2(const ModbusBytes &bytes, const IParseInfo &info, const Target *target,
                     IPacket **packet)
{
    IPacket *parsed = parse(bytes, info, target);
    if (packet)
        *packet = parsed;
    else
        delete parsed; // nobody would own it
    return parsed != nullptr;
}
