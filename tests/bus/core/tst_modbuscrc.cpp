#include "modbusbytes.h"
#include "modbuscrc.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// CRC-16/MODBUS bit by bit (reflected polynomial 0xA001, start 0xFFFF), returned in wire order
// like qChecksumModbus: it owes nothing to the lookup tables it checks.
quint16 bitwiseModbusCrc(const QByteArray &bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= quint8(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return quint16(crc << 8 | crc >> 8);
}

} // namespace

class tst_ModbusCrc : public QObject
{
    Q_OBJECT
private slots:
    void pointerForm_data();
    void pointerForm();
    void bufferForm_data();
    void bufferForm();
    void matchesBitwiseCrc();
};

void tst_ModbusCrc::pointerForm_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint16>("crc");
    QTest::newRow("empty") << QByteArray() << quint16(0xFFFF);
    QTest::newRow("ascii 123456789") << QByteArray("123456789") << quint16(0x374B);
    QTest::newRow("fc3 request, 1 register") << hex("010300000001") << quint16(0x840A);
    QTest::newRow("fc3 answer, 1 register") << hex("0103020000") << quint16(0xB844);
    QTest::newRow("one zero byte") << hex("00") << quint16(0xBF40);
}

void tst_ModbusCrc::pointerForm()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint16, crc);
    QCOMPARE(qChecksumModbus(bytes.constData(), unsigned(bytes.size())), crc);
}

void tst_ModbusCrc::bufferForm_data()
{
    QTest::addColumn<ModbusBytes>("bytes");
    QTest::addColumn<uint>("len");
    QTest::addColumn<uint>("offset");
    QTest::addColumn<QByteArray>("covered");

    const ModbusBytes request = hex("010300000001");
    QTest::newRow("empty buffer, len 0") << ModbusBytes() << 0u << 0u << QByteArray();
    QTest::newRow("len 0 is to the end") << request << 0u << 0u << hex("010300000001");
    QTest::newRow("len 0 from offset 2") << request << 0u << 2u << hex("00000001");
    QTest::newRow("len and offset") << request << 2u << 1u << hex("0300");
    QTest::newRow("len past the end is clipped") << request << 100u << 3u << hex("000001");
    QTest::newRow("offset at the end reads nothing") << request << 0u << 6u << QByteArray();
    QTest::newRow("offset past the end reads nothing") << request << 4u << 50u << QByteArray();
}

void tst_ModbusCrc::bufferForm()
{
    QFETCH(ModbusBytes, bytes);
    QFETCH(uint, len);
    QFETCH(uint, offset);
    QFETCH(QByteArray, covered);
    QCOMPARE(qChecksumModbus(bytes, len, offset),
             qChecksumModbus(covered.constData(), unsigned(covered.size())));
}

void tst_ModbusCrc::matchesBitwiseCrc()
{
    // Every table entry is reached by the single bytes; random frames mix them.
    for (int b = 0; b < 256; ++b) {
        const QByteArray one(1, char(b));
        QCOMPARE(qChecksumModbus(one.constData(), 1u), bitwiseModbusCrc(one));
    }
    QRandomGenerator random(20240101);
    for (int round = 0; round < 200; ++round) {
        QByteArray frame(int(random.bounded(1, 257)), Qt::Uninitialized);
        for (char &c : frame)
            c = char(random.bounded(256));
        QCOMPARE(qChecksumModbus(frame.constData(), unsigned(frame.size())),
                 bitwiseModbusCrc(frame));
    }
}

QTEST_GUILESS_MAIN(tst_ModbusCrc)
#include "tst_modbuscrc.moc"
