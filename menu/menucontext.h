#ifndef MENUCONTEXT_H
#define MENUCONTEXT_H

#include "cancelmessageevent.h"

#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class KeypadHelper;
class MenuState;
class ModbusClient;
class ModbusLibusbClient;
class ModbusSerialClient;
class ModbusSerialTransport;
class ModbusTransport;
class QMetaProperty;
class QmlApplicationViewer;
class TranslateHelper;
class VLog;
Q_MOC_INCLUDE("usbdevicesmodel.h")
class UsbDevicesModel;
class UsbBackend;

// The one object through which the QML menu reaches the program: connection settings kept in
// the settings store, build flags, versions, directories, device lists, the screen state and
// the connection of the UI's Modbus client to its transport.
class MenuContext : public QObject
{
    Q_OBJECT

    // Languages
    Q_PROPERTY(QStringList languages READ languages NOTIFY languagesChanged)
    Q_PROPERTY(
        int languageIndex READ languageIndex WRITE setLanguageIndex NOTIFY languageIndexChanged)
    Q_PROPERTY(QStringList keypadLanguageNames READ keypadLanguageNames CONSTANT)

    // Build flags, versions and directories
    Q_PROPERTY(bool embedded READ embedded CONSTANT)
    Q_PROPERTY(bool isWindows READ isWindows CONSTANT)
    Q_PROPERTY(bool contextPdfSupport READ contextPdfSupport CONSTANT)
    Q_PROPERTY(bool zunfel READ zunfel CONSTANT)
    Q_PROPERTY(QString shareDir READ shareDir CONSTANT)
    Q_PROPERTY(QString docsDir READ docsDir CONSTANT)
    Q_PROPERTY(QString modbusConfigsDir READ modbusConfigsDir CONSTANT)
    Q_PROPERTY(QString menuVersion READ menuVersion CONSTANT)
    Q_PROPERTY(quint32 menuVersionUInt READ menuVersionUInt CONSTANT)
    Q_PROPERTY(QString dorrikBusVersion READ dorrikBusVersion CONSTANT)
    Q_PROPERTY(QString qtVersion READ qtVersion CONSTANT)

    // Connection settings
    Q_PROPERTY(ConnectionType connectionType READ connectionType WRITE setConnectionType NOTIFY
                   connectionTypeChanged)
    Q_PROPERTY(
        int deviceAddress READ deviceAddress WRITE setDeviceAddress NOTIFY deviceAddressChanged)
    Q_PROPERTY(int byteTimeout READ byteTimeout WRITE setByteTimeout NOTIFY byteTimeoutChanged)
    Q_PROPERTY(int rtsDelay READ rtsDelay WRITE setRtsDelay NOTIFY rtsDelayChanged)
    Q_PROPERTY(bool controlRts READ controlRts WRITE setControlRts NOTIFY controlRtsChanged)
    Q_PROPERTY(int readTimeout READ readTimeout WRITE setReadTimeout NOTIFY readTimeoutChanged)
    Q_PROPERTY(QString deviceSerialPort READ deviceSerialPort WRITE setDeviceSerialPort NOTIFY
                   deviceSerialPortChanged)
    Q_PROPERTY(int deviceBaudRateIndex READ deviceBaudRateIndex WRITE setDeviceBaudRateIndex NOTIFY
                   deviceBaudRateIndexChanged)
    Q_PROPERTY(QStringList deviceBaudRates READ deviceBaudRates NOTIFY deviceBaudRatesChanged)
    Q_PROPERTY(int usbVid READ usbVid NOTIFY usbVidChanged)
    Q_PROPERTY(int usbPid READ usbPid NOTIFY usbPidChanged)
    Q_PROPERTY(QString usbSerialNumber READ usbSerialNumber WRITE setUsbSerialNumber NOTIFY
                   usbSerialNumberChanged)
    Q_PROPERTY(QString usbDevice READ usbDevice NOTIFY usbDeviceChanged)

    // Device lists
    Q_PROPERTY(
        QStringList serialPorts READ serialPorts WRITE setSerialPorts NOTIFY serialPortsChanged)
    Q_PROPERTY(QStringList usbDevices READ usbDevices WRITE setUsbDevices NOTIFY usbDevicesChanged)
    Q_PROPERTY(UsbDevicesModel *usbDevicesModel READ usbDevicesModel NOTIFY usbDevicesModelChanged)

