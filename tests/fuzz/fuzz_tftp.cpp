// libFuzzer target for the TFTP wrapping of Modbus RTU, over real UDP sockets on 127.0.0.1.
// - Server: datagrams from two senders reach the TFTP server, which takes the request frame out
//   of a read request's file name (or refuses the datagram) and its slave Modbuser answers.
// - Client: after a request, the TFTP client reads datagrams from its server: DATA, ACK, ERROR,
//   anything else, of any length.
// The input is a series of datagrams, each a length byte (bit 7 picks the second sender) and
// its bytes.
#include "fuzzinput.h"
#include "modbuser.h"
#include "modbusiptarget.h"
#include "modbustftpclient.h"
#include "modbustftpserver.h"
#include "registermap.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {

struct Datagram
{
    int sender;
    ModbusBytes bytes;
};

QList<Datagram> datagrams(FuzzInput &input)
{
    QList<Datagram> list;
    while (!input.atEnd()) {
        const quint8 control = input.byte();
        list.append({control >> 7, input.bytes(control & 0x7f)});
    }
    return list;
}

void drain(QUdpSocket &socket)
{
    while (socket.hasPendingDatagrams())
        socket.receiveDatagram();
}

struct ServerSide
{
    ServerSide()
    {
        server.setAddress(QHostAddress::LocalHost);
        server.setPort(0);
        slave.translator().addTransport(server, true, false);
        map.addRegisters(400001, 300);
        map.setDeviceName(QStringLiteral("TVN-5"));
        map.serve(slave);
        server.connectTransport(false);
        for (QUdpSocket &sender : senders)
            sender.bind(QHostAddress::LocalHost, 0);
    }

    void play(const QList<Datagram> &input)
    {
        for (const Datagram &datagram : input) {
            QUdpSocket &sender = senders[datagram.sender];
            sender.writeDatagram(datagram.bytes, QHostAddress::LocalHost, server.serverPort());
            // Loopback delivers at once; the server reads it as its readyRead would.
            server.onReadyRead();
            drain(sender);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ModbusTFtpServer server;
    Modbuser slave;
    RegisterMap map;
    QUdpSocket senders[2];
};

struct ClientSide
{
    ClientSide() : client(peerTarget())
    {
        client.setAutoReconnect(false);
        client.connectTransport(false);
    }

    ModbusIpTarget peerTarget()
    {
        peer.bind(QHostAddress::LocalHost, 0);
        return ModbusIpTarget(QHostAddress::LocalHost, peer.localPort());
    }

    void play(const QList<Datagram> &input)
    {
        drain(peer);
        QString error;
        // A request without waiting for its answer shows the peer the client's port.
        client.sendBytes(ModbusBytes::fromHex("010300000001840a"), client.clientTarget(), nullptr,
                         &error);
        if (!peer.hasPendingDatagrams())
            return;
        const QNetworkDatagram request = peer.receiveDatagram();
        for (const Datagram &datagram : input) {
            peer.writeDatagram(datagram.bytes, request.senderAddress(),
                               quint16(request.senderPort()));
            client.onReadyRead();
        }
    }

    QUdpSocket peer;
    ModbusTFtpClient client;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::ensureApplication();
    static ServerSide server;
    static ClientSide client;
    FuzzInput input(data, size);
    if (input.byte() & 1)
        client.play(datagrams(input));
    else
        server.play(datagrams(input));
    return 0;
}
