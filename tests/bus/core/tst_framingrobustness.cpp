#include "modbusbytes.h"
#include "modbuscrc.h"
#include "modbuspacket.h"
#include "modbusparseinfo.h"
#include "modbusrtudeparser.h"
#include "modbusrtuparser.h"
#include "modbustcpdeparser.h"
#include "modbustcpparser.h"
#include "modbustcptarget.h"

#include <QRandomGenerator>
#include <QtTest>

#include <memory>

namespace {

// PDUs of every function and direction the parsers know, the seeds of the mutated frames.
const char *const kSeedPdus[] = {
    "03 00 00 00 0a",
    "03 04 00 0a 01 02",
    "04 00 08 00 01",
    "04 02 00 0a",
    "06 00 05 00 2a",
    "10 00 00 00 02 04 00 0a 01 02",
    "10 00 01 00 02",
    "11",
    "11 03 41 42 43",
    "41 00 01 00 05 00 00 07",
    "41 00 01 00 05 01 1e 2d 0c 0f 06 18",
    "41 0a 00 01 02 03 04 05 06 07 08 09",
    "42 00 01 00 02 01 00 00 00 05 00",
    "42 08 00 00 00 01 00 00 00 02",
    "42 00",
    "43 00 01 00 04 00 00 00 00 07 01",
    "43 14 00 01 02 03 04 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13",
    "44 00 10 02 01",
    "44 02 ab cd",
    "45 00 10 02 01 ab cd",
    "45 00 10 02 01",
    "83 02",
    "90 04",
};

enum Framing { Rtu, Tcp };

ModbusBytes frameRtu(const ModbusBytes &pdu, quint8 address)
{
    ModbusBytes frame;
    frame.append(address);
    frame.append(pdu);
    frame.appendUInt16(qChecksumModbus(frame.constData(), uint(frame.size())));
    return frame;
}

ModbusBytes frameTcp(const ModbusBytes &pdu, quint8 address, quint16 transaction)
{
    ModbusBytes frame;
    frame.appendUInt16(transaction);
    frame.appendUInt16(0);
    frame.appendUInt16(quint16(pdu.size() + 1));
    frame.append(address);
    frame.append(pdu);
    return frame;
}

// Makes a mutated frame whole again where the framing would otherwise refuse it at once, so
// that the mutation reaches the PDU reader.
void repair(Framing framing, ModbusBytes &frame)
{
    if (framing == Rtu && frame.size() >= 3) {
        frame.chop(2);
        frame.appendUInt16(qChecksumModbus(frame.constData(), uint(frame.size())));
    } else if (framing == Tcp && frame.size() >= 7) {
        frame[2] = 0;
        frame[3] = 0;
        const quint16 length = quint16(frame.size() - 6);
        frame[4] = char(length >> 8);
        frame[5] = char(length & 0xff);
    }
}

class FrameSource
{
public:
    explicit FrameSource(quint32 seed) : m_rng(seed)
    {
        for (const char *pdu : kSeedPdus)
            m_seeds.append(ModbusBytes(QByteArray::fromHex(pdu)));
    }

    ModbusBytes next(Framing framing)
    {
        ModbusBytes frame;
        if (m_rng.bounded(8) == 0) {
            frame = randomBytes(int(m_rng.bounded(300)));
        } else {
            const ModbusBytes &pdu = m_seeds.at(int(m_rng.bounded(m_seeds.size())));
            const quint8 address = quint8(m_rng.bounded(256));
            frame = framing == Rtu ? frameRtu(pdu, address)
                                   : frameTcp(pdu, address, quint16(m_rng.bounded(65536)));
            const int mutations = int(m_rng.bounded(4));
            for (int i = 0; i < mutations; ++i)
                mutate(frame);
        }
        if (m_rng.bounded(4) != 0)
            repair(framing, frame);
        return frame;
    }

    ModbusParseInfo nextInfo()
    {
        static const quint16 counts[] = {0, 1, 2, 3, 4, 5, 7, 65535};
        return ModbusParseInfo(DorrikBus::PacketState(m_rng.bounded(2)),
                               counts[m_rng.bounded(int(std::size(counts)))],
                               DorrikBus::ArchType(m_rng.bounded(2)));
    }

private:
    ModbusBytes randomBytes(int size)
    {
        ModbusBytes bytes;
        for (int i = 0; i < size; ++i)
            bytes.append(quint8(m_rng.bounded(256)));
        return bytes;
    }

    void mutate(ModbusBytes &frame)
    {
        const int at = frame.isEmpty() ? 0 : int(m_rng.bounded(frame.size()));
        switch (m_rng.bounded(6)) {
        case 0:
            if (!frame.isEmpty())
                frame[at] = char(frame.at(at) ^ (1 << m_rng.bounded(8)));
            break;
        case 1:
            if (!frame.isEmpty())
                frame[at] = char(m_rng.bounded(256));
            break;
        case 2:
            frame.truncate(at);
            break;
        case 3:
            frame.insert(at, randomBytes(1 + int(m_rng.bounded(8))));
            break;
        case 4:
            frame.remove(at, 1 + int(m_rng.bounded(4)));
            break;
        default:
            // Lengths around the frame limits, filled with one byte value.
            frame.resize(250 + int(m_rng.bounded(15)), char(m_rng.bounded(256)));
            break;
        }
    }

