#include "menustartup.h"

#include "dorrikbus.h"
#include "htmlfile.h"
#include "mainmenustate.h"
#include "menucontext.h"
#include "powermanager.h"
#include "screenmanager.h"
#include "seabattletypes.h"
#include "stringpairmodel.h"
#include "touchscreencalibratestate.h"
#include "touchscreenhelper.h"
#include "vfilesmodel.h"
#include "vplots.h"
#include "vpoppler.h"
#include "vsettings.h"
#include "wheelarea.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QIcon>
#include <QQmlEngine>

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <unistd.h>

void MenuStartup::setApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Dorrik"));
    QCoreApplication::setApplicationName(QStringLiteral("TavrinMenu"));
}

void MenuStartup::prepareApplication()
{
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icon.ico")));
    QFontDatabase::addApplicationFont(QStringLiteral(":/share/menu/fonts/DejaVuSans.ttf"));
    QFontDatabase::addApplicationFont(QStringLiteral(":/share/menu/fonts/DejaVuSans-Bold.ttf"));
    registerTypes();
}

void MenuStartup::registerTypes()
{
    registerVPlotsTypes("VPlots");
    registerSeaBattleTypes();
    registerMenuTypes();
}

void MenuStartup::registerMenuTypes()
{
    const char *uri = "Menu";
    qmlRegisterType<TouchScreenHelper>(uri, 1, 0, "TouchScreenHelper");
    qmlRegisterType<PowerManager>(uri, 1, 0, "PowerManager");
    qmlRegisterType<ScreenManager>(uri, 1, 0, "ScreenManager");
    qmlRegisterType<VSettings>(uri, 1, 0, "VSettings");
    qmlRegisterType<WheelArea>(uri, 1, 0, "WheelArea");
    qmlRegisterType<VFilesModel>(uri, 1, 0, "VFilesModel");
    qmlRegisterUncreatableType<MenuContext>(uri, 1, 0, "MenuContext",
                                            QStringLiteral("Element is not creatable."));
    qmlRegisterType<StringPairModel>(uri, 1, 0, "StringPairModel");
    qmlRegisterType<HtmlFile>(uri, 1, 0, "HtmlFile");
    qmlRegisterType<VPoppler>(uri, 1, 0, "VPoppler");
}

QStringList MenuStartup::options(const QStringList &arguments)
{
    // "-set -ver" sets a property named "-ver"; it asks for no versions.
    QStringList options;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("-set"))
            ++i;
        else
            options << arguments.at(i);
    }
    return options;
}

bool MenuStartup::versionRequested(const QStringList &arguments)
{
    const QStringList given = options(arguments);
    return given.contains(QLatin1String("-ver")) || given.contains(QLatin1String("-version"));
}

void MenuStartup::printVersions()
{
    qWarning() << "     Menu version:" << QStringLiteral("1.10.6512");
    qWarning() << "DorrikBus version:" << DorrikBus::version().toLatin1();
}

int MenuStartup::run(MenuContext &context, const QStringList &arguments)
{
    // The touch screen never needs calibrating in this configuration: the main menu comes first.
    MenuState *first = new MainMenuState();
    if (context.needsTouchScreenCalibration()) {
        delete first;
        first = new TouchScreenCalibrateState(nullptr);
    }
    return run(context, arguments, first);
}

int MenuStartup::run(MenuContext &context, const QStringList &arguments, MenuState *firstState)
{
    if (options(arguments).contains(QLatin1String("-v")))
        context.setVerbose(true);
    context.setState(firstState);
    const int code = QCoreApplication::exec();
    // Work posted before the quit (a deferred settings save) still reaches the store.
    QCoreApplication::sendPostedEvents();
    std::fputs("Menu stopped", stdout);
    std::fflush(stdout);
    return code;
}

QStringList MenuStartup::processCommandLine()
{
    QFile file(QStringLiteral("/proc/self/cmdline"));
    if (!file.open(QIODevice::ReadOnly))
        return QCoreApplication::arguments();
    QByteArray bytes = file.readAll();
    if (bytes.endsWith('\0'))
        bytes.chop(1);
    if (bytes.isEmpty())
        return QCoreApplication::arguments();
    QStringList arguments;
    for (const QByteArray &argument : bytes.split('\0'))
        arguments << QString::fromLocal8Bit(argument);
    return arguments;
}

namespace {

// Every descriptor above the standard three closes on exec: whatever opened it (the serial port,
// the log, a library's pipe) and however.
void closeOnExecAbove2()
{
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) == 0)
        return;
    DIR *dir = ::opendir("/proc/self/fd");
    if (!dir)
        return;
    const int own = ::dirfd(dir);
    while (const dirent *entry = ::readdir(dir)) {
        const int fd = std::atoi(entry->d_name);
        if (fd > 2 && fd != own)
            ::fcntl(fd, F_SETFD, ::fcntl(fd, F_GETFD) | FD_CLOEXEC);
    }
    ::closedir(dir);
}

} // namespace

int MenuStartup::replaceProcess(const QStringList &command, int code)
{
    if (command.size() < 2)
        return code;
    const QByteArray program = QFile::encodeName(command.first());
    std::vector<QByteArray> arguments;
    for (qsizetype i = 1; i < command.size(); ++i)
        arguments.push_back(command.at(i).toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::fflush(stdout);
    std::fflush(stderr);
    closeOnExecAbove2();
    ::execv(program.constData(), argv.data());
    std::fprintf(stderr, "can't restart the menu: %s: %s\n", program.constData(),
                 std::strerror(errno));
    return 1;
}
