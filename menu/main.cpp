#include "menucontext.h"
#include "menustartup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    MenuStartup::setApplicationNames();
    int code = 0;
    QStringList restart;
    {
        QApplication app(argc, argv);
        MenuStartup::prepareApplication();

        MenuContext context;
        const QStringList arguments = QCoreApplication::arguments();
        if (MenuStartup::versionRequested(arguments))
            MenuStartup::printVersions();
        else
            code = MenuStartup::run(context, arguments);
        restart = context.restartCommand();
    }
    // A restart keeps the process: the teardown above has closed and saved everything.
    return MenuStartup::replaceProcess(restart, code);
}
