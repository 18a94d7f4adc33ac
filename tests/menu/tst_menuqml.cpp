// The menu's QML units under Qt Quick Test: each tests/menu/qml/tst_*.qml file, with the
// program's "Menu" types registered, the library's module imported from the build tree and a
// test context object in place of the program's.
#include "cancelmessageevent.h"
#include "dorrikbus.h"
#include "fakeusbbackend.h"
#include "keypadhelper.h"
#include "menustartup.h"
#include "modbusbytes.h"
#include "modbusitembase.h"
#include "powermanager.h"
#include "qmlwarningrule.h"
#include "translatehelper.h"
#include "usbdevicesmodel.h"
#include "vlog.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMutex>
#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QWindow>
#include <QtQml>
#include <QtQuickTest>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QThread>

#include <algorithm>
#include <cstdio>

#include <memory>
#include <vector>

#include <fcntl.h>
#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QMutex capturedMutex;
QStringList captured;
QtMessageHandler previousHandler = nullptr;

void captureMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    {
        QMutexLocker lock(&capturedMutex);
        captured.append(message);
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

// Stands in for the program's context object: the names the screens read, `embedded` and
// `verbose` writable both ways, a count of every service called, and a record of the file,
// dialog and desktop services in `calls` (lines as "save dialog: <caption> | <dir> | <filter>",
// "open dialog: …", "saveToFile: <file> <append|new> <data>", "removeFile: <file>", "openUrl:
// <path>"). The dialogs answer saveFileAnswer and openFileAnswer; the files saved are kept here,
// not on disk.
class TestMenuContext : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool embedded READ embedded WRITE setEmbedded NOTIFY embeddedChanged)
    Q_PROPERTY(bool verbose READ verbose WRITE setVerbose NOTIFY verboseChanged)
    Q_PROPERTY(QString menuVersion READ menuVersion CONSTANT)
    Q_PROPERTY(QString dorrikBusVersion READ dorrikBusVersion CONSTANT)
    Q_PROPERTY(int clipboardShots MEMBER m_clipboardShots NOTIFY callsChanged)
    Q_PROPERTY(int fileShots MEMBER m_fileShots NOTIFY callsChanged)
    Q_PROPERTY(int restartRequests MEMBER m_restartRequests NOTIFY callsChanged)
    Q_PROPERTY(QStringList keypadLanguageNames READ keypadLanguageNames CONSTANT)
    Q_PROPERTY(bool useNumScreenKeypad MEMBER m_useNumScreenKeypad NOTIFY keypadUseChanged)
    Q_PROPERTY(bool useTextScreenKeypad MEMBER m_useTextScreenKeypad NOTIFY keypadUseChanged)
    Q_PROPERTY(bool isWindows MEMBER m_isWindows NOTIFY isWindowsChanged)
    // The build and "-set" flags the menu tree reads, as the program has them by default.
    Q_PROPERTY(bool zunfel MEMBER m_zunfel NOTIFY isWindowsChanged)
    Q_PROPERTY(bool showExitButton MEMBER m_showExitButton NOTIFY isWindowsChanged)
    Q_PROPERTY(bool hideConnectionSettings MEMBER m_hideConnectionSettings NOTIFY isWindowsChanged)
    Q_PROPERTY(bool hideRs485Settings MEMBER m_hideRs485Settings NOTIFY isWindowsChanged)

public:
    // The keypad's layouts as the program finds them: the files of the layouts' folder.
    QStringList keypadLanguageNames() const
    {
        return m_translateHelper.languageNamesInDir(QStringLiteral(
            QUICK_TEST_SOURCE_DIR "/../../../share/menu/qml/components/keypadcomponents"));
    }

    // The largest pixel size up to initFontSize at which every line of text fits width.
    Q_INVOKABLE qreal getMaxFontSizeByWidth(const QFont &font, const QString &text, qreal width,
                                            qreal paintedWidth, int initFontSize = 0)
    {
        return fit(font, text, width, paintedWidth > 0 ? -1 : 0, initFontSize);
    }
    Q_INVOKABLE qreal getMaxFontSize(const QFont &font, const QString &text, qreal width,
                                     qreal height, int initFontSize)
    {
        return fit(font, text, width, height, initFontSize);
    }

    bool embedded() const { return m_embedded; }
    void setEmbedded(bool on)
    {
        // The power managers made afterwards (a Starter's) run in the same setting.
        PowerManager::overrideEmbedded(on ? 1 : 0);
        if (m_embedded != on) {
            m_embedded = on;
            emit embeddedChanged();
        }
    }
    bool verbose() const { return m_verbose; }
    void setVerbose(bool on)
    {
        if (m_verbose != on) {
            m_verbose = on;
            emit verboseChanged();
        }
    }
    QString menuVersion() const { return QStringLiteral("1.10.6512"); }
    bool contextPdfSupport() const { return true; }
    QString dorrikBusVersion() const { return DorrikBus::version().remove(QLatin1Char('\'')); }

    Q_INVOKABLE void reset()
    {
        setEmbedded(false);
        setVerbose(false);
        resetServices();
        m_useNumScreenKeypad = m_useTextScreenKeypad = false;
        emit keypadUseChanged();
        m_clipboardShots = m_fileShots = m_restartRequests = 0;
        emit callsChanged();
    }

    // What a restart does first: ask the handlers, who may cancel.
    Q_INVOKABLE bool announceRestart()
    {
        CancelMessageEvent event;
        emit beforeRestartMenu(&event);
        return !event.cancel();
    }

