#include "gamecore.h"
#include "seabattletypes.h"
#include "wallyplayer.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QtTest>

#include <memory>

// The "SeaBattle" 1.0 module as the game's screen uses it.
class tst_SeaBattleTypes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void screenSetUp();
    void gameIsNotCreatable();

private:
    QQmlEngine m_engine;
};

void tst_SeaBattleTypes::initTestCase()
{
    registerSeaBattleTypes();
}

void tst_SeaBattleTypes::screenSetUp()
{
    QQmlComponent component(&m_engine);
    component.setData(R"(
        import QtQml
        import SeaBattle 1.0
        GameCore {
            id: core
            player1: Player { id: human }
            player2: WallyPlayer { delay: 0 }
            property bool arranging: human.state === Game.ArrangementState
            property int sizeRoleRows: human.arrangementShipsModel.rowCount()
            property bool placeable: human.canPlaceShip(6, 0, 4, false)
            property bool before: state === Game.BeforeGameState
        }
    )",
                      QUrl("qrc:/SeaBattleScreen.qml"));
    std::unique_ptr<QObject> object(component.create());
    QVERIFY2(object, qPrintable(component.errorString()));

    auto *core = qobject_cast<GameCore *>(object.get());
    QVERIFY(core);
    QVERIFY(qobject_cast<Player *>(core->player1()));
    auto *computer = qobject_cast<WallyPlayer *>(core->player2());
    QVERIFY(computer);
    QCOMPARE(computer->delay(), 0);
    QCOMPARE(computer->state(), Game::ReadyForFightState);
    QVERIFY(object->property("arranging").toBool());
    QCOMPARE(object->property("sizeRoleRows").toInt(), 4);
    QVERIFY(object->property("placeable").toBool());
    QVERIFY(object->property("before").toBool());
}

void tst_SeaBattleTypes::gameIsNotCreatable()
{
    QQmlComponent component(&m_engine);
    component.setData("import SeaBattle 1.0\nGame {}\n", QUrl("qrc:/Game.qml"));
    std::unique_ptr<QObject> object(component.create());
    QVERIFY(!object);
    QVERIFY2(component.errorString().contains("you must not create 'Game' object"),
             qPrintable(component.errorString()));
}

QTEST_GUILESS_MAIN(tst_SeaBattleTypes)
#include "tst_seabattletypes.moc"
