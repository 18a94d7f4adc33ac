#include "vlog.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// The handling log, for the whole process. Threads other than the log's own read it under
// handlerMutex, which the log takes to stop handling before it is destroyed.
QMutex handlerMutex;
std::atomic<VLog *> handlingLog{nullptr};
std::atomic<QThread *> handlingThread{nullptr};
std::atomic<int> handledTypes{7};
std::atomic<QtMessageHandler> previousHandler{nullptr};

// Per thread: a message raised while that thread appends is dropped, not recorded twice.
thread_local bool appending = false;

// One writer of log files at a time: the fatal path writes from any thread.
QMutex fileMutex;

const char *const TimeFormat = "yyyy.MM.dd hh:mm:ss.zzz";

// Qt 6 never reports "no handler": the default one has an address, found by swapping.
QtMessageHandler qtDefaultHandler()
{
    static const QtMessageHandler handler = [] {
        const QtMessageHandler current = qInstallMessageHandler(nullptr);
        return qInstallMessageHandler(current);
    }();
    return handler;
}

class PostedMessage : public QEvent
{
public:
    static QEvent::Type eventType()
    {
        static const int type = QEvent::registerEventType();
        return QEvent::Type(type);
    }

    PostedMessage(const QString &text, VLog::MessageType messageType, const QDateTime &time,
                  bool viaHandler)
        : QEvent(eventType()), text(text), messageType(messageType), time(time),
          viaHandler(viaHandler)
    {}

    const QString text;
    const VLog::MessageType messageType;
    const QDateTime time;
    const bool viaHandler;
};

} // namespace

VLog::VLog(QObject *parent) : QAbstractTableModel(parent)
{
    qtDefaultHandler();
}

VLog::~VLog()
{
    setHandleAppMessages(false);
}

int VLog::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

int VLog::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant VLog::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() != 0 || index.row() < 0 ||
        size_t(index.row()) >= m_records.size())
        return QVariant();
    const VLogRecord &record = m_records[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return record.text();
    case StatusRole:
        return int(record.type());
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> VLog::roleNames() const
{
    return {{Qt::DisplayRole, "message"}, {StatusRole, "status"}};
}

bool VLog::debugForward() const
{
    QMutexLocker lock(&m_mutex);
    return m_debugForward;
}

void VLog::setDebugForward(bool forward)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_debugForward == forward)
            return;
        m_debugForward = forward;
    }
    emit debugForwardChanged();
}

void VLog::setHandleAppMessages(bool handle)
{
    if (m_handleAppMessages == handle)
        return;
    if (handle) {
        const QtMessageHandler before = qInstallMessageHandler(&VLog::handleMessage);
        if (before != qtDefaultHandler() || handlingLog.load()) {
            qInstallMessageHandler(before);
            m_handleAppMessages = true;
            qWarning().noquote() << tr("Message handler is also exists. Someone else handles "
                                       "application messages.");
            return;
        }
        {
            QMutexLocker lock(&handlerMutex);
            handledTypes = int(m_messageTypes);
            previousHandler = before;
            handlingThread = thread();
            handlingLog = this;
        }
        m_handleAppMessages = true;
    } else {
        m_handleAppMessages = false;
        // Only the log that installed the handler takes it away again.
        if (handlingLog.load() == this) {
            QMutexLocker lock(&handlerMutex);
            handlingLog = nullptr;
            handlingThread = nullptr;
            qInstallMessageHandler(nullptr);
            previousHandler = nullptr;
        }
    }
    emit handleAppMessagesChanged();
}

void VLog::setMessageTypes(MessageTypes types)
{
    if (m_messageTypes == types)
        return;
    m_messageTypes = types;
    if (handlingLog.load() == this)
        handledTypes = int(types);
    emit messageTypesChanged();
}

bool VLog::logToFile() const
{
    QMutexLocker lock(&m_mutex);
    return m_logToFile;
}

QString VLog::fileName() const
{
    QMutexLocker lock(&m_mutex);
    return m_fileName;
}

qint64 VLog::maxFileSize() const
{
    QMutexLocker lock(&m_mutex);
    return m_maxFileSize;
}

QDateTime VLog::currentTime() const
{
    return stampNow();
}

QString VLog::prefix() const
{
    QMutexLocker lock(&m_mutex);
    return m_prefix;
}