public slots:
    void screenshotToClipboard()
    {
        ++m_clipboardShots;
        emit callsChanged();
    }
    void screenshotToFile(const QString & = QString(), const QString & = QStringLiteral("PNG"))
    {
        ++m_fileShots;
        emit callsChanged();
    }
    bool beginRestartMenu()
    {
        ++m_restartRequests;
        emit callsChanged();
        return true;
    }
    // The real path of the on-screen keypad: posted to the focused object.
    void sendCharEvent(const QString &arg)
    {
        if (arg.size() == 1)
            m_keypadHelper.translateCharEvent(arg.at(0));
    }
    void sendKeyEvent(int key) { m_keypadHelper.translateKeyEvent(Qt::Key(key)); }
    QString getLanguageName() { return m_languages.value(m_languageIndex); }
    QString languageNameToSuffix(const QString &arg)
    {
        return m_translateHelper.suffixByLanguageName(arg);
    }

signals:
    void embeddedChanged();
    void verboseChanged();
    void callsChanged();
    void languageIndexChanged();
    void keypadUseChanged();
    void isWindowsChanged();
    void beforeRestartMenu(CancelMessageEvent *event);
    // As the program's context reports a file the desktop did not open.
    void openUrlFailed(const QString &path);

private:
    static qreal fit(QFont font, const QString &text, qreal width, qreal height, int initFontSize)
    {
        if (width <= 0 || height == 0)
            return font.pixelSize();
        if (initFontSize > 0)
            font.setPixelSize(initFontSize);
        const QStringList lines = text.split(QLatin1Char('\n'));
        while (font.pixelSize() > 1) {
            const QFontMetricsF metrics(font);
            const bool fits = std::all_of(lines.cbegin(), lines.cend(),
                                          [&](const QString &line) {
                                              return metrics.horizontalAdvance(line) <= width;
                                          }) &&
                              (height < 0 || metrics.height() * lines.size() <= height);
            if (fits)
                break;
            font.setPixelSize(font.pixelSize() - 1);
        }
        return font.pixelSize();
    }

    // Made before the application: no program folder, so no translation files, only names.
    TranslateHelper m_translateHelper{QStringLiteral("menu"), QString()};
    KeypadHelper m_keypadHelper;
    bool m_embedded = false;
    bool m_verbose = false;
    bool m_useNumScreenKeypad = false;
    bool m_useTextScreenKeypad = false;
    bool m_isWindows = false;
    bool m_zunfel = false;
    bool m_showExitButton = false;
    bool m_hideConnectionSettings = false;
    bool m_hideRs485Settings = false;
    int m_clipboardShots = 0;
    int m_fileShots = 0;
    int m_restartRequests = 0;

    // What the device model reads and writes of the context (tests set them as they need).
    Q_PROPERTY(int connectionType MEMBER m_connectionType NOTIFY deviceSettingsChanged)
    Q_PROPERTY(int deviceAddress MEMBER m_deviceAddress NOTIFY deviceSettingsChanged)
    Q_PROPERTY(int deviceBaudRateIndex MEMBER m_deviceBaudRateIndex NOTIFY deviceSettingsChanged)
    Q_PROPERTY(bool expandBaudRates MEMBER m_expandBaudRates NOTIFY deviceSettingsChanged)
    Q_PROPERTY(QString deviceTime MEMBER m_deviceTime NOTIFY deviceSettingsChanged)

