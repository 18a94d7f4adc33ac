#include "menucontext.h"

#include "dorrikbus.h"
#include "keypadhelper.h"
#include "menustartup.h"
#include "menustate.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "modbuslibusbclient.h"
#include "modbusserialclient.h"
#include "qmlapplicationviewer.h"
#include "serialportsmodel.h"
#include "translatehelper.h"
#include "usbdevicesmodel.h"
#include "vlog.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMetaProperty>
#include <QProcess>
#include <QQuickItem>
#include <QSettings>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace {

const QString MenuVersionText = QStringLiteral("1.10.6512");

#ifdef Q_OS_WIN
constexpr bool BuildIsWindows = true;
#else
constexpr bool BuildIsWindows = false;
#endif
// The desktop build; the instrument's build has it true.
constexpr bool BuildEmbedded = false;
// The export-brand variant is a build of its own; this one is not it.
constexpr bool BuildZunfel = false;

int embeddedOverride = -1;
int isWindowsOverride = -1;
int zunfelOverride = -1;

bool buildFlag(int override, bool buildValue)
{
    return override < 0 ? buildValue : override != 0;
}

QString withoutQuotes(QString text)
{
    return text.remove(QLatin1Char('\''));
}

// What the link and the menu's editors accept. A byte or read time-out of 0 or less would make
// the serial read wait for ever; address 0 is the broadcast, which no unit answers.
constexpr int MinDeviceAddress = 1;
constexpr int MaxDeviceAddress = 247;
constexpr int MinByteTimeout = 1;
constexpr int MaxByteTimeout = 200;
constexpr int MinRtsDelay = 0;
constexpr int MaxRtsDelay = 100;
constexpr int MinReadTimeout = 50;
constexpr int MaxReadTimeout = 10000;

// The initial values of the stored settings that have no fixed default in the store.
constexpr int InitialByteTimeout = 60;
constexpr int InitialRtsDelay = 2;
constexpr int InitialReadTimeout = 500;
constexpr bool InitialControlRts = true;

bool inRange(int value, int min, int max)
{
    return value >= min && value <= max;
}

// The words a command line or a store gives a bool; anything else is no bool at all.
std::optional<bool> boolFromText(const QString &text)
{
    const QString word = text.trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("yes") ||
        word == QLatin1String("on") || word == QLatin1String("1"))
        return true;
    if (word == QLatin1String("false") || word == QLatin1String("no") ||
        word == QLatin1String("off") || word == QLatin1String("0"))
        return false;
    return std::nullopt;
}

} // namespace

// Construction

MenuContext::MenuContext(QObject *parent)
    : MenuContext(QCoreApplication::applicationDirPath(), QCoreApplication::arguments(), parent)
{}

MenuContext::MenuContext(const QString &programDir, const QStringList &arguments, QObject *parent)
    : QObject(parent), m_programDir(programDir), m_arguments(arguments)
{
    construct();
}

MenuContext::~MenuContext()
{
    if (m_currentState) {
        m_currentState->leave(this);
        delete m_currentState;
        m_currentState = nullptr;
    }
}

void MenuContext::overrideEmbedded(int value)
{
    embeddedOverride = value;
}

void MenuContext::overrideIsWindows(int value)
{
    isWindowsOverride = value;
}

void MenuContext::overrideZunfel(int value)
{
    zunfelOverride = value;
}

void MenuContext::construct()
{
    m_constructing = true;
    m_embedded = buildFlag(embeddedOverride, BuildEmbedded);
    m_isWindows = buildFlag(isWindowsOverride, BuildIsWindows);
    m_zunfel = buildFlag(zunfelOverride, BuildZunfel);
    m_userDataDir = QStandardPaths::writableLocation(QStandardPaths::HomeLocation) +
                    QDir::separator() + QCoreApplication::applicationName();

    m_translateHelper = new TranslateHelper(QStringLiteral("menu"), m_programDir, this);
    m_log = new VLog(this);
    m_usbDevicesModel = new UsbDevicesModel(this);
    m_keypadHelper = new KeypadHelper(this);
    m_currentState = new MenuState(nullptr);
    m_menuVersion = withoutQuotes(MenuVersionText);
    m_dorrikBusVersion = withoutQuotes(DorrikBus::version());
    m_qtVersion = QString::fromLatin1(qVersion());

    m_currentState->enter(this);

    m_log->setHandleAppMessages(true);
    m_log->setLogToFile(true);
    m_log->setMaxLogSize(LogRowLimit);
    m_log->setMaxFileSize(LogFileLimit);
    m_log->setPreviousFiles(1);
    m_log->setFileName(m_userDataDir + QLatin1String("/log/log.txt"));

    // The store is read after this pass and the options applied once more then: only that
    // second pass reports what it refuses.
    m_reportRefusals = false;
    applySetOptions();
    m_reportRefusals = true;
    connect(this, &MenuContext::deviceTimeChanged, m_log, &VLog::setPrefix);
    buildBaudRates();

    m_usbDevicesModel->setVidFilter(QStringLiteral("%1").arg(m_usbVid, 4, 16, QLatin1Char(' ')));
    m_usbDevicesModel->setPidFilter(QStringLiteral("%1").arg(m_usbPid, 4, 16, QLatin1Char(' ')));
    m_menuVersionUInt = convertMenuVersionToUInt(m_menuVersion);

    findDirectories();
    moveShippedConfigs();
    updateLanguages();

    fillSerialPorts();
    fillUsbDevices();

    m_constructing = false;
    loadSettings();
    saveSettings();
    // The command line wins over the store for this run, and the store keeps its values.
    m_constructing = true;
    applySetOptions();
    m_constructing = false;
}

