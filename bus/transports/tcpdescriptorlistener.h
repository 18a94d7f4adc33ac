#ifndef TCPDESCRIPTORLISTENER_H
#define TCPDESCRIPTORLISTENER_H

#include "dorrikbus_global.h"

#include <QList>
#include <QTcpServer>

// A QTcpServer that keeps each accepted connection as its bare descriptor instead of wrapping it
// in a QTcpSocket: the Modbus TCP server reads and writes its peers itself, so that a request
// costs one read and one write, without the socket's size query and buffer copy.
// newConnection() is emitted as usual; takeDescriptor() gives the accepted ones in order.
class DORRIKBUS_EXPORT TcpDescriptorListener : public QTcpServer
{
    Q_OBJECT

public:
    explicit TcpDescriptorListener(QObject *parent = nullptr);
    // Closes the descriptors nobody took.
    ~TcpDescriptorListener() override;

    // The oldest accepted descriptor not yet taken, or -1. The caller owns it from then on.
    qintptr takeDescriptor();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QList<qintptr> m_accepted;
};

#endif
