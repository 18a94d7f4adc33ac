#ifndef MODBUSTCPSERVER_H
#define MODBUSTCPSERVER_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbustcptarget.h"
#include "modbustransport.h"

#include "tcpdescriptorlistener.h"

#include <QHostAddress>
#include <QList>

class QSocketNotifier;

// The slave side of Modbus TCP: listens on a port, keeps one ModbusTcpTarget per connected peer,
// cuts every whole MBAP frame out of what a peer sends, hands it on as a request and writes the
// answer back to that peer with the request's transaction identifier.
//
// No thread of its own: the listener, the connections and the targets live in the server's
// thread, where every slot and every answer runs. Each connection is read and written through
// its descriptor, in that thread: one read and one write a request. Targets and read notifiers of
// peers that go away are released with deleteLater once no received block is being handled, so
// that a pointer held by a running answer stays valid until it returns; the server looks a peer
// up again after everything that may have waited.
class DORRIKBUS_EXPORT ModbusTcpServer : public ModbusTransport
{
    Q_OBJECT

public:
    explicit ModbusTcpServer(QObject *parent = nullptr);
    ModbusTcpServer(int port, QObject *parent = nullptr);
    ~ModbusTcpServer() override;

    // Both take effect at the next connect.
    QHostAddress address() const { return m_address; }
    void setAddress(const QHostAddress &address) { m_address = address; }
    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    // The port actually listened on (the one the system chose for port 0); 0 when closed.
    quint16 serverPort() const { return m_listener.serverPort(); }

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer = nullptr,
                   QString *error = nullptr) override;
    bool waitForIncomingConnection() const override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    // A target of the server's own, besides those of the connected peers; the server owns it
    // from then on. Answers to it go to the connected peer with its address and port. False,
    // with "also have this target", for a target the server holds already.
    bool addTarget(ModbusTcpTarget *target);
    // Removes and deletes a target; a connected peer's target takes its connection with it.
    // False, with "don't have this target", for a target the server does not hold.
    bool removeTarget(ModbusTcpTarget *target);

public slots:
    void onNewConnection();
    // A peer's read notifier fired: reads what it sent and answers every whole frame.
    void onReadyRead();
    // Closes the connection of the sending read notifier and removes its peer.
    void onSocketDisconnected();

signals:
    // Receivers may refuse the peer by setting accept to false; connect directly.
    void newClientConnection(ModbusTcpTarget *target, bool &accept);

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    struct Peer
    {
        qintptr descriptor;
        // A child of the server, so that it follows the server to another thread.
        QSocketNotifier *notifier;
        ModbusTcpTarget *target;
        // Bytes received that do not yet make a whole frame.
        ModbusBytes pending;
        // A receiver that waits runs the event loop, where the notifier would report the bytes
        // of the next request before this one is answered: it is off until the answer is out.
        bool receiving = false;
    };
    enum class Received { Nothing, Data, Closed };

    int peerIndex(const QSocketNotifier *notifier) const;
    int peerIndex(const Target *target) const;
    int addedIndex(const Target *target) const;
    int socketIndexOf(const Target *target);
    Received receive(const ModbusTcpTarget *target);
    void answerFrame(const ModbusTcpTarget *target, const ModbusBytes &frame);
    bool writeAll(const ModbusTcpTarget *target, const ModbusBytes &bytes, QString *error);
    void closePeer(const ModbusTcpTarget *target);
    void releaseParked();

    int m_port = 502;
    QHostAddress m_address{QHostAddress::AnyIPv4};
    // A child, so that it follows the server to another thread.
    mutable TcpDescriptorListener m_listener{this};
    // In order of acceptance; each peer's target is owned by the server.
    QList<Peer> m_peers;
    int m_incomingConnectionWait = 1000;
    // Only shown: every write has been waited for, so a connection closes at once.
    int m_disconnectWait = 1000;
    int m_readAnswerWait = 1000;
    int m_writeWait = 1000;
    // Added with addTarget, owned by the server.
    QList<ModbusTcpTarget *> m_addedTargets;
    // The latest whole frame received from any peer.
    ModbusBytes m_lastReceived;
    // How many received blocks are being handled. A receiver that waits runs the event loop,
    // which would free what deleteLater released there while the handling still holds it; the
    // peers that leave meanwhile are parked and released when the outermost handling ends.
    int m_handling = 0;
    QList<Peer> m_parked;
};

#endif
