#include "modbusimporter.h"

#include "modbusexportengine.h"

#include <QMetaProperty>

ModbusImporter::ModbusImporter(QObject *parent) : ModbusExporterImporter(parent) {}

void ModbusImporter::initEngine()
{
    connect(engine(), &ErrObject::error, this, &ModbusImporter::setErrorString);
    connect(engine(), &ModbusExportEngine::itemImportValue, this,
            &ModbusImporter::onItemImportValue);
}

void ModbusImporter::setWriteOnImport(bool write)
{
    if (m_writeOnImport == write)
        return;
    m_writeOnImport = write;
    emit writeOnImportChanged(m_writeOnImport);
}

bool ModbusImporter::importItems(const QVariantList &items)
{
    return importItems(itemsFromVariantList(items));
}

bool ModbusImporter::importItems(const QList<ModbusItemBase *> &items)
{
    clearImportItems();
    const QList<ModbusItemBase *> chosen = filterItems(items);
    ModbusExportDataList candidates;
    candidates.reserve(chosen.size());
    for (ModbusItemBase *item : chosen)
        candidates.append(exportData(item, false));
    QList<ModbusItemBase *> paired;
    if (!candidates.isEmpty() && (!engine() || !engine()->importItems(candidates, paired)))
        return false;
    if (!m_writeOnImport || paired.isEmpty()) {
        setProcessed(processed() + int(paired.size()));
        emit finished();
        return true;
    }
    addItemsToWriteList(paired);
    QList<QPointer<ModbusItemBase>> guarded;
    for (ModbusItemBase *item : paired)
        guarded.append(item);
    for (const QPointer<ModbusItemBase> &item : guarded)
        if (item)
            startWrite(item);
    return true;
}

QString ModbusImporter::importProperty(const QString &name)
{
    QString value;
    if (engine())
        engine()->importProperty(name, value);
    return value;
}

bool ModbusImporter::beginGroup(const QString &name)
{
    return engine() && engine()->beginImportGroup(name);
}

void ModbusImporter::endGroup()
{
    if (engine())
        engine()->endImportGroup();
}

void ModbusImporter::onItemImportValue(ModbusItemBase *item, const QString &value)
{
    if (!item)
        return;
    const QMetaObject *meta = item->metaObject();
    const int index = meta->indexOfProperty("value");
    if (index >= 0)
        meta->property(index).write(item, value);
    else
        item->setFormatValue(value);
}

void ModbusImporter::addItemToWriteList(ModbusItemBase *item)
{
    if (!m_pending.add(item))
        return;
    connect(item, &ErrObject::error, this, &ModbusImporter::onItemError);
    connect(item, &ModbusItemBase::afterWrite, this, &ModbusImporter::onItemAfterWrite);
}

void ModbusImporter::addItemsToWriteList(const QList<ModbusItemBase *> &items)
{
    for (ModbusItemBase *item : items)
        addItemToWriteList(item);
}

void ModbusImporter::clearImportItems()
{
    for (ModbusItemBase *item : m_pending.items())
        disconnect(item, nullptr, this, nullptr);
    m_pending.clear();
}

void ModbusImporter::startWrite(ModbusItemBase *item)
{
    const QPointer<ModbusItemBase> guard(item);
    for (;;) {
        m_starting = item;
        const bool queued = item->write();
        m_starting = nullptr;
        if (queued || !guard || !m_pending.contains(item))
            return;
        if (!countFailure(item, item->errorString()))
            return;
    }
}

bool ModbusImporter::countFailure(ModbusItemBase *item, const QString &message)
{
    int *failures = m_pending.failures(item);
    if (!failures)
        return false;
    if (++*failures <= modbusRetries())
        return true;
    QString props;
    const QString name = describeItem(item, &props);
    setErrorString(tr("can't write %1 (%2): %3").arg(name, props, message));
    return false;
}

void ModbusImporter::onItemAfterWrite()
{
    auto *item = qobject_cast<ModbusItemBase *>(sender());
    if (!item || !m_pending.contains(item))
        return;
    disconnect(item, nullptr, this, nullptr);
    m_pending.remove(item);
    setProcessed(processed() + 1);
    if (m_pending.isEmpty())
        emit finished();
}

void ModbusImporter::onItemError(const QString &message)
{
    auto *item = qobject_cast<ModbusItemBase *>(sender());
    if (!item || item == m_starting || !m_pending.contains(item))
        return;
    if (countFailure(item, message))
        startWrite(item);
}
