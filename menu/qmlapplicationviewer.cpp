#include "qmlapplicationviewer.h"

#include <QQmlEngine>

QmlApplicationViewer::QmlApplicationViewer(QWindow *parent) : QQuickView(parent)
{
    setResizeMode(QQuickView::SizeRootObjectToView);
    // Qt Quick follows the screen's orientation by itself: nothing to ask for.
    connect(engine(), &QQmlEngine::quit, this, &QWindow::close);
}
