// The device properties against the simulated instrument: what an entered value writes, in which
// unit, and the material a hand-typed sound speed or liner thickness switches first.
#include "menudriver.h"
#include "modbusbytes.h"
#include "modbusitembase.h"
#include "requestlog.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

namespace {

using namespace RequestLog;

// Index of the first write that starts at `address`, -1 if none.
int firstWrite(const QList<InstrumentRequest> &requests, quint32 address)
{
    for (int i = 0; i < requests.size(); ++i) {
        if (isWrite(requests[i]) && requests[i].address == address)
            return i;
    }
    return -1;
}

const quint32 pipeMaterial = 400164;
const quint32 pipeLinerMaterial = 400165;
const quint32 pipeSoundSpeed = 400168;
const quint32 pipeLinerSoundSpeed = 400172;
const quint32 pipeLinerThickness = 400174;
const quint32 flowCutOff = 400200;

} // namespace

class tst_DeviceProps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void meterVersion();
    void flowCutOffInLitresPerHour();
    void materialRules_data();
    void materialRules();

private:
    // The test tree made anew over the real device properties, its main frame shown.
    bool startOnTree();
    bool gotoPipeFrame();
    QObject *editor() const;
    QObject *global(const char *id) const;
    // The register read again and its property showing `value`.
    bool setMaterial(const char *name, quint32 address, int value);
    // Opens the editor of the pipe frame's row `rowIndex`, types `typed` and confirms it.
    bool enter(int rowIndex, const QString &typed);

    std::unique_ptr<MenuDriver> m_menu;
};

void tst_DeviceProps::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>();
    m_menu->instrument().setGeneration(3);
    QVERIFY2(m_menu->start(), qPrintable(m_menu->error()));
}

void tst_DeviceProps::cleanupTestCase()
{
    m_menu.reset();
}

void tst_DeviceProps::init()
{
    global("exportManager")->setProperty("active", false);
    QVERIFY(startOnTree());
}

QObject *tst_DeviceProps::global(const char *id) const
{
    QObject *object = qmlContext(m_menu->root())->objectForName(QString::fromLatin1(id));
    Q_ASSERT(object);
    return object;
}

QObject *tst_DeviceProps::editor() const
{
    QObject *editors = m_menu->object(QStringLiteral("editorsManager"));
    return editors ? editors->property("activeEditor").value<QObject *>() : nullptr;
}

bool tst_DeviceProps::startOnTree()
{
    MenuDriver &menu = *m_menu;
    QMetaObject::invokeMethod(menu.object(QStringLiteral("editorsManager")), "closeEditor");
    QObject *scroller = menu.object(QStringLiteral("frameScroller"));
    if (!scroller)
        return false;
    scroller->setProperty("source", QUrl());
    MenuDriver::settle(20);
    scroller->setProperty("source", QUrl::fromLocalFile(QStringLiteral(
                                        QUICK_TEST_SOURCE_DIR "/frames/DevicePropsFrames.qml")));
    return MenuDriver::waitFor(
        [&] {
            QObject *current = scroller->property("currentFrame").value<QObject *>();
            return current && current->objectName() == QLatin1String("mainFrame") &&
                   current->property("caption").toString() == QLatin1String("Menu") && !editor();
        },
        3000);
}

bool tst_DeviceProps::gotoPipeFrame()
{
    QObject *scroller = m_menu->object(QStringLiteral("frameScroller"));
    m_menu->keyClick(Qt::Key_1);
    return MenuDriver::waitFor(
        [&] {
            QObject *shown = scroller->property("currentFrame").value<QObject *>();
            return shown && shown->objectName() == QLatin1String("pipeFrame");
        },
        2000);
}

bool tst_DeviceProps::setMaterial(const char *name, quint32 address, int value)
{
    m_menu->instrument().setRegisters(address, ModbusBytes::fromUInt16(quint16(value)));
    QObject *item =
        m_menu->object(QStringLiteral("modbusClient"))->property(name).value<QObject *>();
    QObject *prop = global("deviceProps")->property(name).value<QObject *>();
    if (!item || !prop)
        return false;
    QMetaObject::invokeMethod(item, "read");
    return MenuDriver::waitFor([&] { return prop->property("value").toInt() == value; }, 2000);
}

bool tst_DeviceProps::enter(int rowIndex, const QString &typed)
{
    if (!gotoPipeFrame())
        return false;
    for (int i = 0; i < rowIndex; ++i)
        m_menu->keyClick(Qt::Key_Down);
    m_menu->keyClick(Qt::Key_Return);
    if (!MenuDriver::waitFor([&] { return editor() != nullptr; }, 3000))
        return false;
    for (const QChar c : typed)
        QTest::keyClick(m_menu->window(), c.toLatin1());
    m_menu->keyClick(Qt::Key_Return);
    return MenuDriver::waitFor([&] { return editor() == nullptr; }, 2000);
}

