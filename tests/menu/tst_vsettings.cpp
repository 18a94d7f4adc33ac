#include "menutesthome.h"
#include "vsettings.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const char *const Organization = "DorrikTest";
const char *const Application = "VSettingsTest";

} // namespace

// The settings element as QML declares it: what is stored, when, and what is left alone.
class tst_VSettings : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        useMenuTestHome(QString::fromLatin1(Organization), QString::fromLatin1(Application));
    }

private slots:
    void initTestCase();
    void init();

    void savedAndLoadedBack();
    void burstOfChangesSavesOnce();
    void loadingDoesNotSave();
    void propertyWithoutKeyKeepsItsDefault();
    void storeWithoutANameOnlyWarns();
    void wasLoadedAfterASave();
    void destruction_data();
    void destruction();
    void scriptListSavedAsList();
    void unwritableStore();

private:
    std::unique_ptr<QObject> create(const QByteArray &body);
    std::unique_ptr<QSettings> store() const
    {
        return std::make_unique<QSettings>(Organization, Application);
    }

    QQmlEngine m_engine;
};

void tst_VSettings::initTestCase()
{
    QVERIFY(menuTestHome()->isValid());
    qmlRegisterType<VSettings>("Menu", 1, 0, "VSettings");
}

void tst_VSettings::init()
{
    QSettings settings(Organization, Application);
    settings.clear();
}

std::unique_ptr<QObject> tst_VSettings::create(const QByteArray &body)
{
    QQmlComponent component(&m_engine);
    component.setData("import QtQml\nimport Menu 1.0\nVSettings {\n" + body + "\n}\n",
                      QUrl(QStringLiteral("qrc:/MenuSettings.qml")));
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        qWarning().noquote() << component.errorString();
    return object;
}

void tst_VSettings::savedAndLoadedBack()
{
    {
        std::unique_ptr<QObject> settings =
            create("property int flowRateDimensionIndex: 1\nproperty string wallpaper: \"sea\"");
        QVERIFY(settings);
        QSignalSpy saved(settings.get(), SIGNAL(saved()));
        settings->setProperty("flowRateDimensionIndex", 3);
        settings->setProperty("wallpaper", QStringLiteral("dunes"));
        QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 5000);
    }
    {
        const std::unique_ptr<QSettings> stored = store();
        QCOMPARE(stored->value("flowRateDimensionIndex").toInt(), 3);
        QCOMPARE(stored->value("wallpaper").toString(), QStringLiteral("dunes"));
        // The element's own properties are not what a declaration persists.
        QVERIFY(!stored->contains("liveSave"));
        QVERIFY(!stored->contains("wasLoaded"));
    }
    std::unique_ptr<QObject> again =
        create("property int flowRateDimensionIndex: 1\nproperty string wallpaper: \"sea\"");
    QCOMPARE(again->property("flowRateDimensionIndex").toInt(), 3);
    QCOMPARE(again->property("wallpaper").toString(), QStringLiteral("dunes"));
    QVERIFY(again->property("wasLoaded").toBool());
}

void tst_VSettings::burstOfChangesSavesOnce()
{
    std::unique_ptr<QObject> settings = create("property int value: 0");
    QSignalSpy saved(settings.get(), SIGNAL(saved()));
    for (int i = 1; i <= 10; ++i)
        settings->setProperty("value", i);
    QCOMPARE(saved.count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 5000);
    QCoreApplication::processEvents();
    QCOMPARE(saved.count(), 1);
    QCOMPARE(store()->value("value").toInt(), 10);
}

void tst_VSettings::loadingDoesNotSave()
{
    store()->setValue("value", 7);
    std::unique_ptr<QObject> settings = create("property int value: 0");
    QSignalSpy saved(settings.get(), SIGNAL(saved()));
    QCOMPARE(settings->property("value").toInt(), 7);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    QCOMPARE(saved.count(), 0);
}

void tst_VSettings::propertyWithoutKeyKeepsItsDefault()
{
    store()->setValue("other", 5);
    std::unique_ptr<QObject> settings = create("property int batterySleepIntervalIndex: 2");
    QCOMPARE(settings->property("batterySleepIntervalIndex").toInt(), 2);
    QVERIFY(settings->property("wasLoaded").toBool());
    QCOMPARE(store()->value("other").toInt(), 5);
}

