#include "qserialportinvokable.h"

#include "modbusrtuparser.h"
#include "objectthreadcall.h"

#include <QFile>
#include <QSerialPort>
#include <QThread>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <sys/stat.h>
#endif

#include <chrono>
#include <climits>

namespace {

// The largest RTU frame, and its time on the line at 11 bits a character (start, 8 data,
// parity or a second stop bit, stop).
constexpr int kLargestRtuFrame = 256;

qint64 largestFrameMs(qint32 baudRate)
{
    const qint64 bitsPerSecond = baudRate > 0 ? baudRate : 9600;
    return (kLargestRtuFrame * 11 * 1000 + bitsPerSecond - 1) / bitsPerSecond;
}

bool validDataBits(int v)
{
    return v >= QSerialPort::Data5 && v <= QSerialPort::Data8;
}

bool validParity(int v)
{
    return v == QSerialPort::NoParity ||
           (v >= QSerialPort::EvenParity && v <= QSerialPort::MarkParity);
}

bool validStopBits(int v)
{
    return v >= QSerialPort::OneStop && v <= QSerialPort::OneAndHalfStop;
}

bool validFlowControl(int v)
{
    return v >= QSerialPort::NoFlowControl && v <= QSerialPort::SoftwareControl;
}

// Skip, pass zero, ignore, stop receiving.
bool validDataErrorPolicy(int v)
{
    return v >= 0 && v <= 3;
}

} // namespace

QSerialPortInvokable::QSerialPortInvokable(QObject *parent)
    : QSerialPortInvokable(QString(), parent)
{}

QSerialPortInvokable::QSerialPortInvokable(const QString &portName, QObject *parent)
    : QObject(parent), m_port(new QSerialPort(portName))
{
    // A device that is unplugged, or a terminal whose other side closed, fails its reads with
    // a resource error; nothing comes on that port again until it is opened afresh.
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError)
            m_lost = true;
    });
}

QSerialPortInvokable::~QSerialPortInvokable()
{
    delete m_port;
}

bool QSerialPortInvokable::needInvoke() const
{
    return QThread::currentThread() != thread();
}

void QSerialPortInvokable::setPortName(const QString &arg)
{
    callInObjectThread(*this, [&] { m_port->setPortName(arg); });
}

qint64 QSerialPortInvokable::write(const QByteArray &data)
{
    return callInObjectThread(
        *this, [&]() -> qint64 { return m_port->isOpen() ? m_port->write(data) : 0; });
}

bool QSerialPortInvokable::waitForBytesWritten(int msecs)
{
    return callInObjectThread(
        *this, [&] { return m_port->isOpen() && m_port->waitForBytesWritten(msecs); });
}

bool QSerialPortInvokable::waitForReadyRead(int msecs)
{
    return callInObjectThread(*this,
                              [&] { return m_port->isOpen() && m_port->waitForReadyRead(msecs); });
}

QByteArray QSerialPortInvokable::readAll()
{
    return callInObjectThread(*this,
                              [&] { return m_port->isOpen() ? m_port->readAll() : QByteArray(); });
}

bool QSerialPortInvokable::open(QIODevice::OpenMode mode)
{
    return callInObjectThread(*this, [&] {
        if (!m_port->open(mode))
            return false;
        m_lost = false;
        if (!deviceIdentity(&m_openedDevice, &m_openedInode))
            m_openedDevice = m_openedInode = 0;
        return true;
    });
}

bool QSerialPortInvokable::deviceIdentity(dev_t *device, ino_t *inode) const
{
#ifdef Q_OS_UNIX
    // Named as QSerialPort names it: a bare name lies in /dev.
    QString location = m_port->portName();
    if (!location.startsWith(QLatin1Char('/')))
        location.prepend(QLatin1String("/dev/"));
    struct stat info;
    if (::stat(QFile::encodeName(location).constData(), &info) != 0)
        return false;
    *device = S_ISCHR(info.st_mode) ? info.st_rdev : info.st_dev;
    *inode = info.st_ino;
    return true;
#else
    *device = 0;
    *inode = 0;
    return true;
#endif
}

