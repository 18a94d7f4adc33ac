#ifndef VPARSER_H
#define VPARSER_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "errobject.h"
#include "qdorrikobject.h"

class IPacket;
class IParseInfo;
class ModbusBytes;
class Target;

// The abstract parser: bytes of one frame in, a new packet out. A failed parse returns null and
// leaves its text in the error string.
class DORRIKBUS_EXPORT VParser : public ErrObject, public QDorrikObject
{
    Q_OBJECT
public:
    explicit VParser(QObject *parent = nullptr);
    ~VParser() override;

    virtual bool canParse(const ModbusBytes &bytes, DorrikBus::PacketState state) const = 0;
    // The caller owns the returned packet.
    virtual IPacket *parse(const ModbusBytes &bytes, const IParseInfo &info,
                           const Target *target) = 0;
    virtual bool parse2(const ModbusBytes &bytes, const IParseInfo &info, const Target *target,
                        IPacket **packet);
    QString toString(bool oneLine = false) const override = 0;
};

#endif
