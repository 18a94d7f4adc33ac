#include "gamecore.h"
#include "player.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <memory>

namespace {

using Cells = QList<QPoint>;

struct Snapshot
{
    int inserted = 0;
    int removed = 0;
    int other = 0;
};

// Counts the row notifications of a model.
class RowWatch
{
public:
    explicit RowWatch(QAbstractItemModel *model)
        : m_inserted(model, &QAbstractItemModel::rowsInserted),
          m_removed(model, &QAbstractItemModel::rowsRemoved),
          m_reset(model, &QAbstractItemModel::modelReset),
          m_changed(model, &QAbstractItemModel::dataChanged),
          m_moved(model, &QAbstractItemModel::rowsMoved)
    {}
    int inserted() const { return int(m_inserted.count()); }
    int removed() const { return int(m_removed.count()); }
    int others() const { return int(m_reset.count() + m_changed.count() + m_moved.count()); }
    void clear()
    {
        m_inserted.clear();
        m_removed.clear();
        m_reset.clear();
        m_changed.clear();
        m_moved.clear();
    }

private:
    QSignalSpy m_inserted;
    QSignalSpy m_removed;
    QSignalSpy m_reset;
    QSignalSpy m_changed;
    QSignalSpy m_moved;
};

QList<QAbstractItemModel *> modelsOf(Player &player)
{
    return {player.selfShotsModel(),        player.selfShipsModel(),
            player.opponentShipsModel(),    player.opponentShotsModel(),
            player.selfDamagedPartsModel(), player.opponentDamagedPartsModel(),
            player.arrangementShipsModel()};
}

Cells rowsOf(QAbstractItemModel *model)
{
    Cells cells;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        cells.append(QPoint(index.data(ShotsModel::CellXRole).toInt(),
                            index.data(ShotsModel::CellYRole).toInt()));
    }
    return cells;
}

bool shipsTouch(const ShipList &ships)
{
    for (int i = 0; i < ships.size(); ++i) {
        for (int j = i + 1; j < ships.size(); ++j) {
            if (ships[i].touches(ships[j]))
                return true;
        }
    }
    return false;
}

// A legal fleet in rows 0 to 6.
const ShipList Fleet = {ShipInfo(4, false, 0, 0), ShipInfo(3, false, 0, 2),
                        ShipInfo(3, false, 4, 2), ShipInfo(2, false, 0, 4),
                        ShipInfo(2, false, 3, 4), ShipInfo(2, false, 6, 4),
                        ShipInfo(1, false, 0, 6), ShipInfo(1, false, 2, 6),
                        ShipInfo(1, false, 4, 6), ShipInfo(1, false, 6, 6)};

void placeFleet(Player &player)
{
    for (const ShipInfo &ship : Fleet)
        emit player.placeShip(ship.x, ship.y, ship.size, ship.isVertical());
}

} // namespace

// The player's models follow the core's snapshots; a plain player arranges itself on request.
class tst_Player : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void shipSizesFollowPlacement();
    void noPlacementDuringTheBattle();
    void shotsModelDiff_data();
    void shotsModelDiff();
    void sinkingShipMovesToTheEnd();
    void modelRolesAndBounds();
    void arrangementTriesBothOrientations_data();
    void arrangementTriesBothOrientations();
    void newGameDuringArrangement();
    void seededArrangementPlacesTheFleet_data();
    void seededArrangementPlacesTheFleet();

private:
    void watchModels(Player &player);

    std::unique_ptr<GameCore> m_core;
    std::unique_ptr<Player> m_players[2];
    QList<QAbstractItemModelTester *> m_testers;
};

void tst_Player::init()
{
    m_core = std::make_unique<GameCore>();
    for (int i = 0; i < 2; ++i) {
        m_players[i] = std::make_unique<Player>();
        watchModels(*m_players[i]);
        m_core->setPlayer(i, m_players[i].get());
    }
}

void tst_Player::cleanup()
{
    qDeleteAll(m_testers);
    m_testers.clear();
    m_core.reset();
    for (auto &player : m_players)
        player.reset();
}

void tst_Player::watchModels(Player &player)
{
    for (QAbstractItemModel *model : modelsOf(player)) {
        m_testers.append(new QAbstractItemModelTester(
            model, QAbstractItemModelTester::FailureReportingMode::QtTest));
    }
}

void tst_Player::shipSizesFollowPlacement()
{
    Player &player = *m_players[0];
    QAbstractItemModel *sizes = player.arrangementShipsModel();
    QCOMPARE(sizes->rowCount(), 4);
    const QList<QPair<int, int>> expected = {{4, 1}, {3, 2}, {2, 3}, {1, 4}};
    for (int row = 0; row < sizes->rowCount(); ++row) {
        const QModelIndex index = sizes->index(row, 0);
        QCOMPARE(index.data(ShipSizesModel::SizeRole).toInt(), expected[row].first);
        QCOMPARE(index.data(ShipSizesModel::ShipsCountRole).toInt(), expected[row].second);
    }
    QCOMPARE(player.arrangementShipSize(), 4);
    QCOMPARE(player.state(), Game::ArrangementState);

    QSignalSpy sizeChanged(&player, &Player::arrangementShipSizeChanged);
    emit player.placeShip(0, 0, 4, false);
    QCOMPARE(player.arrangementShipSize(), 3);
    QCOMPARE(sizeChanged.count(), 1);
    QCOMPARE(sizes->rowCount(), 3);

    emit player.placeShip(0, 2, 3, false);
    QCOMPARE(sizes->index(0, 0).data(ShipSizesModel::ShipsCountRole).toInt(), 1);
    QCOMPARE(player.arrangementShipSize(), 3);
}

