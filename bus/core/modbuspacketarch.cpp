#include "modbuspacketarch.h"

ModbusPacketArch::ModbusPacketArch() : ModbusPacketArch(DorrikBus::IndexArch, DorrikBus::Forward) {}

ModbusPacketArch::ModbusPacketArch(DorrikBus::ArchType archType)
    : ModbusPacketArch(archType, DorrikBus::Forward)
{}

ModbusPacketArch::ModbusPacketArch(DorrikBus::ArchType archType, DorrikBus::ArchDirection direction)
    : ModbusPacket(DorrikBus::ArchPacket), m_archType(archType), m_direction(direction)
{}

ModbusPacketArch::ModbusPacketArch(const ModbusPacketArch &other) = default;

ModbusPacketArch::~ModbusPacketArch() = default;

QString ModbusPacketArch::toString(bool oneLine) const
{
    QString text = ModbusPacket::toString(false);
    text += QLatin1String("arch type: ") + DorrikBus::archTypeStr(m_archType) + QLatin1Char('\n');
    text += QLatin1String("arch index: ") + QString::number(m_archIndex) + QLatin1Char('\n');
    text += QStringLiteral("requestLabel: %1 (0x%2, %3)")
                .arg(m_requestLabel)
                .arg(m_requestLabel, 0, 16)
                .arg(requestTimeLabel().toString(Qt::TextDate)) +
            QLatin1Char('\n');
    text +=
        QLatin1String("direction: ") + DorrikBus::archDirectionStr(m_direction) + QLatin1Char('\n');
    text += QLatin1String("records [") + QString::number(m_records.size()) + QLatin1String("]: \n");
    for (int i = 0; i < m_records.size(); ++i) {
        text += QLatin1String("  record ") + QString::number(i) + QLatin1String(":\n") +
                QString::fromLatin1(m_records.at(i).toHex()) + QLatin1Char('\n');
    }
    return joinedLines(text, oneLine);
}

QDateTime ModbusPacketArch::requestTimeLabel() const
{
    return DorrikBus::archLabelToTime(m_requestLabel);
}

int ModbusPacketArch::fieldsTotalSize() const
{
    int total = 0;
    for (const ModbusBytes &record : m_records)
        total += int(record.size());
    return total;
}

void ModbusPacketArch::setRequestLabel(QDateTime label)
{
    m_requestLabel = DorrikBus::archLabelToSeconds(label);
}

bool ModbusPacketArch::operator==(const ModbusPacketArch &other) const
{
    return ModbusPacket::operator==(other) && m_records == other.m_records &&
           m_archIndex == other.m_archIndex && m_archType == other.m_archType &&
           m_direction == other.m_direction && m_requestLabel == other.m_requestLabel &&
           m_requestRecordsCount == other.m_requestRecordsCount;
}