    QRandomGenerator m_rng;
    QList<ModbusBytes> m_seeds;
};

} // namespace

class tst_FramingRobustness : public QObject
{
    Q_OBJECT
private slots:
    void randomAndMutatedFrames_data();
    void randomAndMutatedFrames();
};

void tst_FramingRobustness::randomAndMutatedFrames_data()
{
    QTest::addColumn<int>("framing");
    QTest::newRow("rtu") << int(Rtu);
    QTest::newRow("tcp") << int(Tcp);
}

// Whatever arrives on the wire, a parser answers with a packet or with null and its error text:
// it never crashes, never throws, never leaks and never hands out a packet from a bad frame.
void tst_FramingRobustness::randomAndMutatedFrames()
{
    QFETCH(int, framing);

    constexpr int kFrames = 120000;
    const bool rtu = framing == Rtu;
    std::unique_ptr<ModbusParser> parser;
    if (rtu)
        parser = std::make_unique<ModbusRTUParser>();
    else
        parser = std::make_unique<ModbusTCPParser>();
    const QString errorPrefix = rtu ? QStringLiteral("ModbusRTUParser parse error: ")
                                    : QStringLiteral("ModbusTCPParser parse error: ");
    ModbusRTUDeparser rtuDeparser;
    ModbusTCPDeparser tcpDeparser;
    ModbusTcpTarget target;

    FrameSource source(rtu ? 0x52545531u : 0x54435031u);
    int parsed = 0;
    for (int i = 0; i < kFrames; ++i) {
        const ModbusBytes frame = source.next(Framing(framing));
        const ModbusParseInfo info = source.nextInfo();
        const QString where =
            QStringLiteral("frame %1: %2").arg(i).arg(QString::fromLatin1(frame.toHex()));
        const quint64 errorsBefore = parser->errorCount();
        std::unique_ptr<IPacket> packet;
        bool parseable = false;
        try {
            parseable = parser->canParse(frame, info.state);
            parser->canParse(frame, DorrikBus::PacketState(1 - int(info.state)));
            packet.reset(parser->parse(frame, info, &target));
        } catch (...) {
            QFAIL(qPrintable(QStringLiteral("exception escaped, ") + where));
        }

        if (!packet) {
            QVERIFY2(parser->errorCount() == errorsBefore + 1, qPrintable(where));
            const QString error = parser->errorString();
            QVERIFY2(error.startsWith(errorPrefix) &&
                         error.endsWith(QStringLiteral("; bytes: ") + frame.toHex()),
                     qPrintable(where + QStringLiteral(" -> ") + error));
            continue;
        }

        ++parsed;
        QVERIFY2(parser->errorCount() == errorsBefore, qPrintable(where));
        const auto *modbus = dynamic_cast<const ModbusPacket *>(packet.get());
        QVERIFY2(modbus, qPrintable(where));
        QVERIFY2(modbus->state() == info.state, qPrintable(where));
        // A frame the parser accepts is one that a collecting link would have seen as whole.
        QVERIFY2(parseable, qPrintable(where));
        if (rtu) {
            QVERIFY2(frame.size() >= 4 && frame.size() <= 256 && frame.checkCrc16(),
                     qPrintable(where));
            QVERIFY2(modbus->address() == frame.toUInt8(0), qPrintable(where));
        } else {
            QVERIFY2(frame.size() >= 8 && frame.size() <= 260 && frame.toUInt16(2) == 0 &&
                         frame.toUInt16(4) == frame.size() - 6,
                     qPrintable(where));
            QVERIFY2(modbus->address() == frame.toUInt8(6), qPrintable(where));
        }

        // Whatever the parser accepted, the writers take without harm: a frame or a refusal.
        for (ModbusDeparser *deparser : {static_cast<ModbusDeparser *>(&rtuDeparser),
                                         static_cast<ModbusDeparser *>(&tcpDeparser)}) {
            ModbusBytes out;
            bool written = false;
            try {
                written = deparser->deparse(*packet, out, &target);
            } catch (...) {
                QFAIL(qPrintable(QStringLiteral("exception escaped the writer, ") + where));
            }
            QVERIFY2(written ? out.size() >= 4 && out.size() <= 260 : out.isEmpty(),
                     qPrintable(where));
        }
    }
    // The repaired mutations must reach the PDU reader, or the run proves little.
    QVERIFY2(parsed > kFrames / 50, qPrintable(QString::number(parsed)));
    qInfo("%d of %d frames parsed", parsed, kFrames);
}

QTEST_GUILESS_MAIN(tst_FramingRobustness)
#include "tst_framingrobustness.moc"
