#include "screenmanager.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

ScreenManager::ScreenManager(QObject *parent) : QObject(parent)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect geometry = screen->geometry();
        m_screenWidth = geometry.right() - geometry.left() + 1;
        m_screenHeight = geometry.bottom() - geometry.top() + 1;
    }
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

ScreenManager::~ScreenManager()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool ScreenManager::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // Qt Quick hands one press to the window and then to each item in turn.
        if (watched->isWindowType())
            emit mousePress();
        break;
    case QEvent::MouseButtonRelease:
        if (watched->isWindowType())
            emit mouseRelease();
        break;
    case QEvent::KeyRelease:
        QCoreApplication::postEvent(this, new QEvent(QEvent::Type(KeyReleaseNoticeEvent)),
                                    Qt::LowEventPriority);
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ScreenManager::customEvent(QEvent *event)
{
    if (event->type() != QEvent::Type(KeyReleaseNoticeEvent))
        return QObject::customEvent(event);
    QCoreApplication::removePostedEvents(this, KeyReleaseNoticeEvent);
    emit keyRelease();
}
