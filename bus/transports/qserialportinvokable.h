#ifndef QSERIALPORTINVOKABLE_H
#define QSERIALPORTINVOKABLE_H

#include "dorrikbus_global.h"
#include "serialportoptions.h"

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>

#include <atomic>
#include <sys/types.h>

class QSerialPort;

// A QSerialPort belongs to the thread that created it. The wrapper lives in the port thread;
// each operation called from another thread re-runs itself there and blocks the caller until
// it has run. writeAndRead holds one whole timed RTU exchange so that writing, RTS handling and
// reading the answer run back to back in the port thread.
class DORRIKBUS_EXPORT QSerialPortInvokable : public QObject
{
    Q_OBJECT
public:
    explicit QSerialPortInvokable(QObject *parent = nullptr);
    QSerialPortInvokable(const QString &portName, QObject *parent = nullptr);
    ~QSerialPortInvokable() override;

    Q_INVOKABLE void setPortName(const QString &arg);
    Q_INVOKABLE void clearInput();
    Q_INVOKABLE QString errString();
    Q_INVOKABLE SerialPortOptions getOptions();
    Q_INVOKABLE bool setOptions(const SerialPortOptions &options, QString *returnErrorString);
    Q_INVOKABLE bool setOptions(const SerialPortOptions &options);
    Q_INVOKABLE bool rts();
    Q_INVOKABLE virtual bool setRts(bool on);
    Q_INVOKABLE virtual qint64 bytesAvailable();
    // Ends as soon as the bytes read form the whole answer to `data` with a valid CRC, else
    // after a silence of byteTimeout; empty when nothing came within readTimeout.
    Q_INVOKABLE QByteArray writeAndRead(const QByteArray &data, int readTimeout, int byteTimeout,
                                        bool controlRts, int rtsDelay);
    // The transmit half of writeAndRead (RTS, write, drain, RTS delay): a slave's answer needs
    // no read phase. Returns false when the port is closed or not every byte was written.
    Q_INVOKABLE bool writeFrame(const QByteArray &data, bool controlRts, int rtsDelay);

    // The port itself, without a thread hop: only for connecting to its notifications.
    QSerialPort *innerSerialPort() const { return m_port; }
    // Since the last open the device went away: the port reported it gone, or its name now
    // leads to another device or to none (an adapter plugged in again, a link re-pointed).
    // Readable from any thread.
    bool portLost() const { return m_lost.load(); }
    bool needInvoke() const;

public slots:
    virtual qint64 write(const QByteArray &data);
    virtual bool waitForBytesWritten(int msecs);
    virtual bool waitForReadyRead(int msecs);
    virtual QByteArray readAll();
    virtual bool open(QIODevice::OpenMode mode);
    virtual void close();

protected:
    // Seams for the exchange's timing, so that a fake port can record them.
    virtual bool portIsOpen() const;
    virtual void sleepMs(int msecs);
    // A monotonic clock in milliseconds.
    virtual qint64 clockMs() const;

private:
    bool transmit(const QByteArray &data, bool controlRts, int rtsDelay);
    // The device behind the port's name now (following links); false when there is none.
    bool deviceIdentity(dev_t *device, ino_t *inode) const;
    void checkDeviceStillThere();

    QSerialPort *m_port; // owned, used only in the port thread
    // Qt 6 has no data error policy; the chosen one is kept so that it reads back as set.
    int m_dataErrorPolicy = 2;
    // Port thread: the device opened last.
    dev_t m_openedDevice = 0;
    ino_t m_openedInode = 0;
    std::atomic<bool> m_lost{false};
};

#endif
