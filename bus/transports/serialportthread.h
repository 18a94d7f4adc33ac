#ifndef SERIALPORTTHREAD_H
#define SERIALPORTTHREAD_H

#include "dorrikbus_global.h"

#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>

class QSerialPortInvokable;

// The thread that owns one serial port. run() creates the port wrapper inside the thread and
// then serves the calls re-invoked into it from other threads.
class DORRIKBUS_EXPORT SerialPortThread : public QThread
{
public:
    explicit SerialPortThread(const QString &portName, QObject *parent = nullptr);
    ~SerialPortThread() override;

    // Waits until run() has created the wrapper; never returns null once the thread runs.
    QSerialPortInvokable *serialPort();

    // Deletes the wrapper in the port thread, ends the event loop and joins the thread.
    void shutdown();

protected:
    void run() override;

private:
    QMutex m_mutex; // guards m_serialPort during the start-up handshake
    QWaitCondition m_created;
    QSerialPortInvokable *m_serialPort = nullptr;
    const QString m_portName;
};

#endif
