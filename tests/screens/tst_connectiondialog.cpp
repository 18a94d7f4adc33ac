// The connection settings dialog in the whole menu, against two simulated instruments on a
// scripted USB bus: the rows of each connection type, one button per instrument with its serial
// number, the choice that moves the program's link, the once-a-second refresh, devices that go
// or never answer, and the dialog by keys.
#include "menucontext.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "requestlog.h"
#include "routedusblink.h"

#include <QColor>
#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

using namespace RequestLog;

constexpr quint32 SerialNumberRegister = 400015;
const QByteArray usbA = QByteArrayLiteral("TV-A");
const QByteArray usbB = QByteArrayLiteral("TV-B");

QList<QQuickItem *> itemsNamed(QQuickItem *root, const QString &name)
{
    QList<QQuickItem *> found;
    if (!root)
        return found;
    if (root->objectName() == name)
        found << root;
    for (QQuickItem *child : root->childItems())
        found << itemsNamed(child, name);
    return found;
}

// The menu on USB with the instrument behind "TV-A" chosen, a second instrument behind "TV-B",
// both listed, and a dialog whose own links reach them with the given read time-out.
class DialogRig
{
public:
    explicit DialogRig(const QSize &size = QSize(800, 600)) : menu(size)
    {
        menu.instrument().setRegisters(SerialNumberRegister, ModbusBytes::fromUInt32(1001));
        second.setRegisters(SerialNumberRegister, ModbusBytes::fromUInt32(2002));
        auto context = std::make_unique<MenuTestContext>();
        this->context = context.get();
        context->addUsbInstrument(usbA);
        context->addUsbInstrument(usbB);
        context->usbFactory = [](ModbusClient *client) { return new RoutedUsbLink(client); };
        context->setConnectionType(MenuContext::USB);
        context->setUsbSerialNumber(QString::fromLatin1(usbA), false);
        menu.setContext(std::move(context));
        setDevices({});
    }

    // Devices beyond the two: USB serial number and whether an instrument stands behind it
    // (otherwise it never answers); a listed device absent from the links' bus fails to open.
    void setDevices(const RoutedUsbLink::Devices &more)
    {
        RoutedUsbLink::setDevices(
            RoutedUsbLink::Devices{{usbA, &menu.instrument()}, {usbB, &second}} + more);
    }

    bool start()
    {
        static const bool registered = [] {
            qmlRegisterType<RoutedUsbLink>("TavrinTest", 1, 0, "RoutedUsbLink");
            return true;
        }();
        Q_UNUSED(registered)
        if (!menu.start(false)) {
            qWarning().noquote() << menu.error();
            return false;
        }
        return MenuDriver::waitFor(
            [&] { return menu.evaluate(QStringLiteral("deviceModbus.connected")).toBool(); }, 5000);
    }

    QQuickItem *open(int readTimeout = 300)
    {
        QQmlEngine *engine = qmlEngine(menu.root());
        linkComponent = std::make_unique<QQmlComponent>(engine);
        linkComponent->setData(
            QStringLiteral("import TavrinTest 1.0\nRoutedUsbLink { readTimeout: %1 }")
                .arg(readTimeout)
                .toUtf8(),
            QUrl());
        engine->rootContext()->setContextProperty(QStringLiteral("testUsbLinks"),
                                                  linkComponent.get());
        menu.evaluate(QStringLiteral(
            "screenManager.showConnectionSettingsDialog(null, {\"serialNumberItem\": "
            "deviceModbus.serialNumber, \"reportItem\": deviceModbus.report, "
            "\"usbLinkComponent\": testUsbLinks})"));
        QQuickItem *found = nullptr;
        MenuDriver::waitFor(
            [&] {
                found = menu.item(QStringLiteral("connectionSettingsDialog"));
                return found && found->isVisible();
            },
            3000);
        MenuDriver::settle(400);
        return found;
    }

    QQuickItem *dialog() const { return menu.item(QStringLiteral("connectionSettingsDialog")); }

    QList<QQuickItem *> buttons() const
    {
        return itemsNamed(dialog(), QStringLiteral("usbDeviceButton"));
    }
    QQuickItem *button(const QByteArray &usb) const
    {
        for (QQuickItem *b : buttons()) {
            if (b->property("serialNumber").toString() == QString::fromLatin1(usb))
                return b;
        }
        return nullptr;
    }
    QString caption(const QByteArray &usb) const
    {
        QQuickItem *b = button(usb);
        auto *face = b ? b->property("button").value<QQuickItem *>() : nullptr;
        return face ? face->property("caption").toString() : QStringLiteral("<no button>");
    }
    bool checked(const QByteArray &usb) const
    {
        QQuickItem *b = button(usb);
        auto *face = b ? b->property("button").value<QQuickItem *>() : nullptr;
        return face && face->property("checked").toBool();
    }

