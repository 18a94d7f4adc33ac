// libFuzzer target for the instrument's event records. The input is a series of event reads
// (a control byte: bit 7 fails the read, bits 0-5 give how many bytes it delivers); the evented
// link cuts what they deliver into records, partial records waiting across reads, and the
// Eventer's translator parses each payload into a key or system event. The input also goes
// whole through the event parser.
#include "eventer.h"
#include "eventparser.h"
#include "fakelink.h"
#include "fuzzinput.h"
#include "ievent.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::ensureApplication();
    static FakeLink link(DorrikBus::ClientBus, nullptr, true);
    static Eventer eventer;
    static EventParser parser;
    static bool wired = false;
    if (!wired) {
        // Polls are made by hand, one per read; the reader's timer never comes due.
        link.setEventsCheckInterval(3600 * 1000);
        eventer.setTransport(&link);
        wired = true;
    }

    {
        const std::unique_ptr<IEvent> event(
            parser.parse(ModbusBytes(QByteArray(reinterpret_cast<const char *>(data), int(size)))));
        FuzzInput::check(event || !parser.errorString().isEmpty());
    }

    FuzzInput input(data, size);
    // The first poll after opening drops what waited in the device.
    QList<FakeLink::EventRead> reads{{true, {}}};
    while (!input.atEnd()) {
        const quint8 control = input.byte();
        reads.append({(control & 0x80) == 0, input.bytes(control & 0x3f)});
    }
    link.connectTransport(false);
    link.scriptEventReads(reads);
    for (int i = 0; i < reads.size(); ++i)
        link.checkEventsSync();
    link.disconnectTransport();
    return 0;
}
