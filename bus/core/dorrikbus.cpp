#include "dorrikbus.h"

#include "modbusbytes.h"

#include <QCoreApplication>
#include <QDebug>

#include <limits>

DorrikBus::DorrikBus(QObject *parent) : QObject(parent) {}

QString DorrikBus::busTypeStr(int type)
{
    switch (type) {
    case ClientBus:
        return QStringLiteral("modbus client");
    case ServerBus:
        return QStringLiteral("modbus server");
    }
    return QStringLiteral("?");
}

QString DorrikBus::archTypeStr(int type)
{
    switch (type) {
    case IndexArch:
        return QStringLiteral("index archive");
    case TimeArch:
        return QStringLiteral("time archive");
    }
    return QStringLiteral("?");
}

QString DorrikBus::archDirectionStr(int direction)
{
    switch (direction) {
    case Forward:
        return QStringLiteral("forward");
    case Backward:
        return QStringLiteral("backward");
    }
    return QStringLiteral("?");
}

QString DorrikBus::packetStateStr(int state)
{
    switch (state) {
    case Request:
        return QStringLiteral("request");
    case Response:
        return QStringLiteral("response");
    }
    return QStringLiteral("?");
}

QString DorrikBus::packetKindStr(int kind)
{
    // Archive presence and file packets have no text of their own.
    switch (kind) {
    case RegistersPacket:
        return QStringLiteral("registers packet");
    case ArchPacket:
        return QStringLiteral("archive packet");
    case ReportPacket:
        return QStringLiteral("report slave packet");
    }
    return QStringLiteral("?");
}

QString DorrikBus::modbusAddressTypeStr(int type)
{
    switch (type) {
    case DiscreteInputs:
        return QCoreApplication::translate("QObject", "discrete inputs");
    case Coils:
        return QCoreApplication::translate("QObject", "coils");
    case InputRegisters:
        return QCoreApplication::translate("QObject", "input registers");
    case HoldingRegisters:
        return QCoreApplication::translate("QObject", "holding registers");
    }
    return QStringLiteral("?");
}

QString DorrikBus::exceptionCodeStr(int code)
{
    switch (code) {
    case NoException:
        return tr("no exceptions");
    case IllegalFunction:
        return tr("illegal function");
    case IllegalDataAddress:
        return tr("illegal data address");
    case IllegalDataValue:
        return tr("illegal data value");
    case SlaveDeviceFailure:
        return tr("slave device failure");
    case Acknowledge:
        return tr("acknowledge");
    case SlaveDeviceBusy:
        return tr("slave device busy");
    case MemoryParityError:
        return tr("memory parity error");
    case GatewayPathUnavailable:
        return tr("gateway path unavailable");
    case GatewayTargetDeviceFailedToRespond:
        return tr("gateway target device failed to respond");
    }
    return QStringLiteral("?");
}