public:
    // The program's rule: the text's UTF-8 bytes fit the register area.
    Q_INVOKABLE bool validateModbusUtf8StringSize(const QString &value, int maxBytes)
    {
        return ModbusBytes::fromStringUtf8(value).size() <= maxBytes;
    }

signals:
    void deviceSettingsChanged();

private:
    int m_connectionType = 0;
    int m_deviceAddress = 1;
    int m_deviceBaudRateIndex = 4;
    bool m_expandBaudRates = false;
    QString m_deviceTime;

    // The other connection settings and the language the menu's own properties edit, kept as the
    // program keeps them; usbDevice is written only through its slot, as there.
    Q_PROPERTY(int byteTimeout MEMBER m_byteTimeout NOTIFY connectionChanged)
    Q_PROPERTY(int rtsDelay MEMBER m_rtsDelay NOTIFY connectionChanged)
    Q_PROPERTY(int readTimeout MEMBER m_readTimeout NOTIFY connectionChanged)
    Q_PROPERTY(bool controlRts MEMBER m_controlRts NOTIFY connectionChanged)
    Q_PROPERTY(QString deviceSerialPort MEMBER m_deviceSerialPort NOTIFY connectionChanged)
    Q_PROPERTY(QStringList deviceBaudRates MEMBER m_deviceBaudRates CONSTANT)
    Q_PROPERTY(QStringList serialPorts MEMBER m_serialPorts NOTIFY connectionChanged)
    Q_PROPERTY(QString usbDevice READ usbDevice NOTIFY connectionChanged)
    Q_PROPERTY(QStringList usbDevices MEMBER m_usbDevices NOTIFY connectionChanged)
    Q_PROPERTY(QStringList languages MEMBER m_languages NOTIFY languageIndexChanged)
    Q_PROPERTY(int languageIndex MEMBER m_languageIndex NOTIFY languageIndexChanged)

public:
    QString usbDevice() const { return m_usbDevice; }
    Q_INVOKABLE void setUsbDevice(const QString &device)
    {
        if (m_usbDevice != device) {
            m_usbDevice = device;
            emit connectionChanged();
        }
    }
    Q_INVOKABLE void resetConnection()
    {
        m_connectionType = 0;
        m_deviceAddress = 1;
        m_byteTimeout = 60;
        m_rtsDelay = 2;
        m_readTimeout = 500;
        m_controlRts = true;
        m_deviceSerialPort.clear();
        m_deviceBaudRateIndex = 4;
        m_serialPorts = QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")};
        m_usbDevice.clear();
        m_usbDevices = QStringList{QStringLiteral("TV0001"), QStringLiteral("TV0002")};
        emit connectionChanged();
        emit deviceSettingsChanged();
    }

signals:
    void connectionChanged();

