#ifndef ARCHIVESTORE_H
#define ARCHIVESTORE_H

#include "dorrikbus.h"
#include "modbusbytes.h"

#include <QList>
#include <QMap>
#include <QObject>

#include <mutex>

class Modbuser;
class ModbusTranslateOptions;

// A slave's archives: each an index or time archive of records kept by label, answering
// through a Modbuser's slave side. A search runs from a label in a direction: forward takes the
// labels at or after it in rising order, backward those at or before it in falling order.
//
// Answers: an unknown archive is exception 2 (illegal data address); a presence request lists
// what the search finds, possibly nothing; a records request needs as many records as it asks
// for (the answer does not say where one record ends, so fewer could not be cut apart) and is
// otherwise exception 2.
//
// The handlers run on the server link's thread: every member is guarded by m_mutex.
class ArchiveStore : public QObject
{
    Q_OBJECT

public:
    explicit ArchiveStore(QObject *parent = nullptr);

    void addArchive(quint16 index, DorrikBus::ArchType type);
    void addRecord(quint16 index, quint32 label, const ModbusBytes &record);
    // Drops the archive's records; the archive stays, empty.
    void clearArchive(quint16 index);
    int recordCount(quint16 index) const;

    // Connects directly to the slave's generic archive signals.
    void serve(Modbuser &slave);

private:
    struct Archive
    {
        DorrikBus::ArchType type = DorrikBus::IndexArch;
        QMap<quint32, ModbusBytes> records;
    };

    // The labels a search finds, at most count; false for an unknown archive. m_mutex held.
    bool search(quint16 index, DorrikBus::ArchType type, quint32 label,
                DorrikBus::ArchDirection direction, int count, QList<quint32> &labels) const;
    void readRecords(quint16 index, quint32 label, DorrikBus::ArchDirection direction,
                     quint16 count, QList<ModbusBytes> &records, ModbusTranslateOptions &options,
                     bool &handled, DorrikBus::ArchType type);
    void readPresence(quint16 index, quint32 label, DorrikBus::ArchDirection direction,
                      quint16 count, QList<quint32> &labels, ModbusTranslateOptions &options,
                      bool &handled, DorrikBus::ArchType type);

    mutable std::mutex m_mutex;
    QMap<quint16, Archive> m_archives;
};

#endif