void tst_DeviceProps::meterVersion()
{
    QObject *prop = global("deviceProps")->property("meterVersion").value<QObject *>();
    QVERIFY(prop);
    QTRY_COMPARE_WITH_TIMEOUT(prop->property("formatValue").toString(),
                              QStringLiteral("23.06.00.27"), 3000);
}

void tst_DeviceProps::flowCutOffInLitresPerHour()
{
    MenuDriver &menu = *m_menu;
    QObject *unit = global("deviceDimensions")->property("flowRateDimension").value<QObject *>();
    QVERIFY(unit);
    QMetaObject::invokeMethod(unit, "setIndex", Q_ARG(QVariant, 1));
    menu.instrument().clearRequests();
    QVERIFY(enter(0, QStringLiteral("1500")));
    QMetaObject::invokeMethod(unit, "setIndex", Q_ARG(QVariant, 0));

    QVERIFY(
        MenuDriver::waitFor([&] { return firstWrite(menu.requests(), flowCutOff) >= 0; }, 3000));
    const QList<InstrumentRequest> log = menu.requests();
    QCOMPARE(QByteArray(log[firstWrite(log, flowCutOff)].bytes),
             QByteArray(ModbusBytes::fromFloat(1.5f)));
}

void tst_DeviceProps::materialRules_data()
{
    QTest::addColumn<int>("rowIndex");
    QTest::addColumn<quint32>("valueAddress");
    QTest::addColumn<QByteArray>("materialName");
    QTest::addColumn<quint32>("materialAddress");
    QTest::addColumn<int>("material");
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<int>("written"); // -1: the material is not written

    QTest::newRow("pipe sound speed with Carbon Steel")
        << 1 << pipeSoundSpeed << QByteArray("pipeMaterial") << pipeMaterial << 0 << false << 14;
    QTest::newRow("pipe sound speed with Other")
        << 1 << pipeSoundSpeed << QByteArray("pipeMaterial") << pipeMaterial << 14 << false << -1;
    QTest::newRow("liner sound speed with Pyrex glass")
        << 2 << pipeLinerSoundSpeed << QByteArray("pipeLinerMaterial") << pipeLinerMaterial << 1
        << false << 11;
    QTest::newRow("liner sound speed with No")
        << 2 << pipeLinerSoundSpeed << QByteArray("pipeLinerMaterial") << pipeLinerMaterial << 0
        << false << 11;
    QTest::newRow("liner thickness with No")
        << 3 << pipeLinerThickness << QByteArray("pipeLinerMaterial") << pipeLinerMaterial << 0
        << false << 11;
    QTest::newRow("liner thickness with Pyrex glass")
        << 3 << pipeLinerThickness << QByteArray("pipeLinerMaterial") << pipeLinerMaterial << 1
        << false << -1;
    QTest::newRow("pipe sound speed while exporting")
        << 1 << pipeSoundSpeed << QByteArray("pipeMaterial") << pipeMaterial << 0 << true << -1;
    QTest::newRow("liner sound speed while exporting")
        << 2 << pipeLinerSoundSpeed << QByteArray("pipeLinerMaterial") << pipeLinerMaterial << 1
        << true << -1;
    QTest::newRow("liner thickness while exporting")
        << 3 << pipeLinerThickness << QByteArray("pipeLinerMaterial") << pipeLinerMaterial << 0
        << true << -1;
}

void tst_DeviceProps::materialRules()
{
    QFETCH(int, rowIndex);
    QFETCH(quint32, valueAddress);
    QFETCH(QByteArray, materialName);
    QFETCH(quint32, materialAddress);
    QFETCH(int, material);
    QFETCH(bool, exporting);
    QFETCH(int, written);

    MenuDriver &menu = *m_menu;
    QVERIFY(setMaterial(materialName.constData(), materialAddress, material));
    global("exportManager")->setProperty("active", exporting);
    menu.instrument().clearRequests();
    QVERIFY(enter(rowIndex, QStringLiteral("2.5")));

    QVERIFY(
        MenuDriver::waitFor([&] { return firstWrite(menu.requests(), valueAddress) >= 0; }, 3000));
    MenuDriver::settle(200);
    const QList<InstrumentRequest> log = menu.requests();
    const int valueWrite = firstWrite(log, valueAddress);
    QCOMPARE(QByteArray(log[valueWrite].bytes), QByteArray(ModbusBytes::fromFloat(2.5f)));
    const int materialWrite = firstWrite(log, materialAddress);
    if (written < 0) {
        QCOMPARE(materialWrite, -1);
        return;
    }
    QVERIFY(materialWrite >= 0);
    QVERIFY2(materialWrite < valueWrite, "the material is written first");
    QCOMPARE(QByteArray(log[materialWrite].bytes),
             QByteArray(ModbusBytes::fromUInt16(quint16(written))));
}

QTEST_MAIN(tst_DeviceProps)
#include "tst_deviceprops.moc"
