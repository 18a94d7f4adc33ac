#ifndef CANCELMESSAGEEVENT_H
#define CANCELMESSAGEEVENT_H

#include "dorrikbus_global.h"

#include <QObject>

// Sent by pointer with a signal that announces an action (restart, sleep, shut-down); the sender
// reads cancel() when the emission returns, so any receiver can veto the action.
class DORRIKBUS_EXPORT CancelMessageEvent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool cancel READ cancel WRITE setCancel)

public:
    explicit CancelMessageEvent(QObject *parent = nullptr);
    // A new object: the flag is copied, the parent is not.
    CancelMessageEvent(const CancelMessageEvent &other);

    bool cancel() const { return m_cancel; }
    void setCancel(bool cancel);

private:
    bool m_cancel = false;
};

#endif
