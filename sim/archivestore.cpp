#include "archivestore.h"

#include "modbuser.h"
#include "modbustranslateoptions.h"

namespace {

constexpr DorrikBus::ArchType Types[] = {DorrikBus::IndexArch, DorrikBus::TimeArch};

} // namespace

ArchiveStore::ArchiveStore(QObject *parent) : QObject(parent) {}

void ArchiveStore::addArchive(quint16 index, DorrikBus::ArchType type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_archives[key(index, type)];
}

bool ArchiveStore::hasArchive(quint16 index, DorrikBus::ArchType type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_archives.contains(key(index, type));
}

void ArchiveStore::removeArchive(quint16 index, DorrikBus::ArchType type)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_archives.remove(key(index, type));
}

void ArchiveStore::addRecord(quint16 index, DorrikBus::ArchType type, quint32 label,
                             const ModbusBytes &record)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_archives[key(index, type)].records.insert(label, record);
}

int ArchiveStore::recordCount(quint16 index, DorrikBus::ArchType type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_archives.value(key(index, type)).records.size());
}

QList<quint32> ArchiveStore::labels(quint16 index, DorrikBus::ArchType type) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_archives.value(key(index, type)).records.keys();
}

ModbusBytes ArchiveStore::record(quint16 index, DorrikBus::ArchType type, quint32 label) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_archives.value(key(index, type)).records.value(label);
}

void ArchiveStore::addRecord(quint16 index, quint32 label, const ModbusBytes &record)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    bool added = false;
    for (const DorrikBus::ArchType type : Types) {
        const auto archive = m_archives.find(key(index, type));
        if (archive != m_archives.end()) {
            archive->records.insert(label, record);
            added = true;
        }
    }
    // An archive that was never added is an index archive, as before types were kept apart.
    if (!added)
        m_archives[key(index, DorrikBus::IndexArch)].records.insert(label, record);
}

void ArchiveStore::clearArchive(quint16 index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const DorrikBus::ArchType type : Types) {
        const auto archive = m_archives.find(key(index, type));
        if (archive != m_archives.end())
            archive->records.clear();
    }
}

int ArchiveStore::recordCount(quint16 index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (const DorrikBus::ArchType type : Types)
        count += int(m_archives.value(key(index, type)).records.size());
    return count;
}

void ArchiveStore::serve(Modbuser &slave)
{
    connect(&slave, &Modbuser::onReadArchRecords, this, &ArchiveStore::readRecords,
            Qt::DirectConnection);
    connect(&slave, &Modbuser::onReadArchPresence, this, &ArchiveStore::readPresence,
            Qt::DirectConnection);
}

bool ArchiveStore::search(quint16 index, DorrikBus::ArchType type, quint32 label,
                          DorrikBus::ArchDirection direction, int count,
                          QList<quint32> &labels) const
{
    const auto archive = m_archives.constFind(key(index, type));
    if (archive == m_archives.constEnd())
        return false;
    const QMap<quint32, ModbusBytes> &records = archive->records;
    if (direction == DorrikBus::Forward) {
        for (auto it = records.lowerBound(label); it != records.end() && labels.size() < count;
             ++it)
            labels.append(it.key());
        return true;
    }
    auto it = records.upperBound(label);
    while (it != records.begin() && labels.size() < count) {
        --it;
        labels.append(it.key());
    }
    return true;
}

void ArchiveStore::readRecords(quint16 index, quint32 label, DorrikBus::ArchDirection direction,
                               quint16 count, QList<ModbusBytes> &records,
                               ModbusTranslateOptions &options, bool &handled,
                               DorrikBus::ArchType type)
{
    if (handled)
        return;
    handled = true;
    std::lock_guard<std::mutex> lock(m_mutex);
    QList<quint32> labels;
    if (!search(index, type, label, direction, count, labels) || labels.size() < count) {
        options.setAnswerExceptionCode(DorrikBus::IllegalDataAddress);
        return;
    }
    const QMap<quint32, ModbusBytes> &stored = m_archives.value(key(index, type)).records;
    for (quint32 found : std::as_const(labels))
        records.append(stored.value(found));
}

void ArchiveStore::readPresence(quint16 index, quint32 label, DorrikBus::ArchDirection direction,
                                quint16 count, QList<quint32> &labels,
                                ModbusTranslateOptions &options, bool &handled,
                                DorrikBus::ArchType type)
{
    if (handled)
        return;
    handled = true;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!search(index, type, label, direction, count, labels))
        options.setAnswerExceptionCode(DorrikBus::IllegalDataAddress);
}
