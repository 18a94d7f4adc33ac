#include "modbusexporter.h"

#include "modbusexportengine.h"

ModbusExporter::ModbusExporter(QObject *parent) : ModbusExporterImporter(parent) {}

void ModbusExporter::initEngine()
{
    connect(engine(), &ErrObject::error, this, &ModbusExporter::setErrorString);
}

void ModbusExporter::setWaitForRead(bool wait)
{
    if (m_waitForRead == wait)
        return;
    m_waitForRead = wait;
    emit waitForReadChanged(m_waitForRead);
}

void ModbusExporter::setReadOnExport(bool read)
{
    if (m_readOnExport == read)
        return;
    m_readOnExport = read;
    emit readOnExportChanged(m_readOnExport);
}

void ModbusExporter::exportItems(const QVariantList &items)
{
    exportItems(itemsFromVariantList(items));
}

void ModbusExporter::exportItem(ModbusItemBase *item)
{
    exportItems(QList<ModbusItemBase *>{item});
}

void ModbusExporter::exportItems(const QList<ModbusItemBase *> &items)
{
    clearExportList();
    const QList<ModbusItemBase *> chosen = filterItems(items);
    if (m_waitForRead)
        addItemsToRead(chosen);
    if (m_readOnExport)
        readList(chosen);
    if (!m_waitForRead || chosen.isEmpty()) {
        exportItemsInternal(chosen);
        setProcessed(processed() + int(chosen.size()));
        emit finished();
    }
}

bool ModbusExporter::exportProperty(const QString &name, const QString &value)
{
    return engine() && engine()->exportProperty(name, value);
}

void ModbusExporter::beginGroup(const QString &name)
{
    // An unnamed group would enter the file with no path entry to leave it by.
    if (name.isEmpty())
        return;
    beginGroupInternal(name);
    if (engine())
        engine()->beginExportGroup(name);
}

void ModbusExporter::endGroup()
{
    if (groupPath().isEmpty())
        return;
    endGroupInternal();
    if (engine())
        engine()->endExportGroup();
}

bool ModbusExporter::save()
{
    return engine() && engine()->save();
}

void ModbusExporter::exportItemInternal(ModbusItemBase *item)
{
    if (engine())
        engine()->exportItem(exportData(item, true));
}

void ModbusExporter::exportItemsInternal(const QList<ModbusItemBase *> &items)
{
    for (ModbusItemBase *item : items)
        exportItemInternal(item);
}

void ModbusExporter::exportItemsInternal()
{
    exportItemsInternal(m_pending.items());
}

void ModbusExporter::addItemToRead(ModbusItemBase *item)
{
    if (!m_pending.add(item))
        return;
    connect(item, &QObject::destroyed, this, &ModbusExporter::onItemDestroyed);
    connect(item, &ModbusItemBase::afterRead, this, &ModbusExporter::onItemAfterRead);
    connect(item, &ErrObject::error, this, &ModbusExporter::onItemError);
}

void ModbusExporter::addItemsToRead(const QList<ModbusItemBase *> &items)
{
    for (ModbusItemBase *item : items)
        addItemToRead(item);
}

void ModbusExporter::readList(const QList<ModbusItemBase *> &items)
{
    // A read's handlers may delete items further down the list.
    QList<QPointer<ModbusItemBase>> guarded;
    for (ModbusItemBase *item : items)
        guarded.append(item);
    for (const QPointer<ModbusItemBase> &item : guarded)
        if (item)
            startRead(item);
}

void ModbusExporter::clearExportList()
{
    if (m_waitForRead) {
        for (ModbusItemBase *item : m_pending.items())
            disconnect(item, nullptr, this, nullptr);
    }
    m_pending.clear();
}

void ModbusExporter::startRead(ModbusItemBase *item)
{
    const QPointer<ModbusItemBase> guard(item);
    for (;;) {
        m_starting = item;
        const bool queued = item->read();
        m_starting = nullptr;
        if (queued || !guard || !m_pending.contains(item))
            return;
        if (!countFailure(item, item->errorString()))
            return;
    }
}

bool ModbusExporter::countFailure(ModbusItemBase *item, const QString &message)
{
    int *failures = m_pending.failures(item);
    if (!failures)
        return false;
    if (++*failures <= modbusRetries())
        return true;
    QString props;
    const QString name = describeItem(item, &props);
    setErrorString(tr("can't read %1 (%2): %3").arg(name, props, message));
    return false;
}

void ModbusExporter::onItemAfterRead()
{
    auto *item = qobject_cast<ModbusItemBase *>(sender());
    if (!item || !m_pending.contains(item))
        return;
    exportItemInternal(item);
    setProcessed(processed() + 1);
    disconnect(item, nullptr, this, nullptr);
    m_pending.remove(item);
    if (m_pending.isEmpty())
        emit finished();
}

void ModbusExporter::onItemError(const QString &message)
{
    auto *item = qobject_cast<ModbusItemBase *>(sender());
    if (!item || item == m_starting || !m_pending.contains(item))
        return;
    if (countFailure(item, message))
        startRead(item);
}

void ModbusExporter::componentComplete()
{
    ModbusExporterImporter::componentComplete();
    if (!items().isEmpty())
        exportItems(items());
}

void ModbusExporter::onItemDestroyed()
{
    // A batch that waited only for destroyed items is over.
    if (m_pending.dropDestroyed() && m_pending.isEmpty())
        emit finished();
}
