#include "vlog.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <thread>
#include <vector>

namespace {

const char *const FatalChildVariable = "TST_VLOG_FATAL_CHILD";
const QDateTime Fixed(QDate(2024, 1, 2), QTime(3, 4, 5, 6));

QStringList fileLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList rowTexts(const VLog &log)
{
    QStringList texts;
    for (int row = 0; row < log.rowCount(); ++row)
        texts.append(log.index(row, 0).data().toString());
    return texts;
}

QtMessageHandler g_outerHandler = nullptr;
QStringList g_outerMessages;

void outerHandler(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_outerMessages.append(message);
}

// QtTest handles messages itself, and a log refuses to handle them over another handler: while
// this lives, Qt's default handler is the installed one.
class DefaultHandlerScope
{
public:
    DefaultHandlerScope() : m_testHandler(qInstallMessageHandler(nullptr)) {}
    ~DefaultHandlerScope() { qInstallMessageHandler(m_testHandler); }

private:
    QtMessageHandler m_testHandler;
};

// The child run: a worker thread raises a fatal message while the log handles messages.
int fatalChild(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    VLog log;
    log.setDebugForward(false);
    log.setFileName(qEnvironmentVariable(FatalChildVariable));
    log.setLogToFile(true);
    log.setHandleAppMessages(true);
    qWarning("before the fatal message");
    std::thread worker([] { qFatal("worker gave up"); });
    worker.join();
    return 0;
}

} // namespace

// The log: rows, file lines, limits, the message handler and its threads.
class tst_VLog : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void lines_data();
    void lines();
    void rolesAndColumns();
    void keepsTheNewestRows();
    void fileRestartsAboveItsLimit();
    void rotationKeepsPreviousFiles_data();
    void rotationKeepsPreviousFiles();
    void messageRaisedWhileAppendingIsDropped();
    void fixedTimeFreezesStamps();
    void refusesWhenAnotherHandlerIsInstalled();
    void refusedLogLeavesTheHandlerAlone();
    void messagesOfEightThreads();
    void fatalOnAWorkerThreadReachesTheFile();
    void processOutput();

private:
    QString logFile() const { return m_dir->filePath(QStringLiteral("log/log.txt")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_VLog::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_VLog::lines_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("line");

    QTest::newRow("warning") << QString() << int(VLog::Warning) << "disk full"
                             << "disk full"
                             << "2024.01.02 03:04:05.0062    disk full";
    QTest::newRow("plain") << QString() << int(VLog::Plain) << "started"
                           << "started"
                           << "2024.01.02 03:04:05.0060    started";
    QTest::newRow("fatal") << QString() << int(VLog::Fatal) << "x"
                           << "x"
                           << "2024.01.02 03:04:05.0064    x";
    QTest::newRow("prefix: row trimmed, file line not")
        << "[usb]" << int(VLog::Debug) << "  link up  "
        << "[usb]   link up"
        << "2024.01.02 03:04:05.0061    [usb]   link up  ";
}

void tst_VLog::lines()
{
    QFETCH(QString, prefix);
    QFETCH(int, type);
    QFETCH(QString, text);
    QFETCH(QString, row);
    QFETCH(QString, line);

    VLog log;
    log.setDebugForward(false);
    log.setCurrentTime(Fixed);
    log.setPrefix(prefix);
    log.setFileName(logFile());
    log.setLogToFile(true);
    log.append(text, VLog::MessageType(type));

    QCOMPARE(rowTexts(log), QStringList{row});
    QCOMPARE(log.index(0, 0).data(VLog::StatusRole).toInt(), type);
    QCOMPARE(fileLines(logFile()), QStringList{line});
}

void tst_VLog::rolesAndColumns()
{
    VLog log;
    log.setDebugForward(false);
    log.append(QStringLiteral("one"), VLog::Critical);
    QCOMPARE(log.roleNames().value(Qt::DisplayRole), "message");
    QCOMPARE(log.roleNames().value(32), "status");
    QCOMPARE(log.columnCount(), 1);
    QCOMPARE(log.columnCount(log.index(0, 0)), 0);
    QCOMPARE(log.rowCount(log.index(0, 0)), 0);
    QVERIFY(!log.index(0, 0).data(Qt::ToolTipRole).isValid());
    QVERIFY(!log.index(1, 0).data().isValid());
    QVERIFY(!log.data(log.index(0, 0).siblingAtColumn(1)).isValid());
}

void tst_VLog::keepsTheNewestRows()
{
    VLog log;
    log.setDebugForward(false);
    log.setMaxLogSize(3);
    QAbstractItemModelTester tester(&log, QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int i = 1; i <= 3; ++i)
        log.append(QString::number(i));
    QSignalSpy removed(&log, &QAbstractItemModel::rowsRemoved);
    log.append(QStringLiteral("4"));
    QCOMPARE(rowTexts(log), (QStringList{"2", "3", "4"}));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed[0][1].toInt(), 0);
    QCOMPARE(removed[0][2].toInt(), 0);

    log.clear();
    QCOMPARE(log.rowCount(), 0);
}

