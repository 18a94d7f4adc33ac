#ifndef PLOTRENDEREVENT_H
#define PLOTRENDEREVENT_H

#include <QEvent>

// Posted by a chart to itself when its picture is out of date; the chart drops the other pending
// ones before it acts, so any number of changes in one pass of the event loop give one render.
class PlotRenderEvent : public QEvent
{
public:
    static constexpr QEvent::Type Type = QEvent::Type(1000);

    PlotRenderEvent() : QEvent(Type) {}
};

#endif