QString DorrikBus::functionCodeStr(int code)
{
    // Read file (68) and write file (69) have no text.
    switch (code) {
    case UnknownFunctionCode:
        return QCoreApplication::translate("QObject", "unknown function code");
    case ReadCoils:
        return QCoreApplication::translate("QObject", "read coils");
    case ReadDiscreteInputs:
        return QCoreApplication::translate("QObject", "read discrete inputs");
    case ReadHoldingRegisters:
        return QCoreApplication::translate("QObject", "read holding registers");
    case ReadInputRegisters:
        return QCoreApplication::translate("QObject", "read input registers");
    case WriteSingleCoil:
        return QCoreApplication::translate("QObject", "write single coil");
    case WriteSingleRegister:
        return QCoreApplication::translate("QObject", "write single register");
    case ReadExceptionStatus:
        return QCoreApplication::translate("QObject", "read exception status");
    case Diagnostics:
        return QCoreApplication::translate("QObject", "diagnostics");
    case GetCommEventCounter:
        return QCoreApplication::translate("QObject", "get COM event counter");
    case GetCommEventLog:
        return QCoreApplication::translate("QObject", "get COM event log");
    case WriteMultipleCoils:
        return QCoreApplication::translate("QObject", "write multiple coils");
    case WriteMultipleRegisters:
        return QCoreApplication::translate("QObject", "write multiple registers");
    case ReportSlaveId:
        return QCoreApplication::translate("QObject", "report salve ID");
    case ReadFileRecord:
        return QCoreApplication::translate("QObject", "read file record");
    case WriteFileRecord:
        return QCoreApplication::translate("QObject", "write file record");
    case MaskWriteRegister:
        return QCoreApplication::translate("QObject", "mask write register");
    case ReadWriteMultipleRegisters:
        return QCoreApplication::translate("QObject", "read/write multiple registers");
    case ReadFifoQueue:
        return QCoreApplication::translate("QObject", "read FIFO queue");
    case ReadDeviceIdentification:
        return QCoreApplication::translate("QObject", "read device identification");
    case ReadArchRecord65:
        return QCoreApplication::translate("QObject", "read arch record (65)");
    case ReadArchRecordsPresence:
        return QCoreApplication::translate("QObject", "read arch records presence");
    case ReadArchRecord67:
        return QCoreApplication::translate("QObject", "read arch record (67)");
    }
    return QStringLiteral("?");
}

DorrikBus::ModbusAddressType DorrikBus::getAddressType(quint32 address)
{
    if (address > 400000)
        return HoldingRegisters;
    if (address > 300000)
        return InputRegisters;
    if (address < 100001)
        return Coils;
    return DiscreteInputs;
}

DorrikBus::RegisterType DorrikBus::getRegisterType(quint32 address)
{
    // Unlike getAddressType, 300000 counts as an input register and 400000 as a holding one.
    return (address >= 300000 && address < 400000) ? InputRegister : HoldingRegister;
}

DorrikBus::RegisterType DorrikBus::getRegisterType(FunctionCode function)
{
    switch (function) {
    case ReadHoldingRegisters:
    case WriteSingleRegister:
    case WriteMultipleRegisters:
        return HoldingRegister;
    default:
        return InputRegister;
    }
}

bool DorrikBus::isHolding(quint32 address)
{
    return getRegisterType(address) == HoldingRegister;
}

bool DorrikBus::isInput(quint32 address)
{
    return getRegisterType(address) == InputRegister;
}

DorrikBus::FunctionCode DorrikBus::getReadRegFunctionCode(quint32 address)
{
    return isInput(address) ? ReadInputRegisters : ReadHoldingRegisters;
}

int DorrikBus::getBytesInAddress(quint32 address)
{
    const ModbusAddressType type = getAddressType(address);
    return (type == InputRegisters || type == HoldingRegisters) ? 2 : 1;
}

bool DorrikBus::isReadOnly(quint32 address)
{
    const ModbusAddressType type = getAddressType(address);
    return type == DiscreteInputs || type == InputRegisters;
}

quint32 DorrikBus::absToLog(quint16 address, RegisterType type)
{
    return quint32(address) + (type == InputRegister ? 300001u : 400001u);
}

quint32 DorrikBus::absToLog(quint16 address, FunctionCode function)
{
    return absToLog(address, getRegisterType(function));
}

quint32 DorrikBus::logToAbs(quint32 logical)
{
    // The range tag above bit 16 never reaches the wire: requests carry the low 16 bits only.
    if (logical > 400000)
        return (logical - 400001) + 0x60000;
    if (logical > 300000)
        return (logical - 300001) + 0x50000;
    if (logical > 200000)
        return (logical - 200001) + 0x30000;
    if (logical > 100000)
        return (logical - 100001) + 0x20000;
    return 0;
}

QString DorrikBus::getDevNameFromReportBytes(const ModbusBytes &bytes)
{
    const int end = bytes.indexOf('\0');
    if (end <= 0)
        return QString();
    return QString::fromLatin1(bytes.constData(), end);
}

