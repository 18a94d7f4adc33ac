#ifndef WALLYPLAYER_H
#define WALLYPLAYER_H

#include "player.h"

#include <QTimer>

// The computer opponent: arranges its fleet as soon as arrangement begins and shoots after
// `delay` ms whenever it is its turn. It sees only what its snapshots show.
class WallyPlayer : public Player
{
    Q_OBJECT
    Q_PROPERTY(int delay READ delay WRITE setDelay NOTIFY delayChanged)
public:
    explicit WallyPlayer(QObject *parent = nullptr);

    int delay() const { return m_delay; }

public slots:
    void setDelay(int delay);
    bool makeShoot();

signals:
    void delayChanged(int delay);

protected:
    void onDataUpdated() override;

private:
    QPoint huntTarget(const CellList &shots, int minSize);
    QPoint targetAround(const QPoint &hit, const CellList &damaged, const CellList &shots,
                        int minSize);
    bool fits(int size, const QPoint &cell, bool vertical, const CellList &taken) const;
    bool inField(const QPoint &cell) const;

    int m_delay = 300;
    bool m_arranging = false;
    bool m_shotPending = false;
    QTimer m_shotTimer;
};

#endif // WALLYPLAYER_H