private:
    int m_byteTimeout = 60;
    int m_rtsDelay = 2;
    int m_readTimeout = 500;
    bool m_controlRts = true;
    QString m_deviceSerialPort;
    QStringList m_deviceBaudRates{QStringLiteral("1200"),  QStringLiteral("2400"),
                                  QStringLiteral("4800"),  QStringLiteral("9600"),
                                  QStringLiteral("19200"), QStringLiteral("38400"),
                                  QStringLiteral("57600"), QStringLiteral("115200")};
    QStringList m_serialPorts{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")};
    QString m_usbDevice;
    QStringList m_usbDevices{QStringLiteral("TV0001"), QStringLiteral("TV0002")};
    QStringList m_languages{QStringLiteral("English")};
    int m_languageIndex = 0;

    // Files, dialogs, the desktop, the folders and the USB devices the screens read.
    Q_PROPERTY(bool discardDragDistance MEMBER m_discardDragDistance NOTIFY servicesChanged)
    Q_PROPERTY(QString saveFileAnswer MEMBER m_saveFileAnswer NOTIFY servicesChanged)
    Q_PROPERTY(QString openFileAnswer MEMBER m_openFileAnswer NOTIFY servicesChanged)
    Q_PROPERTY(QStringList calls READ calls NOTIFY callsChanged)
    Q_PROPERTY(QVariantMap savedFiles READ savedFiles NOTIFY callsChanged)
    Q_PROPERTY(QString modbusConfigsDir MEMBER m_modbusConfigsDir NOTIFY servicesChanged)
    Q_PROPERTY(QString docsDir MEMBER m_docsDir NOTIFY servicesChanged)
    Q_PROPERTY(QStringList openedUrls READ openedUrls NOTIFY callsChanged)
    Q_PROPERTY(bool contextPdfSupport READ contextPdfSupport CONSTANT)
    Q_PROPERTY(int usbVid MEMBER m_usbVid CONSTANT)
    Q_PROPERTY(int usbPid MEMBER m_usbPid CONSTANT)
    Q_PROPERTY(UsbDevicesModel *usbDevicesModel READ usbDevicesModel CONSTANT)

public:
    QStringList calls() const { return m_calls; }
    // The paths handed to the desktop, in order.
    QStringList openedUrls() const
    {
        QStringList urls;
        const QString prefix = QStringLiteral("openUrl: ");
        for (const QString &call : m_calls) {
            if (call.startsWith(prefix))
                urls << call.mid(prefix.size());
        }
        return urls;
    }
    QVariantMap savedFiles() const { return m_savedFiles; }
    UsbDevicesModel *usbDevicesModel()
    {
        // Made on first use, once the application exists.
        if (!m_usbDevicesModel) {
            auto bus = std::make_unique<FakeUsbBackend>();
            m_usbBus = bus.get();
            m_usbDevicesModel = std::make_unique<UsbDevicesModel>(std::move(bus));
            m_usbDevicesModel->setVidFilter(QString::number(m_usbVid, 16));
            m_usbDevicesModel->setPidFilter(QString::number(m_usbPid, 16));
        }
        return m_usbDevicesModel.get();
    }

    // The language the menu runs in, by name ("English", "Russian" ...): added to the list if
    // the list lacks it.
    Q_INVOKABLE void setLanguage(const QString &name)
    {
        if (!m_languages.contains(name))
            m_languages << name;
        m_languageIndex = int(m_languages.indexOf(name));
        emit languageIndexChanged();
    }
    // The instruments plugged in, by serial number; the model is filled again.
    Q_INVOKABLE void setUsbInstruments(const QStringList &serialNumbers)
    {
        usbDevicesModel();
        while (m_usbDeviceCount > 0) {
            m_usbBus->removeDevice(0);
            --m_usbDeviceCount;
        }
        for (const QString &serialNumber : serialNumbers) {
            m_usbBus->addInstrument(serialNumber.toUtf8());
            ++m_usbDeviceCount;
        }
        m_usbDevicesModel->fill();
    }
    Q_INVOKABLE void setFileExists(const QString &file, bool exists)
    {
        if (exists)
            m_savedFiles.insert(file, m_savedFiles.value(file, QString()));
        else
            m_savedFiles.remove(file);
        emit callsChanged();
    }

    Q_INVOKABLE bool fileExists(const QString &file) { return m_savedFiles.contains(file); }
    Q_INVOKABLE bool saveToFile(const QString &fileName, const QString &data, bool append = false)
    {
        record(QStringLiteral("saveToFile: %1 %2 %3")
                   .arg(fileName, append ? QStringLiteral("append") : QStringLiteral("new"), data));
        const QString before = append ? m_savedFiles.value(fileName).toString() : QString();
        m_savedFiles.insert(fileName, before + data);
        emit callsChanged();
        return true;
    }
    Q_INVOKABLE bool removeFile(const QString &fileName)
    {
        record(QStringLiteral("removeFile: ") + fileName);
        const bool existed = m_savedFiles.remove(fileName) > 0;
        emit callsChanged();
        return existed;
    }
    // The configurations' trim, recorded only.
    Q_INVOKABLE void deleteOldModbusConfigs()
    {
        record(QStringLiteral("deleteOldModbusConfigs"));
        emit callsChanged();
    }

public slots:
    QString executeSaveFileDialog(const QString &caption, const QString &dir, const QString &filter,
                                  const QString & = QString())
    {
        record(QStringLiteral("save dialog: %1 | %2 | %3").arg(caption, dir, filter));
        return m_saveFileAnswer;
    }
    QString executeOpenFileDialog(const QString &caption, const QString &dir, const QString &filter)
    {
        record(QStringLiteral("open dialog: %1 | %2 | %3").arg(caption, dir, filter));
        return m_openFileAnswer;
    }
    void openUrl(const QString &path) { record(QStringLiteral("openUrl: ") + path); }

signals:
    void servicesChanged();

private:
    void record(const QString &line)
    {
        m_calls << line;
        emit callsChanged();
    }
    void resetServices()
    {
        m_discardDragDistance = false;
        m_saveFileAnswer.clear();
        m_openFileAnswer.clear();
        m_calls.clear();
        m_savedFiles.clear();
        emit servicesChanged();
        if (m_languageIndex != 0 || m_languages.size() != 1) {
            m_languages = QStringList{QStringLiteral("English")};
            m_languageIndex = 0;
            emit languageIndexChanged();
        }
        if (m_usbDevicesModel)
            setUsbInstruments({});
    }

    bool m_discardDragDistance = false;
    QString m_saveFileAnswer;
    QString m_openFileAnswer;
    QStringList m_calls;
    QVariantMap m_savedFiles;
    QString m_modbusConfigsDir = QDir::tempPath() + QStringLiteral("/tst_menuqml/modbusconfigs/");
    // The program's own documents, as the build lays them out beside it.
    QString m_docsDir = QStringLiteral(DORRIK_SHIPPED_DOCS_DIR "/");
    int m_usbVid = 0x9812;
    int m_usbPid = 0x4001;
    FakeUsbBackend *m_usbBus = nullptr; // the model's
    int m_usbDeviceCount = 0;
    std::unique_ptr<UsbDevicesModel> m_usbDevicesModel;
};

