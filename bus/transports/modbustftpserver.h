#ifndef MODBUSTFTPSERVER_H
#define MODBUSTFTPSERVER_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbusiptarget.h"
#include "modbustransport.h"

#include <QHostAddress>
#include <QUdpSocket>

// The slave side of Modbus RTU in TFTP-shaped UDP datagrams: listens on a UDP port, takes the
// request frame out of each read request, hands it on as a request and sends the answer frame
// back to the sender in one DATA packet, without waiting for the acknowledgement.
//
// No thread of its own: the socket, every request and its answer live in the server's thread.
// The sender of the request being handled is the only peer; it exists only while that request
// is handled, so outside a request there is nobody to send to.
class DORRIKBUS_EXPORT ModbusTFtpServer : public ModbusTransport
{
    Q_OBJECT

public:
    explicit ModbusTFtpServer(QObject *parent = nullptr);
    explicit ModbusTFtpServer(int port, QObject *parent = nullptr);
    ~ModbusTFtpServer() override;

    // Both take effect at the next connect.
    QHostAddress address() const { return m_address; }
    void setAddress(const QHostAddress &address) { m_address = address; }
    int port() const { return m_port; }
    void setPort(int port) { m_port = port; }
    // The port actually bound (the one the system chose for port 0); 0 when closed.
    quint16 serverPort() const { return m_socket.localPort(); }

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer = nullptr,
                   QString *error = nullptr) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    // The DATA datagram that carries `frame`.
    ModbusBytes packBytes(const ModbusBytes &frame) const;
    // The request frame of a read request; empty for anything else.
    ModbusBytes depackBytes(const ModbusBytes &datagram);
    using Transport::waitForIncomingConnection;
    // Waits for the next datagram; `bytes` receives the request frame it carried.
    bool waitForIncomingConnection(ModbusBytes &bytes);

    static QString tftpErrorStr(quint16 code);

public slots:
    void onReadyRead();

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    void initFields();
    bool send(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer, QString *error);
    // Reads and handles the next pending datagram; false when it could not be read.
    bool handleDatagram();

    // Everything below belongs to the server's thread.
    // The sender of the request being handled, null between requests.
    ModbusIpTarget *m_currentTarget = nullptr;
    // A child, so that it follows the server to another thread.
    QUdpSocket m_socket{this};
    // Qt 6's Any is dual-stack and would show IPv4 senders as mapped IPv6 addresses.
    QHostAddress m_address{QHostAddress::AnyIPv4};
    int m_port = 69;
    int m_incomingTimeout = 1000;
    int m_disconnectTimeout = 1000;
    int m_readAnswerTimeout = 1000;
    int m_writeTimeout = 1000;
    // The request frame taken out of the last datagram.
    ModbusBytes m_requestBytes;
    ModbusBytes m_modeSuffix;
};

#endif
