#ifndef MODBUSITEMEXPORTER_H
#define MODBUSITEMEXPORTER_H

#include "errobject.h"

#include <QPointer>

class ModbusItemBase;

// An export of one item. It runs to its end inside start(), unless the exporter defers its end
// (an export written in slices from the event loop); stop() then ends it without success.
class DORRIKBUS_EXPORT ModbusItemExporter : public ErrObject
{
    Q_OBJECT
    Q_MOC_INCLUDE("modbusitembase.h")
    Q_PROPERTY(ModbusItemBase *item READ item WRITE setItem NOTIFY itemChanged)
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)

public:
    explicit ModbusItemExporter(QObject *parent = nullptr);

    // Null once the item is destroyed.
    ModbusItemBase *item() const { return m_item; }
    bool running() const { return m_running; }

public slots:
    // True when the export succeeded, or, for a deferred one, when it has begun.
    bool start();
    // Ends a deferred export that still runs: no completed(), nothing left of its file. An
    // export that runs inside start() cannot be interrupted.
    void stop();
    void setItem(ModbusItemBase *item);
    void setRunning(bool running);

signals:
    void itemChanged(ModbusItemBase *item);
    void runningChanged(bool running);
    void started();
    void completed();

protected:
    virtual bool startInternal() = 0;
    // Asks a deferred export to stop; it calls finish(false) when it has.
    virtual void stopInternal() {}
    // Called from startInternal(): the export goes on after start() returns and ends with
    // finish().
    void deferFinish() { m_deferred = true; }
    void finish(bool success);

private:
    QPointer<ModbusItemBase> m_item; // not owned
    bool m_running = false;
    bool m_deferred = false;
};

#endif
