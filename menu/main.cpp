#include "menucontext.h"
#include "menustartup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    MenuStartup::setApplicationNames();
    int code = 0;
    {
        QApplication app(argc, argv);
        MenuStartup::prepareApplication();

        MenuContext context;
        const QStringList arguments = QCoreApplication::arguments();
        if (MenuStartup::versionRequested(arguments))
            MenuStartup::printVersions();
        else
            code = MenuStartup::run(context, arguments);
    }
    return code;
}
