#include "menucontext.h"
#include "menutesthome.h"
#include "usbdevicesmodel.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString Fixtures = QStringLiteral(DORRIK_TRANSLATION_FIXTURES);

const QStringList StoredKeys = {
    "byteTimeout",      "connectionType", "controlRts",  "deviceAddress", "deviceBaudRateIndex",
    "deviceSerialPort", "languageIndex",  "readTimeout", "rtsDelat",      "usbSerialNumber"};

// A full store of values no default has.
const QMap<QString, QVariant> FullStore = {
    {"languageIndex", 0},          {"connectionType", 0},      {"deviceAddress", 17},
    {"deviceSerialPort", "ttyS3"}, {"deviceBaudRateIndex", 6}, {"usbSerialNumber", "SN-9"},
    {"byteTimeout", 33},           {"readTimeout", 777},       {"rtsDelat", 9},
    {"controlRts", false}};

} // namespace

// The context's construction: first run, stored keys, "-set" overrides and what they leave in
// the store, directories and build flags.
class tst_MenuContext : public QObject
{
    Q_OBJECT

public:
    static void initMain()
    {
        useMenuTestHome();
    }

private slots:
    void init();
    void cleanup();

    void firstRun_data();
    void firstRun();
    void storedValuesLoaded();
    void storedSpiStartsAsUsb();
    void setOption_data();
    void setOption();
    void setOptionsLeaveTheStore();
    void baudRateIndexRefused_data();
    void baudRateIndexRefused();
    void usbDeviceStoredSerialNumberNot();
    void usbFilters();
    void languageIndexWritten();
    void directories();
    void shippedConfigsMoved();
    void versionPacked_data();
    void versionPacked();
    void buildFlags_data();
    void buildFlags();

private:
    std::unique_ptr<MenuContext> create(const QStringList &setOptions = {})
    {
        QStringList arguments{QStringLiteral("tavrin")};
        for (const QString &option : setOptions)
            arguments << QStringLiteral("-set") << option;
        return std::make_unique<MenuContext>(programDir(), arguments);
    }
    std::unique_ptr<MenuContext> createWithArguments(const QStringList &arguments)
    {
        return std::make_unique<MenuContext>(programDir(), QStringList{"tavrin"} + arguments);
    }
    QString programDir() const { return m_dir->filePath(QStringLiteral("bin")); }
    void addTranslation()
    {
        const QString i18n = programDir() + QStringLiteral("/share/menu/i18n");
        QVERIFY(QDir().mkpath(i18n));
        QVERIFY(QFile::copy(Fixtures + QStringLiteral("/menu_de.qm"),
                            i18n + QStringLiteral("/menu_de.qm")));
    }
    static void fillStore(const QMap<QString, QVariant> &values)
    {
        QSettings store;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            store.setValue(it.key(), it.value());
    }
    static QMap<QString, QString> storeContents()
    {
        QSettings store;
        QMap<QString, QString> contents;
        for (const QString &key : store.allKeys())
            contents.insert(key, store.value(key).toString());
        return contents;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void tst_MenuContext::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(programDir()));
    QSettings().clear();
}

void tst_MenuContext::cleanup()
{
    QSettings().clear();
    MenuContext::overrideEmbedded(-1);
    MenuContext::overrideIsWindows(-1);
    m_dir.reset();
}

void tst_MenuContext::firstRun_data()
{
    QTest::addColumn<bool>("translation");
    QTest::addColumn<int>("languageIndex");
    QTest::addColumn<QStringList>("languages");

    QTest::newRow("no translation") << false << 0 << QStringList{"English"};
    QTest::newRow("one translation") << true << 1 << QStringList{"English", "de"};
}

void tst_MenuContext::firstRun()
{
    QFETCH(bool, translation);
    QFETCH(int, languageIndex);
    QFETCH(QStringList, languages);
    if (translation)
        addTranslation();

    const auto context = create();
    QCOMPARE(context->connectionType(), MenuContext::USB);
    QCOMPARE(context->deviceAddress(), 1);
    QCOMPARE(context->deviceBaudRateIndex(), 0);
    QCOMPARE(context->languageIndex(), languageIndex);
    QCOMPARE(context->languages(), languages);

    const QMap<QString, QString> stored = storeContents();
    QCOMPARE(stored.keys(), StoredKeys);
    QCOMPARE(stored.value("connectionType"), QStringLiteral("2"));
    QCOMPARE(stored.value("deviceBaudRateIndex"), QStringLiteral("0"));
    QCOMPARE(stored.value("languageIndex"), QString::number(languageIndex));
    QCOMPARE(stored.value("byteTimeout"), QStringLiteral("60"));
    QCOMPARE(stored.value("readTimeout"), QStringLiteral("500"));
    QCOMPARE(stored.value("rtsDelat"), QStringLiteral("2"));
    QCOMPARE(stored.value("controlRts"), QStringLiteral("true"));
}

