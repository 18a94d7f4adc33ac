#include "tavrininstrument.h"

#include "historyblocks.h"
#include "measurementmodel.h"
#include "siterecords.h"

#include <QDateTime>
#include <QtMath>

#include <tuple>

namespace {

namespace M = MeasurementModel;

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
constexpr quint32 LoggingInterval = 403001;
constexpr quint32 LiveBlock = 300701;
constexpr int LiveBlockCount = 104;
constexpr quint32 ResetHistory = 400121;   // + connection type
constexpr quint32 CaptureCommand = 400124; // + connection type
constexpr quint32 CaptureParams = 301988;
constexpr quint32 CaptureForward = 302001;
constexpr quint32 CaptureBackward = 304049;
constexpr quint32 AdjustDelay = 403251;
constexpr quint32 ZeroOffset = 403252;
constexpr quint32 OnFlowCommand = 403257;
constexpr quint32 OnFlowStage = 403258;
constexpr quint32 OnFlowTime = 306124;
constexpr quint32 OnFlowC1 = 306125;
constexpr quint32 OnFlowDt1 = 306127;
constexpr quint32 OnFlowDt2 = 306129;
constexpr quint32 OnFlowDt0 = 306131;
constexpr quint32 DelayStatus = 300768;
constexpr quint32 ZeroOffsetStatus = 300769;
constexpr quint32 OnFlowStatus = 300770;
constexpr quint32 ScheduleCommand = 403560;
constexpr quint32 ScheduleState = 300753;
constexpr quint32 ResetSchedule = 403691;
constexpr quint32 PeriodicStart = 403562;    // periodic schedule: start, wall clock label
constexpr quint32 PeriodicPeriod = 403564;   // seconds
constexpr quint32 PeriodicDuration = 403566; // seconds
constexpr quint32 PeriodicEnd = 403568;      // start + duration
constexpr quint32 ZeroFlowOffset = 400202;   // site setting
constexpr quint32 AdditionalDelay = 400204;  // site setting
constexpr quint32 FlowHistory = 300533;
constexpr quint32 HeatHistory = 301195;
constexpr quint32 PressureHistory = 301317;
constexpr int HistoryRegisters = 122;
constexpr int HistoryRecords = 10; // a block's room
constexpr int ArchiveSiteOffset = 0x100;

// What the instrument reports while it measures; the calibrations take these.
constexpr float MeasuredAdditionalDelay = 1.25f; // µs
constexpr float MeasuredAverageDt0 = 0.0062f;    // µs
constexpr float StageDt1 = 0.0312f;              // µs
constexpr float StageDt2 = -0.0188f;             // µs

// One-shot command registers: the instrument carries the command out and clears the register.
// Initialise, erase memory card, reset of the measurement history once per connection type,
// discrete output coefficients, schedule reset.
const QList<quint32> CommandRegisters = {400008, 400010, 400121, 400122,
                                         400123, 403253, 403254, ResetSchedule};

const int LoggingIntervals[] = {1, 2, 5, 6, 10, 30, 60, 300, 360};

void putFloat(ModbusBytes &bytes, quint32 address, float value)
{
    bytes.setBytes(ModbusBytes::fromFloat(value), int(2 * (address - 400129)));
}

void putRegister(ModbusBytes &bytes, quint32 address, quint16 value)
{
    bytes.setBytes(ModbusBytes::fromUInt16(value), int(2 * (address - 400129)));
}

int generationOf(quint32 firmware)
{
    if (firmware >= TavrinInstrument::Generation3Firmware)
        return 3;
    return firmware > TavrinInstrument::Generation1Firmware ? 2 : 1;
}

// An echo as the transducer gives it: a 1 MHz burst sampled at 20 MHz that rises within two
// periods and dies away, over a little noise.
ModbusBytes echoPulse(int centre, double amplitude, quint32 seed)
{
    ModbusBytes bytes;
    bytes.reserve(2 * TavrinInstrument::CaptureSamples);
    quint32 noise = seed * 2654435761u + 1;
    for (int k = 0; k < TavrinInstrument::CaptureSamples; ++k) {
        noise = noise * 1103515245u + 12345u;
        double value = double(int((noise >> 16) % 25) - 12);
        const double x = (k - centre) / 40.0;
        if (x > 0)
            value += amplitude * x * qExp(1.0 - x) * qSin(2 * M_PI * (k - centre) / 20.0);
        bytes.appendReg(quint16(qint16(qBound(-2047.0, value, 2047.0))));
    }
    return bytes;
}

} // namespace

