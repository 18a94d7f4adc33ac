// The menu's language as the user chooses it: the program's own translation beside it, the
// choice made in the language row, the restart that follows, and what the menu shows then.
#include "menudriver.h"
#include "menutestcontext.h"
#include "modbusbytes.h"

#include <QQuickItem>
#include <QSettings>
#include <QtTest>

namespace {

// The program's folder of the build: tavrin with its translations and keypad layouts beside it.
const QString ProgramDir = QStringLiteral(DORRIK_PROGRAM_DIR);

// What the user reads in one language, screen by screen.
struct Shown
{
    QString language;
    QString suffix;
    QString mainButton;   // a main frame button's caption
    QString pageButton;   // the bottom panel's button to the measurements
    QString frameCaption; // the system settings frame's header
    QString languageRow;  // and its language row
    QString question;     // the factory reset's question
    QString no;           // and its refusing button
    QString spaceKey;     // the letter layout's space bar
    QString lettersKey;   // the number layout's key back to the letters
    QString libraryError; // an exception's text, from the library's translation
};

Shown english()
{
    return {QStringLiteral("English"),
            QStringLiteral("en"),
            QStringLiteral("Data logger setup"),
            QStringLiteral("< Measurements"),
            QStringLiteral("System settings"),
            QStringLiteral("Menu language"),
            QStringLiteral("All device settings will be overwritten with default values.\n"
                           "Archives will be erased.\n\nContinue?"),
            QStringLiteral("No"),
            QStringLiteral("english"),
            QStringLiteral("abc"),
            QStringLiteral("illegal data address")};
}

Shown russian()
{
    return {QStringLiteral("Русский"),
            QStringLiteral("ru"),
            QStringLiteral("Настройка архива"),
            QStringLiteral("< Измерения"),
            QStringLiteral("Системные настройки"),
            QStringLiteral("Язык меню"),
            QStringLiteral("Все настройки прибора будут заменены значениями по умолчанию.\n"
                           "Архивы будут стёрты.\n\nПродолжить?"),
            QStringLiteral("Нет"),
            QStringLiteral("русский"),
            QStringLiteral("абв"),
            QStringLiteral("недопустимый адрес данных")};
}

QObject *activePopup(MenuDriver &menu)
{
    return menu.object(QStringLiteral("screenManager"))->property("activePopup").value<QObject *>();
}

} // namespace

class tst_MenuLanguage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void chosenLanguageShownAfterRestart_data();
    void chosenLanguageShownAfterRestart();
    void russianRowsFit_data();
    void russianRowsFit();

private:
    // The program's context over the build's program folder; a restart it asks for is
    // counted and left to the test, which starts the menu again itself.
    std::unique_ptr<MenuContext> makeContext();
    bool startedAgain(MenuDriver &menu);
    void verifyShown(MenuDriver &menu, const Shown &shown);
    void choose(MenuDriver &menu, const Shown &from, const Shown &to);

    int m_restartsAsked = 0;
};

void tst_MenuLanguage::cleanup()
{
    MenuContext::overrideIsWindows(-1);
}

std::unique_ptr<MenuContext> tst_MenuLanguage::makeContext()
{
    auto context = std::make_unique<MenuTestContext>(ProgramDir, QStringList{});
    connect(context.get(), &MenuContext::beforeRestartMenu, this,
            [this](CancelMessageEvent *event) {
                ++m_restartsAsked;
                event->setCancel(true);
            });
    return context;
}

bool tst_MenuLanguage::startedAgain(MenuDriver &menu)
{
    return menu.restart([this] { return makeContext(); });
}

