#ifndef DATARENDEREVENT_H
#define DATARENDEREVENT_H

#include <QEvent>

// Posted to the render worker for every snapshot handed to it; the worker coalesces them and
// renders only the newest pending snapshot.
class DataRenderEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::Type(1000);

    DataRenderEvent() : QEvent(Type) {}
};

#endif