void tst_VLog::fileRestartsAboveItsLimit()
{
    VLog log;
    log.setDebugForward(false);
    log.setCurrentTime(Fixed);
    log.setFileName(logFile());
    log.setLogToFile(true);
    log.setMaxFileSize(60);
    log.append(QStringLiteral("first"));
    log.append(QStringLiteral("second"));
    QCOMPARE(fileLines(logFile()).size(), 2); // 62 bytes: above the limit now
    log.append(QStringLiteral("third"));
    QCOMPARE(fileLines(logFile()), QStringList{"2024.01.02 03:04:05.0060    third"});
    QCOMPARE(log.rowCount(), 3);
}

void tst_VLog::rotationKeepsPreviousFiles_data()
{
    QTest::addColumn<int>("previousFiles");
    QTest::addColumn<QStringList>("kept"); // the first message of each file, newest first
    QTest::newRow("none: the full file is deleted") << 0 << QStringList{"m6"};
    QTest::newRow("one previous file") << 1 << QStringList{"m6", "m4"};
    QTest::newRow("two previous files") << 2 << QStringList{"m6", "m4", "m2"};
}

void tst_VLog::rotationKeepsPreviousFiles()
{
    QFETCH(int, previousFiles);
    QFETCH(QStringList, kept);
    VLog log;
    log.setDebugForward(false);
    log.setCurrentTime(Fixed);
    log.setFileName(logFile());
    log.setLogToFile(true);
    log.setPreviousFiles(previousFiles);
    log.setMaxFileSize(60); // two lines of 31 bytes are above it
    for (int i = 0; i <= 6; ++i)
        log.append(QStringLiteral("m%1").arg(i));

    QStringList firsts;
    for (int n = 0; n <= 3; ++n) {
        const QString name = n == 0 ? logFile() : logFile() + "." + QString::number(n);
        if (QFileInfo::exists(name))
            firsts << fileLines(name).value(0).mid(28);
    }
    QCOMPARE(firsts, kept);
    // Each previous file is whole: the newest lines before the rotation are all there.
    if (previousFiles > 0)
        QCOMPARE(fileLines(logFile() + ".1").size(), 2);
}

void tst_VLog::messageRaisedWhileAppendingIsDropped()
{
    DefaultHandlerScope scope;
    VLog log;
    // The forwarded copy, the file's failure and a view's warning all come back through the
    // handler while the log appends.
    log.setHandleAppMessages(true);
    QVERIFY(log.handleAppMessages());
    QVERIFY(log.debugForward());
    log.setFileName(m_dir->path()); // a folder: the line cannot be written
    log.setLogToFile(true);
    connect(&log, &QAbstractItemModel::rowsInserted, this,
            [] { qWarning("raised by a view of the log"); });

    log.append(QStringLiteral("hello"));
    QCOMPARE(rowTexts(log), QStringList{"hello"});

    // A message from elsewhere is recorded once, and not forwarded again.
    qWarning("outside");
    QCOMPARE(rowTexts(log), (QStringList{"hello", "outside"}));
    QCOMPARE(log.index(1, 0).data(VLog::StatusRole).toInt(), int(VLog::Warning));
    log.setHandleAppMessages(false);
}