void MenuContext::findDirectories()
{
    const QString beside = m_programDir + QLatin1String("/share/menu");
    if (QFileInfo(beside).isDir())
        m_shareDir = QFileInfo(beside).absoluteFilePath();
    else
        m_shareDir = QDir::cleanPath(QFileInfo(m_programDir).absoluteFilePath() +
                                     QLatin1String("/../share/menu"));
}

void MenuContext::buildBaudRates()
{
    m_deviceBaudRates =
        QStringList{QStringLiteral("1200"),  QStringLiteral("2400"),  QStringLiteral("4800"),
                    QStringLiteral("9600"),  QStringLiteral("19200"), QStringLiteral("38400"),
                    QStringLiteral("57600"), QStringLiteral("115200")};
    if (m_expandBaudRates)
        m_deviceBaudRates << QStringLiteral("230400") << QStringLiteral("460800")
                          << QStringLiteral("921600");
}

void MenuContext::moveShippedConfigs()
{
    const QString target = modbusConfigsDir();
    QDir().mkpath(target);
    const QFileInfoList shipped =
        QDir(m_shareDir + QLatin1String("/modbusconfigs/")).entryInfoList(QDir::Files);
    for (const QFileInfo &file : shipped) {
        const QString destination = target + file.fileName();
        if (!QFileInfo::exists(destination))
            QFile::rename(file.absoluteFilePath(), destination);
    }
}

// "-set" overrides

void MenuContext::applySetOptions()
{
    for (int i = 0; i < m_arguments.size(); ++i) {
        if (m_arguments.at(i) == QLatin1String("-set") && i + 1 < m_arguments.size()) {
            applySetOption(m_arguments.at(i + 1));
            ++i;
        }
    }
}

void MenuContext::applySetOption(const QString &argument)
{
    const QStringList parts = argument.split(QLatin1Char('='));
    const QString name = parts.first();
    const QString value = parts.size() == 1 ? QStringLiteral("true") : parts.last();
    // The language list is not there yet when the options are first applied; the index is
    // chosen in the menu only.
    if (name.compare(QLatin1String("languageIndex"), Qt::CaseInsensitive) == 0)
        return;
    const QMetaObject *meta = metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (name.compare(QLatin1String(property.name()), Qt::CaseInsensitive) != 0)
            continue;
        if (property.isWritable())
            writeSetOption(property, value);
        return;
    }
}

void MenuContext::writeSetOption(const QMetaProperty &property, const QString &value)
{
    const QString name = QString::fromLatin1(property.name());
    QVariant typed;
    bool ok = true;
    if (property.isEnumType()) {
        // A key name ("RS485") or its number.
        const int key = property.enumerator().keyToValue(value.toLatin1().constData(), &ok);
        typed = ok ? key : value.toInt(&ok);
        ok = ok && property.enumerator().valueToKey(typed.toInt()) != nullptr;
    } else if (property.metaType() == QMetaType::fromType<bool>()) {
        const std::optional<bool> on = boolFromText(value);
        ok = on.has_value();
        typed = on.value_or(false);
    } else if (property.metaType() == QMetaType::fromType<int>()) {
        typed = value.toInt(&ok);
    } else {
        typed = value;
    }
    const auto inEffect = [&] {
        const QVariant now = property.read(this);
        return property.isEnumType()
                   ? QString::fromLatin1(property.enumerator().valueToKey(now.toInt()))
                   : now.toString();
    };
    if (!ok) {
        reportRefused(name, value, inEffect());
        return;
    }
    property.write(this, typed);
    // The setters refuse what is out of range; the value in effect is then the one before.
    const QVariant now = property.read(this);
    const bool taken =
        property.isEnumType() ? now.toInt() == typed.toInt() : now.toString() == typed.toString();
    if (!taken)
        reportRefused(name, value, inEffect());
}