    // Interface preferences
    Q_PROPERTY(QString deviceTime READ deviceTime WRITE setDeviceTime NOTIFY deviceTimeChanged)
    Q_PROPERTY(bool useNumScreenKeypad READ useNumScreenKeypad WRITE setUseNumScreenKeypad NOTIFY
                   useNumScreenKeypadChanged)
    Q_PROPERTY(bool useTextScreenKeypad READ useTextScreenKeypad WRITE setUseTextScreenKeypad NOTIFY
                   useTextScreenKeypadChanged)
    Q_PROPERTY(bool fullscreen READ fullscreen WRITE setFullscreen NOTIFY fullscreenChanged)
    Q_PROPERTY(bool expandBaudRates READ expandBaudRates WRITE setExpandBaudRates NOTIFY
                   expandBaudRatesChanged)
    Q_PROPERTY(bool verbose READ verbose WRITE setVerbose NOTIFY verboseChanged)
    Q_PROPERTY(bool discardDragDistance READ discardDragDistance WRITE setDiscardDragDistance NOTIFY
                   discardDragDistanceChanged)
    Q_PROPERTY(bool hideConnectionSettings READ hideConnectionSettings WRITE
                   setHideConnectionSettings NOTIFY hideConnectionSettingsChanged)
    Q_PROPERTY(bool hideRs485Settings READ hideRs485Settings WRITE setHideRs485Settings NOTIFY
                   hideRs485SettingsChanged)
    Q_PROPERTY(bool showExitButton READ showExitButton WRITE setShowExitButton NOTIFY
                   showExitButtonChanged)

public:
    enum ConnectionType { RS485 = 0, SPI = 1, USB = 2 };
    Q_ENUM(ConnectionType)

    static constexpr int DefaultTransportDeleteDelay = 5000;
    // The log's rows in memory (about 15 MB at this cap, see README) and the size of its file,
    // beside which one previous file is kept.
    static constexpr qint64 LogRowLimit = 50000;
    static constexpr qint64 LogFileLimit = 10000000;

    // Works from the application's folder (share/menu and the translations are found from it)
    // and its command line ("-set"); the second form takes both (tests give their own).
    explicit MenuContext(QObject *parent = nullptr);
    MenuContext(const QString &programDir, const QStringList &arguments, QObject *parent = nullptr);
    // Leaves the current state (the view closes) and deletes it at once.
    ~MenuContext() override;

    // Tests only: the build flags of the contexts constructed afterwards; -1 restores the
    // build's own value.
    static void overrideEmbedded(int value);
    static void overrideIsWindows(int value);
    static void overrideZunfel(int value);

    // Languages
    QStringList languages() const { return m_languages; }
    int languageIndex() const { return m_languageIndex; }
    void setLanguageIndex(int index);
    QStringList keypadLanguageNames() const { return m_keypadLanguageNames; }
    // Stores the index and loads its translation; false (and nothing changed) for the current
    // index or one outside the language list.
    bool applyLanguageIndex(int index);
    void updateLanguages();

    // Build flags, versions and directories
    bool embedded() const { return m_embedded; }
    bool isWindows() const { return m_isWindows; }
    bool contextPdfSupport() const { return true; }
    bool zunfel() const { return m_zunfel; }
    QString userDataDir() const { return m_userDataDir; }
    QString shareDir() const { return m_shareDir; }
    QString docsDir() const { return m_shareDir + QLatin1String("/docs/"); }
    QString modbusConfigsDir() const { return m_userDataDir + QLatin1String("/modbusconfigs/"); }
    QString menuVersion() const { return m_menuVersion; }
    quint32 menuVersionUInt() const { return m_menuVersionUInt; }
    QString dorrikBusVersion() const { return m_dorrikBusVersion; }
    QString qtVersion() const { return m_qtVersion; }
    Q_INVOKABLE quint32 convertMenuVersionToUInt(const QString &version);

