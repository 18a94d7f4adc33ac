// The menu's shell as the user sees it, against the simulated instrument: panel sizes, the live
// value on the measurement page, and the message when answers stop.
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusbytes.h"
#include "modbusclient.h"
#include "modbuslibusbclient.h"
#include "requestlog.h"
#include "usbdevicesmodel.h"

#include <QQuickItem>
#include <QtTest>

namespace {

// The measurement page's flow-rate tile text for the flow rate the instrument answered last.
QString flowText(MenuDriver &menu)
{
    const float flow = menu.instrument().registers(300720, 2).toFloat(0);
    return QString::number(double(flow), 'f', 3);
}

// What the flow-rate tile shows; empty before the page is built.
QString tileText(MenuDriver &menu)
{
    QQuickItem *tile = menu.item(QStringLiteral("flowTile0"));
    QQuickItem *value = tile ? tile->findChild<QQuickItem *>(QStringLiteral("tileValue")) : nullptr;
    return value ? value->property("text").toString() : QString();
}

// Whether the clock of the status strip shows: the device's status is up.
bool statusShown(MenuDriver &menu)
{
    QQuickItem *status = menu.item(QStringLiteral("deviceTopPanel"));
    QQuickItem *clock = menu.item(QStringLiteral("clocksIndicator"));
    return status && clock && status->isVisible() && status->opacity() > 0 && clock->isVisible() &&
           clock->property("shown").toBool();
}

} // namespace

class tst_MenuShell : public QObject
{
    Q_OBJECT

private slots:
    void panels_data();
    void panels();
    void liveValueOnTheMeasurementPage();
    void noConnectionMessage();
    void usbDeviceDrivenEndToEnd();
};

void tst_MenuShell::panels_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QList<qreal>>("buttonWidths");
    QTest::newRow("800x600") << QSize(800, 600) << QList<qreal>{286.7, 226.7, 286.7};
    QTest::newRow("640x480") << QSize(640, 480) << QList<qreal>{233.3, 173.3, 233.3};
}

void tst_MenuShell::panels()
{
    QFETCH(QSize, size);
    QFETCH(QList<qreal>, buttonWidths);
    MenuDriver menu(size);
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QCOMPARE(menu.root()->size(), QSizeF(size));

    QQuickItem *top = menu.item(QStringLiteral("topPanel"));
    QQuickItem *bottom = menu.item(QStringLiteral("bottomPanel"));
    QVERIFY(top && bottom);
    QCOMPARE(top->height(), 32.0);
    QCOMPARE(top->width(), qreal(size.width()));
    QCOMPARE(bottom->height(), 60.0);
    QCOMPARE(bottom->y(), qreal(size.height() - 60));

    QVERIFY(menu.itemByText(QStringLiteral("< Measurements")));
    QVERIFY(menu.itemByText(QStringLiteral("Data logger >")));
    const QList<QQuickItem *> buttons{menu.item(QStringLiteral("leftPageButton")),
                                      menu.item(QStringLiteral("homeButton")),
                                      menu.item(QStringLiteral("rightPageButton"))};
    for (int i = 0; i < buttons.size(); ++i) {
        QVERIFY2(buttons[i], qPrintable(QStringLiteral("button %1").arg(i)));
        QCOMPARE(qRound(buttons[i]->width() * 10) / 10.0, buttonWidths[i]);
        QCOMPARE(buttons[i]->height(), 60.0);
    }
    // Centred in the panel.
    QQuickItem *left = buttons[0];
    const qreal row = buttonWidths[0] + buttonWidths[1] + buttonWidths[2];
    QVERIFY(qAbs(left->mapToScene(QPointF()).x() - (size.width() - row) / 2) < 1);
}

void tst_MenuShell::liveValueOnTheMeasurementPage()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    // The instrument's flow rate moves with its clock: the page's tile follows each answer.
    QString first;
    QVERIFY(MenuDriver::waitFor(
        [&] {
            first = flowText(menu);
            return tileText(menu) == first;
        },
        5000));

    // The live block is one read of 70 input registers from 300701.
    bool blockRead = false;
    for (const InstrumentRequest &request : menu.requests()) {
        if (request.function == DorrikBus::ReadInputRegisters && request.address == 300701)
            blockRead = request.count == 70;
    }
    QVERIFY(blockRead);

    QVERIFY(MenuDriver::waitFor(
        [&] {
            const QString now = flowText(menu);
            return now != first && tileText(menu) == now;
        },
        5000));
}

