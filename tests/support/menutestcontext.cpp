#include "menutestcontext.h"

#include "instrumentusbbackend.h"
#include "modbusclient.h"
#include "modbuslibusbclient.h"
#include "modbusserialclient.h"

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
