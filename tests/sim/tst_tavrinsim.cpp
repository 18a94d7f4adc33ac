#include <QProcess>
#include <QtTest>

#include <cstring>
#include <modbus.h>

// tavrin-sim as ./run starts it, read by libmodbus as an independent master.
class tst_TavrinSim : public QObject
{
    Q_OBJECT

private slots:
    void answersAddressOneAndStopsOnSignal();
    void refusesUnknownArguments();
    void helpListsItsOptions();
};

namespace {

float readFloat(modbus_t *ctx, int wireAddress, bool *ok)
{
    uint16_t registers[2] = {0, 0};
    *ok = modbus_read_input_registers(ctx, wireAddress, 2, registers) == 2;
    // The instrument sends the high word first.
    const quint32 bits = (quint32(registers[0]) << 16) | registers[1];
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace

void tst_TavrinSim::answersAddressOneAndStopsOnSignal()
{
    QProcess sim;
    sim.start(QStringLiteral(TAVRIN_SIM_PROGRAM), {QStringLiteral("-v")});
    QVERIFY(sim.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 20000);
    const QByteArray port = sim.readLine().trimmed();
    QVERIFY2(port.startsWith("/dev/"), port.constData());

    modbus_t *ctx = modbus_new_rtu(port.constData(), 19200, 'N', 8, 1);
    QVERIFY(ctx);
    modbus_set_response_timeout(ctx, 1, 0);
    QVERIFY(modbus_connect(ctx) == 0);

    modbus_set_slave(ctx, 1);
    bool ok = false;
    const float rate = readFloat(ctx, 300720 - 300001, &ok);
    QVERIFY2(ok, modbus_strerror(errno));
    QVERIFY2(rate > 9.9f && rate < 15.1f, qPrintable(QString::number(rate)));
    const float velocity = readFloat(ctx, 300722 - 300001, &ok);
    QVERIFY(ok);
    QVERIFY2(velocity > 0.3f && velocity < 0.6f, qPrintable(QString::number(velocity)));

    // Another device address is not this instrument's.
    modbus_set_slave(ctx, 2);
    modbus_set_response_timeout(ctx, 0, 300000);
    readFloat(ctx, 300720 - 300001, &ok);
    QVERIFY(!ok);

    // The values move each second.
    modbus_set_slave(ctx, 1);
    modbus_set_response_timeout(ctx, 1, 0);
    float later = rate;
    QTRY_VERIFY_WITH_TIMEOUT((later = readFloat(ctx, 300720 - 300001, &ok)) != rate && ok, 5000);
    modbus_close(ctx);
    modbus_free(ctx);

    // One line per answered request, none for address 2.
    QByteArray lines;
    QTRY_VERIFY_WITH_TIMEOUT((lines += sim.readAll()).contains("address 300722 count 2\n"), 5000);
    QVERIFY2(lines.startsWith("function 4 address 300720 count 2\n"
                              "function 4 address 300722 count 2\n"
                              "function 4 address 300720 count 2\n"),
             lines.constData());

    sim.terminate();
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
}

void tst_TavrinSim::refusesUnknownArguments()
{
    QProcess sim;
    sim.start(QStringLiteral(TAVRIN_SIM_PROGRAM), {QStringLiteral("--bogus")});
    QVERIFY(sim.waitForFinished(20000));
    QCOMPARE(sim.exitCode(), 2);
    QVERIFY(sim.readAllStandardError().startsWith("usage: tavrin-sim"));
    QCOMPARE(sim.readAllStandardOutput(), QByteArray());
}

void tst_TavrinSim::helpListsItsOptions()
{
    QProcess sim;
    sim.start(QStringLiteral(TAVRIN_SIM_PROGRAM), {QStringLiteral("--help")});
    QVERIFY(sim.waitForFinished(20000));
    QCOMPARE(sim.exitCode(), 0);
    const QByteArray help = sim.readAllStandardOutput();
    QVERIFY2(help.startsWith("usage: tavrin-sim"), help.constData());
    for (const char *option :
         {"--generation 1|2|3", "--heat", "--days N", "--idle", "-v", "--help"})
        QVERIFY2(help.contains(QByteArray("\n  ") + option), option);
}

QTEST_MAIN(tst_TavrinSim)
#include "tst_tavrinsim.moc"