void tst_Player::noPlacementDuringTheBattle()
{
    Player &player = *m_players[0];
    QVERIFY(player.canPlaceShip(0, 0, 4, false));
    QVERIFY(!player.canPlaceShip(7, 0, 4, false));
    emit player.placeShip(0, 0, 4, false);
    QVERIFY(!player.canPlaceShip(4, 1, 1, false));
    QVERIFY(player.canPlaceShip(5, 1, 1, false));

    m_core->startNewGame();
    placeFleet(player);
    placeFleet(*m_players[1]);
    QVERIFY(m_core->fight());
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            for (bool vertical : {false, true})
                QVERIFY2(!player.canPlaceShip(x, y, 1, vertical),
                         qPrintable(QString("%1,%2").arg(x).arg(y)));
        }
    }
}

void tst_Player::shotsModelDiff_data()
{
    QTest::addColumn<Cells>("before");
    QTest::addColumn<Cells>("after");
    QTest::addColumn<Cells>("rows");
    QTest::addColumn<int>("inserted");
    QTest::addColumn<int>("removed");

    const QPoint a(1, 1), b(2, 2), c(3, 3), d(4, 4);
    QTest::newRow("same list again")
        << Cells{a, b, c} << Cells{a, b, c} << Cells{a, b, c} << 0 << 0;
    QTest::newRow("same cells in another order")
        << Cells{a, b, c} << Cells{c, b, a} << Cells{a, b, c} << 0 << 0;
    QTest::newRow("kept rows keep their places")
        << Cells{a, b, c} << Cells{c, d, a} << Cells{a, c, d} << 1 << 1;
    QTest::newRow("duplicates kept once") << Cells{} << Cells{a, a, b} << Cells{a, b} << 2 << 0;
    QTest::newRow("emptied") << Cells{a, b} << Cells{} << Cells{} << 0 << 2;
}

void tst_Player::shotsModelDiff()
{
    QFETCH(Cells, before);
    QFETCH(Cells, after);
    QFETCH(Cells, rows);
    QFETCH(int, inserted);
    QFETCH(int, removed);

    ShotsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setCells(before);
    RowWatch watch(&model);
    model.setCells(after);
    QCOMPARE(rowsOf(&model), rows);
    QCOMPARE(watch.inserted(), inserted);
    QCOMPARE(watch.removed(), removed);
    QCOMPARE(watch.others(), 0);
}

void tst_Player::sinkingShipMovesToTheEnd()
{
    GameCore &core = *m_core;
    Player &shooter = *m_players[0];
    Player &target = *m_players[1];
    placeFleet(shooter);
    placeFleet(target);
    QVERIFY(core.fight());

    ShipsModel *ships = target.selfShipsModel();
    const auto rowOf = [ships](int x, int y) {
        for (int row = 0; row < ships->rowCount(); ++row) {
            if (ships->ships()[row].x == x && ships->ships()[row].y == y)
                return row;
        }
        return -1;
    };
    emit shooter.shoot(0, 4); // damages the first size-2 ship: its state changed, it moves
    QCOMPARE(rowOf(0, 4), 9);
    QCOMPARE(ships->ships()[9].state, Game::DamagedShip);
    emit shooter.shoot(0, 2); // another ship is damaged after it
    QCOMPARE(rowOf(0, 4), 8);
    QCOMPARE(rowOf(0, 2), 9);

    RowWatch watch(ships);
    emit shooter.shoot(1, 4);
    QCOMPARE(rowOf(0, 4), 9);
    QCOMPARE(ships->ships()[9].state, Game::DestroyedShip);
    QCOMPARE(ships->rowCount(), 10);
    QCOMPARE(watch.removed(), 1);
    QCOMPARE(watch.inserted(), 1);

    // The shooter sees the sunk ship and only the hit part of the one afloat.
    QCOMPARE(shooter.opponentShipsModel()->ships(), ShipList{ships->ships()[9]});
    QCOMPARE(rowsOf(shooter.opponentDamagedPartsModel()), Cells{QPoint(0, 2)});
    QCOMPARE(rowsOf(target.selfDamagedPartsModel()), Cells{QPoint(0, 2)});
}

