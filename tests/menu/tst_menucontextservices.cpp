#include "filesizelimit.h"
#include "menucontext.h"
#include "qmlapplicationviewer.h"
#include "touchscreencalibratestate.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

struct Launch
{
    QString program;
    QStringList arguments;
    QString workingDirectory;
};

// The context with its platform dialogs and process start answered by the test.
class TestContext : public MenuContext
{
public:
    // No command line: nothing is set from it.
    explicit TestContext(const QString &programDir) : MenuContext(programDir, QStringList()) {}

    QString saveAnswer;
    QString openAnswer;
    bool replaceAnswer = false;
    QStringList questions; // "title|text"
    QList<Launch> launches;
    bool launchSucceeds = true;
    // Set: the desktop's answer to an open, without asking the desktop.
    std::optional<bool> desktopAnswer;
    QStringList replaceChecks; // programs asked whether they can take the process's place
    bool replaceable = true;

protected:
    QString showSaveFileDialog(const QString &, const QString &, const QString &) override
    {
        return saveAnswer;
    }
    QString showOpenFileDialog(const QString &, const QString &, const QString &) override
    {
        return openAnswer;
    }
    bool askYesNo(const QString &title, const QString &text) override
    {
        questions << title + QLatin1Char('|') + text;
        return replaceAnswer;
    }
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingDirectory) override
    {
        launches.append({program, arguments, workingDirectory});
        return launchSucceeds;
    }
    bool openDesktopUrl(const QUrl &url) override
    {
        return desktopAnswer ? *desktopAnswer : MenuContext::openDesktopUrl(url);
    }
    bool canReplaceProcess(const QString &program) override
    {
        replaceChecks << program;
        return replaceable;
    }
};

// Catches what would go to the desktop's default application.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

// A window that keeps the key presses it receives.
class KeyWindow : public QWindow
{
public:
    QStringList texts;

protected:
    void keyPressEvent(QKeyEvent *event) override { texts << event->text(); }
};

void writeFile(const QString &fileName, const QByteArray &content = "x")
{
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

} // namespace

class tst_MenuContextServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void versions_data();
    void versions();
    void compareVersions_data();
    void compareVersions();
    void fileNames();
    void deleteConfigStaysInItsFolder_data();
    void deleteConfigStaysInItsFolder();
    void utf8Size_data();
    void utf8Size();
    void saveDialog_data();
    void saveDialog();
    void openDialog();
    void saveToFile();
    void saveToFileFailsWhenTheWriteFails();
    void deleteOldModbusConfigs();
    void fontFitting();
    void charEvents();
    void screenshots();
    void screenshotsWithoutView();
    void desktopOpens_data();
    void desktopOpens();
    void failedOpenReported_data();
    void failedOpenReported();
    void restart();
    void cancelledRestart();
    void failedRestartKeepsRunning();
    void exitApplication();
    void calibrationRestarts();

private:
    QTemporaryDir m_home;
    QString m_programDir;
    std::unique_ptr<TestContext> m_context;
};

void tst_MenuContextServices::initTestCase()
{
    QVERIFY(m_home.isValid());
    // Before any settings store is opened: the user's folders all lie in the temporary home.
    qputenv("HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_home.path() + "/config").toUtf8());
    m_programDir = m_home.filePath(QStringLiteral("program"));
    QDir().mkpath(m_programDir);
}

void tst_MenuContextServices::init()
{
    m_context = std::make_unique<TestContext>(m_programDir);
}

void tst_MenuContextServices::cleanup()
{
    m_context.reset();
    MenuContext::overrideIsWindows(-1);
}

void tst_MenuContextServices::versions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("packed");
    QTest::addColumn<QString>("back");

    QTest::newRow("menu version") << "1.10.6512" << quint32(17439088) << "1.10.6512";
    QTest::newRow("middle part above 255 keeps its low 8 bits")
        << "1.300.5" << quint32((1u << 24) | (44u << 16) | 5u) << "1.44.5";
    QTest::newRow("not a number counts 0") << "2.x.7" << quint32((2u << 24) | 7u) << "2.0.7";
}

void tst_MenuContextServices::versions()
{
    QFETCH(QString, text);
    QFETCH(quint32, packed);
    QFETCH(QString, back);

    QCOMPARE(m_context->convertMenuVersionToUInt(text), packed);
    QCOMPARE(m_context->convertMenuVersionToString(packed), back);
}

