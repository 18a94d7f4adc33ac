#ifndef MODBUSIMPORTER_H
#define MODBUSIMPORTER_H

#include "modbusexporterimporter.h"
#include "pendingitems.h"

#include <QSet>
#include <QVariantMap>

// Loads register items in batches: the engine pairs the file's records with the items, each
// paired item takes the file's value and, optionally, is written to the instrument (retrying
// failed writes).
class DORRIKBUS_EXPORT ModbusImporter : public ModbusExporterImporter
{
    Q_OBJECT
    Q_PROPERTY(
        bool writeOnImport READ writeOnImport WRITE setWriteOnImport NOTIFY writeOnImportChanged)

public:
    explicit ModbusImporter(QObject *parent = nullptr);

    bool writeOnImport() const { return m_writeOnImport; }

    Q_INVOKABLE bool importItems(const QVariantList &items);
    bool importItems(const QList<ModbusItemBase *> &items);
    // Empty when the file holds no such property.
    Q_INVOKABLE QString importProperty(const QString &name);
    Q_INVOKABLE void clearInternal() { clearImportItems(); }
    // Drops the batch and the writes of it that are queued but not yet sent.
    Q_INVOKABLE void cancelInternal();
    // Pairs the items with the file's records at the current level and converts every paired
    // value without setting or writing anything: "loaded" (the file could be read), "paired"
    // (how many items the file holds values for), "refused" (the first item whose value does
    // not convert or fit, or null) and "value" (that value's text).
    Q_INVOKABLE QVariantMap checkItems(const QVariantList &items);

public slots:
    // Moves the engine only: the group path is the exporter's.
    bool beginGroup(const QString &name);
    void endGroup();
    void setWriteOnImport(bool write);

signals:
    void writeOnImportChanged(bool write);

protected:
    void initEngine() override;
    void addItemToWriteList(ModbusItemBase *item);
    void addItemsToWriteList(const QList<ModbusItemBase *> &items);
    void clearImportItems();

private slots:
    void onItemImportValue(ModbusItemBase *item, const QString &value);
    void onItemAfterWrite();
    void onItemError(const QString &message);
    void onItemDestroyed();

private:
    // Starts a write; one that is not even queued counts as a failed attempt.
    void startWrite(ModbusItemBase *item);
    // Counts a failed attempt; true when the item is to be written again.
    bool countFailure(ModbusItemBase *item, const QString &message);

    bool m_writeOnImport = true;
    PendingItems m_pending;
    // The item whose write() is being called (see ModbusExporter).
    ModbusItemBase *m_starting = nullptr;
    // Items of the running engine call whose file value did not convert or fit.
    QSet<ModbusItemBase *> m_refused;
    // checkItems() is pairing: values are converted only.
    bool m_checking = false;
    ModbusItemBase *m_firstRefused = nullptr;
    QString m_firstRefusedValue;
};

#endif