void tst_Player::modelRolesAndBounds()
{
    ShipsModel ships;
    ships.setShips({ShipInfo(3, true, 2, 5)});
    const QHash<int, QByteArray> roles = ships.roleNames();
    QCOMPARE(roles.value(33), "size");
    QCOMPARE(roles.value(36), "orientation");
    const QModelIndex row = ships.index(0, 0);
    QCOMPARE(row.data(33).toInt(), 3);
    QCOMPARE(row.data(34).toInt(), 2);
    QCOMPARE(row.data(35).toInt(), 5);
    QCOMPARE(row.data(36).toInt(), 2);
    QVERIFY(!row.data(Qt::DisplayRole).isValid());
    QVERIFY(!ships.index(1, 0).data(33).isValid());
    QCOMPARE(ships.rowCount(row), 0);

    ShotsModel shots;
    QCOMPARE(shots.roleNames().value(33), "cellX");
    QCOMPARE(shots.roleNames().value(34), "cellY");
    ShipSizesModel sizes;
    QCOMPARE(sizes.roleNames().value(34), "shipsCount");

    QTest::ignoreMessage(QtDebugMsg, "decreaseShipSize: shipSize didn't found");
    sizes.decreaseShipSize(4);
    sizes.increaseShipSize(4);
    sizes.increaseShipSize(4);
    sizes.decreaseShipSize(4);
    QCOMPARE(sizes.shipSizes().pairs(), (QList<QPair<int, int>>{{4, 1}}));
    sizes.decreaseShipSize(4);
    QCOMPARE(sizes.rowCount(), 0);
}

void tst_Player::arrangementTriesBothOrientations_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QVariantList>("placed");
    QTest::newRow("one row: lying at (0,0)") << 4 << 1 << QVariantList{0, 0, 4, false};
    QTest::newRow("one column: standing at (0,0)") << 1 << 4 << QVariantList{0, 0, 4, true};
    QTest::newRow("no room: left to place") << 3 << 1 << QVariantList{};
}

// A ship is placed in whichever orientation the field has room for, whatever was drawn; only a
// ship with no room in either stays in the sizes model.
void tst_Player::arrangementTriesBothOrientations()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QVariantList, placed);
    for (quint32 seed = 1; seed <= 16; ++seed) {
        Player player;
        player.setRandomGenerator(QRandomGenerator(seed));
        GameData game;
        game.shipSizes.add(4);
        game.fieldWidth = width;
        game.fieldHeight = height;
        PlayerData data;
        data.shipSizes = game.shipSizes;
        data.state = Game::ArrangementState;
        player.onNewGameData(game);
        player.onNewPlayerData(data);

        QSignalSpy placeShip(&player, &Player::placeShip);
        QVERIFY(player.autoArrangeShips());
        if (placed.isEmpty()) {
            QCOMPARE(placeShip.count(), 0);
            QCOMPARE(player.arrangementShipSize(), 4);
            QCOMPARE(player.arrangementShipsModel()->rowCount(), 1);
        } else {
            QCOMPARE(placeShip.count(), 1);
            QCOMPARE(placeShip[0], placed);
        }
    }
}

// A new game in the middle of the arrangement gives back the whole fleet in its order, largest
// first, and the computer's arrangement then places every ship.
void tst_Player::newGameDuringArrangement()
{
    Player &player = *m_players[0];
    const QList<QPair<int, int>> fleet = {{4, 1}, {3, 2}, {2, 3}, {1, 4}};
    for (quint32 seed = 1; seed <= 1000; ++seed) {
        emit player.placeShip(0, 0, 4, false);
        emit player.placeShip(0, 2, 3, false);
        emit player.placeShip(0, 4, 2, false);
        m_core->startNewGame();
        QCOMPARE(player.arrangementShipsModel()->shipSizes().pairs(), fleet);
        QCOMPARE(player.arrangementShipSize(), 4);

        player.setRandomGenerator(QRandomGenerator(seed));
        QVERIFY(player.autoArrangeShips());
        if (player.selfShipsModel()->ships().size() != 10)
            QFAIL(qPrintable(QString("seed %1 left a ship unplaced").arg(seed)));
        QCOMPARE(player.state(), Game::ReadyForFightState);
        m_core->startNewGame();
    }
}

void tst_Player::seededArrangementPlacesTheFleet_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed : {1u, 2u, 3u, 17u, 42u})
        QTest::addRow("seed %u", seed) << seed;
}

void tst_Player::seededArrangementPlacesTheFleet()
{
    QFETCH(quint32, seed);
    Player &player = *m_players[0];
    player.setRandomGenerator(QRandomGenerator(seed));
    QVERIFY(player.autoArrangeShips());

    const ShipList ships = player.selfShipsModel()->ships();
    QCOMPARE(ships.size(), 10);
    QVERIFY(!shipsTouch(ships));
    for (const ShipInfo &ship : ships)
        QVERIFY(ship.fitsField(10, 10));
    QCOMPARE(player.arrangementShipSize(), 0);
    QCOMPARE(player.state(), Game::ReadyForFightState);
    // Nothing left to place: a second call places nothing.
    QSignalSpy placed(&player, &Player::placeShip);
    QVERIFY(player.autoArrangeShips());
    QCOMPARE(placed.count(), 0);
}

QTEST_GUILESS_MAIN(tst_Player)
#include "tst_player.moc"
