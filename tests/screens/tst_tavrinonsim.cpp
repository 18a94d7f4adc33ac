#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

// tavrin on the pseudo-terminal of tavrin-sim, as ./run starts them: the menu reads the live
// block at the size the instrument's generation and heat channel give.
class tst_TavrinOnSim : public QObject
{
    Q_OBJECT

private slots:
    void liveBlockOfAHeatInstrument();
};

void tst_TavrinOnSim::liveBlockOfAHeatInstrument()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath("config"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess simulator;
    simulator.setProcessEnvironment(environment);
    simulator.start(QStringLiteral(TAVRIN_SIM_PROGRAM), {"--generation", "2", "--heat", "-v"});
    QVERIFY(simulator.waitForStarted());
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += simulator.readAllStandardOutput()).contains('\n'), 10000);
    const QString port = QString::fromLocal8Bit(output.left(output.indexOf('\n')));
    QVERIFY2(port.startsWith(QLatin1String("/dev/")), qPrintable(port));

    QProcess menu;
    menu.setProcessEnvironment(environment);
    menu.start(QStringLiteral(TAVRIN_PROGRAM),
               {"-set", "connectionType=RS485", "-set", "deviceSerialPort=" + port});
    QVERIFY(menu.waitForStarted());
    // Function 4 at 300701: 70 registers until generation and heat channel are known, then 104.
    const QByteArray heatRead = "function 4 address 300701 count 104\n";
    QTRY_VERIFY2_WITH_TIMEOUT((output += simulator.readAllStandardOutput()).contains(heatRead),
                              output.right(2000).constData(), 30000);
    QVERIFY(output.contains("function 4 address 300044 count 2\n"));
    QVERIFY(output.contains("function 4 address 300009 count 1\n"));

    menu.terminate();
    QVERIFY(menu.waitForFinished(10000));
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(10000));
    QCOMPARE(simulator.exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_TavrinOnSim)
#include "tst_tavrinonsim.moc"
