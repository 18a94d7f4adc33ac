#ifndef MODBUSEXPORTERIMPORTER_H
#define MODBUSEXPORTERIMPORTER_H

#include "errobject.h"
#include "modbusexportdata.h"
#include "mydeclarativeparserstatus.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QVariantList>

class ModbusExportEngine;
class ModbusItemBase;

// The front of saving and loading register items, shared by exporters and importers: which items
// take part, how an item is named in a file, the group path and the progress count. The format
// itself is the engine's, which this object owns.
class DORRIKBUS_EXPORT ModbusExporterImporter : public ErrObject, public MyDeclarativeParserStatus
{
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(int processed READ processed NOTIFY processedChanged)
    Q_PROPERTY(QStringList groupPath READ groupPath NOTIFY groupPathChanged)
    Q_PROPERTY(QVariantList items READ items WRITE setItems NOTIFY itemsChanged)
    Q_PROPERTY(bool skipReadOnlyItems READ skipReadOnlyItems WRITE setSkipReadOnlyItems NOTIFY
                   skipReadOnlyItemsChanged)
    Q_PROPERTY(
        int modbusRetries READ modbusRetries WRITE setModbusRetries NOTIFY modbusRetriesChanged)

public:
    explicit ModbusExporterImporter(QObject *parent = nullptr);
    ~ModbusExporterImporter() override;

    int processed() const { return m_processed; }
    QStringList groupPath() const { return m_groupPath; }
    QVariantList items() const { return m_items; }
    bool skipReadOnlyItems() const { return m_skipReadOnlyItems; }
    int modbusRetries() const { return m_modbusRetries; }

    // Takes ownership; a previous engine is deleted.
    void setEngine(ModbusExportEngine *engine);
    ModbusExportEngine *engine() const { return m_engine; }

    // Each item replaced by the root of its source chain, read-only roots left out when asked,
    // every root once, in the order of first appearance.
    QList<ModbusItemBase *> filterItems(const QList<ModbusItemBase *> &items) const;
    Q_INVOKABLE QVariantList filterVariantItems(const QVariantList &items) const;
    Q_INVOKABLE QStringList getGroups();

    // The class name, with the declarative engine's derived types walked back to the class they
    // derive from.
    static QString getModbusClassName(const ModbusItemBase *item);
    // Every "ExportProp" class information of the class and its bases that names a property.
    static QMap<QString, QString> getItemProps(const ModbusItemBase *item);
    // The value as text: the "value" property where the class has one, else the display text.
    static QString getItemValue(const ModbusItemBase *item);
    static bool isDataPair(const ModbusItemBase *item, const ModbusExportData &data);
    // The record of an item as an engine takes it.
    static ModbusExportData exportData(ModbusItemBase *item, bool withValue);
    // The run-time class name and the property texts, as failure messages name an item.
    static QString describeItem(const ModbusItemBase *item, QString *props);

    void componentComplete() override;

public slots:
    void setGroupPath(const QStringList &path);
    void setItems(const QVariantList &items);
    void setSkipReadOnlyItems(bool skip);
    void setModbusRetries(int retries);
    void clear();

signals:
    void processedChanged(int processed);
    void groupPathChanged(const QStringList &path);
    void itemsChanged(const QVariantList &items);
    void skipReadOnlyItemsChanged(bool skip);
    void modbusRetriesChanged(int retries);
    void finished();
    void groupEntered(const QString &group);
    void groupLeft();

protected:
    virtual void initEngine() {}
    void beginGroupInternal(const QString &name);
    void endGroupInternal();

protected slots:
    void setProcessed(int processed);

private:
    int m_processed = 0;
    ModbusExportEngine *m_engine = nullptr;
    QStringList m_groupPath;
    QVariantList m_items;
    bool m_skipReadOnlyItems = true;
    int m_modbusRetries = 2;
};

#endif