void MenuContext::reportRefused(const QString &key, const QString &value, const QString &used) const
{
    if (m_reportRefusals)
        qWarning().noquote() << QStringLiteral("%1: \"%2\" refused, %3 used").arg(key, value, used);
}

// Stored settings

void MenuContext::loadSettings()
{
    QSettings store;
    applyLanguageIndex(store.value(QStringLiteral("languageIndex"), 1).toInt());
    // A stored value that is no number or out of range falls back to its default, with a line
    // in the log; the save that follows loading then replaces it.
    const auto number = [&](const QString &key, int fallback, int min, int max) {
        const QVariant value = store.value(key);
        if (!value.isValid())
            return fallback;
        bool ok = false;
        const int stored = value.toInt(&ok);
        if (ok && inRange(stored, min, max))
            return stored;
        reportRefused(QStringLiteral("stored ") + key, value.toString(), QString::number(fallback));
        return fallback;
    };
    // A stored 1 (SPI) is read as USB too: the menu offers no SPI link.
    const int type = number(QStringLiteral("connectionType"), USB, RS485, USB);
    m_connectionType = type == RS485 ? RS485 : USB;
    m_deviceAddress =
        number(QStringLiteral("deviceAddress"), 1, MinDeviceAddress, MaxDeviceAddress);
    m_deviceSerialPort = store.value(QStringLiteral("deviceSerialPort"), QString()).toString();
    // Read without a default: the first run starts at "1200". An index beyond the list takes
    // its nearest end.
    const QVariant index = store.value(QStringLiteral("deviceBaudRateIndex"));
    bool indexOk = !index.isValid();
    m_deviceBaudRateIndex = index.isValid() ? index.toInt(&indexOk) : 0;
    const int lastIndex = int(m_deviceBaudRates.size()) - 1;
    if (!indexOk || !inRange(m_deviceBaudRateIndex, 0, lastIndex)) {
        m_deviceBaudRateIndex = indexOk ? qBound(0, m_deviceBaudRateIndex, lastIndex) : 0;
        reportRefused(QStringLiteral("stored deviceBaudRateIndex"), index.toString(),
                      QString::number(m_deviceBaudRateIndex));
    }
    m_usbDevice = store.value(QStringLiteral("usbSerialNumber"), QString()).toString();
    // The chosen device is the one the link opens.
    if (m_usbSerialNumber.isEmpty())
        m_usbSerialNumber = m_usbDevice;
    m_byteTimeout =
        number(QStringLiteral("byteTimeout"), InitialByteTimeout, MinByteTimeout, MaxByteTimeout);
    m_readTimeout =
        number(QStringLiteral("readTimeout"), InitialReadTimeout, MinReadTimeout, MaxReadTimeout);
    m_rtsDelay = number(QStringLiteral("rtsDelat"), InitialRtsDelay, MinRtsDelay, MaxRtsDelay);
    const QVariant rts = store.value(QStringLiteral("controlRts"));
    const std::optional<bool> controlRts =
        rts.isValid() ? boolFromText(rts.toString()) : std::optional<bool>(InitialControlRts);
    if (!controlRts)
        reportRefused(QStringLiteral("stored controlRts"), rts.toString(),
                      InitialControlRts ? QStringLiteral("true") : QStringLiteral("false"));
    m_controlRts = controlRts.value_or(InitialControlRts);
}

void MenuContext::saveSettings()
{
    if (m_constructing)
        return;
    QSettings store;
    store.setValue(QStringLiteral("languageIndex"), m_languageIndex);
    store.setValue(QStringLiteral("connectionType"), int(m_connectionType));
    store.setValue(QStringLiteral("deviceAddress"), m_deviceAddress);
    store.setValue(QStringLiteral("deviceSerialPort"), m_deviceSerialPort);
    store.setValue(QStringLiteral("deviceBaudRateIndex"), m_deviceBaudRateIndex);
    store.setValue(QStringLiteral("usbSerialNumber"), m_usbDevice);
    store.setValue(QStringLiteral("byteTimeout"), m_byteTimeout);
    store.setValue(QStringLiteral("readTimeout"), m_readTimeout);
    store.setValue(QStringLiteral("rtsDelat"), m_rtsDelay);
    store.setValue(QStringLiteral("controlRts"), m_controlRts);
    store.sync();
    // Otherwise the change would be lost at the next start without a word.
    if (store.status() != QSettings::NoError)
        qWarning().noquote() << "can't write settings to" << store.fileName();
}

// Languages and versions

void MenuContext::setLanguageIndex(int index)
{
    if (!applyLanguageIndex(index))
        return;
    saveSettings();
    emit languageIndexChanged();
}

