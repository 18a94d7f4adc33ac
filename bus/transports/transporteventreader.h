#ifndef TRANSPORTEVENTREADER_H
#define TRANSPORTEVENTREADER_H

#include "dorrikbus_global.h"

#include <QThread>

class EventedTransport;
class QTimer;

// The thread that polls one evented link. The reader object itself lives in the link's thread
// (it is the link's child); only its timer lives in the reader thread, so every poll runs there.
class DORRIKBUS_EXPORT TransportEventReader : public QThread
{
    Q_OBJECT

public:
    TransportEventReader(EventedTransport &transport, int interval, QObject *parent = nullptr);
    ~TransportEventReader() override;

    bool active() const { return m_timer != nullptr; }
    void setActive(bool on);
    int interval() const { return m_interval; }
    void setInterval(int ms);

public slots:
    void onConnectedChanged();

private:
    void createTimer();
    void dropTimer();

    EventedTransport &m_transport;
    QTimer *m_timer = nullptr; // created and killed from the link's thread
    int m_interval;
};

#endif