void VLog::attach(QProcess *process)
{
    if (!process || m_sources.contains(process))
        return;
    m_sources.append(process);
    connect(process, &QObject::destroyed, this, &VLog::onSourceDestroyed);
    connect(process, &QProcess::readyReadStandardOutput, this, &VLog::onProcessReadyRead);
    connect(process, &QProcess::readyReadStandardError, this, &VLog::onProcessReadyReadError);
}

void VLog::detach(QProcess *process)
{
    if (!process)
        return;
    disconnect(process, &QObject::destroyed, this, &VLog::onSourceDestroyed);
    disconnect(process, &QProcess::readyReadStandardOutput, this, &VLog::onProcessReadyRead);
    disconnect(process, &QProcess::readyReadStandardError, this, &VLog::onProcessReadyReadError);
    m_sources.removeAll(process);
}

void VLog::detach()
{
    removeSource(sender());
}

void VLog::clear()
{
    beginResetModel();
    m_records.clear();
    endResetModel();
}

void VLog::setLogToFile(bool toFile)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_logToFile == toFile)
            return;
        m_logToFile = toFile;
    }
    emit logToFileChanged(toFile);
}

void VLog::setFileName(const QString &fileName)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_fileName == fileName)
            return;
        m_fileName = fileName;
    }
    emit fileNameChanged(fileName);
}

void VLog::setMaxFileSize(qint64 size)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_maxFileSize == size)
            return;
        m_maxFileSize = size;
    }
    emit maxFileSizeChanged(quint32(quint64(size) & 0xFFFFFFFFu));
}

int VLog::previousFiles() const
{
    QMutexLocker lock(&m_mutex);
    return m_previousFiles;
}

void VLog::setPreviousFiles(int count)
{
    count = qMax(count, 0);
    {
        QMutexLocker lock(&m_mutex);
        if (m_previousFiles == count)
            return;
        m_previousFiles = count;
    }
    emit previousFilesChanged(count);
}

void VLog::setCurrentTime(const QDateTime &time)
{
    {
        QMutexLocker lock(&m_mutex);
        // Fixed from now on even when the value does not change.
        m_timeFixed = true;
        if (m_currentTime == time)
            return;
        m_currentTime = time;
    }
    emit currentTimeChanged(time);
}

void VLog::setMaxLogSize(qint64 size)
{
    if (m_maxLogSize == size)
        return;
    m_maxLogSize = size;
    emit maxLogSizeChanged(size);
}

void VLog::append(const QString &text, VLog::MessageType type)
{
    if (QThread::currentThread() != thread())
        post(text, type, stampNow(), false);
    else
        appendRecord(text, type, stampNow(), false);
}

void VLog::append(const QString &text)
{
    append(text, Plain);
}

void VLog::setPrefix(const QString &prefix)
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_prefix == prefix)
            return;
        m_prefix = prefix;
    }
    emit prefixChanged(prefix);
}

void VLog::onSourceDestroyed()
{
    removeSource(sender());
}

void VLog::onProcessReadyRead()
{
    auto *process = qobject_cast<QProcess *>(sender());
    if (!process)
        return;
    const QByteArray output = process->readAllStandardOutput();
    if (output.isEmpty())
        return;
    // The text ends at the first zero byte.
    append(QString::fromLocal8Bit(output.constData()), Plain);
}

void VLog::onProcessReadyReadError()
{
    auto *process = qobject_cast<QProcess *>(sender());
    if (!process)
        return;
    append(QString::fromLocal8Bit(process->readAllStandardError().constData()), Fatal);
}

void VLog::customEvent(QEvent *event)
{
    if (event->type() != PostedMessage::eventType())
        return QAbstractTableModel::customEvent(event);
    const auto *message = static_cast<PostedMessage *>(event);
    appendRecord(message->text, message->messageType, message->time, message->viaHandler);
}