ModbusBytes DorrikBus::setDevNameToReportBytes(const ModbusBytes &bytes, const QString &name)
{
    const QByteArray text = name.toLatin1();
    QByteArray result = bytes;
    if (result.size() <= text.size())
        result.resize(text.size() + 1, '\0');
    result.replace(0, text.size() + 1, text + '\0');
    return ModbusBytes(result);
}

QString DorrikBus::normalizeBinary(const QString &text, int length)
{
    return text.rightJustified(length, QLatin1Char('0'));
}

QString DorrikBus::version()
{
    return QStringLiteral("1.1.6505");
}

// ---------------------------------------------------------------------------------------------
// Archive labels
//
// A label is a clock reading without a zone. All arithmetic runs on UTC date-times carrying
// that reading (where every day has 24 hours), and only the results handed back are relabelled as
// local time, so a day with a DST change still has 24 hour labels and every label round-trips.

namespace {

constexpr qint64 lastValidLabel = 3155759999; // 2069-12-31 23:59:59

// The clock reading of t as a UTC date-time. Only the reading matters, so a local reading that
// falls in a DST gap (invalid as a QDateTime in Qt 6.4, though its date and time survive) counts.
QDateTime utcReading(const QDateTime &t)
{
    if (!t.date().isValid() || !t.time().isValid())
        return QDateTime();
    return QDateTime(t.date(), t.time(), Qt::UTC);
}

// The reading as local time. Qt 6.4 makes a local reading in a DST gap invalid; such a reading is
// returned at the fixed offset that local time had the day before, which keeps the reading (and
// so the label) intact.
QDateTime localReading(const QDateTime &utc)
{
    if (!utc.isValid())
        return QDateTime();
    const QDateTime local(utc.date(), utc.time(), Qt::LocalTime);
    if (local.isValid())
        return local;
    const QDateTime dayBefore(utc.date().addDays(-1), utc.time(), Qt::LocalTime);
    const int offset = dayBefore.isValid() ? dayBefore.offsetFromUtc() : 0;
    return QDateTime(utc.date(), utc.time(), Qt::OffsetFromUTC, offset);
}

bool inLabelRange(const QDateTime &utc)
{
    if (!utc.isValid())
        return false;
    const qint64 ms = utc.toMSecsSinceEpoch();
    return ms >= 0 && ms <= lastValidLabel * 1000;
}

int clampToInt(qint64 v)
{
    return int(qBound(qint64(std::numeric_limits<int>::min()), v,
                      qint64(std::numeric_limits<int>::max())));
}

// Length of one step in seconds for the intervals of fixed length, 0 for calendar intervals.
qint64 fixedStepSeconds(DorrikBus::ArchInterval interval)
{
    switch (interval) {
    case DorrikBus::Second:
        return 1;
    case DorrikBus::Minute:
        return 60;
    case DorrikBus::Hour:
        return 3600;
    case DorrikBus::Day:
        return 86400;
    case DorrikBus::Week:
        return 7 * 86400;
    case DorrikBus::Decade:
        return 10 * 86400;
    default:
        return 0;
    }
}

bool isKnownInterval(int interval)
{
    return interval >= DorrikBus::Second && interval <= DorrikBus::Year;
}

void warnUnknownInterval()
{
    qWarning().noquote() << DorrikBus::tr("getNextLabel: unknown interval");
}

// Steps a UTC reading by a signed number of intervals.
QDateTime stepUtc(const QDateTime &utc, DorrikBus::ArchInterval interval, qint64 step)
{
    if (const qint64 seconds = fixedStepSeconds(interval))
        return utc.addSecs(step * seconds);
    switch (interval) {
    case DorrikBus::Month:
        return utc.addMonths(clampToInt(step));
    case DorrikBus::Quarter:
        return utc.addMonths(clampToInt(step * 3));
    case DorrikBus::Year:
        return utc.addYears(clampToInt(step));
    default:
        warnUnknownInterval();
        return utc;
    }
}

QDateTime nextTimeLabel(const QDateTime &t, DorrikBus::ArchInterval interval, bool *ok, qint64 step)
{
    const QDateTime utc = utcReading(t);
    const QDateTime next = utc.isValid() ? stepUtc(utc, interval, step) : utc;
    if (ok)
        *ok = inLabelRange(next);
    return localReading(next);
}

} // namespace