    // Connection settings
    ConnectionType connectionType() const { return m_connectionType; }
    int deviceAddress() const { return m_deviceAddress; }
    int byteTimeout() const { return m_byteTimeout; }
    int rtsDelay() const { return m_rtsDelay; }
    bool controlRts() const { return m_controlRts; }
    int readTimeout() const { return m_readTimeout; }
    QString deviceSerialPort() const { return m_deviceSerialPort; }
    int deviceBaudRateIndex() const { return m_deviceBaudRateIndex; }
    QStringList deviceBaudRates() const { return m_deviceBaudRates; }
    int usbVid() const { return m_usbVid; }
    int usbPid() const { return m_usbPid; }
    QString usbSerialNumber() const { return m_usbSerialNumber; }
    QString usbDevice() const { return m_usbDevice; }

    // Device lists
    QStringList serialPorts() const { return m_serialPorts; }
    QStringList usbDevices() const { return m_usbDevices; }
    UsbDevicesModel *usbDevicesModel() const { return m_usbDevicesModel; }

    // Interface preferences
    QString deviceTime() const { return m_deviceTime; }
    bool useNumScreenKeypad() const { return m_useNumScreenKeypad; }
    bool useTextScreenKeypad() const { return m_useTextScreenKeypad; }
    bool fullscreen() const { return m_fullscreen; }
    bool expandBaudRates() const { return m_expandBaudRates; }
    bool verbose() const { return m_verbose; }
    bool discardDragDistance() const { return m_discardDragDistance; }
    bool hideConnectionSettings() const { return m_hideConnectionSettings; }
    bool hideRs485Settings() const { return m_hideRs485Settings; }
    bool showExitButton() const { return m_showExitButton; }

    // Owned parts
    VLog *log() const { return m_log; }
    TranslateHelper *translateHelper() const { return m_translateHelper; }
    KeypadHelper *keypadHelper() const { return m_keypadHelper; }
    int maxModbusConfigs() const { return m_maxModbusConfigs; }

    // Screen states and the view
    MenuState *currentState() const { return m_currentState; }
    void setState(MenuState *state);
    QmlApplicationViewer *viewer() const { return m_viewer; }
    void setViewer(QmlApplicationViewer *viewer) { m_viewer = viewer; }

    // Connection set-up: the delay after which a replaced transport is deleted.
    int transportDeleteDelay() const { return m_transportDeleteDelay; }
    void setTransportDeleteDelay(int ms) { m_transportDeleteDelay = ms; }
    // The UI's client: the ModbusClient "modbusClient" below the view's root; null without one.
    ModbusClient *findClient() const;

    // Stored settings
    void loadSettings();
    void saveSettings();

public slots:
    void setConnectionType(MenuContext::ConnectionType type);
    void setDeviceAddress(int address);
    void setByteTimeout(int ms);
    void setRtsDelay(int ms);
    void setControlRts(bool on);
    void setReadTimeout(int ms);
    void setDeviceSerialPort(const QString &port, bool doUpdateTransport = true);
    void setDeviceBaudRateIndex(int index, bool doUpdateTransport = true);
    void setUsbVid(int vid);
    void setUsbPid(int pid);
    void setUsbSerialNumber(const QString &serialNumber, bool doUpdateTransport = true);
    void setUsbDevice(const QString &device);
    void setSerialPorts(const QStringList &ports);
    void setUsbDevices(const QStringList &devices);
    void setDeviceTime(const QString &time);
    void setUseNumScreenKeypad(bool on);
    void setUseTextScreenKeypad(bool on);
    void setFullscreen(bool on);
    void setExpandBaudRates(bool on);
    void setVerbose(bool on);
    void setDiscardDragDistance(bool on);
    void setHideConnectionSettings(bool on);
    void setHideRs485Settings(bool on);
    void setShowExitButton(bool on);

    void fillSerialPorts();
    void fillUsbDevices();

    // Connection set-up
    void updateTransport();
    void updateDeviceAddress();
    void updateSerialSettings(ModbusSerialTransport *transport = nullptr);

