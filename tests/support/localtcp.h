#ifndef LOCALTCP_H
#define LOCALTCP_H

#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>

#include <optional>
#include <thread>

// A port on 127.0.0.1 that nobody listens on: the system's choice for a probe, freed again (for
// a peer that takes a port, not 0, such as libmodbus's listen).
inline quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Runs work on a thread of its own, as the polling client's executor does, while this thread's
// event loop keeps serving the server side and the client's own signals; returns its result.
template <typename Work> auto offThread(Work work) -> decltype(work())
{
    using Result = decltype(work());
    QEventLoop loop;
    std::optional<Result> result;
    std::thread worker([&] {
        result = work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return *result;
}

#endif
