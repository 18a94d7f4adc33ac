#ifndef MENUTESTCONTEXT_H
#define MENUTESTCONTEXT_H

#include "fakeusbbackend.h"
#include "menucontext.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>

class ModbusTransport;
class SimulatedInstrument;

// The program's context with what reaches outside the program answered by the test: the save
// and open dialogs, the yes/no question, opening a file or folder and starting a program are
// recorded in calls() and answered from the members below; the USB devices model lists a
// scripted bus; the transports the connection set-up builds come from the test's factories (or
// the program's own) and are kept in transports(). With bridgeUsb() the USB links it builds run
// on that bus with the instrument behind it, so a device chosen in the menu is driven to the end.
//
// calls() lines: "save dialog: <caption> | <dir> | <filter>", "open dialog: …", "question:
// <title> | <text>", "openUrl: <path>", "start: <program> <arguments>".
class MenuTestContext : public MenuContext
{
    Q_OBJECT

public:
    explicit MenuTestContext(QObject *parent = nullptr);
    MenuTestContext(const QString &programDir, const QStringList &arguments,
                    QObject *parent = nullptr);

    QString saveFileAnswer; // the chosen file; empty: cancelled
    QString openFileAnswer;
    bool yesNoAnswer = false;
    bool startAnswer = true;
    bool openUrlAnswer = true; // whether the desktop opens what openUrl hands it
    std::function<ModbusSerialClient *(ModbusClient *client)> serialFactory;
    std::function<ModbusLibusbClient *(ModbusClient *client)> usbFactory;

    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    QList<QPointer<ModbusTransport>> transports() const { return m_transports; }

    // The bus the USB devices model lists (owned by the model).
    FakeUsbBackend &usbBus() { return *m_usbDevices; }
    // An instrument with that serial number on the listed bus and, once bridged, on the bus of
    // the USB links.
    void addUsbInstrument(const QByteArray &serialNumber);
    // The USB links built afterwards (without a usbFactory) reach `instrument`.
    void bridgeUsb(SimulatedInstrument *instrument) { m_usbInstrument = instrument; }

protected:
    QString showSaveFileDialog(const QString &caption, const QString &dir,
                               const QString &filter) override;
    QString showOpenFileDialog(const QString &caption, const QString &dir,
                               const QString &filter) override;
    bool askYesNo(const QString &title, const QString &text) override;
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingDirectory) override;
    bool openDesktopUrl(const QUrl &url) override;
    ModbusSerialClient *createSerialTransport(ModbusClient *client) override;
    ModbusLibusbClient *createUsbTransport(ModbusClient *client) override;

private:
    void setUp();

    QStringList m_calls;
    QList<QPointer<ModbusTransport>> m_transports;
    FakeUsbBackend *m_usbDevices = nullptr;
    QList<QByteArray> m_usbSerialNumbers;
    SimulatedInstrument *m_usbInstrument = nullptr;
};

#endif