    // The links the dialog made (not the program's), living.
    QList<RoutedUsbLink *> privateLinks() const
    {
        QList<RoutedUsbLink *> links;
        const auto programs = context->transports();
        for (RoutedUsbLink *link : RoutedUsbLink::links()) {
            bool program = false;
            for (const auto &own : programs)
                program = program || own.data() == link;
            if (!program)
                links << link;
        }
        return links;
    }
    RoutedUsbLink *privateLink(const QByteArray &usb) const
    {
        for (RoutedUsbLink *link : privateLinks()) {
            if (link->serialNumber() == QString::fromLatin1(usb))
                return link;
        }
        return nullptr;
    }
    static bool closed(const RoutedUsbLink *link)
    {
        return link && !link->connected() && !link->reconnectWanted();
    }

    // Before the menu: the program's link may be talking to it until the menu goes.
    TavrinInstrument second;
    MenuDriver menu;
    MenuTestContext *context = nullptr;
    std::unique_ptr<QQmlComponent> linkComponent;
};

int visibleRs485Rows(const DialogRig &rig)
{
    int count = 0;
    for (QQuickItem *row : itemsNamed(rig.dialog(), QStringLiteral("rs485Row")))
        count += row->isVisible() ? 1 : 0;
    return count;
}

bool usbAreaShown(const DialogRig &rig)
{
    QQuickItem *area = rig.menu.item(QStringLiteral("usbArea"));
    return area && area->isVisible() && area->height() > 0;
}

} // namespace

class tst_ConnectionDialog : public QObject
{
    Q_OBJECT

private slots:
    void rowsFollowConnectionType();
    void deviceButtons();
    void refreshWhileShown();
    void unansweredDevice_data();
    void unansweredDevice();
    void closeWhileDeviceSilent();
    void keys_data();
    void keys();
    void chosenDeviceAfterRestart();
    void chosenThroughTheProgramsLink();
    void byteTimeoutRefusesZero();
};

// Opened by the main frame's connection button (its devices on the program's own kind of
// link), RS-485 shows its seven rows and no devices; USB the devices without the rows; and back.
void tst_ConnectionDialog::rowsFollowConnectionType()
{
    DialogRig rig;
    QVERIFY(rig.start());
    QQuickItem *button = rig.menu.item(QStringLiteral("connectionButton"));
    QVERIFY(button);
    QVERIFY(MenuDriver::waitFor([&] { return button->isVisible(); }, 3000));
    MenuDriver::settle(500);
    rig.menu.click(button);
    QVERIFY(MenuDriver::waitFor([&] { return rig.dialog() && rig.dialog()->isVisible(); }, 3000));
    QVERIFY(rig.dialog()->property("serialNumberItem").value<QObject *>());
    QCOMPARE(visibleRs485Rows(rig), 0);
    QVERIFY(usbAreaShown(rig));
    rig.context->setConnectionType(MenuContext::RS485);
    QTRY_COMPARE_WITH_TIMEOUT(visibleRs485Rows(rig), 7, 2000);
    QVERIFY(!usbAreaShown(rig));
    rig.context->setConnectionType(MenuContext::USB);
    QTRY_COMPARE_WITH_TIMEOUT(visibleRs485Rows(rig), 0, 2000);
    QVERIFY(usbAreaShown(rig));
}

