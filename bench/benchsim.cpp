#include "benchsim.h"

#include <QFile>

#include <cstdio>

BenchSim::BenchSim()
{
    QFile screen(m_home.filePath(QStringLiteral("screen.json")));
    screen.open(QIODevice::WriteOnly);
    screen.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 640, "height": 480,
                     "logicalDpi": 96, "logicalDpiX": 96, "logicalDpiY": 96}]})");
    screen.close();

    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("HOME"), m_home.path());
    m_environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                         m_home.filePath(QStringLiteral("config")));
    m_environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                         QStringLiteral("offscreen:configfile=") + screen.fileName());
    m_environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
    // The program finds the library's module beside itself; the benches live elsewhere.
    m_environment.insert(QStringLiteral("QML_IMPORT_PATH"), QStringLiteral(DORRIK_QML_IMPORT_DIR));
}

BenchSim::~BenchSim()
{
    stop();
}

bool BenchSim::start(const QStringList &arguments)
{
    m_sim.start(QStringLiteral(DORRIK_SIM_PATH), arguments);
    while (!m_sim.canReadLine() && m_sim.waitForReadyRead(5000)) {
    }
    if (!m_sim.canReadLine()) {
        std::fprintf(stderr, "tavrin-sim did not start\n");
        return false;
    }
    m_port = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
    return m_port.startsWith(QLatin1String("/dev/"));
}

void BenchSim::stop()
{
    if (m_sim.state() == QProcess::NotRunning)
        return;
    m_sim.terminate();
    if (!m_sim.waitForFinished(3000))
        m_sim.kill();
}

QStringList BenchSim::childArguments() const
{
    return {QStringLiteral("-set"), QStringLiteral("connectionType=RS485"), QStringLiteral("-set"),
            QStringLiteral("deviceSerialPort=") + m_port, QStringLiteral("-set"),
            QStringLiteral("fullscreen")};
}