void tst_MenuLanguage::verifyShown(MenuDriver &menu, const Shown &shown)
{
    MenuContext *context = menu.context();
    QCOMPARE(context->languages(), (QStringList{"English", "Русский"}));
    QCOMPARE(context->getLanguageName(), shown.language);
    QCOMPARE(QCoreApplication::translate("DorrikBus", "illegal data address"), shown.libraryError);
    // What the archive export picks its encoding by: Windows-1251 for "ru" on Windows.
    QCOMPARE(menu.evaluate(QStringLiteral(
                               "menuContext.languageNameToSuffix(menuContext.getLanguageName())"))
                 .toString(),
             shown.suffix);

    // The main frame and its panels.
    QVERIFY2(
        MenuDriver::waitFor([&] { return menu.itemByText(shown.mainButton) != nullptr; }, 5000),
        qPrintable(shown.mainButton));
    QVERIFY2(menu.itemByText(shown.pageButton), qPrintable(shown.pageButton));

    // A frame of the tree and its rows.
    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    QObject *frames = navigation->property("deviceFrames").value<QObject *>();
    QVERIFY(frames);
    QObject *frame = frames->findChild<QObject *>(QStringLiteral("systemSettingsFrame"));
    QVERIFY(frame);
    QMetaObject::invokeMethod(navigation, "gotoFrame", Q_ARG(QVariant, QVariant::fromValue(frame)),
                              Q_ARG(QVariant, true));
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.itemByText(shown.languageRow) && menu.itemByText(shown.frameCaption); },
        3000));

    // A question, refused.
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.evaluate(QStringLiteral("deviceModbus.connected")).toBool(); }, 5000));
    QMetaObject::invokeMethod(menu.object(QStringLiteral("initializeRow")), "clicked");
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(shown.question) != nullptr; }, 3000));
    QQuickItem *no = menu.itemByText(shown.no);
    QVERIFY(no);
    menu.click(no);
    QVERIFY(MenuDriver::waitFor([&] { return activePopup(menu) == nullptr; }, 3000));

    // The on-screen keypad: its letters in the menu's language, and the key back to them.
    QObject *screenManager = menu.object(QStringLiteral("screenManager"));
    QObject *keypad = menu.object(QStringLiteral("keypadScroller"));
    QCOMPARE(keypad->property("keypadLanguageName").toString(), shown.language);
    QMetaObject::invokeMethod(screenManager, "showTextScreenKeypad");
    QVERIFY(MenuDriver::waitFor([&] { return menu.itemByText(shown.spaceKey) != nullptr; }, 3000));
    QMetaObject::invokeMethod(screenManager, "showNumberScreenKeypad");
    QVERIFY(
        MenuDriver::waitFor([&] { return menu.itemByText(shown.lettersKey) != nullptr; }, 3000));
    QMetaObject::invokeMethod(screenManager, "hideScreenKeypad");
}

// The language row of the system settings frame, touched, and the language picked in its list.
void tst_MenuLanguage::choose(MenuDriver &menu, const Shown &from, const Shown &to)
{
    QQuickItem *row = menu.itemByText(from.languageRow);
    QVERIFY(row);
    menu.click(row);
    QQuickItem *entry = nullptr;
    QVERIFY(MenuDriver::waitFor(
        [&] { return activePopup(menu) && (entry = menu.itemByText(to.language)) != nullptr; },
        3000));
    const int asked = m_restartsAsked;
    menu.click(entry);
    QVERIFY(MenuDriver::waitFor([&] { return m_restartsAsked == asked + 1; }, 3000));
    // The new language is loaded at once: the message before the restart is in it already.
    QVERIFY(menu.itemByText(to.suffix == QLatin1String("en") ? QStringLiteral("Please wait...")
                                                             : QStringLiteral("Подождите...")));
}

void tst_MenuLanguage::chosenLanguageShownAfterRestart_data()
{
    QTest::addColumn<int>("storedIndex"); // -1: a first run, nothing stored
    QTest::addColumn<bool>("startsInRussian");
    QTest::addColumn<bool>("windows");
    QTest::newRow("first run in Russian, English chosen") << -1 << true << false;
    // The archive export's "Windows and ru" case, reached by the user's choice.
    QTest::newRow("English stored, Russian chosen, on Windows") << 0 << false << true;
}

