#include "gamecore.h"
#include "wallyplayer.h"

#include <QtTest>

#include <memory>

namespace {

using Cells = QList<QPoint>;

ShipSizeList standardFleet()
{
    ShipSizeList fleet;
    for (int size : {4, 3, 3, 2, 2, 2, 1, 1, 1, 1})
        fleet.add(size);
    return fleet;
}

ShipList sunkOfSizes(const QList<int> &sizes)
{
    // Only the sizes of the sunk ships matter to the computer's choice.
    // Distinct places: the ships model keeps equal ships once.
    ShipList ships;
    for (int size : sizes) {
        ShipInfo ship(size, false, 0, int(ships.size()));
        ship.state = Game::DestroyedShip;
        ships.append(ship);
    }
    return ships;
}

Cells allCellsBut(const Cells &left)
{
    Cells cells;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            if (!left.contains(QPoint(x, y)))
                cells.append(QPoint(x, y));
        }
    }
    return cells;
}

// What the computer sees in the battle, fed as the core would.
struct View
{
    ShipSizeList fleet = standardFleet();
    Cells shots;
    Cells damaged;
    ShipList sunk;
    bool canShoot = false;
};

void feed(WallyPlayer &player, const View &view)
{
    GameData game;
    game.shipSizes = view.fleet;
    game.fieldWidth = 10;
    game.fieldHeight = 10;
    PlayerData data;
    data.state = Game::FightingState;
    data.canShoot = view.canShoot;
    data.selfShots = view.shots;
    data.opponentDamagedParts = view.damaged;
    data.opponentShips = view.sunk;
    player.onNewGameData(game);
    player.onNewPlayerData(data);
}

// The shot a computer with this seed takes in this view, or (-1, -1) when it does not shoot.
QPoint shotFor(const View &view, quint32 seed, bool *result = nullptr)
{
    WallyPlayer player;
    player.setRandomGenerator(QRandomGenerator(seed));
    feed(player, view);
    QSignalSpy shots(&player, &Player::shoot);
    const bool shot = player.makeShoot();
    if (result)
        *result = shot;
    if (shots.count() != 1)
        return QPoint(-1, -1);
    return QPoint(shots[0][0].toInt(), shots[0][1].toInt());
}

} // namespace

Q_DECLARE_METATYPE(View)

// The computer player: where it shoots, when it arranges, and whole games against itself.
class tst_WallyPlayer : public QObject
{
    Q_OBJECT

private slots:
    void loneHitIsFollowedByANeighbour_data();
    void loneHitIsFollowedByANeighbour();
    void hitsInARowAreFollowedAlongTheLine_data();
    void hitsInARowAreFollowedAlongTheLine();
    void huntWrapsAround_data();
    void huntWrapsAround();
    void huntSkipsCellsTooSmallForTheShipsAfloat_data();
    void huntSkipsCellsTooSmallForTheShipsAfloat();
    void nothingLeftToShoot_data();
    void nothingLeftToShoot();

    void arrangementIsNotReentered();
    void oneTimedShotAtATime();
    void playsAgainstItself_data();
    void playsAgainstItself();
};

void tst_WallyPlayer::loneHitIsFollowedByANeighbour_data()
{
    QTest::addColumn<QPoint>("hit");
    QTest::addColumn<Cells>("missed");
    QTest::addColumn<Cells>("expected");

    QTest::newRow("middle") << QPoint(5, 5) << Cells{} << Cells{{4, 5}, {6, 5}, {5, 4}, {5, 6}};
    QTest::newRow("top-left corner") << QPoint(0, 0) << Cells{} << Cells{{1, 0}, {0, 1}};
    QTest::newRow("bottom-right corner") << QPoint(9, 9) << Cells{} << Cells{{8, 9}, {9, 8}};
    QTest::newRow("three neighbours missed")
        << QPoint(5, 5) << Cells{{4, 5}, {6, 5}, {5, 4}} << Cells{{5, 6}};
}

void tst_WallyPlayer::loneHitIsFollowedByANeighbour()
{
    QFETCH(QPoint, hit);
    QFETCH(Cells, missed);
    QFETCH(Cells, expected);

    View view;
    view.damaged = {hit};
    view.shots = missed + Cells{hit};
    for (quint32 seed = 1; seed <= 12; ++seed) {
        const QPoint shot = shotFor(view, seed);
        QVERIFY2(expected.contains(shot),
                 qPrintable(QString("seed %1 shot %2,%3").arg(seed).arg(shot.x()).arg(shot.y())));
    }
}