    // Screen states
    void exitCurrentState();

signals:
    void languagesChanged();
    void languageIndexChanged();
    void connectionTypeChanged(MenuContext::ConnectionType type);
    void deviceAddressChanged(int address);
    void byteTimeoutChanged(int ms);
    void rtsDelayChanged(int ms);
    void controlRtsChanged(bool on);
    void readTimeoutChanged(int ms);
    void deviceSerialPortChanged(const QString &port);
    void deviceBaudRateIndexChanged(int index);
    void deviceBaudRatesChanged(const QStringList &rates);
    void usbVidChanged(int vid);
    void usbPidChanged(int pid);
    void usbSerialNumberChanged(const QString &serialNumber);
    void usbDeviceChanged(const QString &device);
    void serialPortsChanged(const QStringList &ports);
    void usbDevicesChanged(const QStringList &devices);
    void usbDevicesModelChanged(UsbDevicesModel *model);
    void deviceTimeChanged(const QString &time);
    void useNumScreenKeypadChanged(bool on);
    void useTextScreenKeypadChanged(bool on);
    void fullscreenChanged(bool on);
    void expandBaudRatesChanged(bool on);
    void verboseChanged(bool on);
    void discardDragDistanceChanged(bool on);
    void hideConnectionSettingsChanged(bool on);
    void hideRs485SettingsChanged(bool on);
    void showExitButtonChanged(bool on);

protected:
    // The transports the connection set-up builds, owned by `client`; tests hand in their own.
    virtual ModbusSerialClient *createSerialTransport(ModbusClient *client);
    virtual ModbusLibusbClient *createUsbTransport(ModbusClient *client);
    // The bus the USB devices model lists (tests script one); its filters stay.
    void setUsbBackend(std::unique_ptr<UsbBackend> backend);

private slots:
    void onTransportConnected();

private:
    void construct();
    void findDirectories();
    void buildBaudRates();
    void applySetOptions();
    void applySetOption(const QString &argument);
    // Converts the text to the property's type ("no" and "off" are false) and writes it; what
    // does not convert, or what the setter refuses, is reported.
    void writeSetOption(const QMetaProperty &property, const QString &value);
    // The log line for a setting refused from the command line or the store.
    void reportRefused(const QString &key, const QString &value, const QString &used) const;
    void moveShippedConfigs();
    // Whether the serial port of that name is there, listed or not (pseudo-terminals and some
    // adapters never are).
    static bool serialPortExists(const QString &port);

    // Owned parts
    QFont m_font;
    TranslateHelper *m_translateHelper = nullptr;
    VLog *m_log = nullptr;
    UsbDevicesModel *m_usbDevicesModel = nullptr;
    KeypadHelper *m_keypadHelper = nullptr;
    MenuState *m_currentState = nullptr;
    QmlApplicationViewer *m_viewer = nullptr;
    int m_maxModbusConfigs = -1;

    // Languages
    QStringList m_languages;
    int m_languageIndex = 0;
    QStringList m_keypadLanguageNames;

    // Build flags, versions and directories
    bool m_embedded = false;
    bool m_isWindows = false;
    bool m_zunfel = false;
    QString m_programDir;
    QStringList m_arguments;
    QString m_userDataDir;
    QString m_shareDir;
    QString m_menuVersion;
    quint32 m_menuVersionUInt = 0;
    QString m_dorrikBusVersion;
    QString m_qtVersion;

    // Connection settings
    ConnectionType m_connectionType = USB;
    int m_deviceAddress = 1;
    int m_byteTimeout = 60;
    int m_rtsDelay = 2;
    bool m_controlRts = true;
    int m_readTimeout = 500;
    QString m_deviceSerialPort;
    int m_deviceBaudRateIndex = 4;
    QStringList m_deviceBaudRates;
    int m_usbVid = 0x9812;
    int m_usbPid = 0x4001;
    QString m_usbSerialNumber;
    QString m_usbDevice;
    int m_transportDeleteDelay = DefaultTransportDeleteDelay;

    // Device lists
    QStringList m_serialPorts;
    QStringList m_usbDevices;

    // Interface preferences
    QString m_deviceTime;
    bool m_useNumScreenKeypad = false;
    bool m_useTextScreenKeypad = false;
    bool m_fullscreen = false;
    bool m_expandBaudRates = false;
    bool m_verbose = false;
    bool m_discardDragDistance = false;
    bool m_hideConnectionSettings = false;
    bool m_hideRs485Settings = false;
    bool m_showExitButton = false;

