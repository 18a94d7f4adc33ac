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
};

#endif // MENUSTARTUP_H