// What QML cannot do by itself in a test: key events with the auto-repeat flag, and a record of
// the messages the menu logs.
class TestTools : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void sendKey(int key, bool pressed, bool autoRepeat, int modifiers = 0)
    {
        // Through the window, which hands it to the focused item and on up its parents.
        QWindow *receiver = QGuiApplication::focusWindow();
        if (!receiver && !QGuiApplication::topLevelWindows().isEmpty())
            receiver = QGuiApplication::topLevelWindows().constFirst();
        if (!receiver)
            return;
        QKeyEvent event(pressed ? QEvent::KeyPress : QEvent::KeyRelease, key,
                        Qt::KeyboardModifiers(modifiers), QString(), autoRepeat);
        QCoreApplication::sendEvent(receiver, &event);
    }

    // Starts recording; the test framework's own handler still sees every message.
    Q_INVOKABLE void captureMessages()
    {
        QMutexLocker lock(&capturedMutex);
        captured.clear();
        const QtMessageHandler current = qInstallMessageHandler(captureMessage);
        if (current != captureMessage)
            previousHandler = current;
    }
    Q_INVOKABLE QStringList messages() const
    {
        QMutexLocker lock(&capturedMutex);
        return captured;
    }

    // One sample of the touch device (the FIFO named by TSLIB_TSDEVICE), as the kernel reports
    // it: position, touch state, end of report. False when no reader opened the FIFO in time.
    Q_INVOKABLE bool touch(int x, int y, bool down)
    {
        if (m_touchFd < 0) {
            QElapsedTimer timer;
            timer.start();
            const QByteArray path = qgetenv("TSLIB_TSDEVICE");
            while (m_touchFd < 0 && timer.elapsed() < 2000) {
                m_touchFd = ::open(path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (m_touchFd < 0)
                    QThread::msleep(10);
            }
            if (m_touchFd < 0)
                return false;
        }
        const input_event events[] = {
            {{0, 0}, EV_ABS, ABS_X, x},
            {{0, 0}, EV_ABS, ABS_Y, y},
            {{0, 0}, EV_ABS, ABS_PRESSURE, down ? 100 : 0},
            {{0, 0}, EV_KEY, BTN_TOUCH, down ? 1 : 0},
            {{0, 0}, EV_SYN, SYN_REPORT, 0},
        };
        return ::write(m_touchFd, events, sizeof events) == ssize_t(sizeof events);
    }

    ~TestTools() override
    {
        if (m_touchFd >= 0)
            ::close(m_touchFd);
    }

    // A fresh folder tree under a temporary folder: names ending in "/" are folders, the others
    // empty files. Returns the tree's root.
    Q_INVOKABLE QString makeTree(const QStringList &entries)
    {
        m_trees.push_back(std::make_unique<QTemporaryDir>());
        const QDir root(m_trees.back()->path());
        for (const QString &entry : entries) {
            if (entry.endsWith(QLatin1Char('/'))) {
                root.mkpath(entry);
            } else {
                root.mkpath(QFileInfo(entry).path());
                QFile file(root.filePath(entry));
                if (!file.open(QIODevice::WriteOnly))
                    return QString();
            }
        }
        return root.path();
    }

    // The bytes a register item holds, as hexadecimal pairs ("FF CE DD 7F").
    Q_INVOKABLE QString hexBytes(QObject *item) const
    {
        auto *registerItem = qobject_cast<ModbusItemBase *>(item);
        return registerItem ? QString::fromLatin1(registerItem->bytes().toHex(' ').toUpper())
                            : QString();
    }

    // A file of the given text in a folder of its own; returns its path.
    Q_INVOKABLE QString writeFile(const QString &name, const QString &text)
    {
        m_trees.push_back(std::make_unique<QTemporaryDir>());
        const QString path = QDir(m_trees.back()->path()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            return QString();
        return path;
    }

    // A PDF of `pages` pages, each with its number written on it, and the given title.
    Q_INVOKABLE QString writePdf(const QString &name, int pages, const QString &title)
    {
        m_trees.push_back(std::make_unique<QTemporaryDir>());
        const QString path = QDir(m_trees.back()->path()).filePath(name);
        QPdfWriter writer(path);
        writer.setTitle(title);
        writer.setPageSize(QPageSize(QPageSize::A5));
        QPainter painter(&writer);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                writer.newPage();
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSize(40);
            painter.setFont(font);
            painter.drawText(QRect(0, 0, writer.width(), writer.height() / 3), Qt::AlignCenter,
                             QStringLiteral("Page %1").arg(page));
        }
        return painter.end() ? path : QString();
    }

    // The characters of `text` that the font file does not draw.
    Q_INVOKABLE QString missingCharacters(const QString &fontFile, const QString &text) const
    {
        const QRawFont font(fontFile, 20);
        if (!font.isValid())
            return text;
        QString missing;
        for (const QChar c : text) {
            if (!font.supportsCharacter(c))
                missing.append(c);
        }
        return missing;
    }

private:
    int m_touchFd = -1;
    std::vector<std::unique_ptr<QTemporaryDir>> m_trees;
};

