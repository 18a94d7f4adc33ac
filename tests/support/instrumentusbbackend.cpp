#include "instrumentusbbackend.h"

#include "modbusloopbackclient.h"
#include "simulatedinstrument.h"

namespace {

constexpr int RequestEndpoint = 0x01;
constexpr int AnswerEndpoint = 0x81;

} // namespace

int InstrumentUsbBackend::bulkWrite(HandleId handle, int endpoint, const QByteArray &data,
                                    int timeout)
{
    const int result = FakeUsbBackend::bulkWrite(handle, endpoint, data, timeout);
    if (endpoint != RequestEndpoint || result != data.size())
        return result;
    ModbusLoopbackClient *link = m_instrument.link();
    ModbusBytes answer;
    // No answer (a dropped one, the link down): the read times out, as on the cable.
    if (link->sendBytes(ModbusBytes(data), link->clientTarget(), &answer) && !answer.isEmpty())
        queueRead(AnswerEndpoint, answer);
    return result;
}
