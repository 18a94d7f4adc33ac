#include "modbusimporter.h"

#include "modbusexportengine.h"

#include <QDateTime>
#include <QMetaProperty>

#include <cmath>
#include <limits>

namespace {

template <typename T> bool isIntegerType(int id)
{
    return id == QMetaType::fromType<T>().id();
}

// The range of an integer type, as 64-bit bounds; false when the type is not an integer.
bool integerRange(int id, qint64 *low, quint64 *high)
{
    auto range = [&](auto zero) {
        using T = decltype(zero);
        *low = qint64(std::numeric_limits<T>::min());
        *high = quint64(std::numeric_limits<T>::max());
        return true;
    };
    if (isIntegerType<qint8>(id) || isIntegerType<char>(id))
        return range(qint8());
    if (isIntegerType<quint8>(id))
        return range(quint8());
    if (isIntegerType<qint16>(id))
        return range(qint16());
    if (isIntegerType<quint16>(id))
        return range(quint16());
    if (isIntegerType<qint32>(id))
        return range(qint32());
    if (isIntegerType<quint32>(id))
        return range(quint32());
    if (isIntegerType<qint64>(id))
        return range(qint64());
    if (isIntegerType<quint64>(id))
        return range(quint64());
    return false;
}

// The file's text as a value of the item's "value" property, or an invalid variant when it does
// not convert or does not fit. The property's own type may be wider than the register (a 16-bit
// item has an int property): the item's typed value gives the register's width, and a number
// must fit both. The framework's own conversion would wrap or truncate silently.
QVariant importedValue(const ModbusItemBase *item, const QMetaProperty &property,
                       const QString &text)
{
    const int propertyType = property.metaType().id();
    const int registerType = item->getTypedValue(ModbusBytes()).metaType().id();
    qint64 low = std::numeric_limits<qint64>::min();
    quint64 high = std::numeric_limits<quint64>::max();
    qint64 typeLow = 0;
    quint64 typeHigh = 0;
    bool integer = false;
    for (int type : {propertyType, registerType}) {
        if (!integerRange(type, &typeLow, &typeHigh))
            continue;
        integer = true;
        low = qMax(low, typeLow);
        high = qMin(high, typeHigh);
    }
    const int type = propertyType == QMetaType::QVariant ? registerType : propertyType;
    bool ok = false;
    if (integer) {
        const QString number = text.trimmed();
        // An 8-bit value is exported by the framework as the character of its code.
        const int charType = propertyType;
        if ((charType == QMetaType::SChar || charType == QMetaType::Char ||
             charType == QMetaType::UChar) &&
            text.size() == 1 && !text.at(0).isDigit() && text.at(0).unicode() <= 0xff) {
            const int code = text.at(0).unicode();
            return QVariant(charType == QMetaType::UChar ? code : int(qint8(quint8(code))));
        }
        if (number.startsWith(QLatin1Char('-'))) {
            const qint64 value = number.toLongLong(&ok);
            if (!ok || value < low)
                return {};
            return QVariant(qlonglong(value));
        }
        const quint64 value = number.toULongLong(&ok);
        if (!ok || value > high)
            return {};
        return QVariant(qulonglong(value));
    }
    switch (type) {
    case QMetaType::Float:
    case QMetaType::Double: {
        const double value = text.trimmed().toDouble(&ok);
        // "nan" and "inf" convert, but no setting of the instrument means them.
        if (!ok || !std::isfinite(value))
            return {};
        // A text beyond the register's range would become infinity.
        if (type == QMetaType::Float &&
            std::fabs(value) > double(std::numeric_limits<float>::max()))
            return {};
        return QVariant(value);
    }
    case QMetaType::Bool: {
        const QString flag = text.trimmed().toLower();
        if (flag == QLatin1String("true") || flag == QLatin1String("1"))
            return QVariant(true);
        if (flag == QLatin1String("false") || flag == QLatin1String("0"))
            return QVariant(false);
        return {};
    }
    case QMetaType::QString:
        return QVariant(text);
    default:
        break;
    }
    QVariant value(text);
    if (!value.convert(property.metaType()))
        return {};
    if (type == QMetaType::QDateTime && !value.toDateTime().isValid())
        return {};
    return value;
}

} // namespace

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
    m_refused.clear();
    const bool loaded =
        candidates.isEmpty() || (engine() && engine()->importItems(candidates, paired));
    // An item that refused the file's value keeps its own: it neither counts nor is written.
    for (ModbusItemBase *item : std::as_const(m_refused))
        paired.removeAll(item);
    m_refused.clear();
    if (!loaded)
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

QVariantMap ModbusImporter::checkItems(const QVariantList &items)
{
    const QList<ModbusItemBase *> chosen = filterItems(itemsFromVariantList(items));
    ModbusExportDataList candidates;
    candidates.reserve(chosen.size());
    for (ModbusItemBase *item : chosen)
        candidates.append(exportData(item, false));
    QList<ModbusItemBase *> paired;
    m_checking = true;
    m_firstRefused = nullptr;
    m_firstRefusedValue.clear();
    const bool loaded =
        candidates.isEmpty() || (engine() && engine()->importItems(candidates, paired));
    m_checking = false;
    QVariantMap result;
    result.insert(QStringLiteral("loaded"), loaded);
    result.insert(QStringLiteral("paired"), int(paired.size()));
    result.insert(QStringLiteral("refused"), QVariant::fromValue<QObject *>(m_firstRefused));
    result.insert(QStringLiteral("value"), m_firstRefusedValue);
    m_firstRefused = nullptr;
    m_firstRefusedValue.clear();
    return result;
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
    if (index < 0) {
        item->setFormatValue(value);
        return;
    }
    const QMetaProperty property = meta->property(index);
    const QVariant converted = importedValue(item, property, value);
    if (m_checking) {
        if (!converted.isValid() && !m_firstRefused) {
            m_firstRefused = item;
            m_firstRefusedValue = value;
        }
        return;
    }
    if (!converted.isValid() || !property.write(item, converted)) {
        m_refused.insert(item);
        QString props;
        const QString name = describeItem(item, &props);
        setErrorString(tr("can't import %1 (%2): wrong value \"%3\"").arg(name, props, value));
    }
}

void ModbusImporter::addItemToWriteList(ModbusItemBase *item)
{
    if (!m_pending.add(item))
        return;
    connect(item, &QObject::destroyed, this, &ModbusImporter::onItemDestroyed);
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

void ModbusImporter::cancelInternal()
{
    // Writes already queued would still reach the instrument after the batch is dropped.
    for (ModbusItemBase *item : m_pending.items())
        item->abortExecuting();
    clearImportItems();
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

void ModbusImporter::onItemDestroyed()
{
    // A batch that waited only for destroyed items is over.
    if (m_pending.dropDestroyed() && m_pending.isEmpty())
        emit finished();
}
