#include "requestlog.h"

#include <QRegularExpression>

namespace RequestLog {

QString describe(const InstrumentRequest &request, Unit unit)
{
    QString line;
    switch (request.function) {
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::ReadInputRegisters:
        line = QStringLiteral("R %1 %2").arg(request.address).arg(request.count);
        break;
    case DorrikBus::WriteSingleRegister:
    case DorrikBus::WriteMultipleRegisters:
        line = QStringLiteral("W %1 %2")
                   .arg(request.address)
                   .arg(QString::fromLatin1(request.bytes.toHex()));
        break;
    case DorrikBus::ReadFile:
        line = QStringLiteral("FR %1 %2").arg(request.address).arg(request.count);
        break;
    case DorrikBus::WriteFile:
        line = QStringLiteral("FW %1 %2").arg(request.address).arg(request.count);
        break;
    default:
        line = QStringLiteral("F%1").arg(int(request.function));
        break;
    }
    if (unit == WithUnit)
        line += QStringLiteral(" u%1").arg(request.unit);
    return line;
}

QStringList described(const QList<InstrumentRequest> &requests, Unit unit)
{
    QStringList lines;
    for (const InstrumentRequest &request : requests)
        lines << describe(request, unit);
    return lines;
}

bool isRead(const InstrumentRequest &request)
{
    return request.function == DorrikBus::ReadHoldingRegisters ||
           request.function == DorrikBus::ReadInputRegisters;
}

bool isWrite(const InstrumentRequest &request)
{
    return request.function == DorrikBus::WriteSingleRegister ||
           request.function == DorrikBus::WriteMultipleRegisters;
}

int readsOf(const QList<InstrumentRequest> &requests, quint32 address)
{
    int n = 0;
    for (const InstrumentRequest &request : requests) {
        if (isRead(request) && request.address <= address &&
            address < request.address + quint32(request.count))
            ++n;
    }
    return n;
}

bool matches(const QString &line, const QString &pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(line).hasMatch();
}

bool inOrder(const QStringList &log, const QStringList &patterns)
{
    int next = 0;
    for (const QString &line : log) {
        if (next < patterns.size() && matches(line, patterns.at(next)))
            ++next;
    }
    return next == patterns.size();
}

int countOf(const QStringList &log, const QString &pattern)
{
    int count = 0;
    for (const QString &line : log)
        count += matches(line, pattern) ? 1 : 0;
    return count;
}

} // namespace RequestLog
