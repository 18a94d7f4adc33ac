#ifndef TAVRININSTRUMENT_H
#define TAVRININSTRUMENT_H

#include "simulatedinstrument.h"
#include "tavrinrecords.h"

#include <QElapsedTimer>
#include <QList>
#include <QPair>

#include <mutex>

// The simulated instrument with the menu's register map: only the registers the map names
// exist (a request that touches any other is answered with exception 2), it answers its own
// unit only, and it does what the instrument does with its command and mirror registers:
//
// - 402999 (sites revision) shows at 300765, 400127 (measuring) at 300752, 400128 (current
//   site) at 300759; the current site's settings are at 400129-400226 and every site keeps its
//   own, swapped in when the current site changes;
// - 400001 sets the unit it answers from the next request on;
// - 403255 (site copier, "from" high, "to" low) copies one site's settings to another and
//   returns to 0, or to 0xFFFFFFFF for a bad pair; 0x8000 + i at 403260 resets site i's
//   settings; 0xAA550000 + i at 400023 empties the archive of site i (i and i + 0x100) and
//   restarts its counters;
// - one-shot commands (initialise, card erase, history reset, KP and Ki, schedule reset)
//   return to 0 once carried out; the switches (measuring, calibrations, schedule, stage, sleep
//   and shutdown) keep what was written;
// - the clock (300749) runs, and the live block shows the current site's flow, totals, heat,
//   pressure and temperatures;
// - time archives (functions 66 and 67, 65 too) for every site slot, at index i up to
//   generation 2 and 0x100 + i from generation 3, in the generation's record layout: at start
//   a history of records at the logging interval (403001), and while measuring a new record of
//   the current site at each interval; records of a serial line's frame at most per answer.
//   Index archives 0, 1, 0x100 and 0x101, empty;
// - the three history blocks (300533 flow, 301195 heat, 301317 pressure) hold one sample a
//   second of the last historyLength() seconds; each read hands over the next ten not yet read
//   (the "more" word set while others wait), and 1 at 400121 + connection type starts over
//   from the oldest;
// - signal capture: 1 at 400124 + connection type holds 1 for captureTime(), then reads 0 with
//   an echo pulse of 2048 samples at 302001 (forward) and 304049 (backward) and the four
//   offsets at 301988;
// - calibrations: 1 at 403251 (additional delay) or 403252 (zero offset) stays while running,
//   with 300768 or 300769 at 1, until 0 (stop) or 2 (set: the site's additional delay 400204
//   or zero offset 400202 takes the measured one, and the register returns to 0); 1 at 403257
//   (on-flow zero point) is taken (stays, 300770 at 1) or refused (reads 0); while it runs, a
//   stage of 1 or 2 at 403258 counts 306124 down from 15 to 0, one a calibrationTick(), and then
//   gives C1 and Dt1 (stage 1) or Dt2 and Dt0 (stage 2); stage 4 saves Dt0 as the zero offset;
// - schedule: 1 at 403560 makes 300753 1 (active) and scheduleDuration() later 2 (done), 0
//   makes it 0; 1 at 403691 turns done into off; the periodic schedule runs an hour every 12
//   hours from the next midnight, and its end (403568) follows every write of its start or
//   duration;
//
// Defaults: generation 1, no heat channel, Z-mount transducers, 20 site slots with "Site 1" in slot
// 0 of the sites table (file 0x80), a report text, memory card state 2, power state 4, unit 1,
// logging interval 6 min, one day of archive history, not measuring.
//
// The setters below act as another client would (another menu, a service tool): they change
// the registers and the table without a request, so nothing of them is in the log. Changing the
// generation, the heat channel, the slots or the archive history builds the archives again.
class TavrinInstrument : public SimulatedInstrument
{
    Q_OBJECT

public:
    // Firmware version registers (the version number times 40) of the three generations.
    static constexpr quint32 Generation1Firmware = 922400720; // 23.06.00.18
    static constexpr quint32 Generation2Firmware = 922400760; // 23.06.00.19
    static constexpr quint32 Generation3Firmware = 922401080; // 23.06.00.27
    static constexpr quint32 SiteSettings = 400129;
    static constexpr int SiteSettingsCount = 98; // 400129-400226
    static constexpr int DefaultSlots = 20;
    static constexpr int CaptureSamples = 2048;
    static constexpr int CalibrationSteps = 15;
    // What one archive answer carries at most: a 256-byte RTU frame less its address, function,
    // byte count and CRC.
    static constexpr int ArchAnswerBytes = 251;

    explicit TavrinInstrument(QObject *parent = nullptr);

    void setGeneration(int generation);
    void setFirmwareVersion(quint32 value);
    int generation() const;
    void setHeatChannel(bool present);
    // The number of site slots (300767); the sites table grows or shrinks to match.
    void setSlots(int count);

    // Both revision registers, as a commit by another client leaves them.
    void setSitesRevision(quint32 revision);
    quint32 sitesRevision() const;
    // One record of the sites table.
    void setSiteRecord(int slot, const QString &group, const QString &subGroup,
                       const QString &site);
    // The whole sites table: every slot of SiteRecords::Count empty but the given (slot, name)
    // sites, without groups, as another client leaves it.
    void setSites(const QList<QPair<int, QString>> &sites);