bool MenuContext::applyLanguageIndex(int index)
{
    if (index == m_languageIndex || index < 0 || index >= m_languages.size())
        return false;
    m_languageIndex = index;
    if (index > 0)
        m_translateHelper->loadTranslation(index - 1);
    else
        m_translateHelper->unloadTranslations();
    updateLanguages();
    return true;
}

void MenuContext::updateLanguages()
{
    m_languages = QStringList{QStringLiteral("English")} + m_translateHelper->languageNames();
    m_keypadLanguageNames = m_translateHelper->languageNamesInDir(
        QDir(m_shareDir + QLatin1String("/qml/components/keypadcomponents")).absolutePath());
}

quint32 MenuContext::convertMenuVersionToUInt(const QString &version)
{
    // Missing parts count 0, as parts that are not numbers do.
    const QStringList parts = version.split(QLatin1Char('.'));
    const quint32 major = parts.value(0).toUInt();
    const quint32 minor = parts.value(1).toUInt();
    const quint32 build = parts.value(2).toUInt();
    return ((major & 0xFF) << 24) | ((minor & 0xFF) << 16) | (build & 0xFFFF);
}

// Setters

void MenuContext::setConnectionType(MenuContext::ConnectionType type)
{
    // No transport exists for SPI or an unknown type: the link would be left without one.
    if (m_connectionType == type || (type != RS485 && type != USB))
        return;
    m_connectionType = type;
    emit connectionTypeChanged(type);
    saveSettings();
    updateTransport();
}

void MenuContext::setDeviceAddress(int address)
{
    if (m_deviceAddress == address || !inRange(address, MinDeviceAddress, MaxDeviceAddress))
        return;
    m_deviceAddress = address;
    updateDeviceAddress();
    emit deviceAddressChanged(address);
    saveSettings();
}

void MenuContext::setByteTimeout(int ms)
{
    if (m_byteTimeout == ms || !inRange(ms, MinByteTimeout, MaxByteTimeout))
        return;
    m_byteTimeout = ms;
    updateSerialSettings();
    emit byteTimeoutChanged(ms);
    saveSettings();
}

void MenuContext::setRtsDelay(int ms)
{
    if (m_rtsDelay == ms || !inRange(ms, MinRtsDelay, MaxRtsDelay))
        return;
    m_rtsDelay = ms;
    updateSerialSettings();
    emit rtsDelayChanged(ms);
    saveSettings();
}

void MenuContext::setControlRts(bool on)
{
    if (m_controlRts == on)
        return;
    m_controlRts = on;
    updateSerialSettings();
    emit controlRtsChanged(on);
    saveSettings();
}

void MenuContext::setReadTimeout(int ms)
{
    if (m_readTimeout == ms || !inRange(ms, MinReadTimeout, MaxReadTimeout))
        return;
    m_readTimeout = ms;
    updateSerialSettings();
    emit readTimeoutChanged(ms);
    saveSettings();
}

void MenuContext::setDeviceSerialPort(const QString &port, bool doUpdateTransport)
{
    if (m_deviceSerialPort == port) {
        // Choosing the port again is how a user brings back a link that lost its port.
        if (doUpdateTransport && m_connectionType == RS485) {
            ModbusClient *client = findClient();
            if (client && client->transport() && !client->transport()->connected())
                updateTransport();
        }
        return;
    }
    m_deviceSerialPort = port;
    if (doUpdateTransport)
        updateTransport();
    emit deviceSerialPortChanged(port);
    saveSettings();
}

void MenuContext::setDeviceBaudRateIndex(int index, bool doUpdateTransport)
{
    if (m_deviceBaudRateIndex == index || index < 0 || index >= m_deviceBaudRates.size())
        return;
    m_deviceBaudRateIndex = index;
    if (doUpdateTransport && m_connectionType == RS485)
        updateTransport();
    emit deviceBaudRateIndexChanged(index);
    saveSettings();
}

void MenuContext::setUsbVid(int vid)
{
    if (m_usbVid == vid)
        return;
    m_usbVid = vid;
    emit usbVidChanged(vid);
}

void MenuContext::setUsbPid(int pid)
{
    if (m_usbPid == pid)
        return;
    m_usbPid = pid;
    emit usbPidChanged(pid);
}

void MenuContext::setUsbSerialNumber(const QString &serialNumber, bool doUpdateTransport)
{
    if (m_usbSerialNumber == serialNumber)
        return;
    m_usbSerialNumber = serialNumber;
    if (doUpdateTransport)
        updateTransport();
    emit usbSerialNumberChanged(serialNumber);
}

