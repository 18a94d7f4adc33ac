#ifndef WHEELAREA_H
#define WHEELAREA_H

#include <QQuickItem>

// Reports mouse-wheel turns; a turn it does not report travels on.
class WheelArea : public QQuickItem
{
    Q_OBJECT
public:
    explicit WheelArea(QQuickItem *parent = nullptr);

signals:
    void verticalWheel(int delta);
    void horizontalWheel(int delta);

protected:
    void wheelEvent(QWheelEvent *event) override;
};

#endif // WHEELAREA_H