void tst_MenuContextServices::compareVersions_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("sign");

    QTest::newRow("1.9 < 1.10") << "1.9"
                                << "1.10" << -1;
    QTest::newRow("1.10 > 1.9") << "1.10"
                                << "1.9" << 1;
    QTest::newRow("1.10 = 1.10") << "1.10"
                                 << "1.10" << 0;
    QTest::newRow("2 = 2.0") << "2"
                             << "2.0" << 0;
    QTest::newRow("1.10.6512 > 1.10.999") << "1.10.6512"
                                          << "1.10.999" << 1;
}

void tst_MenuContextServices::compareVersions()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(int, sign);

    const int result = m_context->compareVersions(first, second);
    QCOMPARE((result > 0) - (result < 0), sign);
}

void tst_MenuContextServices::fileNames()
{
    QCOMPARE(m_context->getFileBaseName(QStringLiteral("/data/2024/archive.tar.gz")),
             QStringLiteral("archive"));
    QCOMPARE(m_context->getFileBaseName(QStringLiteral("relative/config")),
             QStringLiteral("config"));

    const QString config = m_context->modbusConfigsDir() + QStringLiteral("site.xml");
    writeFile(config);
    QVERIFY(m_context->fileExists(config));
    QVERIFY(m_context->fileExists(m_context->modbusConfigsDir()));
    QVERIFY(m_context->deleteConfig(QStringLiteral("site.xml")));
    QVERIFY(!m_context->fileExists(config));
    QVERIFY(!m_context->deleteConfig(QStringLiteral("site.xml")));
}

void tst_MenuContextServices::deleteConfigStaysInItsFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("climbs out") << "../victim.txt";
    QTest::newRow("climbs out through a subfolder") << "sub/../../victim.txt";
    QTest::newRow("absolute path") << "ABSOLUTE";
    QTest::newRow("the folder itself") << ".";
}

void tst_MenuContextServices::deleteConfigStaysInItsFolder()
{
    QFETCH(QString, name);
    // A file beside the configurations folder, in the user's data folder.
    const QString victim =
        QDir(m_context->modbusConfigsDir() + "..").absoluteFilePath("victim.txt");
    writeFile(victim);
    if (name == QLatin1String("ABSOLUTE"))
        name = victim;
    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable("deleteConfig: refused a name outside the configurations "
                                    "folder: " +
                                    name));
    QVERIFY(!m_context->deleteConfig(name));
    QVERIFY(QFileInfo::exists(victim));
    QVERIFY(QFileInfo(m_context->modbusConfigsDir()).isDir());

    const QString elsewhere = m_home.filePath(QStringLiteral("elsewhere.txt"));
    writeFile(elsewhere);
    QVERIFY(m_context->removeFile(elsewhere));
    QVERIFY(!m_context->removeFile(elsewhere));
}

void tst_MenuContextServices::utf8Size_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<bool>("fits");

    QTest::newRow("ascii, exact") << "abcd" << 4 << true;
    QTest::newRow("ascii, one over") << "abcde" << 4 << false;
    QTest::newRow("cyrillic counts two bytes a letter") << QString::fromUtf8("абв") << 6 << true;
    QTest::newRow("cyrillic, one byte short") << QString::fromUtf8("абв") << 5 << false;
    QTest::newRow("empty") << QString() << 0 << true;
}

void tst_MenuContextServices::utf8Size()
{
    QFETCH(QString, value);
    QFETCH(int, maxBytes);
    QFETCH(bool, fits);

    QCOMPARE(m_context->validateModbusUtf8StringSize(value, maxBytes), fits);
}

