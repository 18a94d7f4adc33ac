#ifndef ERROBJECT_H
#define ERROBJECT_H

#include "dorrikbus_global.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <mutex>

// The QObject base of the library's active objects: the last error text and a running count.
// Errors may be reported from any thread; they are applied and signalled on the object's own
// thread, in the order in which they were reported. A thread other than the owner's also finds
// the last text it reported itself at once, since its call returns before the owner's event
// loop has applied it.
class DORRIKBUS_EXPORT ErrObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString errorString READ errorString NOTIFY error)
    Q_PROPERTY(quint64 errorCount READ errorCount NOTIFY errorCountChanged)

public:
    explicit ErrObject(QObject *parent = nullptr);

    // On the object's thread the last error; on another thread the last error that this thread
    // reported to the object, or the last applied one when it reported none.
    Q_INVOKABLE QString errorString() const;
    // Meant for the object's own thread.
    quint64 errorCount() const { return m_errorCount; }

    void incrementErrorCount();

public slots:
    // May be called from any thread: from another one it is queued to the object's thread.
    virtual void setErrorString(const QString &text);
    void clearError();

signals:
    void error(const QString &text);
    void errorCountChanged();
    // Emitted in the reporting thread when an error comes from a thread other than the
    // object's; objects that relay errors connect to it directly to pass the text on at once.
    void threadError(const QString &text);

protected:
    // Keeps the text as the calling thread's own last error and emits threadError; the count,
    // the stored text and the error signal are left to the queued path.
    void setThreadErrorString(const QString &text);

private:
    // Guards m_errorString (written on the object's thread, read from any) and m_threadErrors.
    mutable std::mutex m_mutex;
    QString m_errorString;
    // Per reporting thread other than the owner's, the last text it reported.
    QHash<quint64, QString> m_threadErrors;
    // Written only on the object's thread.
    quint64 m_errorCount = 0;
};

#endif
