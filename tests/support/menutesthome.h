#pragma once

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>

// The menu's settings store and user data folder live under HOME: a test program keeps both in
// a temporary home of its own for the whole run, never in the real one.
inline QTemporaryDir *menuTestHome()
{
    static QTemporaryDir dir;
    return &dir;
}

// For a test's initMain(): before the application object exists, as the program sets its names.
inline void useMenuTestHome(const QString &organization = QStringLiteral("Dorrik"),
                            const QString &application = QStringLiteral("TavrinMenu"))
{
    qputenv("HOME", menuTestHome()->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (menuTestHome()->path() + "/config").toUtf8());
    QCoreApplication::setOrganizationName(organization);
    QCoreApplication::setApplicationName(application);
}
