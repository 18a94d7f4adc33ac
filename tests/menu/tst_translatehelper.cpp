#include "translatehelper.h"

#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Compiled from tests/menu/i18n by the build.
const QString Fixtures = QStringLiteral(DORRIK_TRANSLATION_FIXTURES);

bool copyInto(const QString &folder, const QString &from, const QString &name)
{
    return QDir().mkpath(folder) && QFile::copy(from, folder + QLatin1Char('/') + name);
}

bool copyFixture(const QString &folder, const QString &name)
{
    return copyInto(folder, Fixtures + QLatin1Char('/') + name, name);
}

// Qt's qt_<suffix>.qm names the module catalogues beside it, which come along.
bool copyQtTranslation(const QString &folder, const QString &suffix)
{
    const QDir qt(QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    const QStringList names = qt.entryList({QStringLiteral("qt*_%1.qm").arg(suffix)}, QDir::Files);
    if (!names.contains(QStringLiteral("qt_%1.qm").arg(suffix)))
        return false;
    for (const QString &name : names) {
        if (!copyInto(folder, qt.filePath(name), name))
            return false;
    }
    return true;
}

QString menuText()
{
    return QCoreApplication::translate("Fixture", "Hello");
}

QString libraryText()
{
    return QCoreApplication::translate("DorrikBus", "Device");
}

} // namespace

// Which translation files are offered, under which names, and what loading installs.
class tst_TranslateHelper : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void filesAndNames();
    void languageNameByIndex_data();
    void languageNameByIndex();
    void suffixes_data();
    void suffixes();
    void loadsAllThreeAndUnloads();
    void corruptMenuFileLeavesTheOthers();
    void folderOneLevelUp();
    void languagesOfAFolder();

private:
    QString i18n() const { return m_dir->filePath(QStringLiteral("bin/share/menu/i18n")); }
    QString programDir() const { return m_dir->filePath(QStringLiteral("bin")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_TranslateHelper::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(copyFixture(i18n(), QStringLiteral("menu_ru.qm")));
    QVERIFY(copyFixture(i18n(), QStringLiteral("menu_de.qm")));
    QVERIFY(copyFixture(i18n(), QStringLiteral("dorrikbus_de.qm")));
    QVERIFY(copyQtTranslation(i18n(), QStringLiteral("de")));
    // Not a menu file: another prefix.
    QVERIFY(copyFixture(i18n(), QStringLiteral("files_de.qm")));
}

void tst_TranslateHelper::cleanup()
{
    m_dir.reset();
}

void tst_TranslateHelper::filesAndNames()
{
    TranslateHelper helper(QStringLiteral("menu"), programDir());
    QCOMPARE(helper.translationsDir(), i18n());
    QCOMPARE(helper.translationFiles(), (QStringList{"menu_de.qm", "menu_ru.qm"}));
    QCOMPARE(helper.languageNames(), (QStringList{"de", "Русский"}));
}

void tst_TranslateHelper::languageNameByIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("0: the source language") << 0 << "English";
    QTest::newRow("1: first file") << 1 << "de";
    QTest::newRow("2: second file") << 2 << "Русский";
    QTest::newRow("3: past the two files") << 3 << "English";
    QTest::newRow("negative") << -1 << "English";
}

void tst_TranslateHelper::languageNameByIndex()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    TranslateHelper helper(QStringLiteral("menu"), programDir());
    QCOMPARE(helper.languageName(index), name);
}

void tst_TranslateHelper::suffixes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("Русский") << "Русский"
                             << "ru";
    QTest::newRow("English") << "English"
                             << "en";
    QTest::newRow("unknown name") << "Deutsch"
                                  << "en";
}

void tst_TranslateHelper::suffixes()
{
    QFETCH(QString, name);
    QFETCH(QString, suffix);
    TranslateHelper helper(QStringLiteral("menu"), programDir());
    QCOMPARE(helper.suffixByLanguageName(name), suffix);
    QCOMPARE(TranslateHelper::languageSuffix(QStringLiteral("menu_pt_BR.qm")), "pt_BR");
    QCOMPARE(TranslateHelper::languageSuffix(QStringLiteral("menu.qm")), "menu.qm");
    QCOMPARE(helper.languageNameBySuffix(QStringLiteral("xx")), "English");
}

