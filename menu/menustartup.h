#ifndef MENUSTARTUP_H
#define MENUSTARTUP_H

#include <QStringList>

class MenuContext;
class MenuState;

// The program's start-up after the application object exists: QML registrations, the version
// options, the first state and the event loop. main() only names and creates the application.
class MenuStartup
{
public:
    // The organization and application names, before the application exists: the settings store
    // and the user data folder are named after them.
    static void setApplicationNames();
    // Once the application exists: the window icon, the menu's fonts and the QML registrations.
    static void prepareApplication();

    // "VPlots", "SeaBattle", then "Menu" 1.0.
    static void registerTypes();
    static void registerMenuTypes();

    // Whether the arguments ask for the versions ("-ver" or "-version", exactly).
    // The command line's options: every argument but "-set" and the one it takes.
    static QStringList options(const QStringList &arguments);
    static bool versionRequested(const QStringList &arguments);
    static void printVersions();

    // Applies "-v", enters the main menu state, runs the event loop and prints "Menu stopped";
    // returns the loop's exit code.
    static int run(MenuContext &context, const QStringList &arguments);
    // The same with another first state (tests show their own document).
    static int run(MenuContext &context, const QStringList &arguments, MenuState *firstState);

    // The process's command line as it was started, argv[0] first, with the options Qt itself
    // took ("-platform", ...) still in it.
    static QStringList processCommandLine();
    // Replaces this process's image with `command` (the program, then the whole argument list,
    // argv[0] first; MenuContext::restartCommand): same process, same parent. Every descriptor
    // but the standard three is closed on the way, so the new image inherits no port, pty or
    // file. Returns only when it failed, with the failure on the standard error stream and
    // exit code 1; an empty command returns `code` at once.
    static int replaceProcess(const QStringList &command, int code);
};

#endif // MENUSTARTUP_H