    // Set while the constructor runs: "-set" overrides then change properties without writing
    // the store, so the stored keys keep their values.
    bool m_constructing = false;
    bool m_reportRefusals = true;
    // The link the last set-up installed; a replaced one may still report an opening.
    QPointer<ModbusTransport> m_currentTransport;

    // Context services: files, dialogs, screenshots, fonts, versions, keys, languages, restart
    // and exit.
public:
    // Whether the start-up shows the touch-screen calibration first; never in this build.
    bool needsTouchScreenCalibration() const { return false; }

    Q_INVOKABLE bool fileExists(const QString &file);
    Q_INVOKABLE QString getFileBaseName(const QString &file);
    Q_INVOKABLE bool removeFile(const QString &fileName);
    Q_INVOKABLE bool deleteConfig(const QString &configFileName);
    Q_INVOKABLE bool saveToFile(const QString &fileName, const QString &data, bool append = false);
    Q_INVOKABLE void deleteOldModbusConfigs();
    // Tests only: the program keeps -1, every saved configuration.
    void setMaxModbusConfigs(int count) { m_maxModbusConfigs = count; }
    Q_INVOKABLE qreal getMaxFontSize(const QFont &font, const QString &text, qreal width,
                                     qreal height, int initFontSize);
    Q_INVOKABLE qreal getMaxFontSizeByWidth(const QFont &font, const QString &text, qreal width,
                                            qreal paintedWidth, int initFontSize = 0);
    Q_INVOKABLE QString convertMenuVersionToString(quint32 version);
    Q_INVOKABLE int compareVersions(const QString &version1, const QString &version2);
    // The rule itself, for stand-in contexts of tests and benchmarks.
    static int compareVersionTexts(const QString &version1, const QString &version2);
    Q_INVOKABLE bool validateModbusUtf8StringSize(const QString &value, int maxBytes);
    Q_INVOKABLE void exitApplication();

public slots:
    QString executeSaveFileDialog(const QString &caption, const QString &dir, const QString &filter,
                                  const QString &defaultSuffix = QString());
    QString executeOpenFileDialog(const QString &caption, const QString &dir,
                                  const QString &filter);
    // Hands the file or folder to the desktop's own program; a failure is logged and reported
    // by openUrlFailed, so that the operator sees it whichever screen asked.
    bool openUrl(const QString &path);
    void openFileExplorer(const QString &dir, const QString &file);
    void screenshotToFile(const QString &file = QString(),
                          const QString &format = QStringLiteral("PNG"));
    void screenshotToClipboard();
    void sendCharEvent(const QString &arg);
    void sendKeyEvent(Qt::Key key);
    void sendKeyEvent(int key);
    QString getLanguageName();
    QString languageNameToSuffix(const QString &arg);
    virtual bool restartMenu();
    virtual bool beginRestartMenu();

public:
    // What the accepted restart replaces this process with once the event loop has ended and
    // the program has torn down: the program, then its whole command line (argv[0] first).
    // Empty while no restart was accepted.
    QStringList restartCommand() const { return m_restartCommand; }

signals:
    void beforeRestartMenu(CancelMessageEvent *event);
    void openUrlFailed(const QString &path);

protected:
    // The platform's dialogs and process start; tests replace them.
    virtual QString showSaveFileDialog(const QString &caption, const QString &dir,
                                       const QString &filter);
    virtual QString showOpenFileDialog(const QString &caption, const QString &dir,
                                       const QString &filter);
    // A warning box with Yes and No, No the default; true for Yes.
    virtual bool askYesNo(const QString &title, const QString &text);
    virtual bool startDetached(const QString &program, const QStringList &arguments,
                               const QString &workingDirectory);
    // The desktop's open of a file or folder URL; false when no program took it.
    virtual bool openDesktopUrl(const QUrl &url);
    // Whether `program` can take this process's place; a restart that cannot is refused
    // while the menu still runs.
    virtual bool canReplaceProcess(const QString &program);

private:
    QImage grabView() const;

    QStringList m_restartCommand;
};

#endif // MENUCONTEXT_H
