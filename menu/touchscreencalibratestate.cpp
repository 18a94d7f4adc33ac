#include "touchscreencalibratestate.h"

#include "menucontext.h"
#include "qmlapplicationviewer.h"

#include <QQuickItem>

TouchScreenCalibrateState::TouchScreenCalibrateState(MenuState *nextState)
    : QmlMenuState(QUrl(QStringLiteral("share/menu/qml/TouchScreenCalibrator.qml")), nextState)
{}

void TouchScreenCalibrateState::afterLoad(MenuContext *context)
{
    QmlApplicationViewer *viewer = context->viewer();
    QObject *root = viewer ? viewer->rootObject() : nullptr;
    if (!root)
        return;
    // The document declares the signal itself, so it is connected by its signature.
    connect(root, SIGNAL(calibrationCompleted()), context, SLOT(restartMenu()));
}
