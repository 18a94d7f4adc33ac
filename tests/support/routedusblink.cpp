#include "routedusblink.h"

#include "fakeusbbackend.h"
#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"

#include <QHash>
#include <QThread>

namespace {

constexpr int RequestEndpoint = 0x01;
constexpr int AnswerEndpoint = 0x81;

RoutedUsbLink::Devices g_devices;
QList<RoutedUsbLink *> g_links;

// Requests go to the instrument of the device the handle is open on; an answer read that finds
// nothing waits out its time-out.
class RoutedUsbBackend : public FakeUsbBackend
{
public:
    explicit RoutedUsbBackend(const RoutedUsbLink::Devices &devices)
    {
        for (const auto &device : devices) {
            addInstrument(device.first);
            m_instruments.insert(device.first, device.second);
        }
    }

    int bulkWrite(HandleId handle, int endpoint, const QByteArray &data, int timeout) override
    {
        const int result = FakeUsbBackend::bulkWrite(handle, endpoint, data, timeout);
        if (endpoint != RequestEndpoint || result != data.size())
            return result;
        SimulatedInstrument *instrument = m_instruments.value(serialNumberOf(handle));
        if (!instrument)
            return result;
        ModbusLoopbackClient *link = instrument->link();
        ModbusBytes answer;
        if (link->sendBytes(ModbusBytes(data), link->clientTarget(), &answer) && !answer.isEmpty())
            queueRead(AnswerEndpoint, answer);
        return result;
    }

    int bulkRead(HandleId handle, int endpoint, char *data, int size, int timeout) override
    {
        const int result = FakeUsbBackend::bulkRead(handle, endpoint, data, size, timeout);
        if (result == TimeoutResult && endpoint == AnswerEndpoint && timeout > 0)
            QThread::msleep(static_cast<unsigned long>(timeout));
        return result;
    }

private:
    // Read only after construction.
    QHash<QByteArray, SimulatedInstrument *> m_instruments;
};

} // namespace

RoutedUsbLink::RoutedUsbLink(QObject *parent)
    : ModbusLibusbClient(std::make_unique<RoutedUsbBackend>(g_devices), parent)
{
    g_links << this;
}

RoutedUsbLink::~RoutedUsbLink()
{
    g_links.removeOne(this);
}

void RoutedUsbLink::setDevices(const Devices &devices)
{
    g_devices = devices;
}

QList<RoutedUsbLink *> RoutedUsbLink::links()
{
    return g_links;
}