void tst_TranslateHelper::loadsAllThreeAndUnloads()
{
    TranslateHelper helper(QStringLiteral("menu"), programDir());
    QTest::ignoreMessage(QtWarningMsg, "loading translation \"menu_de.qm\" ...");
    QTest::ignoreMessage(QtWarningMsg, "Menu translations have loaded");
    QTest::ignoreMessage(QtWarningMsg, "Qt translations have loaded");
    QTest::ignoreMessage(QtWarningMsg, "DorrikBus translations loaded");
    QVERIFY(helper.loadTranslation(0));
    QCOMPARE(menuText(), QStringLiteral("Hallo"));
    QCOMPARE(libraryText(), QStringLiteral("Gerät"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

    QVERIFY(helper.loadTranslation(-1));
    QCOMPARE(menuText(), QStringLiteral("Hello"));
    QCOMPARE(libraryText(), QStringLiteral("Device"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
}

void tst_TranslateHelper::corruptMenuFileLeavesTheOthers()
{
    {
        QFile corrupt(i18n() + QStringLiteral("/menu_ru.qm"));
        QVERIFY(corrupt.open(QIODevice::WriteOnly | QIODevice::Truncate));
        corrupt.write("not a translation file");
    }
    QVERIFY(copyFixture(i18n(), QStringLiteral("dorrikbus_ru.qm")));
    QVERIFY(copyQtTranslation(i18n(), QStringLiteral("ru")));

    TranslateHelper helper(QStringLiteral("menu"), programDir());
    QTest::ignoreMessage(QtWarningMsg, "loading translation \"menu_ru.qm\" ...");
    QTest::ignoreMessage(QtWarningMsg,
                         qPrintable("Warning: can't load menu translation " +
                                    QFileInfo(i18n() + "/menu_ru.qm").absoluteFilePath()));
    QTest::ignoreMessage(QtWarningMsg, "Qt translations have loaded");
    QTest::ignoreMessage(QtWarningMsg, "DorrikBus translations loaded");
    QVERIFY(helper.loadTranslation(1));
    QCOMPARE(menuText(), QStringLiteral("Hello"));
    QCOMPARE(libraryText(), QStringLiteral("Прибор"));
    helper.unloadTranslations();
    QCOMPARE(libraryText(), QStringLiteral("Device"));
}

void tst_TranslateHelper::folderOneLevelUp()
{
    QTemporaryDir dir;
    const QString shared = dir.filePath(QStringLiteral("share/menu/i18n"));
    QVERIFY(copyFixture(shared, QStringLiteral("menu_ru.qm")));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("bin"))));

    TranslateHelper helper(QStringLiteral("menu"), dir.filePath(QStringLiteral("bin")));
    QCOMPARE(QDir::cleanPath(helper.translationsDir()), shared);
    QCOMPARE(helper.translationFiles(), QStringList{"menu_ru.qm"});

    TranslateHelper nowhere(QStringLiteral("menu"), dir.filePath(QStringLiteral("missing")));
    QVERIFY(nowhere.translationFiles().isEmpty());
    QCOMPARE(nowhere.languageName(1), "English");
}

void tst_TranslateHelper::languagesOfAFolder()
{
    QTemporaryDir dir;
    for (const char *name :
         {"keys_ru.xml", "keys_de.xml", "keys_en_US.xml", "plain.xml", "k_r.x"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    TranslateHelper helper(QStringLiteral("menu"), programDir());
    QStringList names = helper.languageNamesInDir(dir.path());
    names.sort();
    // "de" and "US" have no built-in name; the last two entries lack the marks.
    QCOMPARE(names, (QStringList{"English", "English", "Русский"}));
}

QTEST_GUILESS_MAIN(tst_TranslateHelper)
#include "tst_translatehelper.moc"
