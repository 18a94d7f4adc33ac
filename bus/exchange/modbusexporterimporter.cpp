#include "modbusexporterimporter.h"

#include "modbusexportengine.h"
#include "modbusitembase.h"

#include <QMetaClassInfo>
#include <QSet>

ModbusExporterImporter::ModbusExporterImporter(QObject *parent) : ErrObject(parent) {}

ModbusExporterImporter::~ModbusExporterImporter()
{
    delete m_engine;
}

void ModbusExporterImporter::setEngine(ModbusExportEngine *engine)
{
    if (engine == m_engine)
        return;
    delete m_engine;
    m_engine = engine;
    if (m_engine)
        initEngine();
}

void ModbusExporterImporter::setGroupPath(const QStringList &path)
{
    if (m_groupPath == path)
        return;
    m_groupPath = path;
    emit groupPathChanged(m_groupPath);
}

void ModbusExporterImporter::setItems(const QVariantList &items)
{
    if (m_items == items)
        return;
    m_items = items;
    emit itemsChanged(m_items);
}

void ModbusExporterImporter::setSkipReadOnlyItems(bool skip)
{
    if (m_skipReadOnlyItems == skip)
        return;
    m_skipReadOnlyItems = skip;
    emit skipReadOnlyItemsChanged(m_skipReadOnlyItems);
}

void ModbusExporterImporter::setModbusRetries(int retries)
{
    if (m_modbusRetries == retries)
        return;
    m_modbusRetries = retries;
    emit modbusRetriesChanged(m_modbusRetries);
}

void ModbusExporterImporter::setProcessed(int processed)
{
    if (m_processed == processed)
        return;
    m_processed = processed;
    emit processedChanged(m_processed);
}

void ModbusExporterImporter::clear()
{
    setProcessed(0);
    if (m_engine)
        m_engine->clear();
    setGroupPath(QStringList());
}

QList<ModbusItemBase *>
ModbusExporterImporter::filterItems(const QList<ModbusItemBase *> &items) const
{
    QList<ModbusItemBase *> result;
    QSet<ModbusItemBase *> taken;
    for (ModbusItemBase *item : items) {
        if (!item)
            continue;
        ModbusItemBase *root = item;
        while (root->source())
            root = root->source();
        if (m_skipReadOnlyItems && root->readOnly())
            continue;
        if (taken.contains(root))
            continue;
        taken.insert(root);
        result.append(root);
    }
    return result;
}

QVariantList ModbusExporterImporter::filterVariantItems(const QVariantList &items) const
{
    return variantListFromObjects(filterItems(itemsFromVariantList(items)));
}

QStringList ModbusExporterImporter::getGroups()
{
    return m_engine ? m_engine->getGroups() : QStringList();
}

QString ModbusExporterImporter::getModbusClassName(const ModbusItemBase *item)
{
    const QMetaObject *meta = item->metaObject();
    for (;;) {
        const QLatin1String name(meta->className());
        const bool derived = QString(name).contains(QLatin1String("_QMLTYPE_")) ||
                             QString(name).contains(QLatin1String("_QML_"));
        if (!derived || !meta->superClass())
            return QString(name);
        meta = meta->superClass();
    }
}

QMap<QString, QString> ModbusExporterImporter::getItemProps(const ModbusItemBase *item)
{
    QMap<QString, QString> props;
    const QMetaObject *meta = item->metaObject();
    // Class information is numbered from the outermost base on.
    for (int i = 0; i < meta->classInfoCount(); ++i) {
        const QMetaClassInfo info = meta->classInfo(i);
        if (qstrcmp(info.name(), "ExportProp") != 0)
            continue;
        const int index = meta->indexOfProperty(info.value());
        if (index < 0)
            continue;
        props.insert(QString::fromLatin1(info.value()),
                     meta->property(index).read(item).toString());
    }
    return props;
}

QString ModbusExporterImporter::getItemValue(const ModbusItemBase *item)
{
    const QMetaObject *meta = item->metaObject();
    const int index = meta->indexOfProperty("value");
    return index >= 0 ? meta->property(index).read(item).toString() : item->formatValue();
}

bool ModbusExporterImporter::isDataPair(const ModbusItemBase *item, const ModbusExportData &data)
{
    return getModbusClassName(item) == data.type && getItemProps(item) == data.props;
}

ModbusExportData ModbusExporterImporter::exportData(ModbusItemBase *item, bool withValue)
{
    ModbusExportData data;
    data.item = item;
    data.type = getModbusClassName(item);
    data.props = getItemProps(item);
    if (withValue)
        data.value = getItemValue(item);
    return data;
}

QString ModbusExporterImporter::describeItem(const ModbusItemBase *item, QString *props)
{
    *props = QStringList(getItemProps(item).values()).join(QLatin1Char(' '));
    return QString::fromLatin1(item->metaObject()->className());
}

void ModbusExporterImporter::beginGroupInternal(const QString &name)
{
    if (name.isEmpty())
        return;
    m_groupPath.append(name);
    emit groupPathChanged(m_groupPath);
    emit groupEntered(name);
}

void ModbusExporterImporter::endGroupInternal()
{
    if (m_groupPath.isEmpty())
        return;
    m_groupPath.removeLast();
    emit groupPathChanged(m_groupPath);
    emit groupLeft();
}

void ModbusExporterImporter::componentComplete()
{
    MyDeclarativeParserStatus::componentComplete();
}
