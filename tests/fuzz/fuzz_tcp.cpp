// libFuzzer target for Modbus TCP streams over real sockets on 127.0.0.1.
// - Server: a peer connects to the TCP server and sends the input in chunks the input decides
//   (several frames and fragments each); the server cuts frames by their MBAP length and its
//   slave Modbuser answers them.
// - Client: a Modbuser master reads registers through the TCP client; a peer thread answers the
//   request with the input in chunks and closes, and the client reads the answer by its MBAP
//   length.
#include "fuzzinput.h"
#include "modbuser.h"
#include "modbustcpclient.h"
#include "modbustcpserver.h"
#include "registermap.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace {

// Runs the event loop until `done` holds or `ms` have passed; a timer wakes the wait.
bool spinUntil(const std::function<bool()> &done, int ms)
{
    QTimer wake;
    wake.start(5);
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

QList<ModbusBytes> chunks(FuzzInput &input)
{
    QList<ModbusBytes> list;
    while (!input.atEnd())
        list.append(input.bytes(1 + input.byte() % 64));
    return list;
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
    }

    void play(const QList<ModbusBytes> &input)
    {
        QTcpSocket peer;
        peer.connectToHost(QHostAddress::LocalHost, server.serverPort());
        if (!peer.waitForConnected(1000) ||
            !spinUntil([this] { return server.targetsCount() == 1; }, 1000))
            return;
        for (const ModbusBytes &chunk : input) {
            peer.write(chunk);
            peer.waitForBytesWritten(1000);
            QCoreApplication::processEvents();
            peer.readAll();
        }
        // Half-closed: the server reads everything before it sees the end, and answers still
        // arrive, so no reset cuts its reading short.
        ::shutdown(int(peer.socketDescriptor()), SHUT_WR);
        spinUntil(
            [&] {
                peer.readAll();
                return server.targetsCount() == 0;
            },
            2000);
        peer.abort();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ModbusTcpServer server;
    Modbuser slave;
    RegisterMap map;
};

// A peer that accepts one connection per exchange, reads the request and answers with the
// chunks it was given, then closes.
class AnsweringPeer
{
public:
    AnsweringPeer()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length);
        ::listen(m_listener, 4);
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { run(); });
    }
    ~AnsweringPeer()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }

    quint16 port() const { return m_port; }
    void setAnswer(const QList<ModbusBytes> &chunks)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_chunks = chunks;
    }

private:
    void run()
    {
        for (;;) {
            const int fd = ::accept(m_listener, nullptr, nullptr);
            if (fd < 0)
                return;
            QList<ModbusBytes> answer;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                if (m_stop) {
                    ::close(fd);
                    return;
                }
                answer = m_chunks;
            }
            const int on = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            pollfd wait{fd, POLLIN, 0};
            char request[300];
            if (::poll(&wait, 1, 1000) > 0 && ::recv(fd, request, sizeof request, 0) > 0) {
                for (const ModbusBytes &chunk : std::as_const(answer))
                    ::send(fd, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
            }
            ::shutdown(fd, SHUT_WR);
            // Until the client has gone, so that the answer is not cut by a reset.
            while (::poll(&wait, 1, 1000) > 0 && ::recv(fd, request, sizeof request, 0) > 0) {
            }
            ::close(fd);
        }
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    QList<ModbusBytes> m_chunks;
    bool m_stop = false;
};

struct ClientSide
{
    ClientSide() : client(QHostAddress::LocalHost, peer.port())
    {
        client.setAutoReconnect(false);
        // A dropped answer (another transaction id) is waited out to the read time-out: keep that
        // well inside the fuzzer's one-second budget for an input, or every such input is a "hang".
        client.setReadAnswerTimeout(250);
        master.setClientTransport(&client);
    }

    void play(quint16 count, const QList<ModbusBytes> &answer)
    {
        peer.setAnswer(answer);
        if (!client.connectTransport(false))
            return;
        ModbusBytes bytes;
        master.readRegisters(400001, count, bytes);
        client.disconnectTransport();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    AnsweringPeer peer;
    ModbusTcpClient client;
    Modbuser master;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::ensureApplication();
    static ServerSide server;
    static ClientSide client;
    FuzzInput input(data, size);
    const quint8 mode = input.byte();
    if (mode & 1) {
        const quint16 count = 1 + (mode >> 1);
        client.play(count, chunks(input));
    } else {
        server.play(chunks(input));
    }
    return 0;
}