void tst_MenuContextServices::saveDialog_data()
{
    QTest::addColumn<QString>("chosen"); // relative to the home folder; "" cancels
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<bool>("replace");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("asked");

    QTest::newRow("cancelled") << ""
                               << "csv" << QStringList() << false << "" << false;
    QTest::newRow("suffix added") << "rows"
                                  << "csv" << QStringList() << false << "rows.csv" << false;
    QTest::newRow("suffix there already, file exists: no second question")
        << "rows.csv"
        << "csv" << QStringList{"rows.csv"} << false << "rows.csv" << false;
    QTest::newRow("other suffix: csv added")
        << "rows.txt"
        << "csv" << QStringList() << false << "rows.txt.csv" << false;
    QTest::newRow("extended name exists, No")
        << "rows"
        << "csv" << QStringList{"rows.csv"} << false << "" << true;
    QTest::newRow("extended name exists, Yes")
        << "rows"
        << "csv" << QStringList{"rows.csv"} << true << "rows.csv" << true;
    QTest::newRow("suffix with its dot: added to every name")
        << "rows.csv"
        << ".csv" << QStringList() << false << "rows.csv.csv" << false;
    QTest::newRow("no default suffix") << "rows"
                                       << "" << QStringList() << false << "rows" << false;
}

void tst_MenuContextServices::saveDialog()
{
    QFETCH(QString, chosen);
    QFETCH(QString, suffix);
    QFETCH(QStringList, existing);
    QFETCH(bool, replace);
    QFETCH(QString, result);
    QFETCH(bool, asked);

    QTemporaryDir folder;
    for (const QString &name : existing)
        writeFile(folder.filePath(name));
    m_context->saveAnswer = chosen.isEmpty() ? QString() : folder.filePath(chosen);
    m_context->replaceAnswer = replace;

    const QString name = m_context->executeSaveFileDialog(QStringLiteral("Save rows"),
                                                          folder.path(), "*.csv", suffix);
    QCOMPARE(name, result.isEmpty() ? QString() : folder.filePath(result));
    QCOMPARE(m_context->questions,
             asked ? QStringList{"Save rows|rows.csv already exists.\nDo you want to replace it?"}
                   : QStringList());
}

void tst_MenuContextServices::openDialog()
{
    const QString existing = m_home.filePath(QStringLiteral("open/config.xml"));
    writeFile(existing);
    m_context->openAnswer = existing;
    QCOMPARE(m_context->executeOpenFileDialog("Open", m_home.path(), "*.xml"), existing);
    m_context->openAnswer = m_home.filePath(QStringLiteral("open/gone.xml"));
    QCOMPARE(m_context->executeOpenFileDialog("Open", m_home.path(), "*.xml"), QString());
    m_context->openAnswer.clear();
    QCOMPARE(m_context->executeOpenFileDialog("Open", m_home.path(), "*.xml"), QString());
}

void tst_MenuContextServices::saveToFile()
{
    const QString fileName = m_home.filePath(QStringLiteral("notes/signals.txt"));
    QDir().mkpath(QFileInfo(fileName).absolutePath());

    QVERIFY(m_context->saveToFile(fileName, QStringLiteral("first line\n")));
    QVERIFY(m_context->saveToFile(fileName, QStringLiteral("replaced\n")));
    QCOMPARE(readFile(fileName), QByteArray("replaced\n"));
    QVERIFY(m_context->saveToFile(fileName, QStringLiteral("appended\n"), true));
    QCOMPARE(readFile(fileName), QByteArray("replaced\nappended\n"));

    QVERIFY(!m_context->saveToFile(m_home.filePath(QStringLiteral("no/such/folder/x.txt")),
                                   QStringLiteral("lost")));
}

void tst_MenuContextServices::saveToFileFailsWhenTheWriteFails()
{
    const QString fileName = m_home.filePath(QStringLiteral("limited.txt"));
    const QString data(4000, QLatin1Char('a'));
    {
        FileSizeLimit limit(1024);
        QVERIFY(!m_context->saveToFile(fileName, data));
        // Appending past the limit fails just the same.
        QVERIFY(!m_context->saveToFile(fileName, QStringLiteral("b"), true));
    }
    QVERIFY(m_context->saveToFile(fileName, data));
    QCOMPARE(QFileInfo(fileName).size(), 4000);
}

