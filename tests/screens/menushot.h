// menu-shot's scene table and the steps its scenes are made of.
#ifndef MENUSHOT_H
#define MENUSHOT_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QVariantMap>

#include <functional>

class MenuDriver;
class TavrinInstrument;
class QQuickItem;

namespace MenuShot {

enum class Sizes { Both, SmallOnly };
enum class Language { English, Russian };

// One picture: <folder>/<width>x<height>/<name>.png.
struct Shot
{
    QByteArray name;
    // Brings the scene about on the menu; false when it did not come about.
    std::function<bool(MenuDriver &)> walk;
    Sizes sizes = Sizes::Both;
    // Set by the runner before the walk.
    Language language = Language::English;
    // Whether the walk starts from the run's fresh menu; otherwise it goes on from where the shot
    // before it in the run left the menu, and that one is walked first even when not asked for.
    bool standalone = false;
};

// Shots walked in order on a menu of their own, started afresh for each size.
struct Run
{
    QByteArray name;
    QList<Shot> shots;
    // Run on the instrument before the menu starts.
    std::function<void(TavrinInstrument &)> prepare = {};
    // Run once on the fresh menu, before its first shot.
    std::function<bool(MenuDriver &)> setup = {};
};

// Every run, in the order they are taken.
QList<Run> scenes();

// --- Steps the scenes are made of ---

// Spins the event loop until the picture stays the same over a few frames (an animation ended),
// or `boundMs` passes; whether it stood still. The bound is the time a scene gives its animations:
// a picture that keeps moving (a bar, a sweep, live values) is taken that long after, as intended.
bool stillPicture(MenuDriver &menu, int boundMs);
// Spins the event loop until the menu's client has had no request queued for a while (the
// answers the screen asked for are in), or `boundMs` passes.
bool answersIn(MenuDriver &menu, int boundMs = 15000);

// The picture's own QML item over the menu; the previous one goes.
QQuickItem *showOverlay(MenuDriver &menu, const char *file, const QVariantMap &properties);
void dropOverlay();
bool showKeypad(MenuDriver &menu, const QString &state, const QVariantMap &keypadProperties = {});
bool pageShown(MenuDriver &menu, int index);
bool showShotFrames(MenuDriver &menu);
QObject *activeEditor(MenuDriver &menu);
QObject *openEditor(MenuDriver &menu, const QString &row);
bool showTreeFrame(MenuDriver &menu, const QString &frame,
                   const std::function<void()> &prepare = {});
bool clickRow(MenuDriver &menu, const QString &row);
void putDocuments(MenuDriver &menu);
bool showPopupScene(MenuDriver &menu, const QString &script, const QString &ready);
QObject *showGame(MenuDriver &menu, const QString &app);
// A press the picture is taken during; the next game scene lets it go.
void holdAt(MenuDriver &menu, const QPoint &at);
QPoint cellPoint(QObject *field, int x, int y);
QObject *child(QObject *parent, const char *name);
bool shootCells(MenuDriver &menu, QObject *game, int &next, int shots);
// The menu's language, through the program's own translation files.
bool setLanguage(MenuDriver &menu, Language language);

} // namespace MenuShot

#endif
