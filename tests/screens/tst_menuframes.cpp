// Frames and property rows against the simulated instrument: a register is polled only while its
// frame is shown, and what an editor confirms is (or is not) written.
#include "menudriver.h"
#include "modbusbytes.h"
#include "modbusitembase.h"
#include "requestlog.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

using namespace RequestLog;

bool covers(const InstrumentRequest &request, quint32 address)
{
    return request.address <= address && address < request.address + quint32(request.count);
}

int countRequests(const QList<InstrumentRequest> &requests, quint32 address,
                  bool (*kind)(const InstrumentRequest &))
{
    int n = 0;
    for (const InstrumentRequest &request : requests) {
        if (kind(request) && covers(request, address))
            ++n;
    }
    return n;
}

const quint32 byteTimeout = 400003;
const quint32 rtsDelay = 400004;
const quint32 extra = 403601; // an interval schedule entry, polled by no other row here
const quint32 flowCutOff = 400200;
const quint32 k1 = 400208;

} // namespace

class tst_MenuFrames : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void pollingFollowsTheShownFrame();
    void destroyedRowStopsItsReader();
    void editWrites_data();
    void editWrites();
    void refusedWriteIsReadBack_data();
    void refusedWriteIsReadBack();

private:
    // The test tree made anew with the registers' first values, its main frame shown.
    bool startOnTree(MenuDriver &menu);
    // One menu for all cases: a start costs seconds, a fresh tree only milliseconds.
    std::unique_ptr<MenuDriver> m_menu;
    bool gotoFrame(MenuDriver &menu, Qt::Key digit, const QString &frame);
    QString rowValue(MenuDriver &menu, const QString &row);
    QObject *editor(MenuDriver &menu);
};

void tst_MenuFrames::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>();
    QVERIFY2(m_menu->start(), qPrintable(m_menu->error()));
}

void tst_MenuFrames::cleanupTestCase()
{
    m_menu.reset();
}

void tst_MenuFrames::init()
{
    QVERIFY(startOnTree(*m_menu));
}

bool tst_MenuFrames::startOnTree(MenuDriver &menu)
{
    QObject *editors = menu.object(QStringLiteral("editorsManager"));
    QMetaObject::invokeMethod(editors, "closeEditor");
    menu.instrument().clearExceptions();
    menu.instrument().setRegisters(byteTimeout, ModbusBytes::fromUInt16(5));
    menu.instrument().setRegisters(rtsDelay, ModbusBytes::fromUInt16(2));
    menu.instrument().setRegisters(flowCutOff, ModbusBytes::fromFloat(0.5f));
    menu.instrument().setRegisters(k1, ModbusBytes::fromFloat(1.23456f));
    QObject *scroller = menu.object(QStringLiteral("frameScroller"));
    if (!scroller)
        return false;
    scroller->setProperty("source", QUrl());
    MenuDriver::settle(20);
    scroller->setProperty("source", QUrl::fromLocalFile(QStringLiteral(
                                        QUICK_TEST_SOURCE_DIR "/frames/InstrumentFrames.qml")));
    return MenuDriver::waitFor(
        [&] {
            QObject *current = scroller->property("currentFrame").value<QObject *>();
            return current && current->objectName() == QLatin1String("mainFrame") &&
                   current->property("caption").toString() == QLatin1String("Menu") &&
                   menu.object(QStringLiteral("frameA")) && !editor(menu);
        },
        3000);
}

bool tst_MenuFrames::gotoFrame(MenuDriver &menu, Qt::Key digit, const QString &frame)
{
    QObject *scroller = menu.object(QStringLiteral("frameScroller"));
    const auto current = [&] {
        QObject *shown = scroller->property("currentFrame").value<QObject *>();
        return shown ? shown->objectName() : QString();
    };
    if (current() != QLatin1String("mainFrame")) {
        menu.keyClick(Qt::Key_Escape);
        if (!MenuDriver::waitFor([&] { return current() == QLatin1String("mainFrame"); }, 2000))
            return false;
    }
    menu.keyClick(digit);
    return MenuDriver::waitFor([&] { return current() == frame; }, 2000);
}

