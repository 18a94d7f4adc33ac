#include "tavrininstrument.h"

#include "siterecords.h"

#include <QDateTime>
#include <QtMath>

namespace {

constexpr quint32 SitesRevision = 402999;
constexpr quint32 SitesRevisionRo = 300765;
constexpr quint32 MeasureStatus = 400127;
constexpr quint32 MeasureStatusRo = 300752;
constexpr quint32 CurrentSite = 400128;
constexpr quint32 CurrentSiteRo = 300759;
constexpr quint32 ModbusAddress = 400001;
constexpr quint32 SiteCopier = 403255;
constexpr quint32 SiteClear = 403260;
constexpr quint32 EraseArchive = 400023;
constexpr quint32 LiveBlock = 300701;
constexpr int LiveBlockCount = 104;

// One-shot command registers: the instrument carries the command out and clears the register.
// Reset of the measurement history and signal capture, once per connection type (400121-400126),
// initialise, erase memory card, calibrations, discrete output coefficients, schedule.
const QList<quint32> CommandRegisters = {400008, 400010, 400121, 400122, 400123,
                                         400124, 400125, 400126, 403251, 403252,
                                         403253, 403254, 403257, 403560, 403691};

void putFloat(ModbusBytes &bytes, quint32 address, float value)
{
    bytes.setBytes(ModbusBytes::fromFloat(value), int(2 * (address - 400129)));
}

void putRegister(ModbusBytes &bytes, quint32 address, quint16 value)
{
    bytes.setBytes(ModbusBytes::fromUInt16(value), int(2 * (address - 400129)));
}

} // namespace

TavrinInstrument::TavrinInstrument(QObject *parent) : SimulatedInstrument(parent)
{
    m_inputRanges = {{300001, 1},
                     {300009, 1},
                     {300036, 2},
                     {300044, 2},
                     {300401, 9},
                     {300533, 122},
                     {LiveBlock, LiveBlockCount},
                     {301195, 122},
                     {301317, 122},
                     {301988, 8},
                     {302001, 2048},
                     {304049, 2048},
                     {306124, 9}};
    m_holdingRanges = {{400001, 16}, {400023, 2},  {400041, 2},
                       {400121, 6},  {400127, 2},  {SiteSettings, SiteSettingsCount},
                       {401025, 56}, {402999, 3},  {403101, 16},
                       {403251, 10}, {403560, 132}};
    for (const auto &range : m_inputRanges)
        inputRegisters().addRegisters(range.first, range.second);
    for (const auto &range : m_holdingRanges)
        holdingRegisters().addRegisters(range.first, range.second);

    holdingRegisters().setRegisters(ModbusAddress, ModbusBytes::fromUInt16(1));
    setUnit(1);
    holdingRegisters().setRegisters(SiteSettings, defaultSiteSettings());
    inputRegisters().setRegisters(300746, ModbusBytes::fromUInt16(4)); // power: battery full
    inputRegisters().setRegisters(300754, ModbusBytes::fromUInt16(2)); // memory card state
    setGeneration(1);
    setHeatChannel(false);
    setReportText(QStringLiteral("TVN-5"));
    setSlots(DefaultSlots);
    setSiteRecord(0, QString(), QString(), QStringLiteral("Site 1"));
    for (int site = 0; site < 2; ++site) {
        archives().addArchive(quint16(site), DorrikBus::IndexArch);
        archives().addArchive(quint16(site + 0x100), DorrikBus::IndexArch);
    }
    updateLiveValues();
}

ModbusBytes TavrinInstrument::defaultSiteSettings()
{
    ModbusBytes bytes = ModbusBytes::fromRegsCount(SiteSettingsCount);
    putRegister(bytes, 400129, 3);  // probe voltage
    putRegister(bytes, 400130, 1);  // automatic gain control
    putFloat(bytes, 400132, 20.0f); // signal search zone
    putFloat(bytes, 400134, 200.0f);
    putFloat(bytes, 400168, 3.23f);  // pipe sound speed, steel
    putFloat(bytes, 400170, 4.0f);   // wall thickness
    putFloat(bytes, 400178, 108.0f); // outside diameter
    putFloat(bytes, 400186, 50.0f);  // transducer spacing
    putFloat(bytes, 400206, 1.48f);  // fluid sound speed, water
    putFloat(bytes, 400225, 20.0f);  // fluid temperature
    return bytes;
}