void tst_MenuContextServices::deleteOldModbusConfigs()
{
    const QDir folder(m_context->modbusConfigsDir());
    const QDateTime now = QDateTime::currentDateTime();
    for (int age = 0; age < 5; ++age) {
        const QString name = folder.filePath(QStringLiteral("config-%1.xml").arg(age));
        writeFile(name);
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(now.addSecs(-3600 * age), QFileDevice::FileModificationTime));
    }
    const QStringList all = folder.entryList(QDir::Files, QDir::Name);

    // -1, as the program keeps it: nothing is deleted however many files there are.
    QCOMPARE(m_context->maxModbusConfigs(), -1);
    m_context->deleteOldModbusConfigs();
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name), all);

    m_context->setMaxModbusConfigs(2);
    m_context->deleteOldModbusConfigs();
    QCOMPARE(folder.entryList(QDir::Files, QDir::Name),
             (QStringList{"config-0.xml", "config-1.xml"}));
    m_context->setMaxModbusConfigs(0);
    m_context->deleteOldModbusConfigs();
    QVERIFY(folder.entryList(QDir::Files).isEmpty());
}

void tst_MenuContextServices::fontFitting()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(40);
    const QString text = QStringLiteral("Flow rate\nm3/h");

    const qreal size = m_context->getMaxFontSize(font, text, 120, 60, 0);
    QVERIFY(size > 1 && size < 40);
    QFont fitted = font;
    fitted.setPixelSize(int(size));
    QVERIFY(QFontMetricsF(fitted).size(0, text).width() <= 120);
    QVERIFY(QFontMetricsF(fitted).size(0, text).height() <= 60);
    fitted.setPixelSize(int(size) + 1);
    const QSizeF bigger = QFontMetricsF(fitted).size(0, text);
    QVERIFY(bigger.width() > 120 || bigger.height() > 60);

    const qreal byWidth = m_context->getMaxFontSizeByWidth(font, text, 120, 1, 0);
    fitted.setPixelSize(int(byWidth));
    QVERIFY(QFontMetricsF(fitted).horizontalAdvance(QStringLiteral("Flow rate")) <= 120);
    fitted.setPixelSize(int(byWidth) + 1);
    QVERIFY(QFontMetricsF(fitted).horizontalAdvance(QStringLiteral("Flow rate")) > 120);

    // No box: the font's own size; a start size of its own; a font sized in points: -1.
    QCOMPARE(m_context->getMaxFontSize(font, text, 0, 60, 0), 40.0);
    QCOMPARE(m_context->getMaxFontSizeByWidth(font, text, 120, 0, 0), 40.0);
    QCOMPARE(m_context->getMaxFontSize(font, QStringLiteral("a"), 500, 500, 12), 12.0);
    QFont points(QStringLiteral("DejaVu Sans"), 12);
    QCOMPARE(m_context->getMaxFontSize(points, text, 10, 10, 0), -1.0);
}

void tst_MenuContextServices::charEvents()
{
    KeyWindow window;
    window.resize(50, 50);
    window.show();
    window.requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(QGuiApplication::focusObject(), &window);

    m_context->sendCharEvent(QStringLiteral("ab"));
    m_context->sendCharEvent(QString());
    m_context->sendCharEvent(QStringLiteral("7"));
    QTRY_COMPARE_WITH_TIMEOUT(window.texts, QStringList{"7"}, 2000);
    QCoreApplication::processEvents();
    QCOMPARE(window.texts, QStringList{"7"});
}

void tst_MenuContextServices::screenshots()
{
    const QString document = m_home.filePath(QStringLiteral("shot.qml"));
    writeFile(document, "import QtQuick\nRectangle { width: 120; height: 80; color: \"red\"\n"
                        "Rectangle { width: 60; height: 40; color: \"blue\" } }\n");
    QmlApplicationViewer view;
    view.setSource(QUrl::fromLocalFile(document));
    view.resize(120, 80);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    m_context->setViewer(&view);

    const QDir folder(m_context->userDataDir());
    for (const QString &name : folder.entryList({"screenshot-*"}, QDir::Files))
        QVERIFY(QFile::remove(folder.filePath(name)));
    for (int i = 0; i < 3; ++i)
        m_context->screenshotToFile();
    QCOMPARE(folder.entryList({"screenshot-*"}, QDir::Files, QDir::Name),
             (QStringList{"screenshot-001.PNG", "screenshot-002.PNG", "screenshot-003.PNG"}));
    const QImage shot(folder.filePath(QStringLiteral("screenshot-002.PNG")));
    QCOMPARE(shot.size(), QSize(120, 80) * view.devicePixelRatio());
    QCOMPARE(shot.pixelColor(100, 70), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(10, 10), QColor(Qt::blue));

    const QString named = m_home.filePath(QStringLiteral("named.jpg"));
    m_context->screenshotToFile(named, QStringLiteral("JPG"));
    QVERIFY(!QImage(named).isNull());

    QGuiApplication::clipboard()->clear();
    m_context->screenshotToClipboard();
    const QImage copied = QGuiApplication::clipboard()->image();
    QCOMPARE(copied.size(), shot.size());
    QCOMPARE(copied.pixelColor(10, 10), QColor(Qt::blue));

    m_context->setViewer(nullptr);
}

