// libFuzzer target for the serial server's request assembly over a pseudo-terminal: the input
// is written to the line in chunks it decides (a length byte, then the bytes), the server
// collects them until they make a whole RTU request, and its slave Modbuser answers.
#include "fuzzinput.h"
#include "modbuser.h"
#include "modbusserialserver.h"
#include "ptypair.h"
#include "registermap.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <functional>

namespace {

bool spinUntil(const std::function<bool()> &done, int ms)
{
    QTimer wake;
    wake.start(1);
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done()) {
        if (elapsed.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

struct Line
{
    Line() : server(pty.portName())
    {
        // Our own view of the line's input queue, to see when the server has read a chunk.
        watch = ::open(pty.portName().toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        slave.translator().addTransport(server, true, false);
        map.addRegisters(400001, 300);
        map.setDeviceName(QStringLiteral("TVN-5"));
        map.serve(slave);
        server.connectTransport(false);
    }
    ~Line()
    {
        if (watch >= 0)
            ::close(watch);
    }

    bool consumed()
    {
        int queued = 0;
        if (::ioctl(watch, FIONREAD, &queued) != 0)
            return true;
        return queued == 0 && server.bytesAvailable(server.clientTarget()) == 0;
    }

    void write(const QByteArray &bytes)
    {
        pty.write(bytes);
        spinUntil([this] { return consumed(); }, 1000);
        QCoreApplication::processEvents();
        pty.discardInput();
    }

    void play(FuzzInput &input)
    {
        // What an earlier input left half-received goes stale before this input's first chunk.
        server.setByteTimeout(1);
        QThread::msleep(2);
        bool first = true;
        while (!input.atEnd()) {
            const quint8 length = input.byte();
            write(input.bytes(1 + length % 64));
            if (first) {
                // The rest of one input's chunks belong together, however loaded the machine.
                server.setByteTimeout(1000);
                first = false;
            }
        }
    }

    PtyPair pty;
    ModbusSerialServer server;
    Modbuser slave;
    RegisterMap map;
    int watch = -1;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::ensureApplication();
    static Line line;
    FuzzInput input(data, size);
    line.play(input);
    return 0;
}