    // Measuring on or off (400127 and 300752), as the instrument's own keys switch it.
    void setMeasuring(bool on);

    quint8 unit() const;
    int currentSite() const;
    // The current site, as another client's write of 400128 leaves it (a slot it does not have
    // is refused).
    void setCurrentSite(int site);
    // Whether every register of the request is in the map (a read or write of any other is
    // answered with exception 2); true for requests that are not register requests.
    bool maps(const InstrumentRequest &request) const;
    // The settings registers of a site (those at 400129 for the current one).
    ModbusBytes siteSettings(int site) const;
    static ModbusBytes defaultSiteSettings();

    // The archive number of a site slot in a generation's numbering.
    static quint16 archiveIndex(int slot, int generation);
    // Seconds of the logging interval list (403001: 0 for 1 s ... 8 for 6 min).
    static int loggingIntervalSeconds(int index);
    // The instrument's clock as an archive label: seconds of its wall clock as if it were UTC.
    quint32 clockLabel() const;

    // Durations, which tests shorten.
    void setArchiveHistory(int seconds); // archive kept before the start
    void setHistoryLength(int seconds);  // samples of the history blocks
    int historyLength() const;
    void setCaptureTime(int ms);
    int captureTime() const;
    void setCalibrationTick(int ms);
    int calibrationTick() const;
    void setScheduleDuration(int ms);
    int scheduleDuration() const;
    // Whether a start of the on-flow zero point calibration (1 at 403257) is taken.
    void setOnFlowCalibrationTaken(bool taken);
    // The sound speed the live block shows (km/s) in place of the measured one's slow wave, and
    // that the on-flow calibration's stage 1 takes; 0 returns to the measured one.
    void setSoundSpeed(double kms);
    // The memory card state (300754: 0 no card, 2 installed, ...) and the logging interval's
    // index (403001, see loggingIntervalSeconds), as the instrument changes them itself.
    void setCardStatus(quint16 status);
    void setLoggingIntervalIndex(int index);

protected:
    DorrikBus::ExceptionCode prepareAnswer(const InstrumentRequest &request) override;
    void written(const InstrumentRequest &request) override;

private:
    // A site's archive as it is written: the counters its next record carries on from.
    struct SiteLog
    {
        quint32 lastLabel = 0; // 0: no record since the start or the last erase
        quint32 workTime = 0, sensorLessTime = 0;
        double vPlus = 0, vMinus = 0, mPlus = 0, w = 0;
    };
    struct HistoryBlock
    {
        quint32 address;
        qint64 next; // the second of the next sample to hand over
    };

    bool holds(const InstrumentRequest &request) const;
    bool touches(const InstrumentRequest &request, quint32 address, int count = 1) const;
    // The periodic schedule's end: its start and duration.
    quint32 periodicEnd() const;
    quint32 holdingUInt32(quint32 address) const;
    void setHoldingUInt32(quint32 address, quint32 value);
    quint16 holding(quint32 address) const;
    void setHolding(quint32 address, quint16 value);
    void setInput(quint32 address, quint16 value);
    // m_mutex held below.
    double clock() const; // seconds of the wall clock, with a fraction
    qint64 elapsed() const;
    void changeSite(int site);
    void updateLiveValues();
    void advance();
    void buildArchives();
    void logRecord(int slot, quint32 label, quint32 from);
    void catchUpArchive();
    void eraseArchive(int slot);
    void fillHistoryBlock(HistoryBlock &block);
    double currentVolume(double t) const;
    ModbusBytes historySample(quint32 address, qint64 second) const;
    void finishCapture(quint32 command);
    void finishStage();
    bool measuring() const;
    int loggingInterval() const;

    // Register ranges (first, count) the instrument holds.
    QList<QPair<quint32, int>> m_inputRanges;
    QList<QPair<quint32, int>> m_holdingRanges;

    // Guarded: everything below is used by both threads.
    mutable std::mutex m_mutex;
    quint8 m_unit = 1; // as given to setUnit
    int m_currentSite = 0;
    int m_generation = 1;
    bool m_heat = false;
    // Settings of every site but the current one, whose live copy is in the registers.
    QList<ModbusBytes> m_siteSettings;
    QList<SiteLog> m_siteLogs;
    bool m_archivesBuilt = false;
    int m_archiveHistory = 24 * 3600;
    quint32 m_measuringSince = 0;

    QElapsedTimer m_elapsed;
    quint32 m_startLabel = 0;
    int m_historyLength = 120;
    QList<HistoryBlock> m_historyBlocks;
    int m_captureTime = 300;
    int m_captureCount = 0;
    qint64 m_captureStarted[3] = {-1, -1, -1}; // per connection type
    int m_calibrationTick = 1000;
    bool m_onFlowTaken = true;
    int m_stage = 0;
    qint64 m_stageStarted = -1;
    float m_c1 = 0, m_dt1 = 0;
    double m_soundSpeed = 0; // 0: the measurement model's
    int m_scheduleDuration = 60000;
    qint64 m_scheduleStarted = -1;
};

#endif
