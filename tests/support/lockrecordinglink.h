#ifndef LOCKRECORDINGLINK_H
#define LOCKRECORDINGLINK_H

#include "fakelink.h"

#include <QStringList>

#include <functional>

class SimulatedInstrument;

// A link to a simulated instrument with the instrument link's lockTransport/unlockTransport:
// locking closes the link, as the instrument's own does, and unlocking reopens it when it was
// open. Each call is recorded in calls() and logged ("test link locked"/"test link unlocked")
// among the program's messages, so a test sees where it came. Exchanges go to the instrument's
// loopback link. GUI thread.
class LockRecordingLink : public FakeLink
{
    Q_OBJECT

public:
    explicit LockRecordingLink(SimulatedInstrument &instrument, QObject *parent = nullptr);

    Q_INVOKABLE void lockTransport();
    Q_INVOKABLE void unlockTransport();

    QStringList calls() const { return m_calls; }
    // Runs after each unlock, as the instrument wakes: a test makes it go silent there, say.
    void setAfterUnlock(std::function<void()> work) { m_afterUnlock = std::move(work); }

private:
    QStringList m_calls;
    std::function<void()> m_afterUnlock;
    bool m_wasConnected = false;
};

#endif
