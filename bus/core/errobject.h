#ifndef ERROBJECT_H
#define ERROBJECT_H

#include "dorrikbus_global.h"

#include <QObject>
#include <QString>

// The QObject base of the library's active objects: the last error text and a running count.
// Errors may be reported from any thread; they are applied and signalled on the object's own
// thread, in the order in which they were reported.
class DORRIKBUS_EXPORT ErrObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString errorString READ errorString NOTIFY error)
    Q_PROPERTY(quint64 errorCount READ errorCount NOTIFY errorCountChanged)

public:
    explicit ErrObject(QObject *parent = nullptr);

    // Meant for the object's own thread.
    Q_INVOKABLE QString errorString() const { return m_errorString; }
    quint64 errorCount() const { return m_errorCount; }

    void incrementErrorCount();

public slots:
    // May be called from any thread: from another one it is queued to the object's thread.
    virtual void setErrorString(const QString &text);
    void clearError();

signals:
    void error(const QString &text);
    void errorCountChanged();

private:
    // Both written only on the object's thread.
    QString m_errorString;
    quint64 m_errorCount = 0;
};

#endif
