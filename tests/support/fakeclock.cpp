#include "fakeclock.h"

FakeClock::FakeClock(const QDateTime &now, QObject *parent) : TimeProvider(parent), m_now(now) {}

QDateTime FakeClock::currentDateTime() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_now;
}

void FakeClock::setNow(const QDateTime &now)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_now = now;
}

void FakeClock::advance(qint64 msecs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_now = m_now.addMSecs(msecs);
}