void tst_VLog::fixedTimeFreezesStamps()
{
    VLog log;
    log.setDebugForward(false);
    log.setFileName(logFile());
    log.setLogToFile(true);
    QSignalSpy changed(&log, &VLog::currentTimeChanged);
    log.setCurrentTime(Fixed);
    log.setCurrentTime(Fixed); // unchanged: no signal, still fixed
    QCOMPARE(changed.count(), 1);
    QTest::qWait(3);
    log.append(QStringLiteral("a"));
    QTest::qWait(3);
    log.append(QStringLiteral("b"));
    QCOMPARE(log.currentTime(), Fixed);
    for (const QString &line : fileLines(logFile()))
        QVERIFY2(line.startsWith(QLatin1String("2024.01.02 03:04:05.006")), qPrintable(line));

    // Set to the very value it showed: later stamps stay at it.
    VLog other;
    other.setDebugForward(false);
    other.setFileName(m_dir->filePath(QStringLiteral("other.txt")));
    other.setLogToFile(true);
    const QDateTime shown = other.currentTime();
    other.setCurrentTime(shown);
    QTest::qWait(3);
    other.append(QStringLiteral("later"));
    QCOMPARE(other.currentTime(), shown);
    QVERIFY(fileLines(other.fileName())
                .value(0)
                .startsWith(shown.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz"))));
}

void tst_VLog::refusesWhenAnotherHandlerIsInstalled()
{
    g_outerMessages.clear();
    g_outerHandler = qInstallMessageHandler(outerHandler);
    {
        VLog log;
        log.setDebugForward(false);
        QSignalSpy changed(&log, &VLog::handleAppMessagesChanged);
        log.setHandleAppMessages(true);
        QCOMPARE(changed.count(), 0);
        qWarning("after the refusal");
        QCOMPARE(log.rowCount(), 0);
    }
    qInstallMessageHandler(g_outerHandler);
    QCOMPARE(g_outerMessages,
             (QStringList{"Message handler is also exists. Someone else handles application "
                          "messages.",
                          "after the refusal"}));
}

void tst_VLog::refusedLogLeavesTheHandlerAlone()
{
    DefaultHandlerScope scope;
    const QString refusal = QStringLiteral(
        "Message handler is also exists. Someone else handles application messages.");
    VLog first;
    first.setDebugForward(false);
    first.setHandleAppMessages(true);
    {
        VLog second;
        second.setHandleAppMessages(true);
        QCOMPARE(rowTexts(first), QStringList{refusal});
    } // switches its handling off on the way out
    qWarning("still handled");
    QCOMPARE(rowTexts(first), (QStringList{refusal, "still handled"}));
}

void tst_VLog::messagesOfEightThreads()
{
    constexpr int Threads = 8;
    constexpr int PerThread = 1000;
    DefaultHandlerScope scope;
    VLog log;
    log.setDebugForward(false);
    log.setFileName(logFile());
    log.setLogToFile(true);
    log.setHandleAppMessages(true);

    std::vector<std::thread> threads;
    for (int t = 0; t < Threads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < PerThread; ++i)
                qWarning("thread %d message %d", t, i);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QTRY_COMPARE_WITH_TIMEOUT(log.rowCount(), Threads * PerThread, 60000);
    log.setHandleAppMessages(false);

    const auto checkOrder = [](const QStringList &texts, const QString &what) {
        QList<int> next(Threads, 0);
        const QRegularExpression pattern(QStringLiteral("thread (\\d) message (\\d+)$"));
        for (const QString &text : texts) {
            const QRegularExpressionMatch match = pattern.match(text);
            QVERIFY2(match.hasMatch(), qPrintable(what + ": " + text));
            const int thread = match.captured(1).toInt();
            QCOMPARE(match.captured(2).toInt(), next[thread]);
            ++next[thread];
        }
        QCOMPARE(next, QList<int>(Threads, PerThread));
    };
    checkOrder(rowTexts(log), QStringLiteral("row"));
    const QStringList lines = fileLines(logFile());
    QCOMPARE(lines.size(), Threads * PerThread);
    checkOrder(lines, QStringLiteral("line"));
}

void tst_VLog::fatalOnAWorkerThreadReachesTheFile()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(FatalChildVariable), logFile());
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    const QStringList lines = fileLines(logFile());
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines[0].endsWith(QLatin1String("2    before the fatal message")),
             qPrintable(lines[0]));
    QVERIFY2(lines[1].endsWith(QLatin1String("4    worker gave up")), qPrintable(lines[1]));
}

void tst_VLog::processOutput()
{
    VLog log;
    log.setDebugForward(false);
    QProcess process;
    log.attach(&process);
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"), QStringLiteral("echo out; sleep 0.1; echo err >&2")});
    QVERIFY(process.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(log.rowCount(), 2, 10000);
    QCOMPARE(rowTexts(log), (QStringList{"out", "err"}));
    QCOMPARE(log.index(0, 0).data(VLog::StatusRole).toInt(), int(VLog::Plain));
    QCOMPARE(log.index(1, 0).data(VLog::StatusRole).toInt(), int(VLog::Fatal));
    QTRY_COMPARE_WITH_TIMEOUT(process.state(), QProcess::NotRunning, 10000);
    log.detach(&process);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(FatalChildVariable))
        return fatalChild(argc, argv);
    QCoreApplication app(argc, argv);
    tst_VLog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_vlog.moc"
