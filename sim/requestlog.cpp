#include "requestlog.h"

#include <QDateTime>
#include <QRegularExpression>

namespace RequestLog {

namespace {

QString hex(uint value, int digits)
{
    return QStringLiteral("0x%1").arg(value, digits, 16, QLatin1Char('0'));
}

QString archive(const InstrumentRequest &request)
{
    // Time labels are the instrument's wall clock, stored as if it were UTC.
    const QString label = request.archType == DorrikBus::TimeArch
                              ? QDateTime::fromSecsSinceEpoch(request.address, Qt::UTC)
                                    .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
                              : QString::number(request.address);
    QString line = QStringLiteral("A%1 %2 %3 %4")
                       .arg(int(request.function))
                       .arg(hex(request.archIndex, 4), label)
                       .arg(request.count);
    if (request.function != DorrikBus::ReadArchRecord65 && request.direction == DorrikBus::Backward)
        line += QStringLiteral(" back");
    return line;
}

} // namespace

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
    case DorrikBus::WriteFile:
        line = QStringLiteral("%1 %2 %3 %4")
                   .arg(request.function == DorrikBus::ReadFile ? QStringLiteral("FR")
                                                                : QStringLiteral("FW"),
                        hex(request.file, 2))
                   .arg(request.address)
                   .arg(request.count);
        break;
    case DorrikBus::ReadArchRecord65:
    case DorrikBus::ReadArchRecordsPresence:
    case DorrikBus::ReadArchRecord67:
        line = archive(request);
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
