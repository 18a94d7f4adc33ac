#include "gamecore.h"
#include "player.h"

#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

struct Placement
{
    int x;
    int y;
    int size;
    bool vertical;
};

struct Shot
{
    int player;
    int x;
    int y;
    bool accepted;
};

using Placements = QList<Placement>;
using Shots = QList<Shot>;
using Cells = QList<QPoint>;

// A legal fleet: the size-1 ships lie on the top row, one of them at (0, 0).
const Placements Fleet = {{0, 9, 4, false}, {5, 9, 3, false}, {0, 7, 3, false}, {4, 7, 2, false},
                          {7, 7, 2, false}, {0, 5, 2, false}, {0, 0, 1, false}, {2, 0, 1, false},
                          {4, 0, 1, false}, {6, 0, 1, false}};

// Exposes the judgement of one seat's request, which the slots reach through the sender.
class JudgedCore : public GameCore
{
public:
    using GameCore::placeShipFor;
    using GameCore::shootFor;
};

QSet<QPoint> cellSet(const Cells &cells)
{
    return QSet<QPoint>(cells.begin(), cells.end());
}

} // namespace

Q_DECLARE_METATYPE(Placement)
Q_DECLARE_METATYPE(Shot)

// The rules: placement, turns, shots, the end of the game and a new start.
class tst_GameCore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void placement_data();
    void placement();
    void placementThroughThePlayersSignal();
    void requestOfAStrangerIsRefused();
    void fightNeedsBothFleets();

    void shots_data();
    void shots();
    void shotBeforeTheFightIsRefused();
    void lastShipSunkEndsTheGame();

    void thirdSeatIsIgnored();
    void destroyedPlayerLeavesItsSeat();
    void startNewGameFromEveryState_data();
    void startNewGameFromEveryState();

private:
    void placeFleet(int index);
    void startFight();

    JudgedCore *m_core = nullptr;
    Player *m_players[2] = {nullptr, nullptr};
};

void tst_GameCore::init()
{
    m_core = new JudgedCore;
    for (int i = 0; i < 2; ++i) {
        m_players[i] = new Player;
        m_core->setPlayer(i, m_players[i]);
    }
}

void tst_GameCore::cleanup()
{
    delete m_core;
    for (Player *&player : m_players) {
        delete player;
        player = nullptr;
    }
}

void tst_GameCore::placeFleet(int index)
{
    for (const Placement &p : Fleet)
        QVERIFY(m_core->placeShipFor(index, p.x, p.y, p.size, p.vertical));
}

void tst_GameCore::startFight()
{
    placeFleet(0);
    placeFleet(1);
    QVERIFY(m_core->playersReady());
    QVERIFY(m_core->fight());
}

void tst_GameCore::placement_data()
{
    QTest::addColumn<Placements>("before");
    QTest::addColumn<Placement>("ship");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("size 4 horizontal at (6,0) ends on the last column")
        << Placements{} << Placement{6, 0, 4, false} << true;
    QTest::newRow("size 4 horizontal at (7,0) leaves the field")
        << Placements{} << Placement{7, 0, 4, false} << false;
    QTest::newRow("size 4 vertical at (0,6) ends on the last row")
        << Placements{} << Placement{0, 6, 4, true} << true;
    QTest::newRow("size 4 vertical at (0,7) leaves the field")
        << Placements{} << Placement{0, 7, 4, true} << false;
    QTest::newRow("negative x") << Placements{} << Placement{-1, 0, 1, false} << false;
    QTest::newRow("touching at a corner")
        << Placements{{0, 0, 2, false}} << Placement{2, 1, 1, false} << false;
    QTest::newRow("touching at a side")
        << Placements{{0, 0, 2, false}} << Placement{0, 1, 2, false} << false;
    QTest::newRow("overlapping") << Placements{{0, 0, 3, false}} << Placement{1, 0, 3, true}
                                 << false;
    QTest::newRow("one cell of water between")
        << Placements{{0, 0, 2, false}} << Placement{3, 0, 1, false} << true;
    QTest::newRow("size not in the fleet") << Placements{} << Placement{0, 0, 5, false} << false;
    QTest::newRow("size already placed")
        << Placements{{0, 0, 4, false}} << Placement{0, 5, 4, false} << false;
}

void tst_GameCore::placement()
{
    QFETCH(Placements, before);
    QFETCH(Placement, ship);
    QFETCH(bool, accepted);

    for (const Placement &p : before)
        QVERIFY(m_core->placeShipFor(0, p.x, p.y, p.size, p.vertical));
    const int shipsBefore = m_players[0]->selfShipsModel()->rowCount();
    const ShipSizeList sizesBefore = m_players[0]->arrangementShipsModel()->shipSizes();

    QCOMPARE(m_core->placeShipFor(0, ship.x, ship.y, ship.size, ship.vertical), accepted);
    QCOMPARE(m_players[0]->selfShipsModel()->rowCount(), shipsBefore + (accepted ? 1 : 0));
    if (accepted) {
        const ShipInfo placed = m_players[0]->selfShipsModel()->ships().last();
        QCOMPARE(placed, ShipInfo(ship.size, ship.vertical, ship.x, ship.y));
    } else {
        QCOMPARE(m_players[0]->arrangementShipsModel()->shipSizes(), sizesBefore);
    }
    // The other seat is untouched either way.
    QCOMPARE(m_players[1]->selfShipsModel()->rowCount(), 0);
}

