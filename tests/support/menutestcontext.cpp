#include "menutestcontext.h"

#include "cancelmessageevent.h"
#include "instrumentusbbackend.h"
#include "modbusclient.h"
#include "modbuslibusbclient.h"
#include "modbusserialclient.h"
#include "powermanager.h"

MenuTestContext::MenuTestContext(QObject *parent) : MenuContext(parent)
{
    setUp();
}

MenuTestContext::MenuTestContext(const QString &programDir, const QStringList &arguments,
                                 QObject *parent)
    : MenuContext(programDir, arguments, parent)
{
    setUp();
}

void MenuTestContext::setUp()
{
    m_embedded = MenuContext::embedded();
    auto backend = std::make_unique<FakeUsbBackend>();
    m_usbDevices = backend.get();
    setUsbBackend(std::move(backend));
}

void MenuTestContext::addUsbInstrument(const QByteArray &serialNumber)
{
    m_usbDevices->addInstrument(serialNumber);
    m_usbSerialNumbers << serialNumber;
    fillUsbDevices();
}

void MenuTestContext::setEmbedded(bool on)
{
    PowerManager::overrideEmbedded(on ? 1 : 0);
    if (m_embedded != on) {
        m_embedded = on;
        emit embeddedChanged();
    }
}

void MenuTestContext::reset()
{
    setEmbedded(false);
    setVerbose(false);
    setUseNumScreenKeypad(false);
    setUseTextScreenKeypad(false);
    setDiscardDragDistance(false);
    saveFileAnswer.clear();
    openFileAnswer.clear();
    clearCalls();
    m_clipboardShots = m_fileShots = m_restartRequests = 0;
    emit countsChanged();
}

void MenuTestContext::resetConnection()
{
    setConnectionType(RS485);
    setDeviceAddress(1);
    setByteTimeout(60);
    setRtsDelay(2);
    setReadTimeout(500);
    setControlRts(true);
    setDeviceSerialPort(QString(), false);
    setDeviceBaudRateIndex(4, false);
    setSerialPorts({QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")});
    setUsbDevice(QString());
    setUsbDevices({QStringLiteral("TV0001"), QStringLiteral("TV0002")});
}

bool MenuTestContext::announceRestart()
{
    CancelMessageEvent event;
    emit beforeRestartMenu(&event);
    return !event.cancel();
}

bool MenuTestContext::beginRestartMenu()
{
    ++m_restartRequests;
    emit countsChanged();
    return restartRuns ? MenuContext::beginRestartMenu() : true;
}

void MenuTestContext::screenshotToClipboard()
{
    ++m_clipboardShots;
    emit countsChanged();
    if (viewer())
        MenuContext::screenshotToClipboard();
}

void MenuTestContext::screenshotToFile(const QString &file, const QString &format)
{
    ++m_fileShots;
    emit countsChanged();
    if (viewer())
        MenuContext::screenshotToFile(file, format);
}

bool MenuTestContext::openDesktopUrl(const QUrl &url)
{
    m_calls << QStringLiteral("openUrl: ") + url.toLocalFile();
    return openUrlAnswer;
}

QString MenuTestContext::showSaveFileDialog(const QString &caption, const QString &dir,
                                            const QString &filter)
{
    m_calls << QStringLiteral("save dialog: %1 | %2 | %3").arg(caption, dir, filter);
    return saveFileAnswer;
}

QString MenuTestContext::showOpenFileDialog(const QString &caption, const QString &dir,
                                            const QString &filter)
{
    m_calls << QStringLiteral("open dialog: %1 | %2 | %3").arg(caption, dir, filter);
    return openFileAnswer;
}

bool MenuTestContext::askYesNo(const QString &title, const QString &text)
{
    m_calls << QStringLiteral("question: %1 | %2").arg(title, text);
    return yesNoAnswer;
}

bool MenuTestContext::startDetached(const QString &program, const QStringList &arguments,
                                    const QString &)
{
    m_calls << (QStringList{QStringLiteral("start:"), program} + arguments).join(QLatin1Char(' '));
    return startAnswer;
}

bool MenuTestContext::canReplaceProcess(const QString &program)
{
    m_calls << QStringLiteral("replace: ") + program;
    return startAnswer;
}

ModbusSerialClient *MenuTestContext::createSerialTransport(ModbusClient *client)
{
    ModbusSerialClient *transport =
        serialFactory ? serialFactory(client) : MenuContext::createSerialTransport(client);
    m_transports << transport;
    return transport;
}

ModbusLibusbClient *MenuTestContext::createUsbTransport(ModbusClient *client)
{
    ModbusLibusbClient *transport = nullptr;
    if (usbFactory) {
        transport = usbFactory(client);
    } else {
        std::unique_ptr<FakeUsbBackend> bus;
        if (m_usbInstrument)
            bus = std::make_unique<InstrumentUsbBackend>(*m_usbInstrument);
        else
            bus = std::make_unique<FakeUsbBackend>();
        // The links' bus holds the devices of the list (so nothing is found without them).
        for (const QByteArray &serialNumber : std::as_const(m_usbSerialNumbers))
            bus->addInstrument(serialNumber);
        transport = new ModbusLibusbClient(std::unique_ptr<UsbBackend>(std::move(bus)), client);
    }
    m_transports << transport;
    return transport;
}