QString tst_MenuFrames::rowValue(MenuDriver &menu, const QString &row)
{
    QObject *item = menu.object(row);
    return item ? item->property("value").toString() : QString();
}

QObject *tst_MenuFrames::editor(MenuDriver &menu)
{
    QObject *editors = menu.object(QStringLiteral("editorsManager"));
    return editors ? editors->property("activeEditor").value<QObject *>() : nullptr;
}

void tst_MenuFrames::pollingFollowsTheShownFrame()
{
    MenuDriver &menu = *m_menu;
    const QList<quint32> aRegisters{byteTimeout, flowCutOff, k1};

    // The main frame shows none of them.
    menu.instrument().clearRequests();
    MenuDriver::settle(1300);
    for (quint32 address : aRegisters + QList<quint32>{rtsDelay})
        QCOMPARE(countRequests(menu.requests(), address, isRead), 0);

    QVERIFY(gotoFrame(menu, Qt::Key_1, QStringLiteral("frameA")));
    menu.instrument().clearRequests();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(MenuDriver::waitFor(
        [&] {
            const QList<InstrumentRequest> log = menu.requests();
            return std::all_of(aRegisters.cbegin(), aRegisters.cend(), [&](quint32 address) {
                return countRequests(log, address, isRead) >= 2;
            });
        },
        3000));
    // Each second, not faster.
    QVERIFY(clock.elapsed() >= 800);
    QCOMPARE(countRequests(menu.requests(), rtsDelay, isRead), 0);
    QCOMPARE(rowValue(menu, QStringLiteral("byteTimeoutRow")), QStringLiteral("5"));

    QVERIFY(gotoFrame(menu, Qt::Key_2, QStringLiteral("frameB")));
    menu.instrument().clearRequests();
    QVERIFY(MenuDriver::waitFor(
        [&] { return countRequests(menu.requests(), rtsDelay, isRead) >= 2; }, 3000));
    for (quint32 address : aRegisters)
        QCOMPARE(countRequests(menu.requests(), address, isRead), 0);

    menu.keyClick(Qt::Key_Escape);
    MenuDriver::settle(200);
    menu.instrument().clearRequests();
    MenuDriver::settle(1300);
    QCOMPARE(countRequests(menu.requests(), rtsDelay, isRead), 0);
}

void tst_MenuFrames::destroyedRowStopsItsReader()
{
    MenuDriver &menu = *m_menu;
    QVERIFY(gotoFrame(menu, Qt::Key_1, QStringLiteral("frameA")));
    auto *item = qobject_cast<ModbusItemBase *>(menu.object(QStringLiteral("extraItem")));
    QVERIFY(item);
    QTRY_COMPARE_WITH_TIMEOUT(item->intervalReadingCounter(), 1u, 2000);
    QVERIFY(MenuDriver::waitFor([&] { return countRequests(menu.requests(), extra, isRead) >= 1; },
                                3000));

    QObject *row = menu.object(QStringLiteral("extraRow"));
    QVERIFY(row);
    row->deleteLater();
    QTRY_COMPARE_WITH_TIMEOUT(item->intervalReadingCounter(), 0u, 2000);
    MenuDriver::settle(100);
    menu.instrument().clearRequests();
    MenuDriver::settle(1300);
    QCOMPARE(countRequests(menu.requests(), extra, isRead), 0);
    QVERIFY(countRequests(menu.requests(), byteTimeout, isRead) >= 1);
}

void tst_MenuFrames::editWrites_data()
{
    QTest::addColumn<int>("rowIndex");
    QTest::addColumn<int>("unitIndex");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<QByteArray>("written"); // empty: nothing may be written

    QTest::newRow("byteTimeout 12")
        << 0 << 3 << "5"
        << "12" << byteTimeout << QByteArray(ModbusBytes::fromUInt16(12));
    QTest::newRow("flowCutOff untouched in m3/s") << 1 << 3 << "0.000"
                                                  << "" << flowCutOff << QByteArray();
    QTest::newRow("k1 untouched") << 2 << 3 << "1.235"
                                  << "" << k1 << QByteArray();
    QTest::newRow("flowCutOff 1,5 in l/h")
        << 1 << 1 << "500.000"
        << "1,5" << flowCutOff << QByteArray(ModbusBytes::fromFloat(0.0015f));
}

