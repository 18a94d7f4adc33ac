#ifndef GAME_H
#define GAME_H

#include <QObject>

// Carries the game's enums to QML; never created there.
class Game : public QObject
{
    Q_OBJECT
public:
    enum GameState { BeforeGameState = 0, GamingState = 1, AfterGameState = 2 };
    Q_ENUM(GameState)

    enum PlayerState {
        OfflineState = 0,
        ArrangementState = 1,
        ReadyForFightState = 2,
        FightingState = 3,
        GameOverState = 4
    };
    Q_ENUM(PlayerState)

    enum ShipState { NewShip = 0, DamagedShip = 1, DestroyedShip = 2 };
    Q_ENUM(ShipState)

    explicit Game(QObject *parent = nullptr);
};

#endif // GAME_H