void tst_WallyPlayer::hitsInARowAreFollowedAlongTheLine_data()
{
    QTest::addColumn<Cells>("hits");
    QTest::addColumn<Cells>("missed");
    QTest::addColumn<QPoint>("expected");

    QTest::newRow("horizontal, right end open") << Cells{{4, 5}, {5, 5}} << Cells{} << QPoint(6, 5);
    QTest::newRow("horizontal, right end missed")
        << Cells{{4, 5}, {5, 5}} << Cells{{6, 5}} << QPoint(3, 5);
    QTest::newRow("horizontal, right end leaves the field")
        << Cells{{8, 5}, {9, 5}} << Cells{} << QPoint(7, 5);
    QTest::newRow("vertical, lower end open") << Cells{{5, 4}, {5, 5}} << Cells{} << QPoint(5, 6);
    QTest::newRow("vertical, lower end leaves the field")
        << Cells{{5, 8}, {5, 9}} << Cells{} << QPoint(5, 7);
    QTest::newRow("three hits, the first in the middle")
        << Cells{{5, 5}, {4, 5}, {6, 5}} << Cells{} << QPoint(7, 5);
    QTest::newRow("three hits, far end missed")
        << Cells{{5, 5}, {4, 5}, {6, 5}} << Cells{{7, 5}} << QPoint(3, 5);
    QTest::newRow("both ends missed: no shot")
        << Cells{{4, 5}, {5, 5}} << Cells{{3, 5}, {6, 5}} << QPoint(-1, -1);
}

void tst_WallyPlayer::hitsInARowAreFollowedAlongTheLine()
{
    QFETCH(Cells, hits);
    QFETCH(Cells, missed);
    QFETCH(QPoint, expected);

    View view;
    view.damaged = hits;
    view.shots = hits + missed;
    for (quint32 seed = 1; seed <= 4; ++seed) {
        bool result = true;
        QCOMPARE(shotFor(view, seed, &result), expected);
        QCOMPARE(result, expected.x() >= 0);
    }
}

void tst_WallyPlayer::huntWrapsAround_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QPoint>("expected");

    // The hunt draws its start cell, then its direction; pick seeds that start near an end.
    const auto findSeed = [](bool backward, auto nearEnd) {
        for (quint32 seed = 1;; ++seed) {
            QRandomGenerator random(seed);
            const int start = int(random.generate() % 100);
            if (((random.generate() & 1) != 0) == backward && nearEnd(start))
                return seed;
        }
    };
    QTest::newRow("forward from near the last cell")
        << findSeed(false, [](int start) { return start >= 90 && start < 99; }) << QPoint(9, 9);
    QTest::newRow("backward from near the first cell")
        << findSeed(true, [](int start) { return start > 0 && start <= 9; }) << QPoint(0, 0);
}

void tst_WallyPlayer::huntWrapsAround()
{
    QFETCH(quint32, seed);
    QFETCH(QPoint, expected);

    View view;
    view.fleet = ShipSizeList({{1, 1}});
    view.shots = allCellsBut({{0, 0}, {9, 9}});
    QCOMPARE(shotFor(view, seed), expected);
}

void tst_WallyPlayer::huntSkipsCellsTooSmallForTheShipsAfloat_data()
{
    QTest::addColumn<ShipList>("sunk");
    QTest::addColumn<Cells>("open");
    QTest::addColumn<Cells>("expected");

    const Cells open = {{2, 2}, {7, 7}, {4, 4}, {5, 4}};
    QTest::newRow("only size-1 ships afloat: any open cell")
        << sunkOfSizes({4, 3, 3, 2, 2, 2}) << open << open;
    QTest::newRow("a size-2 ship afloat: only the open pair")
        << sunkOfSizes({4, 3, 3, 2, 2, 1, 1, 1, 1}) << open << Cells{{4, 4}, {5, 4}};
    QTest::newRow("smallest afloat is size 3: no open cell fits")
        << sunkOfSizes({3, 2, 2, 2, 1, 1, 1, 1}) << open << Cells{{-1, -1}};
}

