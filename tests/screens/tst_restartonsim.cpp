// A language change under ./run: the menu restarts in its own process, so ./run keeps the
// simulated instrument and the restarted menu reads it again.
//
// With "--menu-probe" this program is the menu itself, as ./run starts tavrin (its context on the
// program's folder, the main menu, the arguments ./run gives): once the instrument has answered
// it prints "reached pid <pid> language <index>", then changes the language (the menu restarts;
// the environment, which the restarted image inherits, marks it) or, once restarted, ends.
#include "menucontext.h"
#include "menustartup.h"
#include "qmlapplicationviewer.h"

#include <QApplication>
#include <QProcess>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace {

int menuProbe(int argc, char *argv[])
{
    MenuStartup::setApplicationNames();
    int code = 0;
    QStringList restart;
    {
        QApplication app(argc, argv);
        MenuStartup::prepareApplication();
        MenuContext context(QStringLiteral(DORRIK_PROGRAM_DIR), QCoreApplication::arguments());
        const int language = context.languageIndex();
        QTimer poll;
        poll.setInterval(100);
        QObject::connect(&poll, &QTimer::timeout, &context, [&] {
            QObject *root = context.viewer() ? context.viewer()->rootObject() : nullptr;
            QObject *client =
                root ? root->findChild<QObject *>(QStringLiteral("modbusClient")) : nullptr;
            if (!client || client->property("goodTasksCount").toULongLong() == 0)
                return;
            poll.stop();
            std::printf("reached pid %lld language %d\n", qint64(::getpid()), language);
            std::fflush(stdout);
            if (qEnvironmentVariableIsSet("TAVRIN_PROBE_RESTARTED")) {
                context.exitApplication();
            } else {
                qputenv("TAVRIN_PROBE_RESTARTED", "1");
                context.setProperty("languageIndex", 1 - language);
            }
        });
        poll.start();
        code = MenuStartup::run(context, QCoreApplication::arguments());
        restart = context.restartCommand();
    }
    return MenuStartup::replaceProcess(restart, code);
}

} // namespace

class tst_RestartOnSim : public QObject
{
    Q_OBJECT

private slots:
    void languageChangeKeepsProcessAndInstrument();
};

void tst_RestartOnSim::languageChangeKeepsProcessAndInstrument()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath("config"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QML_IMPORT_PATH"), QStringLiteral(DORRIK_BUILD_DIR "/menu"));
    environment.insert(QStringLiteral("TAVRIN_RUN_BUILD"), QStringLiteral(DORRIK_BUILD_DIR));
    environment.insert(QStringLiteral("TAVRIN_RUN_PROGRAM"),
                       QCoreApplication::applicationFilePath());
    // Straight to the program, without a virtual display.
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("none"));

    QProcess run;
    run.setProcessEnvironment(environment);
    run.start(QStringLiteral(DORRIK_RUN_SCRIPT), {"--menu-probe"});
    QVERIFY(run.waitForStarted());
    QVERIFY2(run.waitForFinished(120000), run.readAllStandardError().right(2000).constData());
    const QString output = QString::fromLocal8Bit(run.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(run.readAllStandardError());
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QVERIFY2(run.exitCode() == 0, qPrintable(output + errors.right(2000)));

    // One instrument for the whole run, reached before and after the restart by one process.
    QCOMPARE(output.count(QStringLiteral("simulated instrument on /dev/")), 1);
    QRegularExpression reached(QStringLiteral("reached pid (\\d+) language (\\d)"));
    QStringList pids, languages;
    for (auto it = reached.globalMatch(output); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        pids << match.captured(1);
        languages << match.captured(2);
    }
    QVERIFY2(languages.size() == 2 && languages.at(0) != languages.at(1), qPrintable(output));
    QCOMPARE(pids.at(1), pids.at(0));
}

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--menu-probe") == 0)
            return menuProbe(argc, argv);
    }
    QCoreApplication app(argc, argv);
    tst_RestartOnSim test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_restartonsim.moc"
