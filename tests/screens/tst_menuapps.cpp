// The two games in the whole menu: opened from the Applications frame, minimized into the
// popups list and brought back from it, once by the keys a user has and once by touch.
#include "menudriver.h"

#include <QQuickItem>
#include <QQuickWindow>
#include <QtTest>

#include <memory>

class tst_MenuApps : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void openMinimizeExpand_data();
    void openMinimizeExpand();

private:
    QObject *screenManager() const { return m_menu->object(QStringLiteral("screenManager")); }
    QObject *activePopup() const
    {
        return screenManager()->property("activePopup").value<QObject *>();
    }
    int minimizedCount() const
    {
        return m_menu->evaluate(QStringLiteral("screenManager.minimizedPopups.length")).toInt();
    }
    QString currentFrame() const;
    bool backToMain();
    bool focusApplicationsButton();
    // Held past the style's press duration, so that it opens the popups list.
    void holdHomeKey();
    void holdHomeButton();

    std::unique_ptr<MenuDriver> m_menu;
};

QString tst_MenuApps::currentFrame() const
{
    QObject *navigation = m_menu->object(QStringLiteral("navigationManager"));
    QObject *frame = navigation->property("currentFrame").value<QObject *>();
    return frame ? frame->objectName() : QString();
}

void tst_MenuApps::initTestCase()
{
    m_menu = std::make_unique<MenuDriver>(QSize(800, 600));
    QVERIFY2(m_menu->start(), qPrintable(m_menu->error()));
    QVERIFY(
        MenuDriver::waitFor([&] { return currentFrame() == QLatin1String("mainFrame"); }, 5000));
}

void tst_MenuApps::cleanupTestCase()
{
    m_menu.reset();
}

bool tst_MenuApps::backToMain()
{
    QMetaObject::invokeMethod(screenManager(), "closeAllPopups");
    for (int i = 0; i < 6 && currentFrame() != QLatin1String("mainFrame"); ++i)
        m_menu->keyClick(Qt::Key_Escape);
    return MenuDriver::waitFor(
        [&] { return currentFrame() == QLatin1String("mainFrame") && !activePopup(); }, 3000);
}

// The main frame's buttons lie in two rows of three; applications is the first of the second.
bool tst_MenuApps::focusApplicationsButton()
{
    QQuickItem *target = m_menu->item(QStringLiteral("applicationsButton"));
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Left, Qt::Key_Left, Qt::Key_Down}) {
        if (target->hasActiveFocus())
            return true;
        m_menu->keyClick(key);
    }
    return target->hasActiveFocus();
}

void tst_MenuApps::holdHomeKey()
{
    QTest::keyPress(m_menu->window(), Qt::Key_Home);
    MenuDriver::settle(700);
    QTest::keyRelease(m_menu->window(), Qt::Key_Home);
    MenuDriver::settle(50);
}

void tst_MenuApps::holdHomeButton()
{
    QQuickItem *home = m_menu->item(QStringLiteral("homeButton"));
    const QPoint centre =
        home->mapToScene(QPointF(home->width() / 2, home->height() / 2)).toPoint();
    QTest::mousePress(m_menu->window(), Qt::LeftButton, Qt::NoModifier, centre);
    MenuDriver::settle(900);
    QTest::mouseRelease(m_menu->window(), Qt::LeftButton, Qt::NoModifier, centre);
    MenuDriver::settle(50);
}

void tst_MenuApps::openMinimizeExpand_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("minimizeButton");
    QTest::addColumn<bool>("byKeys");

    // Rows of the Applications frame from the first clickable one: schedule, configuration,
    // calculator, sea battle, balls.
    QTest::newRow("sea battle by keys") << "Sea battle" << 3 << "" << true;
    QTest::newRow("sea battle by touch") << "Sea battle" << 3 << "seaBattleMinimizeButton" << false;
    QTest::newRow("balls by keys") << "Balls" << 4 << "" << true;
    QTest::newRow("balls by touch") << "Balls" << 4 << "ballsMinimizeButton" << false;
}

void tst_MenuApps::openMinimizeExpand()
{
    QFETCH(QString, caption);
    QFETCH(int, row);
    QFETCH(QString, minimizeButton);
    QFETCH(bool, byKeys);

    m_menu->window()->requestActivate();
    QVERIFY(QTest::qWaitForWindowActive(m_menu->window()));
    QVERIFY(backToMain());

    if (byKeys) {
        QVERIFY(focusApplicationsButton());
        m_menu->keyClick(Qt::Key_Return);
    } else {
        m_menu->click(m_menu->item(QStringLiteral("applicationsButton")));
    }
    QVERIFY(MenuDriver::waitFor(
        [&] { return currentFrame() == QLatin1String("applicationsFrame"); }, 3000));
    MenuDriver::settle(300);

    if (byKeys) {
        m_menu->keyClick(Qt::Key_PageUp);
        for (int i = 0; i < row; ++i)
            m_menu->keyClick(Qt::Key_Down);
        m_menu->keyClick(Qt::Key_Return);
    } else {
        m_menu->click(m_menu->itemByText(caption));
    }
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() != nullptr; }, 3000));
    QPointer<QObject> game = activePopup();
    QCOMPARE(game->property("caption").toString(), caption);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QQuickItem *>(game.data())->hasActiveFocus(), 3000);

    // Into the popups list.
    if (byKeys)
        m_menu->keyClick(Qt::Key_Home);
    else
        m_menu->click(m_menu->item(minimizeButton));
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() == nullptr; }, 3000));
    QVERIFY(game);
    QVERIFY(game->property("minimized").toBool());
    QCOMPARE(minimizedCount(), 1);

    // And back from it. On the desktop a column menu takes Home to its first row, so the held
    // key is given on the main frame, which leaves Home to the window.
    if (byKeys) {
        m_menu->keyClick(Qt::Key_Escape);
        QVERIFY(MenuDriver::waitFor(
            [&] { return currentFrame() == QLatin1String("mainFrame"); }, 3000));
        holdHomeKey();
    } else
        holdHomeButton();
    QVERIFY(MenuDriver::waitFor(
        [&] {
            QObject *popup = activePopup();
            return popup &&
                   popup->property("tag").toString() == QLatin1String("popups/PopupsList.qml");
        },
        3000));
    MenuDriver::settle(300);
    if (byKeys)
        m_menu->keyClick(Qt::Key_Return);
    else
        m_menu->click(m_menu->item(QStringLiteral("popupsListRow")));
    QVERIFY(MenuDriver::waitFor([&] { return activePopup() == game.data(); }, 3000));
    QVERIFY(!game->property("minimized").toBool());
    QCOMPARE(minimizedCount(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QQuickItem *>(game.data())->hasActiveFocus(), 3000);

    // Closed for good.
    if (byKeys)
        m_menu->keyClick(Qt::Key_Escape);
    else
        m_menu->click(m_menu->item(caption == QLatin1String("Balls")
                                       ? QStringLiteral("ballsCloseButton")
                                       : QStringLiteral("seaBattleCloseButton")));
    QVERIFY(MenuDriver::waitFor([&] { return game.isNull(); }, 3000));
    QCOMPARE(minimizedCount(), 0);
}

QTEST_MAIN(tst_MenuApps)
#include "tst_menuapps.moc"