void tst_GameCore::placementThroughThePlayersSignal()
{
    emit m_players[1]->placeShip(2, 3, 3, true);
    QCOMPARE(m_players[1]->selfShipsModel()->ships(), ShipList{ShipInfo(3, true, 2, 3)});
    QCOMPARE(m_players[0]->selfShipsModel()->rowCount(), 0);

    emit m_players[1]->placeShip(2, 3, 3, true);
    QCOMPARE(m_players[1]->selfShipsModel()->rowCount(), 1);
}

void tst_GameCore::requestOfAStrangerIsRefused()
{
    Player stranger;
    connect(&stranger, &Player::placeShip, m_core, &GameCore::onPlayerPlaceShip);
    emit stranger.placeShip(0, 0, 1, false);
    QCOMPARE(m_players[0]->selfShipsModel()->rowCount(), 0);
    QCOMPARE(m_players[1]->selfShipsModel()->rowCount(), 0);
    // Without a sender nobody is asking.
    QVERIFY(!m_core->onPlayerPlaceShip(0, 0, 1, false));
}

void tst_GameCore::fightNeedsBothFleets()
{
    QSignalSpy ready(m_core, &GameCore::playersReadyChanged);
    placeFleet(0);
    QCOMPARE(m_players[0]->state(), Game::ReadyForFightState);
    QCOMPARE(m_players[1]->state(), Game::ArrangementState);
    QVERIFY(!m_core->playersReady());
    QVERIFY(!m_core->fight());
    QCOMPARE(m_core->state(), Game::BeforeGameState);

    placeFleet(1);
    QCOMPARE(ready.count(), 1);
    QVERIFY(m_core->fight());
    QCOMPARE(m_core->state(), Game::GamingState);
    QCOMPARE(m_core->shootingPlayer(), 0);
    QVERIFY(m_players[0]->canShoot());
    QVERIFY(!m_players[1]->canShoot());
    QCOMPARE(m_players[1]->state(), Game::FightingState);
    // Placement ends with the fight.
    QVERIFY(!m_core->placeShipFor(0, 9, 9, 1, false));
    QVERIFY(!m_core->fight());
}

