#ifndef MODBUSTFTPCLIENT_H
#define MODBUSTFTPCLIENT_H

#include "dorrikbus_global.h"
#include "modbusbytes.h"
#include "modbusiptarget.h"
#include "modbustransport.h"

#include <QHostAddress>
#include <QUdpSocket>

// The master side of Modbus RTU carried in TFTP-shaped UDP datagrams: each request frame goes
// out as the hexadecimal "file name" of a read request, the answer frame comes back as the
// payload of a single DATA packet, which is acknowledged. One datagram each way, no
// retransmission.
//
// No thread of its own: the socket lives in the client's thread, and an exchange asked for from
// another thread (the polling client's executor) is run there by a blocking call, so that
// thread's event loop has to be running then.
class DORRIKBUS_EXPORT ModbusTFtpClient : public ModbusTransport
{
    Q_OBJECT

public:
    explicit ModbusTFtpClient(QObject *parent = nullptr);
    explicit ModbusTFtpClient(const ModbusIpTarget &target, QObject *parent = nullptr);
    ~ModbusTFtpClient() override;

    QHostAddress address() const { return m_target.address(); }
    int port() const { return m_target.port(); }

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                   QString *error) override;
    // One exchange with the server, the client's own target.
    bool sendBytes(const ModbusBytes &bytes, ModbusBytes *answer, QString *error = nullptr);
    bool hasTarget(const Target *target) override;
    int targetsCount() const override;
    qint64 bytesAvailable(const Target *target) override;
    const Target *clientTarget() override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    QString toString(bool oneLine = false) const override;

    // The read request datagram that carries `frame`.
    ModbusBytes packBytes(const ModbusBytes &frame) const;

    static QString tftpErrorStr(quint16 code);

public slots:
    void onReadyRead();
    void onSocketDisconnected();

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    void initFields();
    bool exchange(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                  QString *error);

    // Everything below belongs to the client's thread.
    ModbusIpTarget m_target;
    // A child, so that it follows the client to another thread.
    QUdpSocket m_socket{this};
    int m_disconnectTimeout = 1000;
    int m_connectTimeout = 1000;
    int m_readAnswerTimeout = 1000;
    int m_writeTimeout = 1000;
    // What the last datagram left: the answer frame after a DATA packet.
    ModbusBytes m_answerBytes;
    ModbusBytes m_modeSuffix;
    ModbusBytes m_ackBytes;
    // Tells a disconnection we asked for from one the socket reports by itself.
    bool m_disconnecting = false;
};

#endif
