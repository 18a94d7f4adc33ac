#include "tcpdescriptorlistener.h"

#include <unistd.h>

TcpDescriptorListener::TcpDescriptorListener(QObject *parent) : QTcpServer(parent) {}

TcpDescriptorListener::~TcpDescriptorListener()
{
    for (const qintptr descriptor : std::as_const(m_accepted))
        ::close(int(descriptor));
}

qintptr TcpDescriptorListener::takeDescriptor()
{
    return m_accepted.isEmpty() ? -1 : m_accepted.takeFirst();
}

void TcpDescriptorListener::incomingConnection(qintptr descriptor)
{
    m_accepted.append(descriptor);
}