QDateTime DorrikBus::archLabelToTime(unsigned int label)
{
    return localReading(QDateTime::fromSecsSinceEpoch(qint64(label), Qt::UTC));
}

unsigned int DorrikBus::archLabelToSeconds(QDateTime t)
{
    // As Qt 4's toTime_t: a reading that 32 bits do not hold gives 0xFFFFFFFF.
    const QDateTime utc = utcReading(t);
    if (!utc.isValid())
        return 0xFFFFFFFFu;
    const qint64 secs = utc.toSecsSinceEpoch();
    if (utc.toMSecsSinceEpoch() < 0 || secs > qint64(0xFFFFFFFEu))
        return 0xFFFFFFFFu;
    return unsigned(secs);
}

QDateTime DorrikBus::getNextTimeLabel(const QDateTime &t, ArchInterval interval, bool *ok,
                                      unsigned int step)
{
    // The step is a signed 32-bit count, so a negated unsigned step walks backward.
    return nextTimeLabel(t, interval, ok, qint32(step));
}

QDateTime DorrikBus::getPrevTimeLabel(const QDateTime &t, ArchInterval interval, bool *ok,
                                      unsigned int step)
{
    return nextTimeLabel(t, interval, ok, -qint64(qint32(step)));
}

unsigned int DorrikBus::getNextTimeLabel(unsigned int label, ArchInterval interval, bool *ok,
                                         unsigned int step)
{
    return archLabelToSeconds(getNextTimeLabel(archLabelToTime(label), interval, ok, step));
}

unsigned int DorrikBus::getPrevTimeLabel(unsigned int label, ArchInterval interval, bool *ok,
                                         unsigned int step)
{
    return archLabelToSeconds(getPrevTimeLabel(archLabelToTime(label), interval, ok, step));
}

unsigned int DorrikBus::getPrevLabel(unsigned int label, ArchType archType, ArchInterval interval,
                                     bool *ok, unsigned int step)
{
    switch (archType) {
    case IndexArch:
        if (ok)
            *ok = label >= step;
        return label - step;
    case TimeArch:
        return getPrevTimeLabel(label, interval, ok, step);
    }
    return label;
}

unsigned int DorrikBus::getNextLabel(unsigned int label, ArchType archType, ArchInterval interval,
                                     bool *ok, unsigned int step, ArchDirection direction)
{
    if (direction != Forward)
        return getPrevLabel(label, archType, interval, ok, step);
    switch (archType) {
    case IndexArch:
        if (ok)
            *ok = quint64(label) + step <= 0xFFFFFFFFu;
        return label + step;
    case TimeArch:
        return getNextTimeLabel(label, interval, ok, step);
    }
    return label;
}

int DorrikBus::getLabelsBetween(const QDateTime &from, const QDateTime &to, ArchInterval interval)
{
    // Counts what stepping one interval at a time from `from` would visit up to `to`: `from`
    // itself, then each step while it stays in the label range. Fixed-length intervals are counted
    // arithmetically; calendar steps are walked, which takes at most about 1200 steps before they
    // leave the range.
    const QDateTime first = utcReading(from);
    const QDateTime last = utcReading(to);
    if (!first.isValid() || !last.isValid() || first > last)
        return 0;
    if (!isKnownInterval(interval)) {
        // Stepping would never move; there is no grid to count on.
        warnUnknownInterval();
        return 0;
    }
    if (const qint64 seconds = fixedStepSeconds(interval)) {
        const qint64 stepMs = seconds * 1000;
        const qint64 secondMs = first.toMSecsSinceEpoch() + stepMs;
        const qint64 endMs = qMin(last.toMSecsSinceEpoch(), lastValidLabel * 1000);
        if (secondMs < 0 || secondMs > endMs)
            return 1;
        return clampToInt(2 + (endMs - secondMs) / stepMs);
    }
    int count = 0;
    bool ok = true;
    for (QDateTime current = first; ok && current <= last;) {
        ++count;
        current = stepUtc(current, interval, 1);
        ok = inLabelRange(current);
    }
    return count;
}