TavrinInstrument::TavrinInstrument(QObject *parent) : SimulatedInstrument(parent)
{
    m_elapsed.start();
    const QDateTime local = QDateTime::currentDateTime();
    m_startLabel = quint32(QDateTime(local.date(), local.time(), Qt::UTC).toSecsSinceEpoch());
    m_inputRanges = {{300001, 1},
                     {300009, 1},
                     {300036, 2},
                     {300044, 2},
                     {300401, 9},
                     {FlowHistory, HistoryRegisters},
                     {LiveBlock, LiveBlockCount},
                     {HeatHistory, HistoryRegisters},
                     {PressureHistory, HistoryRegisters},
                     {CaptureParams, 8},
                     {CaptureForward, CaptureSamples},
                     {CaptureBackward, CaptureSamples},
                     {OnFlowTime, 9}};
    m_holdingRanges = {{400001, 16}, {400023, 2},  {400041, 2},
                       {400121, 6},  {400127, 2},  {SiteSettings, SiteSettingsCount},
                       {401025, 56}, {402999, 3},  {403101, 16},
                       {403251, 10}, {403560, 132}};
    for (const auto &range : m_inputRanges)
        inputRegisters().addRegisters(range.first, range.second);
    for (const auto &range : m_holdingRanges)
        holdingRegisters().addRegisters(range.first, range.second);
    m_historyBlocks = {{FlowHistory, 0}, {HeatHistory, 0}, {PressureHistory, 0}};

    holdingRegisters().setRegisters(ModbusAddress, ModbusBytes::fromUInt16(1));
    setUnit(1);
    holdingRegisters().setRegisters(SiteSettings, defaultSiteSettings());
    holdingRegisters().setRegisters(LoggingInterval, ModbusBytes::fromUInt16(8)); // 6 min
    inputRegisters().setRegisters(300746, ModbusBytes::fromUInt16(4));   // power: battery full
    inputRegisters().setRegisters(300747, ModbusBytes::fromUInt16(100)); // charge level
    inputRegisters().setRegisters(300754, ModbusBytes::fromUInt16(2));   // memory card state
    // Periodic schedule: an hour every 12 hours from the next midnight.
    holdingRegisters().setRegisters(PeriodicStart,
                                    ModbusBytes::fromUInt32(m_startLabel / 86400 * 86400 + 86400));
    holdingRegisters().setRegisters(PeriodicPeriod, ModbusBytes::fromUInt32(12 * 3600));
    holdingRegisters().setRegisters(PeriodicDuration, ModbusBytes::fromUInt32(3600));
    holdingRegisters().setRegisters(PeriodicEnd, ModbusBytes::fromUInt32(periodicEnd()));
    setArchAnswerBytes(ArchAnswerBytes);
    setGeneration(1);
    setHeatChannel(false);
    setReportText(QStringLiteral("TVN-5"));
    setSlots(DefaultSlots);
    setSiteRecord(0, QString(), QString(), QStringLiteral("Site 1"));
    for (int site = 0; site < 2; ++site) {
        archives().addArchive(quint16(site), DorrikBus::IndexArch);
        archives().addArchive(quint16(site + ArchiveSiteOffset), DorrikBus::IndexArch);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    updateLiveValues();
}

ModbusBytes TavrinInstrument::defaultSiteSettings()
{
    ModbusBytes bytes = ModbusBytes::fromRegsCount(SiteSettingsCount);
    putRegister(bytes, 400129, 3);  // probe voltage
    putRegister(bytes, 400130, 1);  // automatic gain control
    putFloat(bytes, 400132, 20.0f); // signal search zone
    putFloat(bytes, 400134, 200.0f);
    putRegister(bytes, 400163, 1);   // transducer mounting: Z-mount
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
    std::lock_guard<std::mutex> lock(m_mutex);
    inputRegisters().setRegisters(300044, ModbusBytes::fromUInt32(value));
    m_generation = generationOf(value);
    buildArchives();
}

int TavrinInstrument::generation() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_generation;
}

void TavrinInstrument::setHeatChannel(bool present)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    inputRegisters().setRegisters(300009, ModbusBytes::fromUInt16(present ? 1 : 0));
    m_heat = present;
    buildArchives();
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
    buildArchives();
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

