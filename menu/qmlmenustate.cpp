#include "qmlmenustate.h"

#include "menucontext.h"
#include "qmlapplicationviewer.h"

#include <QDebug>

QmlMenuState::QmlMenuState(const QUrl &url, MenuState *nextState) : MenuState(nextState), m_url(url)
{}

void QmlMenuState::enter(MenuContext *context)
{
    auto *viewer = new QmlApplicationViewer();
    context->setViewer(viewer);
    beforeLoad(context);
    qWarning("loading qml ...");
    viewer->setSource(m_url);
    if (context->fullscreen()) {
        viewer->setFlags(Qt::FramelessWindowHint);
        viewer->showFullScreen();
    } else {
        viewer->show();
    }
    afterLoad(context);
}

void QmlMenuState::exit(MenuContext *context)
{
    QObject::disconnect(context, nullptr, this, nullptr);
    QmlApplicationViewer *viewer = context->viewer();
    if (!viewer)
        return;
    // The document's objects go while the view and the context are still there.
    viewer->setSource(QUrl(QStringLiteral("qrc:/share/menu/qml/Empty.qml")));
    delete viewer;
    context->setViewer(nullptr);
}

void QmlMenuState::beforeLoad(MenuContext *context)
{
    Q_UNUSED(context);
}

void QmlMenuState::afterLoad(MenuContext *context)
{
    Q_UNUSED(context);
}
