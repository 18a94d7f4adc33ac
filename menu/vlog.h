#ifndef VLOG_H
#define VLOG_H

#include "vlogrecord.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QMutex>

#include <deque>

class QProcess;

// The program's log: a list model of recent messages, the process's handler of Qt messages,
// a writer of time-stamped lines to a size-limited file and a sink for child processes' output.
// The model and the file are touched in the log's own thread only (appends made elsewhere are
// posted there), except for a fatal message, which is written at once before the abort.
class VLog : public QAbstractTableModel
{
    Q_OBJECT
    Q_PROPERTY(bool debugForward READ debugForward WRITE setDebugForward NOTIFY debugForwardChanged)
    Q_PROPERTY(bool handleAppMessages READ handleAppMessages WRITE setHandleAppMessages NOTIFY
                   handleAppMessagesChanged)
    Q_PROPERTY(VLog::MessageTypes messageTypes READ messageTypes WRITE setMessageTypes NOTIFY
                   messageTypesChanged)
    Q_PROPERTY(bool logToFile READ logToFile WRITE setLogToFile NOTIFY logToFileChanged)
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(qint64 maxLogSize READ maxLogSize WRITE setMaxLogSize NOTIFY maxLogSizeChanged)
    Q_PROPERTY(qint64 maxFileSize READ maxFileSize WRITE setMaxFileSize NOTIFY maxFileSizeChanged)
    Q_PROPERTY(
        int previousFiles READ previousFiles WRITE setPreviousFiles NOTIFY previousFilesChanged)
    Q_PROPERTY(
        QDateTime currentTime READ currentTime WRITE setCurrentTime NOTIFY currentTimeChanged)
    Q_PROPERTY(QString prefix READ prefix WRITE setPrefix NOTIFY prefixChanged)
public:
    enum MessageType {
        Plain = VLogRecord::Plain,
        Debug = VLogRecord::Debug,
        Warning = VLogRecord::Warning,
        Critical = VLogRecord::Critical,
        Fatal = VLogRecord::Fatal
    };
    Q_ENUM(MessageType)
    Q_DECLARE_FLAGS(MessageTypes, MessageType)
    Q_FLAG(MessageTypes)

    // The row's type; the number is the one the log screen was written against.
    static constexpr int StatusRole = 32;

    explicit VLog(QObject *parent = nullptr);
    ~VLog() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    bool debugForward() const;
    void setDebugForward(bool forward);
    bool handleAppMessages() const { return m_handleAppMessages; }
    void setHandleAppMessages(bool handle);
    MessageTypes messageTypes() const { return m_messageTypes; }
    void setMessageTypes(MessageTypes types);
    bool logToFile() const;
    QString fileName() const;
    qint64 maxLogSize() const { return m_maxLogSize; }
    qint64 maxFileSize() const;
    // How many full files are kept beside the current one ("log.txt.1" the newest of them)
    // when it outgrows maxFileSize; 0 deletes it whole.
    int previousFiles() const;
    QDateTime currentTime() const;
    QString prefix() const;

    void attach(QProcess *process);
    void detach(QProcess *process);

public slots:
    void detach();
    void clear();
    void setLogToFile(bool toFile);
    void setFileName(const QString &fileName);
    void setMaxFileSize(qint64 size);
    void setPreviousFiles(int count);
    void setCurrentTime(const QDateTime &time);
    void setMaxLogSize(qint64 size);
    void append(const QString &text, VLog::MessageType type);
    void append(const QString &text);
    void setPrefix(const QString &prefix);
    void onSourceDestroyed();
    void onProcessReadyRead();
    void onProcessReadyReadError();

signals:
    void debugForwardChanged();
    void handleAppMessagesChanged();
    void messageTypesChanged();
    void logToFileChanged(bool toFile);
    void fileNameChanged(const QString &fileName);
    void maxLogSizeChanged(qint64 size);
    void maxFileSizeChanged(quint32 size);
    void previousFilesChanged(int count);
    void currentTimeChanged(const QDateTime &time);
    void prefixChanged(const QString &prefix);

protected:
    void customEvent(QEvent *event) override;

private:
    static void handleMessage(QtMsgType type, const QMessageLogContext &context,
                              const QString &message);
    void post(const QString &text, MessageType type, const QDateTime &time, bool viaHandler);
    void appendRecord(const QString &text, MessageType type, const QDateTime &time,
                      bool viaHandler);
    QString lineText(const QString &text) const;
    void writeLine(const QString &line, MessageType type, const QDateTime &time);
    QDateTime stampNow() const;
    void removeSource(QObject *source);

    std::deque<VLogRecord> m_records;
    QList<QObject *> m_sources; // not owned
    bool m_handleAppMessages = false;
    MessageTypes m_messageTypes = MessageTypes(7);
    qint64 m_maxLogSize = 0;

    // Read by any thread that logs (time stamps, the fatal path); written in the log's thread.
    mutable QMutex m_mutex;
    bool m_debugForward = true;
    bool m_logToFile = false;
    QString m_fileName;
    qint64 m_maxFileSize = 0;
    int m_previousFiles = 1;
    QDateTime m_currentTime;
    bool m_timeFixed = false;
    QString m_prefix;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(VLog::MessageTypes)

#endif // VLOG_H