// Each button shows its own instrument's number; the chosen device is read through the
// program's link, the other through a link of its own that closes after the read; a click moves
// the program's link to the other instrument.
void tst_ConnectionDialog::deviceButtons()
{
    DialogRig rig;
    QVERIFY(rig.start());
    rig.menu.instrument().clearRequests();
    QVERIFY(rig.open());
    QTRY_COMPARE_WITH_TIMEOUT(rig.buttons().size(), 2, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.caption(usbA), QStringLiteral("Tavrin\n1001"), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.caption(usbB), QStringLiteral("Tavrin\n2002"), 3000);
    QVERIFY(rig.checked(usbA));
    QVERIFY(!rig.checked(usbB));
    QCOMPARE(rig.privateLinks().size(), 1);
    QVERIFY(!rig.privateLink(usbA));
    QTRY_VERIFY_WITH_TIMEOUT(DialogRig::closed(rig.privateLink(usbB)), 2000);
    QVERIFY(readsOf(rig.menu.requests(), SerialNumberRegister) >= 1);

    rig.second.clearRequests();
    rig.menu.click(rig.button(usbB));
    QTRY_COMPARE_WITH_TIMEOUT(rig.context->usbSerialNumber(), QString::fromLatin1(usbB), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(rig.checked(usbB), 2000);
    QVERIFY(!rig.checked(usbA));
    ModbusTransport *program = rig.context->transports().last();
    QVERIFY(program);
    QCOMPARE(qobject_cast<RoutedUsbLink *>(program)->serialNumber(), QString::fromLatin1(usbB));
    QTRY_VERIFY_WITH_TIMEOUT(program->connected(), 3000);
    // With the dialog's own link to it closed, the read comes through the program's.
    QTRY_VERIFY_WITH_TIMEOUT(readsOf(rig.second.requests(), SerialNumberRegister) >= 1, 3000);
    QVERIFY(DialogRig::closed(rig.privateLink(usbB)));
    QCOMPARE(rig.caption(usbB), QStringLiteral("Tavrin\n2002"));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return rig.menu.evaluate(QStringLiteral("deviceModbus.serialNumber.value"))
                       .toDouble() == 2002;
        },
        3000));
}

// The lists are filled once a second while the dialog is shown, never after; a device that
// goes loses its button within about a second, and closing leaves no link of the dialog.
void tst_ConnectionDialog::refreshWhileShown()
{
    DialogRig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.open());
    QTRY_COMPARE_WITH_TIMEOUT(rig.buttons().size(), 2, 2000);
    const int before = rig.context->usbBus().scans();
    QTest::qWait(2500);
    const int during = rig.context->usbBus().scans() - before;
    QVERIFY2(during >= 2 && during <= 3, qPrintable(QString::number(during)));

    rig.context->usbBus().removeDevice(1);
    QElapsedTimer gone;
    gone.start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.buttons().size(), 1, 2000);
    QVERIFY(gone.elapsed() <= 1300);
    QVERIFY(rig.button(usbA));

    QMetaObject::invokeMethod(rig.dialog(), "close");
    QTRY_VERIFY_WITH_TIMEOUT(!rig.dialog(), 3000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.privateLinks().size(), 0, 3000);
    const int afterClose = rig.context->usbBus().scans();
    QTest::qWait(1500);
    QCOMPARE(rig.context->usbBus().scans(), afterClose);
}

void tst_ConnectionDialog::unansweredDevice_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("readTimeout");
    QTest::addColumn<int>("closedBefore");

    // Its reads time out: closed by twice the read time-out at the latest.
    QTest::newRow("silent") << true << 300 << 600 + 300;
    // It does not open: the error closes it at once, long before its time-out.
    QTest::newRow("fails to open") << false << 2000 << 700;
}

void tst_ConnectionDialog::unansweredDevice()
{
    QFETCH(bool, present);
    QFETCH(int, readTimeout);
    QFETCH(int, closedBefore);

    const QByteArray usbC = QByteArrayLiteral("TV-C");
    DialogRig rig;
    rig.context->addUsbInstrument(usbC);
    if (present)
        rig.setDevices({{usbC, nullptr}});
    QVERIFY(rig.start());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(rig.open(readTimeout));
    RoutedUsbLink *link = nullptr;
    QVERIFY(MenuDriver::waitFor([&] { return (link = rig.privateLink(usbC)) != nullptr; }, 2000));
    QVERIFY(MenuDriver::waitFor([&] { return DialogRig::closed(rig.privateLink(usbC)); }, 5000));
    QVERIFY2(clock.elapsed() < closedBefore + 400, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rig.caption(usbC), QStringLiteral("Tavrin\n"));
    // The others are not held up by it.
    QTRY_COMPARE_WITH_TIMEOUT(rig.caption(usbB), QStringLiteral("Tavrin\n2002"), 3000);
}

// Closing while a silent device's read still runs must not wait for that read in the GUI thread;
// its link goes once the read is over.
void tst_ConnectionDialog::closeWhileDeviceSilent()
{
    const QByteArray usbC = QByteArrayLiteral("TV-C");
    DialogRig rig;
    rig.context->addUsbInstrument(usbC);
    rig.setDevices({{usbC, nullptr}});
    QVERIFY(rig.start());
    QVERIFY(rig.open(1000));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            RoutedUsbLink *link = rig.privateLink(usbC);
            return link && link->connected();
        },
        2000));
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(5);
    connect(&ticker, &QTimer::timeout, [&] {
        longest = qMax(longest, clock.elapsed() - last);
        last = clock.elapsed();
    });
    clock.start();
    ticker.start();
    QMetaObject::invokeMethod(rig.dialog(), "close");
    QTRY_VERIFY_WITH_TIMEOUT(!rig.dialog(), 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.privateLink(usbC), 6000);
    QVERIFY2(longest < 300, qPrintable(QString::number(longest)));
}