void TavrinInstrument::setGeneration(int generation)
{
    setFirmwareVersion(generation >= 3   ? Generation3Firmware
                       : generation == 2 ? Generation2Firmware
                                         : Generation1Firmware);
}

void TavrinInstrument::setFirmwareVersion(quint32 value)
{
    inputRegisters().setRegisters(300044, ModbusBytes::fromUInt32(value));
}

void TavrinInstrument::setHeatChannel(bool present)
{
    inputRegisters().setRegisters(300009, ModbusBytes::fromUInt16(present ? 1 : 0));
}

void TavrinInstrument::setSlots(int count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    inputRegisters().setRegisters(300767, ModbusBytes::fromUInt16(quint16(count)));
    ModbusBytes table = file(SiteRecords::File);
    table.resize(count * SiteRecords::RecordSize);
    setFile(SiteRecords::File, table);
    while (m_siteSettings.size() < count)
        m_siteSettings.append(defaultSiteSettings());
    while (m_siteSettings.size() > count)
        m_siteSettings.removeLast();
}

void TavrinInstrument::setSitesRevision(quint32 revision)
{
    const ModbusBytes bytes = ModbusBytes::fromUInt32(revision);
    holdingRegisters().setRegisters(SitesRevision, bytes);
    inputRegisters().setRegisters(SitesRevisionRo, bytes);
}

quint32 TavrinInstrument::sitesRevision() const
{
    return registers(SitesRevisionRo, 2).toUInt32(0);
}

void TavrinInstrument::setSiteRecord(int slot, const QString &group, const QString &subGroup,
                                     const QString &site)
{
    ModbusBytes table = file(SiteRecords::File);
    table.setBytes(encodeSiteRecord(group, subGroup, site), slot * SiteRecords::RecordSize);
    setFile(SiteRecords::File, table);
}

quint8 TavrinInstrument::unit() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_unit;
}

int TavrinInstrument::currentSite() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_currentSite;
}

void TavrinInstrument::setCurrentSite(int site)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (site < 0 || site >= m_siteSettings.size())
        return;
    changeSite(site);
    holdingRegisters().setRegisters(CurrentSite, ModbusBytes::fromUInt16(quint16(site)));
    inputRegisters().setRegisters(CurrentSiteRo, ModbusBytes::fromUInt16(quint16(site)));
}

bool TavrinInstrument::maps(const InstrumentRequest &request) const
{
    switch (request.function) {
    case DorrikBus::ReadInputRegisters:
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::WriteSingleRegister:
    case DorrikBus::WriteMultipleRegisters:
        return holds(request);
    default:
        return true;
    }
}

ModbusBytes TavrinInstrument::siteSettings(int site) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (site == m_currentSite)
        return registers(SiteSettings, SiteSettingsCount);
    return m_siteSettings.value(site);
}

bool TavrinInstrument::holds(const InstrumentRequest &request) const
{
    const auto &ranges =
        request.function == DorrikBus::ReadInputRegisters ? m_inputRanges : m_holdingRanges;
    const quint32 last = request.address + quint32(qMax(request.count, 1)) - 1;
    for (const auto &range : ranges) {
        if (request.address >= range.first && last < range.first + quint32(range.second))
            return true;
    }
    return false;
}

bool TavrinInstrument::touches(const InstrumentRequest &request, quint32 address, int count) const
{
    return request.address < address + quint32(count) &&
           address < request.address + quint32(qMax(request.count, 1));
}

DorrikBus::ExceptionCode TavrinInstrument::prepareAnswer(const InstrumentRequest &request)
{
    switch (request.function) {
    case DorrikBus::ReadInputRegisters:
        if (!holds(request))
            return DorrikBus::IllegalDataAddress;
        if (touches(request, LiveBlock, LiveBlockCount))
            updateLiveValues();
        return DorrikBus::NoException;
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::WriteSingleRegister:
    case DorrikBus::WriteMultipleRegisters:
        return holds(request) ? DorrikBus::NoException : DorrikBus::IllegalDataAddress;
    default:
        return DorrikBus::NoException;
    }
}

quint32 TavrinInstrument::holdingUInt32(quint32 address) const
{
    return registers(address, 2).toUInt32(0);
}

void TavrinInstrument::setHoldingUInt32(quint32 address, quint32 value)
{
    holdingRegisters().setRegisters(address, ModbusBytes::fromUInt32(value));
}

