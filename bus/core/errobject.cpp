#include "errobject.h"

#include <QThread>

ErrObject::ErrObject(QObject *parent) : QObject(parent) {}

void ErrObject::incrementErrorCount()
{
    ++m_errorCount;
    emit errorCountChanged();
}

void ErrObject::setErrorString(const QString &text)
{
    if (QThread::currentThread() != thread()) {
        // Queued events from one thread are delivered in order, so errors keep their order.
        QMetaObject::invokeMethod(
            this, [this, text] { setErrorString(text); }, Qt::QueuedConnection);
        return;
    }
    m_errorString = text;
    incrementErrorCount();
    emit error(m_errorString);
}

void ErrObject::clearError()
{
    setErrorString(QStringLiteral(""));
}