void tst_GameCore::shots_data()
{
    QTest::addColumn<Shots>("shots");
    QTest::addColumn<int>("shooting");
    QTest::addColumn<Cells>("shotsOfFirst");

    QTest::newRow("miss passes the turn") << Shots{{0, 9, 2, true}} << 1 << Cells{{9, 2}};
    QTest::newRow("hit keeps the turn") << Shots{{0, 1, 9, true}} << 0 << Cells{{1, 9}};
    QTest::newRow("out of turn") << Shots{{1, 9, 2, false}} << 0 << Cells{};
    QTest::newRow("a cell twice") << Shots{{0, 9, 2, true}, {1, 9, 2, true}, {0, 9, 2, false}} << 0
                                  << Cells{{9, 2}};
    QTest::newRow("outside the field")
        << Shots{{0, 10, 0, false}, {0, -1, 3, false}, {0, 0, 10, false}} << 0 << Cells{};
    QTest::newRow("sinking a size-1 ship in the corner marks its water")
        << Shots{{0, 0, 0, true}} << 0 << Cells{{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    QTest::newRow("sinking a size-2 ship marks its water")
        << Shots{{0, 0, 5, true}, {0, 1, 5, true}} << 0
        << Cells{{0, 4}, {1, 4}, {2, 4}, {0, 5}, {1, 5}, {2, 5}, {0, 6}, {1, 6}, {2, 6}};
}

void tst_GameCore::shots()
{
    QFETCH(Shots, shots);
    QFETCH(int, shooting);
    QFETCH(Cells, shotsOfFirst);

    startFight();
    for (const Shot &shot : shots)
        QCOMPARE(m_core->shootFor(shot.player, shot.x, shot.y), shot.accepted);
    QCOMPARE(m_core->shootingPlayer(), shooting);
    QCOMPARE(m_players[0]->canShoot(), shooting == 0);
    QCOMPARE(m_players[1]->canShoot(), shooting == 1);
    QCOMPARE(cellSet(m_players[0]->selfShotsModel()->cells()), cellSet(shotsOfFirst));
    QCOMPARE(cellSet(m_players[1]->opponentShotsModel()->cells()), cellSet(shotsOfFirst));
}

void tst_GameCore::shotBeforeTheFightIsRefused()
{
    placeFleet(0);
    placeFleet(1);
    QVERIFY(!m_core->shootFor(0, 9, 2));
    QCOMPARE(m_players[0]->selfShotsModel()->rowCount(), 0);
    QCOMPARE(m_core->shootingPlayer(), -1);
}

void tst_GameCore::lastShipSunkEndsTheGame()
{
    startFight();
    QSignalSpy winner(m_core, &GameCore::winnerPlayerChanged);
    QList<QPoint> targets;
    for (const Placement &p : Fleet)
        targets += ShipInfo(p.size, p.vertical, p.x, p.y).cells();

    for (int i = 0; i < targets.size(); ++i) {
        QVERIFY(m_core->shootFor(0, targets[i].x(), targets[i].y()));
        if (i < targets.size() - 1) {
            QCOMPARE(m_core->state(), Game::GamingState);
            QCOMPARE(m_core->shootingPlayer(), 0);
        }
    }
    QCOMPARE(m_core->state(), Game::AfterGameState);
    QCOMPARE(m_core->winnerPlayer(), 0);
    QCOMPARE(winner.count(), 1);
    QCOMPARE(m_core->shootingPlayer(), -1);
    for (Player *player : m_players) {
        QCOMPARE(player->state(), Game::GameOverState);
        QVERIFY(!player->canShoot());
        QCOMPARE(player->opponentShipsModel()->rowCount(), Fleet.size());
    }
    QVERIFY(m_players[0]->winner());
    QVERIFY(!m_players[1]->winner());
    QVERIFY(!m_core->shootFor(0, 9, 2));
    QVERIFY(!m_core->shootFor(1, 9, 2));
}

void tst_GameCore::thirdSeatIsIgnored()
{
    Player third;
    QSignalSpy first(m_core, &GameCore::player1Changed);
    QSignalSpy second(m_core, &GameCore::playerChanged);
    m_core->setPlayer(2, &third);
    m_core->setPlayer(-1, &third);
    QCOMPARE(m_core->player1(), m_players[0]);
    QCOMPARE(m_core->player2(), m_players[1]);
    QCOMPARE(first.count() + second.count(), 0);
    QCOMPARE(third.state(), Game::OfflineState);
    emit third.placeShip(0, 0, 1, false);
    QCOMPARE(m_players[0]->selfShipsModel()->rowCount(), 0);
    QCOMPARE(m_players[1]->selfShipsModel()->rowCount(), 0);
}

void tst_GameCore::destroyedPlayerLeavesItsSeat()
{
    QSignalSpy ready(m_core, &GameCore::playersReadyChanged);
    placeFleet(0);
    delete m_players[1];
    m_players[1] = nullptr;
    QCOMPARE(m_core->player2(), nullptr);
    m_core->startNewGame();
    placeFleet(0);
    QVERIFY(!m_core->playersReady());
    QVERIFY(!m_core->fight());
    QCOMPARE(ready.count(), 0);
}

void tst_GameCore::startNewGameFromEveryState_data()
{
    QTest::addColumn<int>("stage");
    QTest::newRow("arranging") << 0;
    QTest::newRow("both ready") << 1;
    QTest::newRow("fighting, after a hit") << 2;
    QTest::newRow("game over") << 3;
}

void tst_GameCore::startNewGameFromEveryState()
{
    QFETCH(int, stage);

    const Placement &first = Fleet.first();
    QVERIFY(m_core->placeShipFor(0, first.x, first.y, first.size, first.vertical));
    if (stage >= 1) {
        for (const Placement &p : Fleet.mid(1))
            QVERIFY(m_core->placeShipFor(0, p.x, p.y, p.size, p.vertical));
        placeFleet(1);
    }
    if (stage >= 2) {
        QVERIFY(m_core->fight());
        QVERIFY(m_core->shootFor(0, 0, 9));
    }
    if (stage >= 3) {
        for (const Placement &p : Fleet) {
            for (const QPoint &cell : ShipInfo(p.size, p.vertical, p.x, p.y).cells())
                m_core->shootFor(0, cell.x(), cell.y());
        }
        QCOMPARE(m_core->state(), Game::AfterGameState);
    }

    m_core->startNewGame();
    QCOMPARE(m_core->state(), Game::BeforeGameState);
    QCOMPARE(m_core->shootingPlayer(), -1);
    QCOMPARE(m_core->winnerPlayer(), -1);
    QVERIFY(!m_core->playersReady());
    for (Player *player : m_players) {
        QCOMPARE(player->state(), Game::ArrangementState);
        QVERIFY(!player->winner());
        // Rows kept from the last game keep their places, so only the content is compared.
        QList<ShipSizeList::Pair> sizes = player->arrangementShipsModel()->shipSizes().pairs();
        std::sort(sizes.begin(), sizes.end(), std::greater<>());
        QCOMPARE(sizes, m_core->fleet().pairs());
        QCOMPARE(player->selfShipsModel()->rowCount(), 0);
        QCOMPARE(player->selfShotsModel()->rowCount(), 0);
        QCOMPARE(player->opponentShipsModel()->rowCount(), 0);
        QCOMPARE(player->selfDamagedPartsModel()->rowCount(), 0);
    }
    // And the new game is playable.
    placeFleet(0);
    placeFleet(1);
    QVERIFY(m_core->fight());
}

QTEST_GUILESS_MAIN(tst_GameCore)
#include "tst_gamecore.moc"