void TavrinInstrument::setSites(const QList<QPair<int, QString>> &sites)
{
    setSlots(SiteRecords::Count);
    ModbusBytes table = ModbusBytes::fromRegsCount(SiteRecords::TableSize / 2);
    for (const auto &site : sites)
        table.setBytes(encodeSiteRecord(QString(), QString(), site.second),
                       site.first * SiteRecords::RecordSize);
    setFile(SiteRecords::File, table);
}

void TavrinInstrument::setMeasuring(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    advance();
    const bool was = measuring();
    setHolding(MeasureStatus, on ? 1 : 0);
    setInput(MeasureStatusRo, on ? 1 : 0);
    if (on && !was)
        m_measuringSince = quint32(clock());
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

quint16 TavrinInstrument::archiveIndex(int slot, int generation)
{
    return quint16(generation >= 3 ? slot + ArchiveSiteOffset : slot);
}

int TavrinInstrument::loggingIntervalSeconds(int index)
{
    constexpr int count = int(sizeof LoggingIntervals / sizeof LoggingIntervals[0]);
    return LoggingIntervals[qBound(0, index, count - 1)];
}

quint32 TavrinInstrument::clockLabel() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return quint32(clock());
}

void TavrinInstrument::setArchiveHistory(int seconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_archiveHistory = seconds;
    buildArchives();
}

void TavrinInstrument::setHistoryLength(int seconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_historyLength = seconds;
}

int TavrinInstrument::historyLength() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_historyLength;
}

void TavrinInstrument::setCaptureTime(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_captureTime = ms;
}

int TavrinInstrument::captureTime() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_captureTime;
}

void TavrinInstrument::setCalibrationTick(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calibrationTick = ms;
}

int TavrinInstrument::calibrationTick() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calibrationTick;
}

void TavrinInstrument::setScheduleDuration(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_scheduleDuration = ms;
}

int TavrinInstrument::scheduleDuration() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_scheduleDuration;
}

void TavrinInstrument::setOnFlowCalibrationTaken(bool taken)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_onFlowTaken = taken;
}