void tst_MenuFrames::editWrites()
{
    QFETCH(int, rowIndex);
    QFETCH(int, unitIndex);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(quint32, address);
    QFETCH(QByteArray, written);

    MenuDriver &menu = *m_menu;
    menu.object(QStringLiteral("flowRateDimension"))->setProperty("index", unitIndex);
    QVERIFY(gotoFrame(menu, Qt::Key_1, QStringLiteral("frameA")));
    for (int i = 0; i < rowIndex; ++i)
        menu.keyClick(Qt::Key_Down);
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return editor(menu) != nullptr; }, 3000));
    QObject *field = menu.object(QStringLiteral("textEditorField"));
    QVERIFY(field);
    QTRY_COMPARE_WITH_TIMEOUT(field->property("text").toString(), shown, 3000);

    menu.instrument().clearRequests();
    for (const QChar c : typed)
        QTest::keyClick(menu.window(), c.toLatin1());
    menu.keyClick(Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(editor(menu) == nullptr, 2000);

    if (written.isEmpty()) {
        MenuDriver::settle(300);
        for (const InstrumentRequest &request : menu.requests())
            QVERIFY2(!isWrite(request), qPrintable(QString::number(request.address)));
        return;
    }
    // The write, then a read of what the instrument now holds.
    QVERIFY(MenuDriver::waitFor(
        [&] {
            const QList<InstrumentRequest> log = menu.requests();
            for (int i = 0; i < log.size(); ++i) {
                if (isWrite(log[i]) && log[i].address == address) {
                    for (int j = i + 1; j < log.size(); ++j) {
                        if (isRead(log[j]) && covers(log[j], address))
                            return true;
                    }
                }
            }
            return false;
        },
        3000));
    QCOMPARE(QByteArray(menu.instrument().registers(address, int(written.size() / 2))), written);
}

void tst_MenuFrames::refusedWriteIsReadBack_data()
{
    QTest::addColumn<bool>("exception");
    QTest::newRow("answered with an exception") << true;
    QTest::newRow("cancelled before the write") << false;
}

void tst_MenuFrames::refusedWriteIsReadBack()
{
    QFETCH(bool, exception);
    MenuDriver &menu = *m_menu;
    auto *item = qobject_cast<ModbusItemBase *>(
        menu.object(QStringLiteral("modbusClient"))->property("byteTimeout").value<QObject *>());
    QVERIFY(item);
    if (!exception)
        connect(
            item, &ModbusItemBase::beforeWrite, item, [](bool &cancel) { cancel = true; },
            Qt::DirectConnection);

    QVERIFY(gotoFrame(menu, Qt::Key_1, QStringLiteral("frameA")));
    QTRY_COMPARE_WITH_TIMEOUT(rowValue(menu, QStringLiteral("byteTimeoutRow")), QStringLiteral("5"),
                              3000);
    menu.keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return editor(menu) != nullptr; }, 3000));
    menu.instrument().clearRequests();
    QTest::keyClick(menu.window(), '9');
    // Set last, so that no poll of the register takes the exception meant for the write.
    if (exception)
        menu.instrument().setException(byteTimeout, DorrikBus::IllegalDataValue, 1);
    menu.keyClick(Qt::Key_Return);

    // Read back at once, not at the next poll: the row shows what the instrument holds.
    QElapsedTimer clock;
    clock.start();
    QVERIFY(MenuDriver::waitFor(
        [&] { return countRequests(menu.requests(), byteTimeout, isRead) >= 1; }, 2000));
    QVERIFY2(clock.elapsed() < 500, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(rowValue(menu, QStringLiteral("byteTimeoutRow")), QStringLiteral("5"),
                              2000);
    QCOMPARE(countRequests(menu.requests(), byteTimeout, isWrite), exception ? 1 : 0);
    QCOMPARE(menu.instrument().registers(byteTimeout, 1), ModbusBytes::fromUInt16(5));
}

QTEST_MAIN(tst_MenuFrames)
#include "tst_menuframes.moc"
