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
// <title> | <text>", "openUrl: <path>", "start: <program> <arguments>", "replace: <program>".
//
// For the menu's QML units, which run without a view: `embedded` is writable, the screenshots
// and the restart requests are counted (and then made as the program makes them, which without a
// view or with restartRuns false is nothing), and reset() and resetConnection() bring a unit's
// changes back.
class MenuTestContext : public MenuContext
{
    Q_OBJECT
    Q_PROPERTY(bool embedded READ embedded WRITE setEmbedded NOTIFY embeddedChanged)
    Q_PROPERTY(int clipboardShots READ clipboardShots NOTIFY countsChanged)
    Q_PROPERTY(int fileShots READ fileShots NOTIFY countsChanged)
    Q_PROPERTY(int restartRequests READ restartRequests NOTIFY countsChanged)

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

    // False: a restart asked for (beginRestartMenu) is only counted.
    bool restartRuns = true;

    // Hides the build's flag from QML only; the power managers made afterwards (a Starter's)
    // run in the same setting.
    bool embedded() const { return m_embedded; }
    void setEmbedded(bool on);
    int clipboardShots() const { return m_clipboardShots; }
    int fileShots() const { return m_fileShots; }
    int restartRequests() const { return m_restartRequests; }

    // Not embedded, not verbose, no screen keypads, no calls, answers nor counts.
    Q_INVOKABLE void reset();
    // The connection settings of a fresh store on RS-485, with two serial ports and two USB
    // devices listed.
    Q_INVOKABLE void resetConnection();
    // What a restart does first: asks the handlers, who may cancel; whether none did.
    Q_INVOKABLE bool announceRestart();

public slots:
    bool beginRestartMenu() override;
    void screenshotToClipboard();
    void screenshotToFile(const QString &file = QString(),
                          const QString &format = QStringLiteral("PNG"));

signals:
    void embeddedChanged();
    void countsChanged();

protected:
    QString showSaveFileDialog(const QString &caption, const QString &dir,
                               const QString &filter) override;
    QString showOpenFileDialog(const QString &caption, const QString &dir,
                               const QString &filter) override;
    bool askYesNo(const QString &title, const QString &text) override;
    bool startDetached(const QString &program, const QStringList &arguments,
                       const QString &workingDirectory) override;
    bool openDesktopUrl(const QUrl &url) override;
    // A restart's new image: logged as "replace: PROGRAM"; whether it can take the process's
    // place is startAnswer.
    bool canReplaceProcess(const QString &program) override;
    ModbusSerialClient *createSerialTransport(ModbusClient *client) override;
    ModbusLibusbClient *createUsbTransport(ModbusClient *client) override;

private:
    void setUp();

    QStringList m_calls;
    QList<QPointer<ModbusTransport>> m_transports;
    FakeUsbBackend *m_usbDevices = nullptr;
    QList<QByteArray> m_usbSerialNumbers;
    SimulatedInstrument *m_usbInstrument = nullptr;
    bool m_embedded = false;
    int m_clipboardShots = 0;
    int m_fileShots = 0;
    int m_restartRequests = 0;
};

#endif