void tst_ConnectionDialog::keys_data()
{
    QTest::addColumn<bool>("usb");
    QTest::newRow("USB: the rows, the devices, Ok") << true;
    QTest::newRow("RS-485: the rows, Ok") << false;
}

// From the first row Down walks the visible rows, then the device list (with USB) where Right
// and Return choose the second device, then "Ok", whose Return closes the dialog.
void tst_ConnectionDialog::keys()
{
    QFETCH(bool, usb);

    DialogRig rig;
    QVERIFY(rig.start());
    if (!usb)
        rig.context->setConnectionType(MenuContext::RS485);
    QVERIFY(rig.open());
    QQuickWindow *window = rig.menu.window();
    QQuickItem *ok = rig.menu.item(QStringLiteral("connectionOkButton"));
    QQuickItem *list = rig.menu.item(QStringLiteral("usbDevicesView"));
    QVERIFY(ok && list);
    QTRY_COMPARE_WITH_TIMEOUT(window->activeFocusItem() ? window->activeFocusItem()->objectName()
                                                        : QString(),
                              QStringLiteral("connectionTypeRow"), 2000);
    const int rows = usb ? 2 : 9;
    for (int i = 1; i < rows; ++i)
        rig.menu.keyClick(Qt::Key_Down);
    QVERIFY(!list->hasActiveFocus() && !ok->hasActiveFocus());
    rig.menu.keyClick(Qt::Key_Down);
    if (usb) {
        QVERIFY(list->hasActiveFocus());
        QTRY_COMPARE_WITH_TIMEOUT(rig.buttons().size(), 2, 2000);
        rig.menu.keyClick(Qt::Key_Right);
        rig.menu.keyClick(Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(rig.context->usbSerialNumber(), QString::fromLatin1(usbB), 2000);
        rig.menu.keyClick(Qt::Key_Down);
    }
    QVERIFY(ok->hasActiveFocus());
    rig.menu.keyClick(Qt::Key_Up);
    QCOMPARE(usb ? list->hasActiveFocus() : window->activeFocusItem()->objectName() == "rs485Row",
             true);
    rig.menu.keyClick(Qt::Key_Down);
    rig.menu.keyClick(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.dialog(), 3000);
}

// The device chosen in the dialog is stored: the next start opens it, not the first one found
// on the bus.
void tst_ConnectionDialog::chosenDeviceAfterRestart()
{
    DialogRig rig;
    QVERIFY(rig.start());
    QVERIFY(rig.open());
    QTRY_COMPARE_WITH_TIMEOUT(rig.buttons().size(), 2, 2000);
    rig.menu.click(rig.button(usbB));
    QTRY_COMPARE_WITH_TIMEOUT(rig.context->usbSerialNumber(), QString::fromLatin1(usbB), 2000);
    QCOMPARE(rig.context->usbDevice(), QString::fromLatin1(usbB));

    MenuTestContext *restarted = nullptr;
    QVERIFY(rig.menu.restart(
        [&] {
            auto context = std::make_unique<MenuTestContext>();
            restarted = context.get();
            context->addUsbInstrument(usbA);
            context->addUsbInstrument(usbB);
            context->usbFactory = [](ModbusClient *client) { return new RoutedUsbLink(client); };
            return context;
        },
        false));
    rig.context = restarted;
    QCOMPARE(restarted->usbDevice(), QString::fromLatin1(usbB));
    QVERIFY(!restarted->transports().isEmpty());
    auto *program = qobject_cast<RoutedUsbLink *>(restarted->transports().last().data());
    QVERIFY(program);
    QCOMPARE(program->serialNumber(), QString::fromLatin1(usbB));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return rig.menu.evaluate(QStringLiteral("deviceModbus.serialNumber.value"))
                       .toDouble() == 2002;
        },
        5000));
}