class MenuQmlSetup : public QObject
{
    Q_OBJECT

public:
    MenuQmlSetup()
    {
        // The menu's settings element must not write to the user's own store.
        qputenv("XDG_CONFIG_HOME", m_configHome.path().toLocal8Bit());
        QCoreApplication::setOrganizationName(QStringLiteral("DorrikTest"));
        QCoreApplication::setApplicationName(QStringLiteral("tst_menuqml"));
        // The calibration screen's touch device: a FIFO the tests write kernel events into.
        const QByteArray fifo = QFile::encodeName(m_configHome.filePath(QStringLiteral("touch")));
        ::mkfifo(fifo.constData(), 0600);
        qputenv("TSLIB_TSDEVICE", fifo);
        // "Menu", "VPlots" and "SeaBattle", as the program registers them.
        MenuStartup::registerTypes();
        // A power manager of a Starter under test never reaches this machine's power files nor
        // runs its commands.
        PowerManager::Platform power;
        power.root = m_configHome.filePath(QStringLiteral("power"));
        power.startDetached = [](const QString &, const QStringList &) { return true; };
        power.pause = [](qint64) {};
        power.quit = [] {};
        PowerManager::setTestPlatform(power);
        PowerManager::overrideEmbedded(0);
    }

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        // Qt Quick Test's log puts its message handler in front of any other: the rule reads the
        // engine's warnings themselves.
        QmlWarningRule::watch(engine);
        engine->addImportPath(QStringLiteral(DORRIK_QML_IMPORT_DIR));
        engine->rootContext()->setContextObject(&m_context);
        engine->rootContext()->setContextProperty(QStringLiteral("menuContext"), &m_context);
        if (!m_log)
            m_log = std::make_unique<VLog>();
        engine->rootContext()->setContextProperty(QStringLiteral("contextLog"), m_log.get());
        engine->rootContext()->setContextProperty(QStringLiteral("testTools"), &m_tools);
    }

private:
    QTemporaryDir m_configHome;
    TestMenuContext m_context;
    std::unique_ptr<VLog> m_log; // made once the application exists
    TestTools m_tools;
};

// As QUICK_TEST_MAIN_WITH_SETUP, and a run whose documents warned while no test function ran (a
// harness made for a document, say) fails as well.
int main(int argc, char **argv)
{
    QTEST_SET_MAIN_SOURCE_PATH
    MenuQmlSetup setup;
    const int result =
        quick_test_main_with_setup(argc, argv, "tst_menuqml", QUICK_TEST_SOURCE_DIR, &setup);
    const QStringList outside = QmlWarningRule::unreported();
    for (const QString &warning : outside)
        std::fprintf(stderr, "QML warning of the menu outside a test function: %s\n",
                     qPrintable(warning));
    return result != 0 ? result : outside.isEmpty() ? 0 : 1;
}
#include "tst_menuqml.moc"