void TavrinInstrument::changeSite(int site)
{
    if (site == m_currentSite)
        return;
    m_siteSettings[m_currentSite] = registers(SiteSettings, SiteSettingsCount);
    m_currentSite = site;
    holdingRegisters().setRegisters(SiteSettings, m_siteSettings.at(site));
}

void TavrinInstrument::written(const InstrumentRequest &request)
{
    if (request.function != DorrikBus::WriteSingleRegister &&
        request.function != DorrikBus::WriteMultipleRegisters)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (touches(request, ModbusAddress)) {
        m_unit = quint8(registers(ModbusAddress, 1).toUInt16(0));
        setUnit(m_unit);
    }
    if (touches(request, SitesRevision, 2))
        inputRegisters().setRegisters(SitesRevisionRo, registers(SitesRevision, 2));
    if (touches(request, MeasureStatus))
        inputRegisters().setRegisters(MeasureStatusRo, registers(MeasureStatus, 1));
    if (touches(request, CurrentSite)) {
        const int site = registers(CurrentSite, 1).toUInt16(0) & 0xFF;
        // A slot the instrument does not have is refused: the current site stays.
        if (site < m_siteSettings.size())
            changeSite(site);
        holdingRegisters().setRegisters(CurrentSite,
                                        ModbusBytes::fromUInt16(quint16(m_currentSite)));
        inputRegisters().setRegisters(CurrentSiteRo,
                                      ModbusBytes::fromUInt16(quint16(m_currentSite)));
    }
    if (touches(request, SiteCopier, 2)) {
        const quint32 command = holdingUInt32(SiteCopier);
        const int from = int(command >> 16);
        const int to = int(command & 0xFFFF);
        const int count = int(m_siteSettings.size());
        const bool good = from != to && from < count && to < count;
        if (good) {
            const ModbusBytes settings = from == m_currentSite
                                             ? registers(SiteSettings, SiteSettingsCount)
                                             : m_siteSettings.at(from);
            if (to == m_currentSite)
                holdingRegisters().setRegisters(SiteSettings, settings);
            else
                m_siteSettings[to] = settings;
        }
        setHoldingUInt32(SiteCopier, good ? 0 : 0xFFFFFFFF);
    }
    if (touches(request, SiteClear)) {
        const quint16 command = registers(SiteClear, 1).toUInt16(0);
        const int site = command & 0x7FFF;
        if ((command & 0x8000) && site < m_siteSettings.size()) {
            if (site == m_currentSite)
                holdingRegisters().setRegisters(SiteSettings, defaultSiteSettings());
            else
                m_siteSettings[site] = defaultSiteSettings();
        }
        holdingRegisters().setRegisters(SiteClear, ModbusBytes::fromUInt16(0));
    }
    if (touches(request, EraseArchive, 2)) {
        const quint32 command = holdingUInt32(EraseArchive);
        if ((command & 0xFFFF0000u) == 0xAA550000u) {
            const quint16 site = quint16(command & 0xFFFF);
            // Generation 3 numbers a site's archive from 0x0100 on.
            archives().clearArchive(site);
            archives().clearArchive(quint16(site + 0x100));
        }
        setHoldingUInt32(EraseArchive, 0);
    }
    for (quint32 command : CommandRegisters) {
        if (touches(request, command))
            holdingRegisters().setRegisters(command, ModbusBytes::fromUInt16(0));
    }
}

void TavrinInstrument::updateLiveValues()
{
    // The instrument's clock is its wall clock, stored as if it were UTC.
    const QDateTime local = QDateTime::currentDateTime();
    const QDateTime wall(local.date(), local.time(), Qt::UTC);
    inputRegisters().setRegisters(300749, ModbusBytes::fromDateTime(wall));
    const double seconds = double(local.time().msecsSinceStartOfDay()) / 1000.0;
    const float flowRate = float(12.5 + 2.5 * qSin(2 * M_PI * seconds / 60.0));
    // Through a pipe of 100 mm inside: m³/h to m/s.
    const float velocity = float(flowRate / 3600.0 / (M_PI * 0.05 * 0.05));
    inputRegisters().setRegisters(300720, ModbusBytes::fromFloat(flowRate));
    inputRegisters().setRegisters(300722, ModbusBytes::fromFloat(velocity));
}
