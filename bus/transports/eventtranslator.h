#ifndef EVENTTRANSLATOR_H
#define EVENTTRANSLATOR_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "eventdeparser.h"
#include "eventparser.h"
#include "ievent.h"
#include "modbusbytes.h"
#include "qdorrikobject.h"
#include "target.h"
#include "transporter.h"

#include <QPointer>

// Turns the event bytes that a registry relays into event records, and records into bytes sent
// through that registry. Listeners may veto either way.
//
// The event signals pass the record by reference: connect them directly (same thread), so a
// listener sees the whole KeypadEvent or SystemEvent and its veto is read when the emission
// returns. Lives, parses and emits in its owner's thread; event bytes polled in a reader thread
// arrive here queued by the registry.
class DORRIKBUS_EXPORT EventTranslator : public ErrObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit EventTranslator(QObject *parent = nullptr);
    ~EventTranslator() override;

    // Null once an outside registry given to setTransporter was destroyed.
    Transporter *transporter() const { return m_transporter.data(); }
    void setTransporter(Transporter &transporter);
    void registerTransporter(Transporter &transporter);
    void unregisterTransporter(Transporter &transporter);
    bool checkTransporter();

    // The parser keeps the messages of bytes that are no event.
    const EventParser &parser() const { return m_parser; }
    const EventDeparser &deparser() const { return m_deparser; }

    QString toString(bool oneLine = false) const override;

public slots:
    bool send(const IEvent &event, const Target *target);
    void onEventBytesReceived(const ModbusBytes &bytes, const Target *target);
    void onSomeoneDeleted(QObject *sender);

signals:
    void eventReceiving(const IEvent &event, const Target *target, bool &allow);
    void eventReceived(const IEvent &event, const Target *target);
    void eventSending(const IEvent &event, const Target *target, bool &allow);
    void eventSent(const IEvent &event, const Target *target);

private:
    // Guarded: an outside registry destroyed first leaves null here.
    QPointer<Transporter> m_transporter;
    EventParser m_parser;
    EventDeparser m_deparser;
};

#endif