void tst_MenuContext::storedValuesLoaded()
{
    fillStore(FullStore);
    const auto context = create();
    QCOMPARE(context->connectionType(), MenuContext::RS485);
    QCOMPARE(context->deviceAddress(), 17);
    QCOMPARE(context->deviceSerialPort(), QStringLiteral("ttyS3"));
    QCOMPARE(context->deviceBaudRateIndex(), 6);
    QCOMPARE(context->usbDevice(), QStringLiteral("SN-9"));
    // The stored choice is the device the link will open.
    QCOMPARE(context->usbSerialNumber(), QStringLiteral("SN-9"));
    QCOMPARE(context->byteTimeout(), 33);
    QCOMPARE(context->readTimeout(), 777);
    QCOMPARE(context->rtsDelay(), 9);
    QCOMPARE(context->controlRts(), false);
}

void tst_MenuContext::storedSpiStartsAsUsb()
{
    fillStore({{"connectionType", 1}});
    const auto context = create();
    QCOMPARE(context->connectionType(), MenuContext::USB);
    QCOMPARE(storeContents().value("connectionType"), QStringLiteral("2"));
}

void tst_MenuContext::setOption_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");

    const auto set = [](const QString &option) { return QStringList{"-set", option}; };
    QTest::newRow("name in other letter case")
        << set("deviceaddress=7") << "deviceAddress" << QVariant(7);
    QTest::newRow("name alone writes true") << set("fullscreen") << "fullscreen" << QVariant(true);
    QTest::newRow("false written")
        << (set("fullscreen") + set("fullscreen=false")) << "fullscreen" << QVariant(false);
    QTest::newRow("last of several =") << set("deviceTime=a=b") << "deviceTime" << QVariant("b");
    QTest::newRow("enum by key") << set("connectionType=RS485") << "connectionType"
                                 << QVariant(int(MenuContext::RS485));
    QTest::newRow("stored bool") << set("controlRts=false") << "controlRts" << QVariant(false);
    QTest::newRow("inherited objectName")
        << set("objectname=ctx") << "objectName" << QVariant("ctx");
    QTest::newRow("unconvertible int")
        << set("deviceAddress=abc") << "deviceAddress" << QVariant(1);
    QTest::newRow("read-only property") << set("usbDevice=X") << "usbDevice" << QVariant("");
    QTest::newRow("unknown name") << set("noSuchThing=1") << "deviceAddress" << QVariant(1);
    QTest::newRow("trailing -set") << QStringList{"-set"} << "deviceAddress" << QVariant(1);
    QTest::newRow("-set consumes one argument")
        << QStringList{"-set", "-set", "deviceAddress=9"} << "deviceAddress" << QVariant(1);
}

void tst_MenuContext::setOption()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);

    const auto context = createWithArguments(arguments);
    QVariant value = context->property(property.toLatin1());
    if (property == QLatin1String("connectionType"))
        value = QVariant(int(value.value<MenuContext::ConnectionType>()));
    QCOMPARE(value, expected);
}

void tst_MenuContext::setOptionsLeaveTheStore()
{
    fillStore(FullStore);
    const QMap<QString, QString> before = storeContents();
    {
        const auto context = create({"deviceAddress=7", "connectionType=USB", "readTimeout=900",
                                     "deviceSerialPort=/dev/pts/5", "controlRts=true",
                                     "expandBaudRates", "deviceBaudRateIndex=9"});
        // The command line is in effect when construction ends.
        QCOMPARE(context->deviceAddress(), 7);
        QCOMPARE(context->connectionType(), MenuContext::USB);
        QCOMPARE(context->readTimeout(), 900);
        QCOMPARE(context->deviceSerialPort(), QStringLiteral("/dev/pts/5"));
        QCOMPARE(context->controlRts(), true);
        QCOMPARE(context->deviceBaudRates().size(), 11);
        QCOMPARE(context->deviceBaudRates().last(), QStringLiteral("921600"));
        QCOMPARE(context->deviceBaudRateIndex(), 9);
        // Stored keys not named on the command line come from the store.
        QCOMPARE(context->byteTimeout(), 33);
        QCOMPARE(context->rtsDelay(), 9);
        QCOMPARE(storeContents(), before);

        // Later changes save as usual.
        context->setDeviceAddress(8);
        QCOMPARE(storeContents().value("deviceAddress"), QStringLiteral("8"));
    }
}

void tst_MenuContext::baudRateIndexRefused_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("below 0") << -1;
    QTest::newRow("number of rates") << 8;
}

void tst_MenuContext::baudRateIndexRefused()
{
    QFETCH(int, index);
    const auto context = create();
    QCOMPARE(context->deviceBaudRates().size(), 8);
    QSignalSpy changed(context.get(), &MenuContext::deviceBaudRateIndexChanged);
    context->setDeviceBaudRateIndex(index);
    QCOMPARE(context->deviceBaudRateIndex(), 0);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(storeContents().value("deviceBaudRateIndex"), QStringLiteral("0"));

    // The list stays as built: a later expandBaudRates does not lengthen it.
    context->setExpandBaudRates(true);
    QCOMPARE(context->deviceBaudRates().size(), 8);
}

