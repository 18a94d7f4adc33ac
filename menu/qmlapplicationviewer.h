#ifndef QMLAPPLICATIONVIEWER_H
#define QMLAPPLICATIONVIEWER_H

#include <QQuickView>

// The view of a QML state: the root object follows the view's size, and the view closes when
// its engine asks to quit (Qt.quit()).
class QmlApplicationViewer : public QQuickView
{
    Q_OBJECT
public:
    explicit QmlApplicationViewer(QWindow *parent = nullptr);
};

#endif // QMLAPPLICATIONVIEWER_H
