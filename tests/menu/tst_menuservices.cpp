#include "keypadhelper.h"
#include "screenmanager.h"
#include "stringpairmodel.h"
#include "wheelarea.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

namespace {

// Counts key presses that reach an object, with their codes.
class KeyPressWatch : public QObject
{
public:
    QList<int> keys;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.append(static_cast<QKeyEvent *>(event)->key());
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// The screen manager's notices, the keypad's key presses, the wheel area and the pair model,
// in a real offscreen window.
class tst_MenuServices : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void screenSizeAndDensity();
    void onePressOneNotice();
    void keyReleasesOfOnePassCoalesce();
    void keypadTypesIntoTheFocusedInput();
    void keypadKeysLeftByTheInputReachItsParent();
    void wheel_data();
    void wheel();
    void stringPairs();

private:
    QQmlEngine m_engine;
    std::unique_ptr<QQuickWindow> m_window;
    QQuickItem *m_input = nullptr;
    WheelArea *m_wheel = nullptr;
};

void tst_MenuServices::initTestCase()
{
    qmlRegisterType<WheelArea>("Menu", 1, 0, "WheelArea");
}

void tst_MenuServices::init()
{
    QQmlComponent component(&m_engine);
    component.setData(R"(
        import QtQuick
        import Menu 1.0
        Window {
            width: 200; height: 200; visible: true
            MouseArea { anchors.fill: parent }
            TextInput { objectName: "input"; width: 200; height: 40; focus: true }
            WheelArea { objectName: "wheel"; y: 100; width: 200; height: 100 }
        }
    )",
                      QUrl(QStringLiteral("qrc:/Services.qml")));
    m_window.reset(qobject_cast<QQuickWindow *>(component.create()));
    QVERIFY2(m_window, qPrintable(component.errorString()));
    m_input = m_window->findChild<QQuickItem *>(QStringLiteral("input"));
    m_wheel = m_window->findChild<WheelArea *>(QStringLiteral("wheel"));
    QVERIFY(m_input && m_wheel);
    m_window->requestActivate();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusObject(), m_input, 5000);
}

void tst_MenuServices::cleanup()
{
    m_window.reset();
}

void tst_MenuServices::screenSizeAndDensity()
{
    ScreenManager manager;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(manager.screenWidth(), screen.width());
    QCOMPARE(manager.screenHeight(), screen.height());
    QCOMPARE(manager.dpi(), 96.0);
    QCOMPARE(manager.cm(), 37.79527559055118);
    QCOMPARE(manager.mm(), 3.7795275590551176);
}

void tst_MenuServices::onePressOneNotice()
{
    ScreenManager manager;
    QSignalSpy pressed(&manager, &ScreenManager::mousePress);
    QSignalSpy released(&manager, &ScreenManager::mouseRelease);
    // The press reaches the window, then the mouse area under it.
    QTest::mouseClick(m_window.get(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 150));
    QCOMPARE(pressed.count(), 1);
    QCOMPARE(released.count(), 1);
}