// A device the program's link took while the dialog's own read of it was still under way (its
// instrument silent to the dialog's link), and that the context names as chosen only after the
// program's reading on connection: it shows its number, read through the program's link.
void tst_ConnectionDialog::chosenThroughTheProgramsLink()
{
    DialogRig rig;
    QVERIFY(rig.start());
    RoutedUsbLink::setDevices({{usbA, &rig.menu.instrument()}, {usbB, nullptr}});
    QVERIFY(rig.open(2000));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            RoutedUsbLink *link = rig.privateLink(usbB);
            return link && link->connected();
        },
        2000));
    QCOMPARE(rig.caption(usbB), QStringLiteral("Tavrin\n"));

    // The program's link now on the second instrument.
    rig.setDevices({});
    auto *client = qobject_cast<ModbusClient *>(rig.menu.object(QStringLiteral("modbusClient")));
    QVERIFY(client);
    auto *link = new RoutedUsbLink(client);
    link->setVid(quint16(rig.context->usbVid()));
    link->setPid(quint16(rig.context->usbPid()));
    link->setSerialNumber(QString::fromLatin1(usbB));
    link->connectTransport(true);
    client->setTransport(link);
    QTRY_VERIFY_WITH_TIMEOUT(link->connected(), 3000);
    MenuDriver::settle(300);

    rig.context->setUsbSerialNumber(QString::fromLatin1(usbB), false);
    QTRY_VERIFY_WITH_TIMEOUT(rig.checked(usbB), 2000);
    QTRY_COMPARE_WITH_TIMEOUT(rig.caption(usbB), QStringLiteral("Tavrin\n2002"), 5000);
    QVERIFY(DialogRig::closed(rig.privateLink(usbB)));
}

// The byte time-out's editor takes what the link takes: 0 stays in the editor, marked refused,
// and nothing changes; 1 is taken. The time-outs carry their unit.
void tst_ConnectionDialog::byteTimeoutRefusesZero()
{
    DialogRig rig;
    QVERIFY(rig.start());
    rig.context->setConnectionType(MenuContext::RS485);
    QVERIFY(rig.open());
    QQuickWindow *window = rig.menu.window();
    QTRY_COMPARE_WITH_TIMEOUT(window->activeFocusItem() ? window->activeFocusItem()->objectName()
                                                        : QString(),
                              QStringLiteral("connectionTypeRow"), 2000);
    QObject *byteTimeout =
        rig.menu.evaluate(QStringLiteral("menuProps.byteTimeout")).value<QObject *>();
    QQuickItem *row = nullptr;
    for (QQuickItem *r : itemsNamed(rig.dialog(), QStringLiteral("rs485Row"))) {
        const QString unit = r->property("dimension").toString();
        QObject *prop = r->property("prop").value<QObject *>();
        if (prop == byteTimeout)
            row = r;
        const bool timing =
            prop == byteTimeout ||
            prop == rig.menu.evaluate(QStringLiteral("menuProps.readTimeout")).value<QObject *>() ||
            prop == rig.menu.evaluate(QStringLiteral("menuProps.rtsDelay")).value<QObject *>();
        if (timing)
            QCOMPARE(unit, QStringLiteral("ms"));
    }
    QVERIFY(row);
    for (int i = 0; i < 10 && !row->hasActiveFocus(); ++i)
        rig.menu.keyClick(Qt::Key_Down);
    QVERIFY(row->hasActiveFocus());
    QCOMPARE(rig.context->byteTimeout(), 60);

    const auto editor = [&] {
        QObject *editors = rig.menu.object(QStringLiteral("editorsManager"));
        return editors ? editors->property("activeEditor").value<QObject *>() : nullptr;
    };
    rig.menu.keyClick(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(editor() != nullptr, 2000);
    rig.menu.keyClick(Qt::Key_0);
    QTRY_VERIFY_WITH_TIMEOUT(!editor()->property("valid").toBool(), 2000);
    rig.menu.keyClick(Qt::Key_Return);
    MenuDriver::settle(200);
    QVERIFY(editor());
    QCOMPARE(editor()->property("fieldColor").value<QColor>(), QColor(QStringLiteral("#FFAAAA")));
    QCOMPARE(rig.context->byteTimeout(), 60);

    rig.menu.keyClick(Qt::Key_Backspace);
    rig.menu.keyClick(Qt::Key_1);
    QTRY_VERIFY_WITH_TIMEOUT(editor() && editor()->property("valid").toBool(), 2000);
    rig.menu.keyClick(Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(rig.context->byteTimeout(), 1, 2000);
    QTRY_COMPARE_WITH_TIMEOUT(editor(), nullptr, 2000);
    QCOMPARE(row->property("value").toString(), QStringLiteral("1"));
}

QTEST_MAIN(tst_ConnectionDialog)
#include "tst_connectiondialog.moc"