void tst_MenuContext::usbDeviceStoredSerialNumberNot()
{
    const auto context = create();
    context->setUsbSerialNumber(QStringLiteral("SN-1"), false);
    QCOMPARE(context->usbSerialNumber(), QStringLiteral("SN-1"));
    QCOMPARE(storeContents().value("usbSerialNumber"), QString());

    QSignalSpy changed(context.get(), &MenuContext::usbDeviceChanged);
    context->setUsbDevice(QStringLiteral("SN-2"));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(storeContents().value("usbSerialNumber"), QStringLiteral("SN-2"));
}

void tst_MenuContext::usbFilters()
{
    const auto context = create();
    QCOMPARE(context->usbDevicesModel()->vidFilter(), QStringLiteral("9812"));
    QCOMPARE(context->usbDevicesModel()->pidFilter(), QStringLiteral("4001"));
}

void tst_MenuContext::languageIndexWritten()
{
    addTranslation();
    // A "-set" of the language is refused: the menu alone chooses it.
    const auto context = create({"languageIndex=0"});
    QCOMPARE(context->languageIndex(), 1);

    QSignalSpy changed(context.get(), &MenuContext::languageIndexChanged);
    for (int refused : {1, -1, 2})
        context->setLanguageIndex(refused);
    QCOMPARE(changed.size(), 0);

    context->setLanguageIndex(0);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(context->languageIndex(), 0);
    QCOMPARE(storeContents().value("languageIndex"), QStringLiteral("0"));
}

void tst_MenuContext::directories()
{
    {
        const auto context = create();
        QCOMPARE(context->shareDir(), QDir::cleanPath(m_dir->filePath("share/menu")));
        QCOMPARE(context->docsDir(), context->shareDir() + "/docs/");
        QCOMPARE(context->modbusConfigsDir(), menuTestHome()->path() + "/TavrinMenu/modbusconfigs/");
        QVERIFY(QFileInfo(context->modbusConfigsDir()).isDir());
    }
    QVERIFY(QDir().mkpath(programDir() + "/share/menu"));
    const auto context = create();
    QCOMPARE(context->shareDir(), programDir() + "/share/menu");
}

void tst_MenuContext::shippedConfigsMoved()
{
    const QString shipped = programDir() + "/share/menu/modbusconfigs/";
    const QString target = menuTestHome()->path() + "/TavrinMenu/modbusconfigs/";
    QVERIFY(QDir().mkpath(shipped));
    QVERIFY(QDir().mkpath(target));
    const auto write = [](const QString &path, const QByteArray &data) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
    };
    QVERIFY(write(shipped + "new.xml", "shipped new"));
    QVERIFY(write(shipped + "kept.xml", "shipped kept"));
    QVERIFY(write(target + "kept.xml", "user's own"));

    create();
    const auto read = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
    };
    QCOMPARE(read(target + "new.xml"), QByteArray("shipped new"));
    QVERIFY(!QFileInfo::exists(shipped + "new.xml"));
    QCOMPARE(read(target + "kept.xml"), QByteArray("user's own"));
    QCOMPARE(read(shipped + "kept.xml"), QByteArray("shipped kept"));
    QFile::remove(target + "new.xml");
    QFile::remove(target + "kept.xml");
}

void tst_MenuContext::versionPacked_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<quint32>("packed");
    QTest::newRow("menu version") << "1.10.6512" << quint32(17439088);
    QTest::newRow("minor keeps its low 8 bits")
        << "1.300.5" << quint32((1u << 24) | (44u << 16) | 5);
    QTest::newRow("not a number counts 0") << "1.x.7" << quint32((1u << 24) | 7);
    QTest::newRow("missing parts count 0") << "2" << quint32(2u << 24);
}

void tst_MenuContext::versionPacked()
{
    QFETCH(QString, version);
    QFETCH(quint32, packed);
    const auto context = create();
    QCOMPARE(context->menuVersion(), QStringLiteral("1.10.6512"));
    QCOMPARE(context->menuVersionUInt(), quint32(17439088));
    QCOMPARE(context->convertMenuVersionToUInt(version), packed);
}

void tst_MenuContext::buildFlags_data()
{
    QTest::addColumn<int>("embedded");
    QTest::addColumn<int>("isWindows");
    QTest::newRow("this build") << -1 << -1;
    QTest::newRow("instrument") << 1 << 0;
    QTest::newRow("windows desktop") << 0 << 1;
}

void tst_MenuContext::buildFlags()
{
    QFETCH(int, embedded);
    QFETCH(int, isWindows);
    MenuContext::overrideEmbedded(embedded);
    MenuContext::overrideIsWindows(isWindows);
    const auto context = create();
    QCOMPARE(context->embedded(), embedded == 1);
    QCOMPARE(context->isWindows(), isWindows == 1);
    QCOMPARE(context->property("embedded").toBool(), embedded == 1);
    QCOMPARE(context->contextPdfSupport(), true);
}

QTEST_MAIN(tst_MenuContext)
#include "tst_menucontext.moc"