void tst_WallyPlayer::huntSkipsCellsTooSmallForTheShipsAfloat()
{
    QFETCH(ShipList, sunk);
    QFETCH(Cells, open);
    QFETCH(Cells, expected);

    View view;
    view.sunk = sunk;
    view.shots = allCellsBut(open);
    QSet<QPoint> seen;
    for (quint32 seed = 1; seed <= 40; ++seed) {
        const QPoint shot = shotFor(view, seed);
        QVERIFY2(expected.contains(shot),
                 qPrintable(QString("seed %1 shot %2,%3").arg(seed).arg(shot.x()).arg(shot.y())));
        seen.insert(shot);
    }
    // Every allowed cell can be chosen.
    QCOMPARE(seen, QSet<QPoint>(expected.begin(), expected.end()));
}

void tst_WallyPlayer::nothingLeftToShoot_data()
{
    QTest::addColumn<View>("view");

    View everyCellShot;
    everyCellShot.shots = allCellsBut({});
    QTest::newRow("every cell shot") << everyCellShot;
    View fleetSunk;
    fleetSunk.sunk = sunkOfSizes({4, 3, 3, 2, 2, 2, 1, 1, 1, 1});
    QTest::newRow("every ship sunk") << fleetSunk;
}

void tst_WallyPlayer::nothingLeftToShoot()
{
    QFETCH(View, view);
    bool result = true;
    QCOMPARE(shotFor(view, 7, &result), QPoint(-1, -1));
    QVERIFY(!result);
}

void tst_WallyPlayer::arrangementIsNotReentered()
{
    GameCore core;
    Player human;
    WallyPlayer computer;
    computer.setRandomGenerator(QRandomGenerator(5));
    QSignalSpy placed(&computer, &Player::placeShip);
    core.setPlayer(0, &human);
    core.setPlayer(1, &computer);

    // Every placement brings a snapshot back in the middle of the arrangement: each ship is
    // asked for once.
    QCOMPARE(placed.count(), 10);
    QCOMPARE(computer.state(), Game::ReadyForFightState);
    QCOMPARE(computer.selfShipsModel()->rowCount(), 10);

    // Later snapshots leave the fleet alone.
    core.syncPlayers();
    QCOMPARE(placed.count(), 10);
}

void tst_WallyPlayer::oneTimedShotAtATime()
{
    WallyPlayer player;
    player.setDelay(0);
    player.setRandomGenerator(QRandomGenerator(3));
    QSignalSpy shots(&player, &Player::shoot);
    View view;
    view.canShoot = true;
    feed(player, view);
    feed(player, view);
    QCOMPARE(shots.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(shots.count(), 1, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(shots.count(), 1);

    // Its turn again (after a hit): one more shot.
    feed(player, view);
    QTRY_COMPARE_WITH_TIMEOUT(shots.count(), 2, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(shots.count(), 2);
}

void tst_WallyPlayer::playsAgainstItself_data()
{
    QTest::addColumn<quint32>("first");
    QTest::addColumn<quint32>("second");
    const QList<QPair<quint32, quint32>> seeds = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
    for (const auto &pair : seeds)
        QTest::addRow("seeds %u and %u", pair.first, pair.second) << pair.first << pair.second;
}

void tst_WallyPlayer::playsAgainstItself()
{
    QFETCH(quint32, first);
    QFETCH(quint32, second);

    GameCore core;
    WallyPlayer players[2];
    QSignalSpy shots[2] = {QSignalSpy(&players[0], &Player::shoot),
                           QSignalSpy(&players[1], &Player::shoot)};
    players[0].setRandomGenerator(QRandomGenerator(first));
    players[1].setRandomGenerator(QRandomGenerator(second));
    for (int i = 0; i < 2; ++i) {
        players[i].setDelay(0);
        core.setPlayer(i, &players[i]);
    }
    QVERIFY(core.playersReady());
    QVERIFY(core.fight());
    QTRY_COMPARE_WITH_TIMEOUT(core.state(), Game::AfterGameState, 20000);

    QVERIFY(shots[0].count() + shots[1].count() <= 200);
    QVERIFY(core.winnerPlayer() == 0 || core.winnerPlayer() == 1);
    QVERIFY(players[0].winner() != players[1].winner());
    QCOMPARE(players[core.winnerPlayer()].winner(), true);
    QCOMPARE(players[1 - core.winnerPlayer()].opponentShipsModel()->rowCount(), 10);
}

QTEST_GUILESS_MAIN(tst_WallyPlayer)
#include "tst_wallyplayer.moc"
