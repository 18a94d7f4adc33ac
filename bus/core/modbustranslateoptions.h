#ifndef MODBUSTRANSLATEOPTIONS_H
#define MODBUSTRANSLATEOPTIONS_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "qdorrikobject.h"

#include <QDateTime>

class ModbusTarget;
class ModbusTransport;

// What accompanies a request received by a server link: when and from where it came, and the
// exception to answer with when no listener handles it. Lives for the handling of one request;
// owns nothing (the target and the link outlive it).
class DORRIKBUS_EXPORT ModbusTranslateOptions : public QDorrikObject
{
public:
    ModbusTranslateOptions(const QDateTime &requestTime, const ModbusTarget *fromTarget,
                           quint8 requestAddress, const ModbusTransport &fromTransport);
    // A request received now. Its local time is worked out only when asked for: reading the
    // local clock costs a time-zone look-up, and a server takes one for every request.
    ModbusTranslateOptions(const ModbusTarget *fromTarget, quint8 requestAddress,
                           const ModbusTransport &fromTransport);

    QDateTime requestTime() const;
    const ModbusTarget *fromTarget() const { return m_fromTarget; }
    quint8 requestAddress() const { return m_requestAddress; }
    DorrikBus::ExceptionCode answerExceptionCode() const { return m_answerExceptionCode; }
    const ModbusTransport *fromTransport() const { return m_fromTransport; }

    // Stored unchanged, without a check.
    void setAnswerExceptionCode(DorrikBus::ExceptionCode code) { m_answerExceptionCode = code; }

    QString toString(bool oneLine = false) const override;

private:
    QDateTime m_requestTime;
    // m_requestTime is UTC and stands for the local time of the same instant.
    bool m_localOnDemand = false;
    const ModbusTarget *m_fromTarget;
    quint8 m_requestAddress;
    DorrikBus::ExceptionCode m_answerExceptionCode = DorrikBus::ExceptionCode(0);
    const ModbusTransport *m_fromTransport;
};

#endif