void MenuContext::setUsbDevice(const QString &device)
{
    if (m_usbDevice == device)
        return;
    m_usbDevice = device;
    emit usbDeviceChanged(device);
    saveSettings();
    // The chosen device is the one the link opens; a USB link opens it at once.
    setUsbSerialNumber(device, m_connectionType == USB);
}

void MenuContext::setSerialPorts(const QStringList &ports)
{
    if (m_serialPorts == ports)
        return;
    m_serialPorts = ports;
    emit serialPortsChanged(ports);
}

void MenuContext::setUsbDevices(const QStringList &devices)
{
    if (m_usbDevices == devices)
        return;
    m_usbDevices = devices;
    emit usbDevicesChanged(devices);
}

void MenuContext::setDeviceTime(const QString &time)
{
    if (m_deviceTime == time)
        return;
    m_deviceTime = time;
    emit deviceTimeChanged(time);
}

void MenuContext::setUseNumScreenKeypad(bool on)
{
    if (m_useNumScreenKeypad == on)
        return;
    m_useNumScreenKeypad = on;
    emit useNumScreenKeypadChanged(on);
}

void MenuContext::setUseTextScreenKeypad(bool on)
{
    if (m_useTextScreenKeypad == on)
        return;
    m_useTextScreenKeypad = on;
    emit useTextScreenKeypadChanged(on);
}

void MenuContext::setFullscreen(bool on)
{
    if (m_fullscreen == on)
        return;
    m_fullscreen = on;
    emit fullscreenChanged(on);
}

void MenuContext::setExpandBaudRates(bool on)
{
    if (m_expandBaudRates == on)
        return;
    m_expandBaudRates = on;
    emit expandBaudRatesChanged(on);
}

void MenuContext::setVerbose(bool on)
{
    if (m_verbose == on)
        return;
    m_verbose = on;
    emit verboseChanged(on);
}

void MenuContext::setDiscardDragDistance(bool on)
{
    if (m_discardDragDistance == on)
        return;
    m_discardDragDistance = on;
    emit discardDragDistanceChanged(on);
}

void MenuContext::setHideConnectionSettings(bool on)
{
    if (m_hideConnectionSettings == on)
        return;
    m_hideConnectionSettings = on;
    emit hideConnectionSettingsChanged(on);
}

void MenuContext::setHideRs485Settings(bool on)
{
    if (m_hideRs485Settings == on)
        return;
    m_hideRs485Settings = on;
    emit hideRs485SettingsChanged(on);
}

void MenuContext::setShowExitButton(bool on)
{
    if (m_showExitButton == on)
        return;
    m_showExitButton = on;
    emit showExitButtonChanged(on);
}

// Device lists

void MenuContext::fillSerialPorts()
{
    setSerialPorts(SerialPortsModel::getNewList());
}

void MenuContext::fillUsbDevices()
{
    m_usbDevicesModel->fill();
    m_usbDevices = m_usbDevicesModel->getList(false, false, true, false);
}

// Screen states

void MenuContext::setState(MenuState *state)
{
    if (m_currentState) {
        m_currentState->leave(this);
        m_currentState->deleteLater();
    }
    m_currentState = state;
    if (m_currentState)
        m_currentState->enter(this);
}

void MenuContext::exitCurrentState()
{
    if (m_currentState)
        m_currentState->leave(this);
}

// Connection set-up

ModbusClient *MenuContext::findClient() const
{
    if (!m_viewer || !m_viewer->rootObject())
        return nullptr;
    return m_viewer->rootObject()->findChild<ModbusClient *>(QStringLiteral("modbusClient"));
}

ModbusSerialClient *MenuContext::createSerialTransport(ModbusClient *client)
{
    return new ModbusSerialClient(client);
}

ModbusLibusbClient *MenuContext::createUsbTransport(ModbusClient *client)
{
    return new ModbusLibusbClient(client);
}

void MenuContext::setUsbBackend(std::unique_ptr<UsbBackend> backend)
{
    UsbDevicesModel *old = m_usbDevicesModel;
    m_usbDevicesModel = new UsbDevicesModel(std::move(backend), this);
    m_usbDevicesModel->setVidFilter(old->vidFilter());
    m_usbDevicesModel->setPidFilter(old->pidFilter());
    m_usbDevicesModel->setSerialNumberFilter(old->serialNumberFilter());
    delete old;
    emit usbDevicesModelChanged(m_usbDevicesModel);
    fillUsbDevices();
}

bool MenuContext::serialPortExists(const QString &port)
{
    if (port.isEmpty())
        return false;
    if (QFileInfo::exists(port))
        return true;
#ifdef Q_OS_UNIX
    // A port is named like QSerialPortInfo names it: without its folder.
    return !port.contains(QLatin1Char('/')) && QFileInfo::exists(QLatin1String("/dev/") + port);
#else
    return false;
#endif
}

