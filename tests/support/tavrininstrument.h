#ifndef TAVRININSTRUMENT_H
#define TAVRININSTRUMENT_H

#include "simulatedinstrument.h"

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
//   settings; 0xAA550000 + i at 400023 empties the archive of site i (i and i + 0x100);
// - command registers return to 0 once carried out;
// - the clock (300749) runs and the flow rate (300720) and velocity (300722) change with it.
//
// Defaults: generation 1, no heat channel, 20 site slots with "Site 1" in slot 0 of the sites
// table (file 0x80), a report text, memory card state 2, power state 4, unit 1.
//
// The setters below act as another client would (another menu, a service tool): they change
// the registers and the table without a request, so nothing of them is in the log.
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

    explicit TavrinInstrument(QObject *parent = nullptr);

    void setGeneration(int generation);
    void setFirmwareVersion(quint32 value);
    void setHeatChannel(bool present);
    // The number of site slots (300767); the sites table grows or shrinks to match.
    void setSlots(int count);

    // Both revision registers, as a commit by another client leaves them.
    void setSitesRevision(quint32 revision);
    quint32 sitesRevision() const;
    // One record of the sites table.
    void setSiteRecord(int slot, const QString &group, const QString &subGroup,
                       const QString &site);

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

protected:
    DorrikBus::ExceptionCode prepareAnswer(const InstrumentRequest &request) override;
    void written(const InstrumentRequest &request) override;

private:
    bool holds(const InstrumentRequest &request) const;
    bool touches(const InstrumentRequest &request, quint32 address, int count = 1) const;
    quint32 holdingUInt32(quint32 address) const;
    void setHoldingUInt32(quint32 address, quint32 value);
    void changeSite(int site); // m_mutex held
    void updateLiveValues();

    // Register ranges (first, count) the instrument holds.
    QList<QPair<quint32, int>> m_inputRanges;
    QList<QPair<quint32, int>> m_holdingRanges;

    // Guarded: the unit and the sites' settings are used by both threads.
    mutable std::mutex m_mutex;
    quint8 m_unit = 1; // as given to setUnit
    int m_currentSite = 0;
    // Settings of every site but the current one, whose live copy is in the registers.
    QList<ModbusBytes> m_siteSettings;
};

#endif