void VLog::handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const int mask = handledTypes;
    MessageType recordType = Plain;
    bool record = false;
    switch (type) {
    case QtDebugMsg:
    case QtInfoMsg:
        recordType = Debug;
        record = mask & 1;
        break;
    case QtWarningMsg:
        recordType = Warning;
        record = mask & 2;
        break;
    case QtCriticalMsg:
        recordType = Critical;
        record = (mask & 3) == 3;
        break;
    case QtFatalMsg:
        recordType = Fatal;
        record = mask & 4;
        break;
    }

    // What this thread raises while it appends is never recorded (and must not wait for the
    // locks that the append may hold).
    if (record && !appending) {
        if (QThread::currentThread() == handlingThread.load()) {
            if (VLog *log = handlingLog.load())
                log->appendRecord(message, recordType, log->stampNow(), true);
        } else {
            QMutexLocker lock(&handlerMutex);
            if (VLog *log = handlingLog.load()) {
                if (type == QtFatalMsg) {
                    // The process ends before the log's thread could take a posted message.
                    appending = true;
                    log->writeLine(log->lineText(message), Fatal, log->stampNow());
                    appending = false;
                } else {
                    log->post(message, recordType, log->stampNow(), true);
                }
            }
        }
        if (type == QtFatalMsg)
            std::abort();
    }

    if (const QtMessageHandler previous = previousHandler.load()) {
        previous(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        std::fflush(stderr);
    }
}

void VLog::post(const QString &text, MessageType type, const QDateTime &time, bool viaHandler)
{
    QCoreApplication::postEvent(this, new PostedMessage(text, type, time, viaHandler));
}

void VLog::appendRecord(const QString &text, MessageType type, const QDateTime &time,
                        bool viaHandler)
{
    if (appending)
        return;
    appending = true;

    const int row = int(m_records.size());
    beginInsertRows(QModelIndex(), row, row);
    const QString line = lineText(text);
    // A message that came through our own handler would come back to it.
    if (debugForward() && !(viaHandler && handlingLog.load() == this))
        qWarning() << line.trimmed();
    m_records.emplace_back(line, time, VLogRecord::MessageType(type));
    endInsertRows();

    writeLine(line, type, time);

    if (m_maxLogSize > 0 && qint64(m_records.size()) > m_maxLogSize) {
        const int excess = int(qint64(m_records.size()) - m_maxLogSize);
        beginRemoveRows(QModelIndex(), 0, excess - 1);
        m_records.erase(m_records.begin(), m_records.begin() + excess);
        endRemoveRows();
    }
    appending = false;
}

QString VLog::lineText(const QString &text) const
{
    const QString before = prefix();
    return before.isEmpty() ? text : before + QLatin1Char(' ') + text;
}

void VLog::writeLine(const QString &line, MessageType type, const QDateTime &time)
{
    QString fileName;
    qint64 maxFileSize = 0;
    int previousFiles = 0;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_logToFile || m_fileName.isEmpty())
            return;
        fileName = m_fileName;
        maxFileSize = m_maxFileSize;
        previousFiles = m_previousFiles;
    }

    QMutexLocker lock(&fileMutex);
    const QFileInfo info(fileName);
    if (!info.exists()) {
        const QDir folder = info.absoluteDir();
        if (!folder.exists() && !QDir().mkpath(folder.absolutePath()))
            qWarning() << "can't create log directory" << folder.absolutePath();
    }
    if (maxFileSize > 0 && info.exists() && info.size() > maxFileSize) {
        // The full file becomes the newest previous one, so the lines before a failure survive
        // the next rotation; only the oldest previous file goes.
        const auto previous = [&fileName](int n) {
            return fileName + QLatin1Char('.') + QString::number(n);
        };
        bool moved = previousFiles > 0;
        if (moved) {
            QFile::remove(previous(previousFiles));
            for (int n = previousFiles - 1; n >= 1; --n)
                QFile::rename(previous(n), previous(n + 1));
            moved = QFile::rename(fileName, previous(1));
        }
        if (!moved && !QFile::remove(fileName))
            qWarning() << "can't remove log file" << fileName;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        qWarning() << "can't write log to file" << fileName;
        return;
    }
    const QString text = time.toString(QLatin1String(TimeFormat)) +
                         QString::number(int(type)).leftJustified(5) + line + QLatin1Char('\n');
    file.write(text.toUtf8());
}

QDateTime VLog::stampNow() const
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_timeFixed)
            return m_currentTime;
    }
    return QDateTime::currentDateTime();
}

void VLog::removeSource(QObject *source)
{
    if (!source)
        return;
    disconnect(source, nullptr, this, nullptr);
    m_sources.removeAll(source);
}
