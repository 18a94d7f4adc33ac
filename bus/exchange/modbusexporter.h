#ifndef MODBUSEXPORTER_H
#define MODBUSEXPORTER_H

#include "modbusexporterimporter.h"
#include "pendingitems.h"

// Saves register items in batches: optionally reads each one from the instrument first, waits
// for the fresh value (retrying failed reads), and hands each item's record to the engine.
class DORRIKBUS_EXPORT ModbusExporter : public ModbusExporterImporter
{
    Q_OBJECT
    Q_PROPERTY(bool waitForRead READ waitForRead WRITE setWaitForRead NOTIFY waitForReadChanged)
    Q_PROPERTY(bool readOnExport READ readOnExport WRITE setReadOnExport NOTIFY readOnExportChanged)

public:
    explicit ModbusExporter(QObject *parent = nullptr);

    bool waitForRead() const { return m_waitForRead; }
    bool readOnExport() const { return m_readOnExport; }

    Q_INVOKABLE void exportItems(const QVariantList &items);
    void exportItems(const QList<ModbusItemBase *> &items);
    Q_INVOKABLE void exportItem(ModbusItemBase *item);
    Q_INVOKABLE bool exportProperty(const QString &name, const QString &value);
    Q_INVOKABLE void clearInternal() { clearExportList(); }

    void componentComplete() override;

public slots:
    void beginGroup(const QString &name);
    void endGroup();
    bool save();
    void setWaitForRead(bool wait);
    void setReadOnExport(bool read);

signals:
    void waitForReadChanged(bool wait);
    void readOnExportChanged(bool read);

protected:
    void initEngine() override;
    void exportItemInternal(ModbusItemBase *item);
    void exportItemsInternal(const QList<ModbusItemBase *> &items);
    // Every item still pending.
    void exportItemsInternal();
    void addItemToRead(ModbusItemBase *item);
    void addItemsToRead(const QList<ModbusItemBase *> &items);
    void readList(const QList<ModbusItemBase *> &items);
    void clearExportList();

private slots:
    void onItemAfterRead();
    void onItemError(const QString &message);
    void onItemDestroyed();

private:
    // Starts a read; one that is not even queued counts as a failed attempt of a pending item.
    void startRead(ModbusItemBase *item);
    // Counts a failed attempt; true when the item is to be read again.
    bool countFailure(ModbusItemBase *item, const QString &message);

    bool m_waitForRead = true;
    bool m_readOnExport = true;
    PendingItems m_pending;
    // The item whose read() is being called: an error it reports from inside the call is that
    // call's failure, counted once by startRead.
    ModbusItemBase *m_starting = nullptr;
};

#endif