void QSerialPortInvokable::checkDeviceStillThere()
{
    if (m_lost || !m_port->isOpen())
        return;
#ifdef Q_OS_UNIX
    // A terminal that was hung up (an adapter unplugged, a pseudo-terminal whose other side
    // closed) only reports the hang-up: its reads time out, they do not fail.
    pollfd state = {int(m_port->handle()), POLLIN, 0};
    if (state.fd >= 0 && ::poll(&state, 1, 0) > 0 &&
        (state.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        m_lost = true;
        return;
    }
#endif
    dev_t device = 0;
    ino_t inode = 0;
    if (!deviceIdentity(&device, &inode) || device != m_openedDevice || inode != m_openedInode)
        m_lost = true;
}

void QSerialPortInvokable::close()
{
    callInObjectThread(*this, [&] {
        if (m_port->isOpen())
            m_port->close();
    });
}

void QSerialPortInvokable::clearInput()
{
    callInObjectThread(*this, [&] {
        if (!m_port->isOpen())
            return;
        m_port->readAll();
        // Bytes still in the driver's queue are as stale as those already read in.
        m_port->clear(QSerialPort::Input);
    });
}

QString QSerialPortInvokable::errString()
{
    return callInObjectThread(*this, [&] { return m_port->errorString(); });
}

SerialPortOptions QSerialPortInvokable::getOptions()
{
    return callInObjectThread(*this, [&] {
        SerialPortOptions options;
        options.baudRate = 0;
        options.dataBits = m_port->dataBits();
        options.parity = m_port->parity();
        options.stopBits = m_port->stopBits();
        options.flowControl = m_port->flowControl();
        options.dataErrorPolicy = m_dataErrorPolicy;
        options.dtr = m_port->isOpen() && m_port->isDataTerminalReady();
        return options;
    });
}

bool QSerialPortInvokable::setOptions(const SerialPortOptions &options, QString *returnErrorString)
{
    return callInObjectThread(*this, [&] {
        QString text;
        bool ok = true;
        auto refuse = [&](const QString &line) {
            text += line + QLatin1Char('\n');
            ok = false;
        };
        // Every setting is tried even after one fails, so that one message lists them all.
        if (options.baudRate <= 0 || !m_port->setBaudRate(options.baudRate))
            refuse(tr("can't set 'baudRate' property to: %1").arg(options.baudRate));
        if (!validDataBits(options.dataBits) ||
            !m_port->setDataBits(QSerialPort::DataBits(options.dataBits)))
            refuse(tr("can't set 'dataBits' property to: %1").arg(options.dataBits));
        if (!validParity(options.parity) || !m_port->setParity(QSerialPort::Parity(options.parity)))
            refuse(tr("can't set 'parity' property to: %1").arg(options.parity));
        if (!validStopBits(options.stopBits) ||
            !m_port->setStopBits(QSerialPort::StopBits(options.stopBits)))
            refuse(tr("can't set 'stopBits' property to: %1").arg(options.stopBits));
        if (!validFlowControl(options.flowControl) ||
            !m_port->setFlowControl(QSerialPort::FlowControl(options.flowControl)))
            refuse(tr("can't set 'flowControl' property to: %1").arg(options.flowControl));
        if (validDataErrorPolicy(options.dataErrorPolicy))
            m_dataErrorPolicy = options.dataErrorPolicy;
        else
            refuse(tr("can't set 'dataErrorPolicy' property to: %1").arg(options.dataErrorPolicy));
        // Only a change is applied: ports that cannot drive or report modem lines (pseudo
        // terminals, some adapters) must still open with the default line state.
        if (m_port->isOpen() && m_port->isDataTerminalReady() != options.dtr &&
            !m_port->setDataTerminalReady(options.dtr))
            refuse(tr("can't set 'dtr' property to: %1").arg(options.dtr ? 1 : 0));
        if (returnErrorString)
            *returnErrorString = text;
        return ok;
    });
}

bool QSerialPortInvokable::setOptions(const SerialPortOptions &options)
{
    return setOptions(options, nullptr);
}

bool QSerialPortInvokable::rts()
{
    return callInObjectThread(*this, [&] { return m_port->isRequestToSend(); });
}

bool QSerialPortInvokable::setRts(bool on)
{
    return callInObjectThread(*this, [&] { return m_port->setRequestToSend(on); });
}

qint64 QSerialPortInvokable::bytesAvailable()
{
    return callInObjectThread(*this, [&] { return m_port->bytesAvailable(); });
}

bool QSerialPortInvokable::portIsOpen() const
{
    return m_port->isOpen();
}

qint64 QSerialPortInvokable::clockMs() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void QSerialPortInvokable::sleepMs(int msecs)
{
    QThread::msleep(static_cast<unsigned long>(msecs));
}

bool QSerialPortInvokable::transmit(const QByteArray &data, bool controlRts, int rtsDelay)
{
    if (controlRts)
        setRts(true);
    const qint64 written = write(data);
    // The transport's write time-out is not used: the frame is short and must leave whole.
    waitForBytesWritten(INT_MAX);
    if (controlRts) {
        sleepMs(rtsDelay);
        setRts(false);
    }
    return written == data.size();
}

bool QSerialPortInvokable::writeFrame(const QByteArray &data, bool controlRts, int rtsDelay)
{
    return callInObjectThread(*this,
                              [&] { return portIsOpen() && transmit(data, controlRts, rtsDelay); });
}

QByteArray QSerialPortInvokable::writeAndRead(const QByteArray &data, int readTimeout,
                                              int byteTimeout, bool controlRts, int rtsDelay)
{
    return callInObjectThread(*this, [&] {
        if (!portIsOpen())
            return QByteArray();
        transmit(data, controlRts, rtsDelay);
        // A line that never falls silent (a second master, a wrong baud rate, a stuck
        // transmitter) must still end the exchange: by then even the largest frame would have
        // started, come whole and been followed by its silence.
        const qint64 deadline =
            clockMs() + readTimeout + largestFrameMs(m_port->baudRate()) + byteTimeout;
        // An answer that came in while the frame was draining is already buffered; waiting
        // for further bytes then would report a time-out for an answer that is there.
        if (bytesAvailable() <= 0 && !waitForReadyRead(qMax(readTimeout, 0))) {
            // No answer: perhaps no device is behind the port any more.
            checkDeviceStillThere();
            return QByteArray();
        }
        QByteArray answer;
        for (;;) {
            answer += readAll();
            // The whole answer to this request, its CRC valid, needs no closing silence. What
            // follows it is dropped with the input before the next request.
            if (const int size = ModbusRTUParser::wholeAnswerSize(data, answer))
                return answer.left(size);
            // Otherwise a silence of byteTimeout ends the answer; none is longer than the
            // largest frame.
            if (answer.size() >= kLargestRtuFrame)
                break;
            const qint64 left = deadline - clockMs();
            // Bytes up to the deadline are no answer: the caller reports a time-out.
            if (left <= 0)
                return QByteArray();
            const int wait = int(qMin<qint64>(byteTimeout, left));
            if (!waitForReadyRead(wait)) {
                // A wait cut short by the deadline is no silence that ends an answer.
                if (wait < byteTimeout)
                    return QByteArray();
                break;
            }
        }
        return answer.left(kLargestRtuFrame);
    });
}