void tst_MenuLanguage::chosenLanguageShownAfterRestart()
{
    QFETCH(int, storedIndex);
    QFETCH(bool, startsInRussian);
    QFETCH(bool, windows);
    MenuContext::overrideIsWindows(windows ? 1 : 0);
    const Shown before = startsInRussian ? russian() : english();
    const Shown after = startsInRussian ? english() : russian();

    MenuDriver menu(QSize(640, 480));
    if (storedIndex >= 0)
        QSettings().setValue(QStringLiteral("languageIndex"), storedIndex);
    menu.setContext(makeContext());
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    verifyShown(menu, before);
    if (QTest::currentTestFailed())
        return;

    choose(menu, before, after);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(startedAgain(menu), qPrintable(menu.error()));
    verifyShown(menu, after);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(menu.evaluate(QStringLiteral("menuContext.isWindows")).toBool(), windows);

    // Once more without a choice: the stored one holds.
    QVERIFY2(startedAgain(menu), qPrintable(menu.error()));
    verifyShown(menu, after);
}

void tst_MenuLanguage::russianRowsFit_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("640x480") << QSize(640, 480);
    QTest::newRow("800x600") << QSize(800, 600);
}

// Russian runs longer than English: in every frame of the tree, no row's caption runs under
// its value, and no text is cut short.
void tst_MenuLanguage::russianRowsFit()
{
    QFETCH(QSize, size);
    MenuDriver menu(size);
    menu.instrument().setGeneration(2);
    menu.instrument().setHeatChannel(true);
    // Among the longest values: an open heat supply system, on the supply pipe.
    menu.instrument().setRegisters(401025, ModbusBytes::fromUInt16(1));
    menu.setContext(makeContext());
    QVERIFY2(menu.start(), qPrintable(menu.error()));
    QCOMPARE(menu.context()->getLanguageName(), QStringLiteral("Русский"));
    QVERIFY(MenuDriver::waitFor(
        [&] { return menu.evaluate(QStringLiteral("deviceModbus.connected")).toBool(); }, 5000));

    QObject *navigation = menu.object(QStringLiteral("navigationManager"));
    const QStringList frames =
        menu.evaluate(QStringLiteral("(function () { var names = [];"
                                     "  var all = navigationManager.deviceFrames.children;"
                                     "  for (var i = 0; i < all.length; ++i)"
                                     "    if (all[i].model !== undefined && all[i].objectName)"
                                     "      names.push(all[i].objectName);"
                                     "  return names; })()"))
            .toStringList();
    QVERIFY(!frames.isEmpty());
    QStringList overflows;
    for (const QString &name : frames) {
        QObject *frame =
            navigation->property("deviceFrames").value<QObject *>()->findChild<QObject *>(name);
        QMetaObject::invokeMethod(navigation, "gotoFrame",
                                  Q_ARG(QVariant, QVariant::fromValue(frame)),
                                  Q_ARG(QVariant, true));
        // The rows' values are in once the frame's first answers came.
        MenuDriver::settle(400);
        // A row caption that runs under its value (captions are not elided), and any text of
        // the frame cut short by its elision (the header, a value).
        const QVariantList found =
            menu.evaluate(QStringLiteral(
                              "(function () { var frame = navigationManager.currentFrame;"
                              "  var found = [];"
                              "  for (var i = 0; i < frame.model.count; ++i) {"
                              "    var row = frame.model.get(i);"
                              "    if (!row.visible || row.hidden || !row.captionItem) continue;"
                              "    var text = row.captionItem;"
                              "    if (text.implicitWidth > text.width + 0.5)"
                              "      found.push([text.text, row.valueItem ? row.valueItem.text"
                              "                                           : '']);"
                              "  }"
                              "  var cut = function (item) {"
                              "    if (!item.visible) return;"
                              "    if (item.truncated === true) found.push([item.text]);"
                              "    for (var j = 0; j < item.children.length; ++j)"
                              "      cut(item.children[j]);"
                              "  };"
                              "  cut(frame);"
                              "  return found; })()"))
                .toList();
        for (const QVariant &fault : found) {
            const QStringList texts = fault.toStringList();
            overflows << (texts.size() > 1
                              ? QStringLiteral("%1: \"%2\" runs under \"%3\"")
                                    .arg(name, texts.at(0), texts.at(1))
                              : QStringLiteral("%1: \"%2\" cut short").arg(name, texts.at(0)));
        }
    }
    QVERIFY2(overflows.isEmpty(), qPrintable(overflows.join(QLatin1Char('\n'))));
}

QTEST_MAIN(tst_MenuLanguage)
#include "tst_menulanguage.moc"
