#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The program as a user starts it: the version options, and what is not one.
class tst_Tavrin : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void versions_data();
    void versions();
    void notVersionOptions_data();
    void notVersionOptions();

private:
    void startProgram(QProcess &process, const QStringList &arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), m_home->path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->filePath("config"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TAVRIN_PROGRAM), arguments);
    }

    std::unique_ptr<QTemporaryDir> m_home;
};

const QByteArray MenuVersionLine = "     Menu version: \"1.10.6512\"\n";
const QByteArray LibraryVersionLine = "DorrikBus version: \"1.1.6505\"\n";

void tst_Tavrin::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

void tst_Tavrin::versions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("-ver") << QStringList{"-ver"};
    QTest::newRow("-version") << QStringList{"-version"};
    QTest::newRow("-ver with -v") << QStringList{"-v", "-ver"};
}

void tst_Tavrin::versions()
{
    QFETCH(QStringList, arguments);
    QProcess process;
    startProgram(process, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    const QByteArray errors = process.readAllStandardError();
    QVERIFY2(errors.contains(MenuVersionLine + LibraryVersionLine), errors.constData());
    QVERIFY2(!errors.contains("loading qml"), errors.constData());
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    // The context was built all the same: the settings and the log are there.
    QVERIFY(QFileInfo::exists(m_home->filePath("config/Dorrik/TavrinMenu.conf")));
    QVERIFY(QFileInfo::exists(m_home->filePath("TavrinMenu/log/log.txt")));
}

void tst_Tavrin::notVersionOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("other letter case") << QStringList{"-Ver"};
    QTest::newRow("longer word") << QStringList{"-verbose"};
    QTest::newRow("taken by -set") << QStringList{"-set", "-ver"};
}

void tst_Tavrin::notVersionOptions()
{
    QFETCH(QStringList, arguments);
    QProcess process;
    startProgram(process, arguments);
    QByteArray errors;
    // The menu starts as usual; then the test ends it.
    QTRY_VERIFY_WITH_TIMEOUT((errors += process.readAllStandardError()).contains("loading qml"),
                             60000);
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(10000);
    }
    errors += process.readAllStandardError();
    QVERIFY2(!errors.contains("Menu version"), errors.constData());
}

QTEST_MAIN(tst_Tavrin)
#include "tst_tavrin.moc"