void TavrinInstrument::setSoundSpeed(double kms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_soundSpeed = kms;
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

quint32 TavrinInstrument::periodicEnd() const
{
    return holdingUInt32(PeriodicStart) + holdingUInt32(PeriodicDuration);
}

bool TavrinInstrument::touches(const InstrumentRequest &request, quint32 address, int count) const
{
    return request.address < address + quint32(count) &&
           address < request.address + quint32(qMax(request.count, 1));
}

DorrikBus::ExceptionCode TavrinInstrument::prepareAnswer(const InstrumentRequest &request)
{
    switch (request.function) {
    case DorrikBus::ReadInputRegisters: {
        if (!holds(request))
            return DorrikBus::IllegalDataAddress;
        std::lock_guard<std::mutex> lock(m_mutex);
        advance();
        if (touches(request, LiveBlock, LiveBlockCount))
            updateLiveValues();
        for (HistoryBlock &block : m_historyBlocks) {
            if (touches(request, block.address, HistoryRegisters))
                fillHistoryBlock(block);
        }
        return DorrikBus::NoException;
    }
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::WriteSingleRegister:
    case DorrikBus::WriteMultipleRegisters: {
        if (!holds(request))
            return DorrikBus::IllegalDataAddress;
        std::lock_guard<std::mutex> lock(m_mutex);
        // What was due before this request happened under the old settings.
        advance();
        return DorrikBus::NoException;
    }
    case DorrikBus::ReadArchRecord65:
    case DorrikBus::ReadArchRecordsPresence:
    case DorrikBus::ReadArchRecord67: {
        std::lock_guard<std::mutex> lock(m_mutex);
        advance();
        return DorrikBus::NoException;
    }
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

quint16 TavrinInstrument::holding(quint32 address) const
{
    return registers(address, 1).toUInt16(0);
}

void TavrinInstrument::setHolding(quint32 address, quint16 value)
{
    holdingRegisters().setRegisters(address, ModbusBytes::fromUInt16(value));
}

void TavrinInstrument::setInput(quint32 address, quint16 value)
{
    inputRegisters().setRegisters(address, ModbusBytes::fromUInt16(value));
}

void TavrinInstrument::setCardStatus(quint16 status)
{
    setInput(300754, status);
}

void TavrinInstrument::setLoggingIntervalIndex(int index)
{
    setHolding(LoggingInterval, quint16(index));
}

double TavrinInstrument::clock() const
{
    return m_startLabel + m_elapsed.elapsed() / 1000.0;
}

qint64 TavrinInstrument::elapsed() const
{
    return m_elapsed.elapsed();
}

bool TavrinInstrument::measuring() const
{
    return registers(MeasureStatusRo, 1).toUInt16(0) == 1;
}

int TavrinInstrument::loggingInterval() const
{
    return loggingIntervalSeconds(holding(LoggingInterval));
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
        m_unit = quint8(holding(ModbusAddress));
        setUnit(m_unit);
    }
    if (touches(request, SitesRevision, 2))
        inputRegisters().setRegisters(SitesRevisionRo, registers(SitesRevision, 2));
    if (touches(request, MeasureStatus)) {
        const bool was = measuring();
        inputRegisters().setRegisters(MeasureStatusRo, registers(MeasureStatus, 1));
        if (!was && measuring())
            m_measuringSince = quint32(clock());
    }
    if (touches(request, CurrentSite)) {
        const int site = holding(CurrentSite) & 0xFF;
        // A slot the instrument does not have is refused: the current site stays.
        if (site < m_siteSettings.size()) {
            changeSite(site);
            m_measuringSince = quint32(clock());
        }
        setHolding(CurrentSite, quint16(m_currentSite));
        setInput(CurrentSiteRo, quint16(m_currentSite));
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
        const quint16 command = holding(SiteClear);
        const int site = command & 0x7FFF;
        if ((command & 0x8000) && site < m_siteSettings.size()) {
            if (site == m_currentSite)
                holdingRegisters().setRegisters(SiteSettings, defaultSiteSettings());
            else
                m_siteSettings[site] = defaultSiteSettings();
        }
        setHolding(SiteClear, 0);
    }
    if (touches(request, EraseArchive, 2)) {
        const quint32 command = holdingUInt32(EraseArchive);
        if ((command & 0xFFFF0000u) == 0xAA550000u)
            eraseArchive(int(command & 0xFFFF));
        setHoldingUInt32(EraseArchive, 0);
    }
    for (int type = 0; type < 3; ++type) {
        if (touches(request, ResetHistory + quint32(type)) &&
            holding(ResetHistory + quint32(type)) == 1) {
            // The next reads hand over the whole kept history again, from its oldest sample.
            for (HistoryBlock &block : m_historyBlocks)
                block.next = 0;
        }
        const quint32 capture = CaptureCommand + quint32(type);
        if (touches(request, capture)) {
            // The register holds 1 while the capture runs; anything else ends it.
            m_captureStarted[type] = holding(capture) == 1 ? elapsed() : -1;
            if (holding(capture) != 1)
                setHolding(capture, 0);
        }
    }
    for (const auto &[command, status, setting, measured] :
         {std::make_tuple(AdjustDelay, DelayStatus, AdditionalDelay, MeasuredAdditionalDelay),
          std::make_tuple(ZeroOffset, ZeroOffsetStatus, ZeroFlowOffset, MeasuredAverageDt0)}) {
        if (!touches(request, command))
            continue;
        const quint16 value = holding(command);
        if (value == 2) {
            // Set: the site keeps what the calibration measured.
            holdingRegisters().setRegisters(setting, ModbusBytes::fromFloat(measured));
            setHolding(command, 0);
        } else if (value != 1) {
            setHolding(command, 0);
        }
        setInput(status, holding(command) == 1 ? 1 : 0);
    }
    if (touches(request, OnFlowCommand)) {
        const bool start = holding(OnFlowCommand) == 1 && m_onFlowTaken;
        setHolding(OnFlowCommand, start ? 1 : 0);
        setInput(OnFlowStatus, start ? 1 : 0);
        if (!start) {
            m_stageStarted = -1;
            setInput(OnFlowTime, 0);
        }
    }
    if (touches(request, OnFlowStage)) {
        const int stage = holding(OnFlowStage);
        const bool running = registers(OnFlowStatus, 1).toUInt16(0) == 1;
        if (running && (stage == 1 || stage == 2)) {
            m_stage = stage;
            m_stageStarted = elapsed();
            setInput(OnFlowTime, CalibrationSteps);
        } else if (running && stage == 4) {
            holdingRegisters().setRegisters(ZeroFlowOffset, registers(OnFlowDt0, 2));
        }
    }
    if (touches(request, ScheduleCommand)) {
        const bool start = holding(ScheduleCommand) == 1;
        m_scheduleStarted = start ? elapsed() : -1;
        setInput(ScheduleState, start ? 1 : 0);
    }
    if (touches(request, PeriodicStart, 2) || touches(request, PeriodicDuration, 2))
        setHoldingUInt32(PeriodicEnd, periodicEnd());
    if (touches(request, ResetSchedule) && holding(ResetSchedule) == 1 &&
        registers(ScheduleState, 1).toUInt16(0) == 2)
        setInput(ScheduleState, 0);
    for (quint32 command : CommandRegisters) {
        if (touches(request, command))
            setHolding(command, 0);
    }
}

void TavrinInstrument::advance()
{
    catchUpArchive();
    const qint64 now = elapsed();
    for (int type = 0; type < 3; ++type) {
        if (m_captureStarted[type] >= 0 && now - m_captureStarted[type] >= m_captureTime) {
            m_captureStarted[type] = -1;
            finishCapture(CaptureCommand + quint32(type));
        }
    }
    if (m_stageStarted >= 0) {
        const qint64 ticks = (now - m_stageStarted) / qMax(1, m_calibrationTick);
        const int left = int(qMax<qint64>(0, CalibrationSteps - ticks));
        setInput(OnFlowTime, quint16(left));
        if (left == 0) {
            m_stageStarted = -1;
            finishStage();
        }
    }
    if (m_scheduleStarted >= 0 && now - m_scheduleStarted >= m_scheduleDuration) {
        m_scheduleStarted = -1;
        setInput(ScheduleState, 2);
    }
}

void TavrinInstrument::finishCapture(quint32 command)
{
    const double t = clock();
    ++m_captureCount;
    const int centre = 1000 + m_captureCount % 7;
    // The backward echo comes later by the time difference (50 ns a sample).
    const int shift = qRound(M::dtMeasured(m_currentSite, t) / 0.05);
    const double amplitude = 1700.0 + 150.0 * qSin(m_captureCount / 3.0);
    const quint32 start = quint32(qRound(M::flightTime(t) / 0.05)) - 1000u;
    inputRegisters().setRegisters(CaptureForward,
                                  echoPulse(centre, amplitude, quint32(m_captureCount)));
    inputRegisters().setRegisters(CaptureBackward, echoPulse(centre + shift, amplitude * 0.95,
                                                             quint32(m_captureCount) + 0x10000u));
    // Sample offsets from the start of the transmission; the detection window (500 samples)
    // opens 150 samples before the echo.
    ModbusBytes params = ModbusBytes::fromUInt32(start) + ModbusBytes::fromUInt32(start);
    params += ModbusBytes::fromUInt32(start + quint32(centre) - 150u);
    params += ModbusBytes::fromUInt32(start + quint32(centre + shift) - 150u);
    inputRegisters().setRegisters(CaptureParams, params);
    setHolding(command, 0);
}

void TavrinInstrument::finishStage()
{
    if (m_stage == 1) {
        // Stage 2 must find the same sound speed with the sensors swapped.
        m_c1 = float(m_soundSpeed > 0 ? m_soundSpeed : M::soundSpeed(clock()));
        m_dt1 = StageDt1;
        inputRegisters().setRegisters(OnFlowC1, ModbusBytes::fromFloat(m_c1));
        inputRegisters().setRegisters(OnFlowDt1, ModbusBytes::fromFloat(m_dt1));
    } else {
        inputRegisters().setRegisters(OnFlowDt2, ModbusBytes::fromFloat(StageDt2));
        inputRegisters().setRegisters(OnFlowDt0, ModbusBytes::fromFloat((m_dt1 + StageDt2) / 2.0f));
    }
}

void TavrinInstrument::buildArchives()
{
    // Before the constructor has set everything up, the last setter builds them.
    if (m_siteSettings.isEmpty() || !m_elapsed.isValid())
        return;
    for (int slot = 0; slot < 0x100; ++slot) {
        archives().removeArchive(quint16(slot), DorrikBus::TimeArch);
        archives().removeArchive(quint16(slot + ArchiveSiteOffset), DorrikBus::TimeArch);
    }
    m_siteLogs = QList<SiteLog>(m_siteSettings.size());
    const quint32 interval = quint32(loggingInterval());
    const quint32 now = quint32(clock());
    const quint32 last = now - now % interval;
    const quint32 first = last - quint32(m_archiveHistory) / interval * interval;
    for (int slot = 0; slot < m_siteLogs.size(); ++slot) {
        archives().addArchive(archiveIndex(slot, m_generation), DorrikBus::TimeArch);
        for (quint32 label = first + interval; label <= last; label += interval)
            logRecord(slot, label, label - interval);
    }
    m_measuringSince = now;
    m_archivesBuilt = true;
}

void TavrinInstrument::logRecord(int slot, quint32 label, quint32 from)
{
    SiteLog &log = m_siteLogs[slot];
    const double t0 = from, t1 = label;
    TavrinRecord r;
    r.label = label;
    r.serviceFlags = m_heat ? 0x0001 : 0x0000;
    const quint32 span = label - from;
    // Now and then the signal is lost for a quarter of the interval.
    const bool lost = (label / qMax<quint32>(span, 1)) % 37 == 0;
    r.flowRateEsFlags = lost ? 0x0002 : 0x0000;
    const quint32 lostTime = lost ? span / 4 : 0;
    const double volume = M::volume(slot, t0, t1);
    log.workTime += span;
    log.sensorLessTime += lostTime;
    log.vPlus += volume;
    log.mPlus += volume * M::Density;
    log.w += volume * M::Density * M::HeatPerTon;
    r.workTime = log.workTime;
    r.flowRateSensorLessTime = log.sensorLessTime;
    r.heatSensorLessTime = m_heat ? log.sensorLessTime : 0;
    r.vPlus = log.vPlus;
    r.vMinus = log.vMinus;
    r.mPlus = m_heat ? log.mPlus : 0;
    r.w = m_heat ? log.w : 0;
    r.dWorkTime = quint16(qMin<quint32>(span, 0xFFFF));
    r.dFlowRateSensorLessTime = quint16(lostTime);
    r.dHeatSensorLessTime = m_heat ? quint16(lostTime) : 0;
    r.dVPlus = volume;
    r.dVMinus = 0;
    double min = 0, max = 0;
    M::flowRange(slot, t0, t1, min, max);
    r.dMinVolumeFlowRate = float(min);
    r.dMaxVolumeFlowRate = float(max);
    if (m_heat) {
        r.dMPlus = float(volume * M::Density);
        r.dW = float(volume * M::Density * M::HeatPerTon);
        r.dMinWeightFlowRate = float(min * M::Density);
        r.dMaxWeightFlowRate = float(max * M::Density);
        const double middle = (t0 + t1) / 2;
        r.averageTemperature1 = float(M::temperature1(middle));
        r.minTemperature1 = r.averageTemperature1 - 0.25f;
        r.maxTemperature1 = r.averageTemperature1 + 0.25f;
        r.averageTemperature2 = float(M::temperature2(middle));
        r.minTemperature2 = r.averageTemperature2 - 0.15f;
        r.maxTemperature2 = r.averageTemperature2 + 0.15f;
        r.averagePressure = float(M::pressure(middle));
        r.minPressure = r.averagePressure - 0.01f;
        r.maxPressure = r.averagePressure + 0.01f;
    }
    log.lastLabel = label;
    archives().addRecord(archiveIndex(slot, m_generation), DorrikBus::TimeArch, label,
                         encodeTavrinRecord(r, m_generation));
}

void TavrinInstrument::catchUpArchive()
{
    if (!m_archivesBuilt || !measuring() || m_currentSite >= m_siteLogs.size())
        return;
    const quint32 interval = quint32(loggingInterval());
    const quint32 now = quint32(clock());
    // Each interval boundary passed while measuring gives a record of the time measured since
    // the one before (or since measuring started).
    const quint32 since = qMax(m_siteLogs.at(m_currentSite).lastLabel, m_measuringSince);
    quint32 label = since - since % interval + interval;
    for (; label <= now; label += interval) {
        const quint32 previous = m_siteLogs.at(m_currentSite).lastLabel;
        const quint32 from = qMax(qMax(previous, m_measuringSince), label - interval);
        logRecord(m_currentSite, label, from);
    }
}

void TavrinInstrument::eraseArchive(int slot)
{
    // Generation 3 numbers a site's archive from 0x0100 on; the erase empties both numbers.
    archives().clearArchive(quint16(slot));
    archives().clearArchive(quint16(slot + ArchiveSiteOffset));
    if (slot < m_siteLogs.size()) {
        m_siteLogs[slot] = SiteLog();
        if (slot == m_currentSite)
            m_measuringSince = quint32(clock());
    }
}

double TavrinInstrument::currentVolume(double t) const
{
    const SiteLog log = m_siteLogs.value(m_currentSite);
    // The site's total of its last record and, while measuring, what passed since.
    const double since = qMax(double(log.lastLabel), double(m_measuringSince));
    if (!measuring() || t <= since)
        return log.vPlus;
    return log.vPlus + M::volume(m_currentSite, since, t);
}

ModbusBytes TavrinInstrument::historySample(quint32 address, qint64 second) const
{
    const double t = double(second);
    const int site = m_currentSite;
    const double volume = currentVolume(t);
    const double vMinus = m_siteLogs.value(site).vMinus;
    if (address == FlowHistory)
        return flowRateRecord(float(M::flowVelocity(site, t)), float(M::flowRate(site, t)), volume,
                              vMinus);
    if (address == HeatHistory)
        return heatRecord(float(M::massFlowRate(site, t)), float(M::thermalPower(site, t)),
                          volume * M::Density, volume * M::Density * M::HeatPerTon);
    return pressureRecord(float(M::pressure(t)), float(M::pressureCurrent(t)));
}

void TavrinInstrument::fillHistoryBlock(HistoryBlock &block)
{
    const qint64 now = qint64(clock());
    const qint64 oldest = now - m_historyLength + 1;
    const qint64 first = qMax(block.next, oldest);
    const int count = int(qBound<qint64>(0, now - first + 1, qint64(HistoryRecords)));
    QList<ModbusBytes> samples;
    for (int i = 0; i < count; ++i)
        samples.append(historySample(block.address, first + i));
    block.next = first + count;
    const quint16 more = block.next <= now ? 1 : 0;
    inputRegisters().setRegisters(block.address, historyBlock(more, quint16(count), samples));
}

void TavrinInstrument::updateLiveValues()
{
    const double t = clock();
    const int site = m_currentSite;
    inputRegisters().setRegisters(
        300749, ModbusBytes::fromDateTime(QDateTime::fromSecsSinceEpoch(qint64(t), Qt::UTC)));
    const double dt = M::dtMeasured(site, t);
    inputRegisters().setRegisters(300701, ModbusBytes::fromFloat(float(dt)));
    inputRegisters().setRegisters(300703, ModbusBytes::fromFloat(float(M::flightTime(t))));
    inputRegisters().setRegisters(300720, ModbusBytes::fromFloat(float(M::flowRate(site, t))));
    inputRegisters().setRegisters(300722, ModbusBytes::fromFloat(float(M::flowVelocity(site, t))));
    inputRegisters().setRegisters(
        300725, ModbusBytes::fromFloat(float(m_soundSpeed > 0 ? m_soundSpeed : M::soundSpeed(t))));
    inputRegisters().setRegisters(300735, ModbusBytes::fromFloat(MeasuredAdditionalDelay));
    inputRegisters().setRegisters(300739, ModbusBytes::fromFloat(MeasuredAverageDt0));
    inputRegisters().setRegisters(300760, ModbusBytes::fromFloat(float(dt)));
    const double volume = currentVolume(t);
    inputRegisters().setRegisters(300712, ModbusBytes::fromDoubleStruct(volume));
    inputRegisters().setRegisters(300716,
                                  ModbusBytes::fromDoubleStruct(m_siteLogs.value(site).vMinus));
    if (!m_heat)
        return;
    inputRegisters().setRegisters(300771, ModbusBytes::fromFloat(float(M::massFlowRate(site, t))));
    inputRegisters().setRegisters(300773, ModbusBytes::fromFloat(float(M::thermalPower(site, t))));
    inputRegisters().setRegisters(300775, ModbusBytes::fromDoubleStruct(volume * M::Density));
    inputRegisters().setRegisters(
        300779, ModbusBytes::fromDoubleStruct(volume * M::Density * M::HeatPerTon));
    inputRegisters().setRegisters(300787, ModbusBytes::fromFloat(float(M::pressureCurrent(t))));
    inputRegisters().setRegisters(300789, ModbusBytes::fromFloat(float(M::pressure(t))));
    inputRegisters().setRegisters(300796, ModbusBytes::fromFloat(float(M::temperature1(t))));
    inputRegisters().setRegisters(300803, ModbusBytes::fromFloat(float(M::temperature2(t))));
}
