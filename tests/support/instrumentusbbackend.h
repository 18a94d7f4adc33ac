#ifndef INSTRUMENTUSBBACKEND_H
#define INSTRUMENTUSBBACKEND_H

#include "fakeusbbackend.h"

class SimulatedInstrument;

// A scripted USB bus whose instruments are one simulated instrument: each RTU request written to
// the request endpoint goes to it over its loopback link, and its answer is the next read on the
// answer endpoint. The devices, their claims and the call log are the scripted bus's. Exchanges
// call in from other threads; the instrument answers in its own.
class InstrumentUsbBackend : public FakeUsbBackend
{
public:
    explicit InstrumentUsbBackend(SimulatedInstrument &instrument) : m_instrument(instrument) {}

    int bulkWrite(HandleId handle, int endpoint, const QByteArray &data, int timeout) override;

private:
    SimulatedInstrument &m_instrument;
};

#endif
