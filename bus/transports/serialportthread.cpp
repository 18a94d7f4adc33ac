#include "serialportthread.h"

#include "qserialportinvokable.h"

#include <QMutexLocker>

SerialPortThread::SerialPortThread(const QString &portName, QObject *parent)
    : QThread(parent), m_portName(portName)
{}

SerialPortThread::~SerialPortThread()
{
    shutdown();
}

QSerialPortInvokable *SerialPortThread::serialPort()
{
    QMutexLocker lock(&m_mutex);
    while (!m_serialPort)
        m_created.wait(&m_mutex);
    return m_serialPort;
}

void SerialPortThread::shutdown()
{
    if (!isRunning())
        return;
    // Deferred deletes still pending when the loop ends are run as the thread finishes, so the
    // wrapper (and with it the port) goes in its own thread.
    serialPort()->deleteLater();
    exit(0);
    wait();
    QMutexLocker lock(&m_mutex);
    m_serialPort = nullptr;
}

void SerialPortThread::run()
{
    {
        QMutexLocker lock(&m_mutex);
        m_serialPort = new QSerialPortInvokable(m_portName);
    }
    m_created.wakeAll();
    exec();
}