void tst_MenuServices::keyReleasesOfOnePassCoalesce()
{
    ScreenManager manager;
    QSignalSpy released(&manager, &ScreenManager::keyRelease);
    for (int key : {Qt::Key_1, Qt::Key_2, Qt::Key_3}) {
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(m_input, &release);
    }
    QCOMPARE(released.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(released.count(), 1, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(released.count(), 1);

    QKeyEvent release(QEvent::KeyRelease, Qt::Key_4, Qt::NoModifier);
    QCoreApplication::sendEvent(m_input, &release);
    QTRY_COMPARE_WITH_TIMEOUT(released.count(), 2, 5000);
}

void tst_MenuServices::keypadTypesIntoTheFocusedInput()
{
    KeypadHelper keypad;
    KeyPressWatch watch;
    m_input->installEventFilter(&watch);

    keypad.translateCharEvent(QChar(0x01));
    QCoreApplication::processEvents();
    QVERIFY(watch.keys.isEmpty());

    keypad.translateCharEvent(QLatin1Char('a'));
    QTRY_COMPARE_WITH_TIMEOUT(m_input->property("text").toString(), QStringLiteral("a"), 5000);
    QCOMPARE(watch.keys, QList<int>{0x61});

    keypad.translateCharEvent(QChar(0x0416)); // Ж
    keypad.translateKeyEvent(Qt::Key_Backspace);
    QTRY_COMPARE_WITH_TIMEOUT(watch.keys.size(), 3, 5000);
    QCOMPARE(m_input->property("text").toString(), QStringLiteral("a"));
    QCOMPARE(watch.keys, (QList<int>{0x61, 0x0416, Qt::Key_Backspace}));
    m_input->removeEventFilter(&watch);
}

void tst_MenuServices::keypadKeysLeftByTheInputReachItsParent()
{
    // Through the window, as a real key press: the one-line input leaves Down to its parent,
    // and keeps the character it types.
    KeypadHelper keypad;
    KeyPressWatch parentWatch;
    m_input->parentItem()->installEventFilter(&parentWatch);
    keypad.translateCharEvent(QLatin1Char('b'));
    keypad.translateKeyEvent(Qt::Key_Down);
    QTRY_COMPARE_WITH_TIMEOUT(parentWatch.keys, QList<int>{Qt::Key_Down}, 5000);
    QCOMPARE(m_input->property("text").toString(), QStringLiteral("b"));
    m_input->parentItem()->removeEventFilter(&parentWatch);
}

void tst_MenuServices::wheel_data()
{
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<int>("vertical");
    QTest::addColumn<int>("horizontal");
    QTest::newRow("vertical turn") << QPoint(0, -120) << -120 << 0;
    QTest::newRow("horizontal turn") << QPoint(120, 0) << 0 << 120;
    QTest::newRow("mostly vertical") << QPoint(10, 120) << 120 << 0;
}

void tst_MenuServices::wheel()
{
    QFETCH(QPoint, angle);
    QFETCH(int, vertical);
    QFETCH(int, horizontal);

    QSignalSpy verticalSpy(m_wheel, &WheelArea::verticalWheel);
    QSignalSpy horizontalSpy(m_wheel, &WheelArea::horizontalWheel);
    const QPointF at(100, 150);
    QWheelEvent event(at, m_window->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(m_window.get(), &event);
    QCOMPARE(verticalSpy.count(), vertical ? 1 : 0);
    QCOMPARE(horizontalSpy.count(), horizontal ? 1 : 0);
    if (vertical)
        QCOMPARE(verticalSpy[0][0].toInt(), vertical);
    if (horizontal)
        QCOMPARE(horizontalSpy[0][0].toInt(), horizontal);
}

void tst_MenuServices::stringPairs()
{
    StringPairModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.append(QStringLiteral("rate"), QStringLiteral("m3/h"));
    model.append(QStringLiteral("heat"), QStringLiteral("GJ"));
    model.append(QStringLiteral("rate"), QStringLiteral("l/s"));
    QCOMPARE(model.indexOf(QStringLiteral("rate")), 0);
    QCOMPARE(model.indexOf(QStringLiteral("heat")), 1);
    QCOMPARE(model.indexOf(QStringLiteral("Rate")), -1);
    QCOMPARE(model.roleNames().value(32), "key");
    QCOMPARE(model.roleNames().value(33), "value");
    QCOMPARE(model.index(2).data(StringPairModel::ValueRole).toString(), "l/s");
    QVERIFY(!model.index(3).data(StringPairModel::KeyRole).isValid());
    QVERIFY(!model.index(0).data(Qt::DisplayRole).isValid());
    model.clear();
    QCOMPARE(model.rowCount(), 0);
}

QTEST_MAIN(tst_MenuServices)
#include "tst_menuservices.moc"
