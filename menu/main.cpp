#include "menucontext.h"
#include "menustartup.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>

int main(int argc, char *argv[])
{
    // Before the application exists, so that the settings store and the data folder use them.
    QCoreApplication::setOrganizationName(QStringLiteral("Dorrik"));
    QCoreApplication::setApplicationName(QStringLiteral("TavrinMenu"));
    int code = 0;
    {
        QApplication app(argc, argv);
        app.setWindowIcon(QIcon(QStringLiteral(":/icon.ico")));
        QFontDatabase::addApplicationFont(QStringLiteral(":/share/menu/fonts/DejaVuSans.ttf"));
        QFontDatabase::addApplicationFont(QStringLiteral(":/share/menu/fonts/DejaVuSans-Bold.ttf"));
        MenuStartup::registerTypes();

        MenuContext context;
        const QStringList arguments = QCoreApplication::arguments();
        if (MenuStartup::versionRequested(arguments))
            MenuStartup::printVersions();
        else
            code = MenuStartup::run(context, arguments);
    }
    return code;
}