void MenuContext::updateTransport()
{
    if (!m_viewer)
        return;
    ModbusClient *client = findClient();
    if (!client) {
        qCritical().noquote() << "'modbusClient' not found";
        return;
    }
    updateDeviceAddress();
    // No transport exists for SPI here: the client keeps the one it has.
    if (m_connectionType != RS485 && m_connectionType != USB)
        return;

    // The replaced link lives on until its deletion: it must neither retry on its own nor,
    // when its port appears, report that port or its baud rate back into the settings.
    ModbusTransport *old = client->transport();
    if (old) {
        disconnect(old, &Transport::transportConnected, this, &MenuContext::onTransportConnected);
        old->setAutoReconnect(false);
        if (old->connected() || old->reconnectWanted())
            old->disconnectTransport();
    }

    ModbusTransport *transport = nullptr;
    if (m_connectionType == RS485) {
        fillSerialPorts();
        ModbusSerialClient *serial = createSerialTransport(client);
        // A port that is there but unlisted (a pseudo-terminal, some adapters) is kept: only an
        // absent one gives way to the first listed port.
        if (!m_serialPorts.contains(m_deviceSerialPort) && !m_serialPorts.isEmpty() &&
            !serialPortExists(m_deviceSerialPort))
            setDeviceSerialPort(m_serialPorts.first(), false);
        serial->setPort(m_deviceSerialPort);
        if (m_deviceBaudRateIndex < 0)
            setDeviceBaudRateIndex(0, false);
        if (m_deviceBaudRateIndex >= m_deviceBaudRates.size())
            setDeviceBaudRateIndex(int(m_deviceBaudRates.size()) - 1, false);
        updateSerialSettings(serial);
        transport = serial;
    } else {
        ModbusLibusbClient *usb = createUsbTransport(client);
        usb->setStrictSerialNumber(false);
        usb->setVid(quint16(m_usbVid));
        usb->setPid(quint16(m_usbPid));
        usb->setSerialNumber(m_usbSerialNumber);
        transport = usb;
    }

    m_currentTransport = transport;
    connect(transport, &Transport::transportConnected, this, &MenuContext::onTransportConnected);
    if (!transport->connected())
        transport->connectTransport(true);
    client->setTransport(transport);
    if (old)
        QTimer::singleShot(m_transportDeleteDelay, old, &QObject::deleteLater);
}

void MenuContext::updateDeviceAddress()
{
    if (ModbusClient *client = findClient())
        client->setDeviceAddress(m_deviceAddress);
}

void MenuContext::updateSerialSettings(ModbusSerialTransport *transport)
{
    if (!transport) {
        ModbusClient *client = findClient();
        if (!client)
            return;
        transport = qobject_cast<ModbusSerialTransport *>(client->transport());
        if (!transport)
            return;
    }
    transport->setBaudRate(m_deviceBaudRates.value(m_deviceBaudRateIndex).toInt());
    transport->setReadTimeout(m_readTimeout);
    transport->setRtsDelay(m_rtsDelay);
    transport->setControlRts(m_controlRts);
    transport->setByteTimeout(m_byteTimeout);
}

void MenuContext::onTransportConnected()
{
    // Only the link the set-up installed last speaks for the settings.
    if (!sender() || sender() != m_currentTransport)
        return;
    if (auto *serial = qobject_cast<ModbusSerialClient *>(sender())) {
        if (!serial->connected())
            return;
        setDeviceSerialPort(serial->port(), false);
        setDeviceBaudRateIndex(int(m_deviceBaudRates.indexOf(QString::number(serial->baudRate()))),
                               false);
    } else if (auto *usb = qobject_cast<ModbusLibusbClient *>(sender())) {
        if (usb->connected())
            setUsbSerialNumber(usb->serialNumber(), false);
    }
}

// Context services

bool MenuContext::fileExists(const QString &file)
{
    return QFileInfo::exists(file);
}

QString MenuContext::getFileBaseName(const QString &file)
{
    return QFileInfo(file).baseName();
}

bool MenuContext::removeFile(const QString &fileName)
{
    return QFile::remove(fileName);
}

bool MenuContext::deleteConfig(const QString &configFileName)
{
    // The name comes from QML: an absolute path or one that climbs out of the folder would
    // delete any file the program may delete.
    const QString folder = QDir::cleanPath(QDir(modbusConfigsDir()).absolutePath());
    const QString path = QDir::cleanPath(folder + QLatin1Char('/') + configFileName);
    if (configFileName.isEmpty() || QDir::isAbsolutePath(configFileName) ||
        !path.startsWith(folder + QLatin1Char('/'))) {
        qWarning().noquote() << "deleteConfig: refused a name outside the configurations folder:"
                             << configFileName;
        return false;
    }
    return QFile::remove(path);
}

