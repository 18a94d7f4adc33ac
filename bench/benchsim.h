#ifndef BENCHSIM_H
#define BENCHSIM_H

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

// What the benches that run the program against tavrin-sim share: the simulator in a process of
// its own on a pseudo-terminal, and a child's environment and arguments that make the program
// open that pseudo-terminal as its RS-485 port, offscreen with the software renderer on a
// 640x480 screen (full screen), with a home and settings of the run's own.
class BenchSim
{
public:
    BenchSim();
    ~BenchSim();
    BenchSim(const BenchSim &) = delete;
    BenchSim &operator=(const BenchSim &) = delete;

    // Starts tavrin-sim with the arguments and reads the port it prints; false (said on standard
    // error) when it printed none.
    bool start(const QStringList &arguments = {});
    void stop();

    QString port() const { return m_port; }
    // The simulator's standard output after the port's line (its -v lines).
    QProcess &process() { return m_sim; }

    QProcessEnvironment childEnvironment() const { return m_environment; }
    // The program's "-set" arguments for the port.
    QStringList childArguments() const;

private:
    QProcess m_sim;
    QString m_port;
    QTemporaryDir m_home;
    QProcessEnvironment m_environment;
};

#endif // BENCHSIM_H