int DorrikBus::getLabelsBetween(unsigned int from, unsigned int &to, ArchType archType,
                                ArchInterval interval)
{
    switch (archType) {
    case IndexArch:
        // A reversed range holds no label (unsigned subtraction would wrap to a negative count).
        if (from > to)
            return 0;
        return clampToInt(qint64(to) - qint64(from) + 1);
    case TimeArch:
        return getLabelsBetween(archLabelToTime(from), archLabelToTime(to), interval);
    }
    return 0;
}

void DorrikBus::normalizeArchLabel(QDateTime &t, ArchInterval interval)
{
    // The grid of each interval: seconds, minutes, hours and days start at zero; weeks are ISO
    // weeks starting on Monday; decades start on days 1, 11 and 21 of the month; months, quarters
    // and years start on their first day. An interval outside the enum leaves t as it is.
    const QDateTime utc = utcReading(t);
    if (!utc.isValid() || !isKnownInterval(interval))
        return;
    QDate date = utc.date();
    const QTime time = utc.time();
    QTime start(0, 0);
    switch (interval) {
    case Second:
        start = QTime(time.hour(), time.minute(), time.second());
        break;
    case Minute:
        start = QTime(time.hour(), time.minute());
        break;
    case Hour:
        start = QTime(time.hour(), 0);
        break;
    case Day:
        break;
    case Week:
        date = date.addDays(1 - date.dayOfWeek());
        break;
    case Decade:
        date = QDate(date.year(), date.month(), qMin((date.day() - 1) / 10, 2) * 10 + 1);
        break;
    case Month:
        date = QDate(date.year(), date.month(), 1);
        break;
    case Quarter:
        date = QDate(date.year(), (date.month() - 1) / 3 * 3 + 1, 1);
        break;
    case Year:
        date = QDate(date.year(), 1, 1);
        break;
    }
    t = localReading(QDateTime(date, start, Qt::UTC));
}

QDateTime DorrikBus::normalizedArchLabel(const QDateTime &t, ArchInterval interval)
{
    QDateTime result = t;
    normalizeArchLabel(result, interval);
    return result;
}

void DorrikBus::normalizeArchLabel(unsigned int &label, ArchType archType, ArchInterval interval)
{
    if (archType == IndexArch)
        return;
    label = archLabelToSeconds(normalizedArchLabel(archLabelToTime(label), interval));
}

unsigned int DorrikBus::normalizedArchLabel(unsigned int label, ArchType archType,
                                            ArchInterval interval)
{
    normalizeArchLabel(label, archType, interval);
    return label;
}

QVariant DorrikBus::getVariantLabel(unsigned int label, ArchType archType, bool asText,
                                    const QString &format)
{
    switch (archType) {
    case IndexArch:
        return QVariant(label);
    case TimeArch: {
        const QDateTime t = archLabelToTime(label);
        return asText ? QVariant(t.toString(format)) : QVariant(t);
    }
    }
    return QVariant();
}

unsigned int DorrikBus::getIntLabel(QVariant v, const QString &format)
{
    if (v.typeId() == QMetaType::QDateTime)
        return archLabelToSeconds(v.toDateTime());
    const QString text = v.toString();
    // A reading in a local DST gap parses to an invalid QDateTime that still has its date and
    // time; it is a valid label all the same.
    const QDateTime parsed = QDateTime::fromString(text, format);
    if (parsed.date().isValid() && parsed.time().isValid())
        return archLabelToSeconds(parsed);
    bool ok = false;
    const uint number = v.toUInt(&ok);
    return ok ? number : 0;
}
