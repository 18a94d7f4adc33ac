#include "modbuspacketarchpresence.h"

#include <QCoreApplication>

namespace {
const QString LabelTimeFormat = QStringLiteral("yyyy.MM.dd hh:mm:ss");
} // namespace

ModbusPacketArchPresence::ModbusPacketArchPresence()
    : ModbusPacketArchPresence(DorrikBus::IndexArch, 1)
{}

ModbusPacketArchPresence::ModbusPacketArchPresence(DorrikBus::ArchType archType)
    : ModbusPacketArchPresence(archType, 1)
{}

ModbusPacketArchPresence::ModbusPacketArchPresence(DorrikBus::ArchType archType,
                                                   unsigned short requestLabelsCount)
    : ModbusPacket(DorrikBus::ArchPresencePacket), m_archType(archType),
      m_direction(DorrikBus::Forward), m_requestLabelsCount(requestLabelsCount)
{
    setFunctionCode(DorrikBus::ReadArchRecordsPresence);
}

ModbusPacketArchPresence::ModbusPacketArchPresence(const ModbusPacketArchPresence &other)
    : ModbusPacket(other), m_archType(other.m_archType), m_archIndex(other.m_archIndex),
      m_direction(other.m_direction), m_labels(other.m_labels),
      m_requestLabel(other.m_requestLabel), m_requestLabelsCount(other.m_requestLabelsCount)
{
    setFunctionCode(DorrikBus::ReadArchRecordsPresence);
}

ModbusPacketArchPresence::~ModbusPacketArchPresence() = default;

QString ModbusPacketArchPresence::toString(bool oneLine) const
{
    QString text = ModbusPacket::toString(false);
    text += QCoreApplication::translate("QObject", "arch type: ") +
            DorrikBus::archTypeStr(m_archType) + QLatin1Char('\n');
    text += QCoreApplication::translate("QObject", "arch index: ") + QString::number(m_archIndex) +
            QLatin1Char('\n');
    text += QCoreApplication::translate("QObject", "direction: ") +
            DorrikBus::archDirectionStr(m_direction) + QLatin1Char('\n');
    text += QCoreApplication::translate("QObject", "request label: %1 (0x%2, %3)\n")
                .arg(m_requestLabel)
                .arg(m_requestLabel, 0, 16)
                .arg(requestTimeLabel().toString(LabelTimeFormat));
    const int count = labelsCount();
    text += QLatin1String("labels [") + QString::number(count) + QLatin1String("]: \n");
    for (int i = 0; i < count; ++i) {
        const quint32 label = m_labels.toUInt32(4 * i);
        const QDateTime utc = QDateTime::fromSecsSinceEpoch(qint64(label), Qt::UTC);
        text += QCoreApplication::translate("QObject", "  label %1: %2 (0x%3, %4)\n")
                    .arg(i)
                    .arg(label)
                    .arg(label, 0, 16)
                    .arg(utc.toString(LabelTimeFormat));
    }
    return joinedLines(text, oneLine);
}

QDateTime ModbusPacketArchPresence::requestTimeLabel() const
{
    return DorrikBus::archLabelToTime(m_requestLabel);
}

void ModbusPacketArchPresence::setRequestLabel(const QDateTime &label)
{
    m_requestLabel = DorrikBus::archLabelToSeconds(label);
}

void ModbusPacketArchPresence::appendLabel(unsigned int label)
{
    m_labels.appendUInt32(label);
}

void ModbusPacketArchPresence::appendLabels(const ModbusBytes &labels)
{
    m_labels.QByteArray::append(labels);
}

void ModbusPacketArchPresence::setLabelsCount(unsigned short count)
{
    while (labelsCount() > int(count))
        m_labels.chop(qMin<qsizetype>(4, m_labels.size()));
    while (labelsCount() < int(count))
        m_labels.appendUInt32(0);
}

bool ModbusPacketArchPresence::operator==(const ModbusPacketArchPresence &other) const
{
    return ModbusPacket::operator==(other) && m_archType == other.m_archType &&
           m_archIndex == other.m_archIndex && m_labels == other.m_labels &&
           m_direction == other.m_direction && m_requestLabel == other.m_requestLabel &&
           m_requestLabelsCount == other.m_requestLabelsCount;
}
