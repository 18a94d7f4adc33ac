#ifndef MODBUSTCPSERVER_H
#define MODBUSTCPSERVER_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbustcptarget.h"
#include "modbustransport.h"

#include <QHostAddress>
#include <QList>
#include <QTcpServer>

class QTcpSocket;

// The slave side of Modbus TCP: listens on a port, keeps one ModbusTcpTarget per connected peer,
// cuts every whole MBAP frame out of what a peer sends, hands it on as a request and writes the
// answer back to that peer with the request's transaction identifier.
//
// No thread of its own: the listener, the sockets and the targets live in the server's thread,
// where every slot and every answer runs. Targets and sockets of peers that go away are
// released with deleteLater once no received block is being handled, so that a pointer held by
// a running answer stays valid until it returns; the server looks a peer up again after
// everything that may have waited.
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
    void onReadyRead();
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
        QTcpSocket *socket;
        ModbusTcpTarget *target;
        // Bytes received that do not yet make a whole frame.
        ModbusBytes pending;
    };

    int peerIndex(const QTcpSocket *socket) const;
    int peerIndex(const Target *target) const;
    int addedIndex(const Target *target) const;
    QTcpSocket *socketOf(const Target *target);
    void removePeer(QTcpSocket *socket);
    void releaseParked();
    void answerFrame(QTcpSocket *socket, const ModbusBytes &frame);

    int m_port = 502;
    QHostAddress m_address{QHostAddress::AnyIPv4};
    // A child, so that the accepted sockets follow the server to another thread.
    mutable QTcpServer m_listener{this};
    // In order of acceptance; each peer's target is owned by the server.
    QList<Peer> m_peers;
    int m_incomingConnectionWait = 1000;
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
