#ifndef VMARKER_H
#define VMARKER_H

#include <QObject>

// A point of a chart whose pixel position the chart publishes in its markers model; QML draws
// the mark itself.
class VMarker : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qreal x READ x WRITE setX NOTIFY xChanged)
    Q_PROPERTY(qreal y READ y WRITE setY NOTIFY yChanged)

public:
    explicit VMarker(QObject *parent = nullptr);

    qreal x() const { return m_x; }
    qreal y() const { return m_y; }

public slots:
    void setX(qreal x);
    void setY(qreal y);

signals:
    void xChanged(qreal x);
    void yChanged(qreal y);
    void positionChanged();

private:
    qreal m_x = 0;
    qreal m_y = 0;
};

#endif