bool MenuContext::saveToFile(const QString &fileName, const QString &data, bool append)
{
    QFile file(fileName);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | QIODevice::Text | (append ? QIODevice::Append : QIODevice::Truncate);
    if (!file.open(mode))
        return false;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::System);
    stream << data;
    stream.flush();
    // A full disk or a size limit shows only when the buffered text reaches the file.
    const bool written = stream.status() == QTextStream::Ok && file.flush();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

void MenuContext::deleteOldModbusConfigs()
{
    if (m_maxModbusConfigs < 0)
        return;
    const QFileInfoList files =
        QDir(modbusConfigsDir()).entryInfoList(QDir::Files | QDir::Hidden, QDir::Time);
    for (qsizetype i = files.size() - 1; i >= m_maxModbusConfigs; --i)
        QFile::remove(files.at(i).absoluteFilePath());
}

qreal MenuContext::getMaxFontSize(const QFont &font, const QString &text, qreal width, qreal height,
                                  int initFontSize)
{
    if (height == 0 || width == 0)
        return font.pixelSize();
    m_font = font;
    if (initFontSize > 0)
        m_font.setPixelSize(initFontSize);
    while (m_font.pixelSize() > 1) {
        const QSizeF size = QFontMetricsF(m_font).size(0, text);
        if (size.width() <= width && size.height() <= height)
            break;
        m_font.setPixelSize(m_font.pixelSize() - 1);
    }
    return m_font.pixelSize();
}

qreal MenuContext::getMaxFontSizeByWidth(const QFont &font, const QString &text, qreal width,
                                         qreal paintedWidth, int initFontSize)
{
    if (width <= 0 || paintedWidth <= 0)
        return font.pixelSize();
    m_font = font;
    if (initFontSize > 0)
        m_font.setPixelSize(initFontSize);
    const QStringList lines = text.split(QLatin1Char('\n'));
    while (m_font.pixelSize() > 1) {
        const QFontMetricsF metrics(m_font);
        const bool fits = std::all_of(lines.cbegin(), lines.cend(), [&](const QString &line) {
            return metrics.horizontalAdvance(line) <= width;
        });
        if (fits)
            break;
        m_font.setPixelSize(m_font.pixelSize() - 1);
    }
    return m_font.pixelSize();
}

QString MenuContext::convertMenuVersionToString(quint32 version)
{
    return QStringLiteral("%1.%2.%3")
        .arg((version >> 24) & 0xFF)
        .arg((version >> 16) & 0xFF)
        .arg(version & 0xFFFF);
}

int MenuContext::compareVersions(const QString &version1, const QString &version2)
{
    return compareVersionTexts(version1, version2);
}

int MenuContext::compareVersionTexts(const QString &version1, const QString &version2)
{
    QStringList parts1 = version1.split(QLatin1Char('.'));
    QStringList parts2 = version2.split(QLatin1Char('.'));
    while (parts1.size() < parts2.size())
        parts1.append(QString());
    while (parts2.size() < parts1.size())
        parts2.append(QString());
    for (qsizetype i = 0; i < parts1.size(); ++i) {
        const qsizetype length = qMax(parts1.at(i).size(), parts2.at(i).size());
        parts1[i] = parts1.at(i).rightJustified(length, QLatin1Char('0'));
        parts2[i] = parts2.at(i).rightJustified(length, QLatin1Char('0'));
    }
    return QString::compare(parts1.join(QLatin1Char('.')), parts2.join(QLatin1Char('.')));
}

bool MenuContext::validateModbusUtf8StringSize(const QString &value, int maxBytes)
{
    return ModbusBytes::fromStringUtf8(value).size() <= maxBytes;
}

void MenuContext::exitApplication()
{
    QCoreApplication::exit(0);
}

QString MenuContext::executeSaveFileDialog(const QString &caption, const QString &dir,
                                           const QString &filter, const QString &defaultSuffix)
{
    QString name = showSaveFileDialog(caption, dir, filter);
    if (name.isEmpty())
        return QString();
    // Compared as passed: a suffix given with its dot never matches and is always appended.
    if (!defaultSuffix.isEmpty() && defaultSuffix != QFileInfo(name).suffix()) {
        if (!defaultSuffix.startsWith(QLatin1Char('.')))
            name += QLatin1Char('.');
        name += defaultSuffix;
        // The dialog asked about the name as typed, not about this one.
        if (QFileInfo::exists(name) &&
            !askYesNo(caption, tr("%1 already exists.\nDo you want to replace it?")
                                   .arg(QFileInfo(name).fileName())))
            return QString();
    }
    return name;
}

