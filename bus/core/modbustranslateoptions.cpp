#include "modbustranslateoptions.h"

#include "modbustarget.h"
#include "modbustransport.h"

#include <QObject>

ModbusTranslateOptions::ModbusTranslateOptions(const QDateTime &requestTime,
                                               const ModbusTarget *fromTarget,
                                               quint8 requestAddress,
                                               const ModbusTransport &fromTransport)
    : m_requestTime(requestTime), m_fromTarget(fromTarget), m_requestAddress(requestAddress),
      m_fromTransport(&fromTransport)
{}

ModbusTranslateOptions::ModbusTranslateOptions(const ModbusTarget *fromTarget,
                                               quint8 requestAddress,
                                               const ModbusTransport &fromTransport)
    : m_requestTime(QDateTime::currentDateTimeUtc()), m_localOnDemand(true),
      m_fromTarget(fromTarget), m_requestAddress(requestAddress), m_fromTransport(&fromTransport)
{}

QDateTime ModbusTranslateOptions::requestTime() const
{
    return m_localOnDemand ? m_requestTime.toLocalTime() : m_requestTime;
}

QString ModbusTranslateOptions::toString(bool oneLine) const
{
    // A record without a target prints an empty target field. Like the packets, the record is no
    // QObject and translates in the context "QObject".
    const QString target = m_fromTarget ? m_fromTarget->toString(oneLine) : QString();
    const QDorrikObject *transport = m_fromTransport;

    QString text;
    text += QObject::tr("request time: %1")
                .arg(requestTime().toString(QStringLiteral("yyyy:MM:dd hh:mm:ss.zzz")));
    text += QObject::tr("from target: %1").arg(target);
    text += QObject::tr("request address: %1").arg(m_requestAddress);
    text += QObject::tr("answer exception code: %1")
                .arg(DorrikBus::exceptionCodeStr(m_answerExceptionCode));
    text += QObject::tr("from transport: %1").arg(transport->toString(oneLine));
    if (oneLine)
        text.replace(QLatin1Char('\n'), QLatin1String("; "));
    return text;
}
