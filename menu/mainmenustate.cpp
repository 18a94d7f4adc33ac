#include "mainmenustate.h"

#include "menucontext.h"
#include "qmlapplicationviewer.h"
#include "vlog.h"

#include <QQmlContext>
#include <QQmlEngine>

MainMenuState::MainMenuState()
    : MainMenuState(QUrl(QStringLiteral("qrc:/share/menu/qml/Starter.qml")))
{}

MainMenuState::MainMenuState(const QUrl &url) : QmlMenuState(url, nullptr) {}

void MainMenuState::beforeLoad(MenuContext *context)
{
    QmlApplicationViewer *viewer = context->viewer();
    viewer->setMinimumSize(QSize(640, 480));
    QQmlContext *root = viewer->engine()->rootContext();
    root->setContextObject(context);
    root->setContextProperty(QStringLiteral("menuContext"), context);
    root->setContextProperty(QStringLiteral("contextLog"), context->log());
}

void MainMenuState::afterLoad(MenuContext *context)
{
    context->updateTransport();
}
