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
// through a Modbuser's slave side. An index and a time archive may share a number: a request
// names the type it means. A search runs from a label in a direction: forward takes the labels
// at or after it in rising order, backward those at or before it in falling order.
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
    bool hasArchive(quint16 index, DorrikBus::ArchType type) const;
    // Drops the archive and its records.
    void removeArchive(quint16 index, DorrikBus::ArchType type);
    void addRecord(quint16 index, DorrikBus::ArchType type, quint32 label,
                   const ModbusBytes &record);
    int recordCount(quint16 index, DorrikBus::ArchType type) const;
    // Labels in rising order, and the record at one (empty when there is none).
    QList<quint32> labels(quint16 index, DorrikBus::ArchType type) const;
    ModbusBytes record(quint16 index, DorrikBus::ArchType type, quint32 label) const;

    // Without a type: every archive of that number (there is only one unless both types were
    // added), as the tests that keep one archive a number use them.
    void addRecord(quint16 index, quint32 label, const ModbusBytes &record);
    // Drops the records; the archives stay, empty.
    void clearArchive(quint16 index);
    int recordCount(quint16 index) const;

    // Connects directly to the slave's generic archive signals.
    void serve(Modbuser &slave);

private:
    struct Archive
    {
        QMap<quint32, ModbusBytes> records;
    };
    static quint32 key(quint16 index, DorrikBus::ArchType type)
    {
        return (quint32(type) << 16) | index;
    }

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
    QMap<quint32, Archive> m_archives; // by key()
};

#endif
