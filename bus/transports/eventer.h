#ifndef EVENTER_H
#define EVENTER_H

#include "dorrikbus_global.h"
#include "errobject.h"
#include "eventedtransport.h"
#include "eventtranslator.h"
#include "ievent.h"
#include "qdorrikobject.h"
#include "target.h"
#include "transporter.h"

class ModbusC55Client;
class ModbusLibusbClient;

// The instrument's events as plain signals: key codes from its keypad and system event codes,
// from the one evented link set as `transport`. Lives in its creator's thread (the GUI thread
// when QML declares it); the signals are emitted there.
class DORRIKBUS_EXPORT Eventer : public ErrObject, public QDorrikObject
{
    Q_OBJECT
    Q_PROPERTY(
        EventedTransport *transport READ transport WRITE setTransport NOTIFY transportChanged)

public:
    explicit Eventer(QObject *parent = nullptr);
    Eventer(QObject *parent, Transporter &transporter);
    ~Eventer() override;

    // The first link of the translator's registry; null when it has none, or no registry.
    EventedTransport *transport() const;
    // Holds at most one link, not owned. Without a registry (an outside one was destroyed)
    // nothing changes and the error is "transporter == null".
    void setTransport(EventedTransport *transport);

    Transporter *transporter() const { return m_translator.transporter(); }
    void setTransporter(Transporter &transporter);
    EventTranslator &translator() { return m_translator; }

    bool connectTransports();
    bool disconnectTransports();

    // Link factories: each makes a link of one kind owned by the Eventer, so it goes with it, and
    // adds it to the translator's registry, which does not own it.
    ModbusLibusbClient *addLibusbClient();
    ModbusC55Client *addC55Client();

    void registerTranslator();
    void unRegisterTranslator();

    QString toString(bool oneLine = false) const override;

public slots:
    void onEventReceived(const IEvent &event, const Target *target);

signals:
    void keypadEvent(quint8 code);
    // 2: the instrument's shutdown key is held; 3: its battery is low.
    void systemEvent(int code);
    void transportChanged();

private:
    EventTranslator m_translator;
};

#endif