// With answers dropped the message comes once the read-error time has passed since the last
// good answer (6 s in the product, shortened here), and goes with the next answer; meanwhile the
// tiles show their values as not read, and the next answer makes them live again.
void tst_MenuShell::noConnectionMessage()
{
    MenuDriver menu;
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QObject *topPanel = menu.object(QStringLiteral("topPanel"));
    QVERIFY(topPanel);
    QCOMPARE(topPanel->property("readErrorInterval").toInt(), 6000);
    QCOMPARE(topPanel->property("startupGraceInterval").toInt(), 2000);
    const QString message = QStringLiteral("No connection with the device");
    QVERIFY(MenuDriver::waitFor([&] { return statusShown(menu); }, 5000));
    QVERIFY(!menu.itemByText(message));

    const int interval = 1500;
    topPanel->setProperty("readErrorInterval", interval);
    menu.instrument().setDropAnswers(-1);
    QElapsedTimer dropped;
    dropped.start();
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(message) != nullptr; }, 10000));
    QVERIFY2(dropped.elapsed() >= interval - 1000, qPrintable(QString::number(dropped.elapsed())));
    QQuickItem *text = menu.itemByText(message);
    QCOMPARE(text->property("color").value<QColor>(), QColor(Qt::red));
    // The device's own status fades out meanwhile, and no tile shows its last value as current.
    QVERIFY(MenuDriver::waitFor([&] { return !statusShown(menu); }, 3000));
    const QString notRead = menu.evaluate("styleManager.style.notReadValueText").toString();
    QCOMPARE(notRead, QStringLiteral("---"));
    for (const QString tile : {"flowTile0", "flowTile1", "flowTile3", "flowTile4", "flowTile5"}) {
        QQuickItem *value = menu.item(tile)->findChild<QQuickItem *>(QStringLiteral("tileValue"));
        QCOMPARE(value->property("text").toString(), notRead);
        QCOMPARE(value->property("color").value<QColor>(),
                 QColor(menu.evaluate("styleManager.style.notReadFontColor").toString()));
    }

    menu.instrument().setDropAnswers(0);
    QVERIFY(MenuDriver::waitFor(
        [&] { return !topPanel->property("connectionErrorShown").toBool(); }, 5000));
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(message) == nullptr; }, 3000));
    QVERIFY(MenuDriver::waitFor([&] { return tileText(menu) == flowText(menu); }, 5000));
}

// The context's own USB link, on a bus whose instrument is the simulated one: the device the list
// shows is the one the menu reads, frame by frame over bulk transfers.
void tst_MenuShell::usbDeviceDrivenEndToEnd()
{
    MenuDriver menu;
    auto owned = std::make_unique<MenuTestContext>();
    MenuTestContext *context = owned.get();
    context->addUsbInstrument("TV0042");
    context->bridgeUsb(&menu.instrument());
    menu.setContext(std::move(owned));
    QVERIFY2(menu.start(false), qPrintable(menu.error()));

    QCOMPARE(context->usbDevices(), QStringList{QStringLiteral("TV0042")});
    QCOMPARE(context->usbDevicesModel()->rowCount(), 1);
    auto *client = qobject_cast<ModbusClient *>(menu.object(QStringLiteral("modbusClient")));
    QVERIFY(client);
    auto *usb = qobject_cast<ModbusLibusbClient *>(client->transport());
    QVERIFY(usb);
    QVERIFY(context->transports().contains(usb));
    QVERIFY(MenuDriver::waitFor([&] { return tileText(menu) == flowText(menu); }, 5000));
    QVERIFY(RequestLog::readsOf(menu.requests(), 300701) > 0);
}

QTEST_MAIN(tst_MenuShell)
#include "tst_menushell.moc"