QString MenuContext::executeOpenFileDialog(const QString &caption, const QString &dir,
                                           const QString &filter)
{
    const QString name = showOpenFileDialog(caption, dir, filter);
    if (name.isEmpty() || !QFileInfo::exists(name))
        return QString();
    return name;
}

bool MenuContext::openUrl(const QString &path)
{
    if (openDesktopUrl(QUrl::fromLocalFile(path)))
        return true;
    qWarning().noquote() << "openUrl: no program opened" << path;
    emit openUrlFailed(path);
    return false;
}

bool MenuContext::openDesktopUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

void MenuContext::openFileExplorer(const QString &dir, const QString &file)
{
    if (file.isEmpty()) {
        openUrl(dir);
        return;
    }
    const QString path = QFileInfo(QDir(dir), file).absoluteFilePath();
    if (m_isWindows) {
        if (!startDetached(QStringLiteral("explorer"),
                           {QStringLiteral("/select,"), QDir::toNativeSeparators(path)},
                           QDir::currentPath())) {
            qWarning().noquote() << "openFileExplorer: explorer did not start for" << path;
            emit openUrlFailed(path);
        }
        return;
    }
    // No file manager here takes a file to select: show the folder that holds it.
    openUrl(QFileInfo(path).absolutePath());
}

QImage MenuContext::grabView() const
{
    return m_viewer ? m_viewer->grabWindow() : QImage();
}

void MenuContext::screenshotToFile(const QString &file, const QString &format)
{
    if (!m_viewer) {
        qWarning("screenshot: m_viewer doesn't exist");
        return;
    }
    const QImage image = grabView();
    QString target = file;
    if (target.isEmpty()) {
        QDir folder(m_userDataDir);
        folder.mkpath(QStringLiteral("."));
        for (int n = 1;; ++n) {
            const QString name =
                QStringLiteral("screenshot-%1.%2").arg(n, 3, 10, QLatin1Char('0')).arg(format);
            if (!folder.exists(name)) {
                target = folder.absoluteFilePath(name);
                break;
            }
        }
    }
    image.save(target, format.toLatin1().constData());
}

void MenuContext::screenshotToClipboard()
{
    if (!m_viewer) {
        qWarning("screenshot: m_viewer doesn't exist");
        return;
    }
    QGuiApplication::clipboard()->setImage(grabView());
}

void MenuContext::sendCharEvent(const QString &arg)
{
    if (arg.size() == 1)
        m_keypadHelper->translateCharEvent(arg.at(0));
}

void MenuContext::sendKeyEvent(Qt::Key key)
{
    m_keypadHelper->translateKeyEvent(key);
}

void MenuContext::sendKeyEvent(int key)
{
    m_keypadHelper->translateKeyEvent(Qt::Key(key));
}

QString MenuContext::getLanguageName()
{
    return m_translateHelper->languageName(m_languageIndex);
}

QString MenuContext::languageNameToSuffix(const QString &arg)
{
    return m_translateHelper->suffixByLanguageName(arg);
}

bool MenuContext::restartMenu()
{
    CancelMessageEvent event;
    emit beforeRestartMenu(&event);
    if (event.cancel())
        return false;
    // The process stays (a service manager or ./run still sees it): the program replaces its
    // own image with the same command line once it has torn down (MenuStartup::replaceProcess).
    const QString program = QCoreApplication::applicationFilePath();
    if (!canReplaceProcess(program)) {
        // Quitting now would leave the user with no menu at all.
        qWarning().noquote() << "can't restart the menu: failed to start" << program;
        return false;
    }
    m_restartCommand = QStringList{program} + MenuStartup::processCommandLine();
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                              Qt::QueuedConnection);
    return true;
}

bool MenuContext::beginRestartMenu()
{
    QMetaObject::invokeMethod(
        this, [this] { restartMenu(); }, Qt::QueuedConnection);
    return true;
}

QString MenuContext::showSaveFileDialog(const QString &caption, const QString &dir,
                                        const QString &filter)
{
    return QFileDialog::getSaveFileName(nullptr, caption, dir, filter);
}

QString MenuContext::showOpenFileDialog(const QString &caption, const QString &dir,
                                        const QString &filter)
{
    return QFileDialog::getOpenFileName(nullptr, caption, dir, filter);
}

bool MenuContext::askYesNo(const QString &title, const QString &text)
{
    return QMessageBox::warning(nullptr, title, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
}

bool MenuContext::startDetached(const QString &program, const QStringList &arguments,
                                const QString &workingDirectory)
{
    return QProcess::startDetached(program, arguments, workingDirectory);
}

bool MenuContext::canReplaceProcess(const QString &program)
{
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable();
}