void tst_VSettings::storeWithoutANameOnlyWarns()
{
    const char *warning = "you must define organizaionName and applicationName to load/save "
                          "settings";
    QTest::ignoreMessage(QtWarningMsg, warning);
    std::unique_ptr<QObject> settings = create("organizationName: \"\"\nproperty int value: 4");
    QVERIFY(settings);
    auto *element = qobject_cast<VSettings *>(settings.get());
    QSignalSpy loaded(element, &VSettings::loaded);
    QSignalSpy saved(element, &VSettings::saved);
    QSignalSpy cleared(element, &VSettings::cleared);
    QVERIFY(!element->wasLoaded());

    for (int i = 0; i < 3; ++i)
        QTest::ignoreMessage(QtWarningMsg, warning);
    element->load();
    element->save();
    element->clear();
    QCOMPARE(loaded.count() + saved.count() + cleared.count(), 0);
    QVERIFY(!element->wasLoaded());
    QTest::ignoreMessage(QtWarningMsg, warning); // the save on destruction
    settings.reset();
    QVERIFY(store()->allKeys().isEmpty());
}

void tst_VSettings::wasLoadedAfterASave()
{
    std::unique_ptr<QObject> settings = create("loadOnCreate: false\nproperty int value: 4");
    auto *element = qobject_cast<VSettings *>(settings.get());
    QVERIFY(!element->wasLoaded());
    QSignalSpy changed(element, &VSettings::wasLoadedChanged);
    element->save();
    QVERIFY(element->wasLoaded());
    QCOMPARE(changed.count(), 1);
}

void tst_VSettings::destruction_data()
{
    QTest::addColumn<bool>("saveOnDestroy");
    QTest::newRow("saveOnDestroy writes") << true;
    QTest::newRow("without saveOnDestroy nothing is written") << false;
}

void tst_VSettings::destruction()
{
    QFETCH(bool, saveOnDestroy);
    std::unique_ptr<QObject> settings =
        create(QByteArray("liveSave: false\nsaveOnDestroy: ") + (saveOnDestroy ? "true" : "false") +
               "\nproperty int value: 1\nproperty string name: \"a\"");
    settings->setProperty("value", 9);
    settings->setProperty("name", QStringLiteral("b"));
    QCoreApplication::processEvents();
    QVERIFY(!store()->contains("value"));
    settings.reset();
    QCOMPARE(store()->contains("value"), saveOnDestroy);
    QCOMPARE(store()->contains("name"), saveOnDestroy);
    if (saveOnDestroy) {
        QCOMPARE(store()->value("value").toInt(), 9);
        QCOMPARE(store()->value("name").toString(), QStringLiteral("b"));
    }
}

// A "var" property holds a script array; the store gets the list itself, and it comes back.
void tst_VSettings::scriptListSavedAsList()
{
    {
        std::unique_ptr<QObject> settings = create("property var archExportSites: [3, 5]");
        QVERIFY(settings);
        QVERIFY(QMetaObject::invokeMethod(settings.get(), "save"));
    }
    const QVariantList stored = store()->value("archExportSites").toList();
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored.at(0).toInt(), 3);
    QCOMPARE(stored.at(1).toInt(), 5);

    std::unique_ptr<QObject> again = create("property var archExportSites: []\n"
                                            "property int count: archExportSites.length\n"
                                            "property int second: archExportSites[1]");
    QVERIFY(again);
    QCOMPARE(again->property("count").toInt(), 2);
    QCOMPARE(again->property("second").toInt(), 5);
}

void tst_VSettings::unwritableStore()
{
    // A plain file where the store's folder should be: root may write anywhere, but no
    // folder can be made there.
    const QString blocker = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Blocked";
    QVERIFY(QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME")));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    std::unique_ptr<QObject> settings =
        create("organizationName: \"Blocked\"\nloadOnCreate: false\nproperty int value: 0");
    QVERIFY(settings);
    QSignalSpy saved(settings.get(), SIGNAL(saved()));
    QTest::ignoreMessage(QtWarningMsg, qPrintable("can't write settings to " + blocker + "/" +
                                                  Application + ".conf"));
    QVERIFY(QMetaObject::invokeMethod(settings.get(), "save"));
    QCOMPARE(saved.count(), 0);
    QVERIFY(!settings->property("wasLoaded").toBool());
    settings->setProperty("saveOnDestroy", false);
    QFile::remove(blocker);
}

QTEST_GUILESS_MAIN(tst_VSettings)
#include "tst_vsettings.moc"
