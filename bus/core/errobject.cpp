#include "errobject.h"

#include <QThread>

#include <atomic>

namespace {

// A key per thread that is never reused, unlike a system thread id, so that a new thread
// does not find the text of a finished one.
quint64 callingThreadKey()
{
    static std::atomic<quint64> lastKey{0};
    thread_local const quint64 key = ++lastKey;
    return key;
}

} // namespace

ErrObject::ErrObject(QObject *parent) : QObject(parent) {}

QString ErrObject::errorString() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (QThread::currentThread() != thread()) {
        const auto own = m_threadErrors.constFind(callingThreadKey());
        if (own != m_threadErrors.cend())
            return *own;
    }
    return m_errorString;
}

void ErrObject::incrementErrorCount()
{
    ++m_errorCount;
    emit errorCountChanged();
}

void ErrObject::setErrorString(const QString &text)
{
    if (QThread::currentThread() != thread()) {
        setThreadErrorString(text);
        // Queued events from one thread are delivered in order, so errors keep their order.
        QMetaObject::invokeMethod(
            this, [this, text] { setErrorString(text); }, Qt::QueuedConnection);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_errorString = text;
    }
    incrementErrorCount();
    emit error(text);
}

void ErrObject::clearError()
{
    setErrorString(QStringLiteral(""));
}

void ErrObject::setThreadErrorString(const QString &text)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_threadErrors.insert(callingThreadKey(), text);
    }
    emit threadError(text);
}