void tst_MenuContextServices::screenshotsWithoutView()
{
    QVERIFY(!m_context->viewer());
    const QDir folder(m_context->userDataDir());
    const QStringList before = folder.entryList({"screenshot-*"}, QDir::Files);
    QTest::ignoreMessage(QtWarningMsg, "screenshot: m_viewer doesn't exist");
    m_context->screenshotToFile();
    QTest::ignoreMessage(QtWarningMsg, "screenshot: m_viewer doesn't exist");
    m_context->screenshotToClipboard();
    QCOMPARE(folder.entryList({"screenshot-*"}, QDir::Files), before);
}

void tst_MenuContextServices::desktopOpens_data()
{
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QString>("call");   // "url", "folder", "file"
    QTest::addColumn<QString>("opened"); // relative to the home folder; "" for none
    QTest::addColumn<bool>("explorer");

    QTest::newRow("openUrl of a file") << false << "url"
                                       << "docs/manual.pdf" << false;
    QTest::newRow("file explorer, folder only") << false << "folder"
                                                << "docs" << false;
    QTest::newRow("file explorer, a file: its folder") << false << "file"
                                                       << "docs" << false;
    QTest::newRow("file explorer, a file, on Windows") << true << "file"
                                                       << "" << true;
}

void tst_MenuContextServices::desktopOpens()
{
    QFETCH(bool, windows);
    QFETCH(QString, call);
    QFETCH(QString, opened);
    QFETCH(bool, explorer);

    MenuContext::overrideIsWindows(windows ? 1 : 0);
    m_context = std::make_unique<TestContext>(m_programDir);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const QString docs = m_home.filePath(QStringLiteral("docs"));
    if (call == "url")
        m_context->openUrl(m_home.filePath(QStringLiteral("docs/manual.pdf")));
    else if (call == "folder")
        m_context->openFileExplorer(docs, QString());
    else
        m_context->openFileExplorer(docs, QStringLiteral("manual.pdf"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    QCOMPARE(catcher.urls, opened.isEmpty()
                               ? QList<QUrl>()
                               : QList<QUrl>{QUrl::fromLocalFile(m_home.filePath(opened))});
    QCOMPARE(m_context->launches.size(), explorer ? 1 : 0);
    if (explorer) {
        QCOMPARE(m_context->launches.first().program, QStringLiteral("explorer"));
        QCOMPARE(m_context->launches.first().arguments,
                 (QStringList{"/select,", QDir::toNativeSeparators(docs + "/manual.pdf")}));
        QCOMPARE(m_context->launches.first().workingDirectory, QDir::currentPath());
    }
}

void tst_MenuContextServices::failedOpenReported_data()
{
    QTest::addColumn<bool>("windows");
    QTest::addColumn<QString>("call"); // "url", "folder", "file"
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("reported"); // relative to the home folder; "" for none

    QTest::newRow("openUrl, a program takes it") << false << "url" << true << "";
    QTest::newRow("openUrl, no program for it") << false << "url" << false << "docs/manual.pdf";
    QTest::newRow("file explorer, no program for the folder")
        << false << "folder" << false << "docs";
    QTest::newRow("file explorer, a file, no program for its folder")
        << false << "file" << false << "docs";
    QTest::newRow("file explorer on Windows, explorer does not start")
        << true << "file" << false << "docs/manual.pdf";
}

// Whatever screen asked, a file or folder that nothing opened is reported once, with its path.
void tst_MenuContextServices::failedOpenReported()
{
    QFETCH(bool, windows);
    QFETCH(QString, call);
    QFETCH(bool, opens);
    QFETCH(QString, reported);

    MenuContext::overrideIsWindows(windows ? 1 : 0);
    auto context = std::make_unique<TestContext>(m_programDir);
    context->desktopAnswer = opens;
    context->launchSucceeds = opens;
    QSignalSpy failed(context.get(), &MenuContext::openUrlFailed);
    const QString docs = m_home.filePath(QStringLiteral("docs"));
    if (!opens)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^open")));
    if (call == "url")
        QCOMPARE(context->openUrl(m_home.filePath(QStringLiteral("docs/manual.pdf"))), opens);
    else if (call == "folder")
        context->openFileExplorer(docs, QString());
    else
        context->openFileExplorer(docs, QStringLiteral("manual.pdf"));

    QCOMPARE(failed.size(), reported.isEmpty() ? 0 : 1);
    if (!reported.isEmpty())
        QCOMPARE(QDir::cleanPath(failed.first().first().toString()), m_home.filePath(reported));
}

// A restart keeps the process: nothing is started beside it; once the loop has ended the
// program replaces its own image with the same command line, argv[0] included and given once.
void tst_MenuContextServices::restart()
{
    QStringList order;
    connect(m_context.get(), &MenuContext::beforeRestartMenu, this, [&](CancelMessageEvent *event) {
        QVERIFY(!event->cancel());
        order << QStringLiteral("beforeRestartMenu");
    });
    QVERIFY(m_context->restartMenu());
    QCOMPARE(order, QStringList{"beforeRestartMenu"});
    QVERIFY(m_context->launches.isEmpty());
    QCOMPARE(m_context->replaceChecks, QStringList{QCoreApplication::applicationFilePath()});
    QCOMPARE(m_context->restartCommand(),
             QStringList{QCoreApplication::applicationFilePath()} + QCoreApplication::arguments());

    // The quit was queued: the event loop ends as soon as it runs.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

void tst_MenuContextServices::cancelledRestart()
{
    int asked = 0;
    connect(m_context.get(), &MenuContext::beforeRestartMenu, this, [&](CancelMessageEvent *event) {
        ++asked;
        event->setCancel(true);
    });
    QVERIFY(!m_context->restartMenu());
    QVERIFY(m_context->replaceChecks.isEmpty());
    QVERIFY(m_context->restartCommand().isEmpty());

    // The deferred form answers true at once, and the restart then is cancelled all the same.
    QVERIFY(m_context->beginRestartMenu());
    QCOMPARE(asked, 1);
    QTRY_COMPARE_WITH_TIMEOUT(asked, 2, 2000);
    QVERIFY(m_context->restartCommand().isEmpty());
}

void tst_MenuContextServices::failedRestartKeepsRunning()
{
    m_context->replaceable = false;
    QTest::ignoreMessage(QtWarningMsg, qPrintable("can't restart the menu: failed to start " +
                                                  QCoreApplication::applicationFilePath()));
    QVERIFY(!m_context->restartMenu());
    QCOMPARE(m_context->replaceChecks.size(), 1);
    QVERIFY(m_context->restartCommand().isEmpty());
    // No quit was queued: the loop runs until something else ends it.
    QTimer::singleShot(300, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 7);
}

void tst_MenuContextServices::exitApplication()
{
    QTimer::singleShot(0, m_context.get(), [this] { m_context->exitApplication(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

void tst_MenuContextServices::calibrationRestarts()
{
    // The calibration document is read relative to the engine's base: the working folder.
    QTemporaryDir base;
    writeFile(base.filePath(QStringLiteral("share/menu/qml/TouchScreenCalibrator.qml")),
              "import QtQuick\nRectangle { width: 640; height: 480; color: \"black\"\n"
              "signal calibrationCompleted() }\n");
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(base.path()));

    m_context->setState(new TouchScreenCalibrateState(nullptr));
    QDir::setCurrent(previous);
    QVERIFY(m_context->viewer());
    QObject *root = m_context->viewer()->rootObject();
    QVERIFY(root);
    QVERIFY(m_context->restartCommand().isEmpty());
    QVERIFY(QMetaObject::invokeMethod(root, "calibrationCompleted"));
    QCOMPARE(m_context->restartCommand().value(0), QCoreApplication::applicationFilePath());

    // The queued quit of the restart is taken by this loop, not left for a later test.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
}

QTEST_MAIN(tst_MenuContextServices)
#include "tst_menucontextservices.moc"
