#ifndef FAKECLOCK_H
#define FAKECLOCK_H

#include "timeprovider.h"

#include <QDateTime>

#include <mutex>

// A clock that moves only when a test moves it. Safe to read from the executor thread while the
// test thread sets it.
class FakeClock : public TimeProvider
{
    Q_OBJECT

public:
    explicit FakeClock(const QDateTime &now = QDateTime(QDate(2024, 3, 1), QTime(10, 0)),
                       QObject *parent = nullptr);

    QDateTime currentDateTime() const override;
    void setNow(const QDateTime &now);
    void advance(qint64 msecs);

private:
    mutable std::mutex m_mutex;
    QDateTime m_now;
};

#endif
