#ifndef MODBUSEXPORTENGINE_H
#define MODBUSEXPORTENGINE_H

#include "errobject.h"
#include "modbusexportdata.h"

#include <QList>
#include <QString>
#include <QStringList>

class ModbusItemBase;

// The back end of exporters and importers: it knows a file format, nothing of the instrument.
// Exporters hand it records, properties and groups; importers ask it for them. Failures are
// reported through ErrObject.
class DORRIKBUS_EXPORT ModbusExportEngine : public ErrObject
{
    Q_OBJECT

public:
    explicit ModbusExportEngine(QObject *parent = nullptr);

    virtual void beginExportGroup(const QString &name) = 0;
    virtual void endExportGroup() = 0;
    // Whether the group exists at the current level.
    virtual bool beginImportGroup(const QString &name) = 0;
    virtual void endImportGroup() = 0;
    virtual void exportItem(const ModbusExportData &data) = 0;
    // Pairs the stored records with the candidates; the paired items are appended to `items`.
    virtual bool importItems(const ModbusExportDataList &candidates,
                             QList<ModbusItemBase *> &items) = 0;
    virtual bool exportProperty(const QString &name, const QString &value) = 0;
    // `value` is left as it is when the property is not found.
    virtual bool importProperty(const QString &name, QString &value) = 0;
    virtual void clear() = 0;
    virtual bool save() = 0;
    // The names of the groups at the current level.
    virtual QStringList getGroups() = 0;

signals:
    // The stored value for an item, found while pairing.
    void itemImportValue(ModbusItemBase *item, const QString &value);
};

#endif
