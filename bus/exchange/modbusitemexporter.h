#ifndef MODBUSITEMEXPORTER_H
#define MODBUSITEMEXPORTER_H

#include "errobject.h"

#include <QPointer>

class ModbusItemBase;

// An export of one item that runs to its end inside start().
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
    bool start();
    // An export cannot be interrupted.
    void stop() {}
    void setItem(ModbusItemBase *item);
    void setRunning(bool running);

signals:
    void itemChanged(ModbusItemBase *item);
    void runningChanged(bool running);
    void started();
    void completed();

protected:
    virtual bool startInternal() = 0;

private:
    QPointer<ModbusItemBase> m_item; // not owned
    bool m_running = false;
};

#endif
