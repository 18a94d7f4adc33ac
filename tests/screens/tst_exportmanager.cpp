// Saving the instrument's configuration into a file and loading it back, through the whole menu
// against the simulated instrument with four site slots and short site delays: what the file
// holds, what reaches the instrument and in which order, and what every way of ending leaves.
#include "filesizelimit.h"
#include "menucontext.h"
#include "menudriver.h"
#include "menutestcontext.h"
#include "requestlog.h"

#include <QDir>
#include <QFile>
#include <QQuickItem>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtEndian>
#include <QtTest>

#include <memory>

using namespace RequestLog;

namespace {

// A saved file as lines: "property <name>=<value>", "item <address> <value>", "group <name>",
// "end".
QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto attributes = xml.attributes();
            if (xml.name() == QLatin1String("property"))
                lines << QStringLiteral("property %1=%2")
                             .arg(attributes.value("name"), attributes.value("value"));
            else if (xml.name() == QLatin1String("group"))
                lines << QStringLiteral("group ") + attributes.value("name").toString();
            else if (xml.name() == QLatin1String("item"))
                lines << QStringLiteral("item %1 %2")
                             .arg(attributes.value("address"), xml.readElementText());
        } else if (xml.isEndElement() && xml.name() == QLatin1String("group")) {
            lines << QStringLiteral("end");
        }
    }
    return lines;
}

// The addresses of the items between a group's start and end (the top level: before the first
// group).
QList<int> itemAddresses(const QStringList &lines, const QString &group = QString())
{
    QList<int> addresses;
    bool inside = group.isEmpty();
    for (const QString &line : lines) {
        if (line == QLatin1String("group ") + group) {
            inside = true;
            continue;
        }
        if (line.startsWith(QLatin1String("group ")) || line == QLatin1String("end")) {
            if (inside && !group.isEmpty())
                break;
            if (group.isEmpty())
                break;
            continue;
        }
        if (inside && line.startsWith(QLatin1String("item ")))
            addresses << line.section(' ', 1, 1).toInt();
    }
    return addresses;
}

QString itemValue(const QStringList &lines, const QString &group, int address)
{
    bool inside = group.isEmpty();
    const QString prefix = QStringLiteral("item %1 ").arg(address);
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("group ")))
            inside = line == QLatin1String("group ") + group;
        else if (line == QLatin1String("end"))
            inside = false;
        else if (inside && line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return QStringLiteral("<none>");
}

ModbusBytes uint16Bytes(quint16 value)
{
    QByteArray bytes(2, '\0');
    qToBigEndian(value, bytes.data());
    return ModbusBytes(bytes);
}

ModbusBytes uint32Bytes(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return ModbusBytes(bytes);
}

ModbusBytes floatBytes(float value)
{
    quint32 raw = 0;
    memcpy(&raw, &value, sizeof raw);
    return uint32Bytes(raw);
}

quint16 uint16At(const ModbusBytes &bytes, int offset)
{
    return qFromBigEndian<quint16>(bytes.constData() + offset);
}

float floatAt(const ModbusBytes &bytes, int offset)
{
    const quint32 raw = qFromBigEndian<quint32>(bytes.constData() + offset);
    float value = 0;
    memcpy(&value, &raw, sizeof value);
    return value;
}

// A site setting of any site: the current one's live registers, the others' kept copies.
quint16 siteUInt16(TavrinInstrument &instrument, int site, quint32 address)
{
    return uint16At(instrument.siteSettings(site),
                    int(address - TavrinInstrument::SiteSettings) * 2);
}

float siteFloat(TavrinInstrument &instrument, int site, quint32 address)
{
    return floatAt(instrument.siteSettings(site),
                   int(address - TavrinInstrument::SiteSettings) * 2);
}

void setSiteRegisters(TavrinInstrument &instrument, int site, quint32 address,
                      const ModbusBytes &bytes)
{
    const int current = instrument.currentSite();
    instrument.setCurrentSite(site);
    instrument.setRegisters(address, bytes);
    instrument.setCurrentSite(current);
}

// The writes of one register in the log, as their data in hexadecimal.
QStringList writesOf(const QStringList &log, quint32 address)
{
    QStringList values;
    const QString prefix = QStringLiteral("W %1 ").arg(address);
    for (const QString &line : log)
        if (line.startsWith(prefix))
            values << line.mid(prefix.size());
    return values;
}

} // namespace

class tst_ExportManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveWritesWholeConfiguration_data();
    void saveWritesWholeConfiguration();
    void loadBringsBackSavedRegisters();
    void loadRefusesAFileItCannotTake_data();
    void loadRefusesAFileItCannotTake();
    void siteSwitchFaults_data();
    void siteSwitchFaults();
    void endingWaitsForTheInstrument_data();
    void endingWaitsForTheInstrument();
    void homeAndRestartWaitForTheLoad();
    void stopCancelsQueuedWrites();
    void linkSettingsAndCommandsNotLoaded();
    void loadOfOneSiteAndWithoutSearchZone();
    void stopLeavesInstrumentAsItWas_data();
    void stopLeavesInstrumentAsItWas();
    void failureEndsInError_data();
    void failureEndsInError();
    void refusedCalls();
    void frameSavesLoadsAndDeletesByKeys();
    void frameButtonsFollowLinkAndWork();
    void frameRefusesWhileCalibrating_data();
    void frameRefusesWhileCalibrating();
    void embeddedTrimsStoredFiles();
    void dialogFollowsAndStops();
    void frameLoadsAChosenFile();

private:
    bool openFrame();
    QStringList rows();
    QString popupCaption()
    {
        return eval(QStringLiteral("screenManager.activePopup ? screenManager.activePopup.caption"
                                   " : \"\""))
            .toString();
    }
    QString popupName()
    {
        return eval(
                   QStringLiteral("screenManager.activePopup ? screenManager.activePopup.objectName"
                                  " : \"\""))
            .toString();
    }
    bool waitCaption(const QString &caption, int ms = 3000)
    {
        return MenuDriver::waitFor([&] { return popupCaption() == caption; }, ms);
    }
    // Yes of the question shown: its default is No, on the right.
    void answerYes()
    {
        m_menu->keyClick(Qt::Key_Left);
        m_menu->keyClick(Qt::Key_Return);
    }
    void writeFile(const QString &name, const QDateTime &time);

    bool startMenu(int generation = 1, bool heat = false);
    QVariant eval(const QString &script) { return m_menu->evaluate(script); }
    bool active() { return eval(QStringLiteral("exportManager.active")).toBool(); }
    bool waitIdle(int ms = 15000)
    {
        return MenuDriver::waitFor([&] { return !active(); }, ms);
    }
    QString configsDir() { return eval(QStringLiteral("menuContext.modbusConfigsDir")).toString(); }
    QStringList configFiles()
    {
        return QDir(configsDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    bool waitEnded(qsizetype commitsBefore);
    // Saves and waits for the end; the file's path, empty when none was written.
    QString save();
    void load(const QString &path);
    QStringList log() { return described(m_menu->requests()); }

    std::unique_ptr<MenuDriver> m_menu;
    MenuTestContext *m_context = nullptr;
};

void tst_ExportManager::init()
{
    m_menu = std::make_unique<MenuDriver>(QSize(800, 600));
    auto context = std::make_unique<MenuTestContext>();
    m_context = context.get();
    m_menu->setContext(std::move(context));
}

void tst_ExportManager::cleanup()
{
    m_menu.reset();
    m_context = nullptr;
}

bool tst_ExportManager::startMenu(int generation, bool heat)
{
    TavrinInstrument &instrument = m_menu->instrument();
    instrument.setSlots(4);
    instrument.setGeneration(generation);
    instrument.setHeatChannel(heat);
    // Above 2^31: a signed 32-bit number anywhere on the way would show.
    instrument.setRegisters(400015, uint32Bytes(3000000001u));
    instrument.setReportText(QStringLiteral("TAVRIN-T 23.06.00.27"));
    if (!m_menu->start())
        return false;
    const bool ready = MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("sitesManager.maxSitesCount")).toInt() == 4 &&
                   eval(QStringLiteral("deviceModbus.tvnGeneration")).toInt() == generation &&
                   eval(QStringLiteral("starter.isHeatSupported")).toBool() == heat &&
                   eval(QStringLiteral("deviceProps.serialNumber.formatValue")).toString() ==
                       QLatin1String("3000000001") &&
                   eval(QStringLiteral("deviceProps.getDevNameVersion.formatValue")).toString() !=
                       QString();
        },
        8000);
    if (!ready)
        return false;
    eval(QStringLiteral("exportManager.sitePreDelay = 30; exportManager.sitePostDelay = 30;"
                        " exportManager.completionDelay = 30"));
    return m_menu->object(QStringLiteral("exportManager")) != nullptr;
}

// The sites revision is the last write of every ending but a stop: once it is in, so is the
// rest.
bool tst_ExportManager::waitEnded(qsizetype commitsBefore)
{
    return waitIdle() && MenuDriver::waitFor(
                             [&] { return writesOf(log(), 402999).size() > commitsBefore; }, 5000);
}

QString tst_ExportManager::save()
{
    const QStringList before = configFiles();
    const qsizetype commits = writesOf(log(), 402999).size();
    eval(QStringLiteral("exportManager.exportConfig(deviceProps.time.value)"));
    if (!waitEnded(commits))
        return QString();
    const QStringList after = configFiles();
    for (const QString &name : after)
        if (!before.contains(name))
            return configsDir() + name;
    return QString();
}

void tst_ExportManager::load(const QString &path)
{
    const qsizetype commits = writesOf(log(), 402999).size();
    eval(QStringLiteral("exportManager.importConfig(\"%1\")").arg(path));
    QVERIFY(waitEnded(commits));
}

void tst_ExportManager::saveWritesWholeConfiguration_data()
{
    QTest::addColumn<int>("generation");
    QTest::addColumn<bool>("heat");
    QTest::newRow("generation 1, no heat channel") << 1 << false;
    QTest::newRow("generation 3 with heat channel") << 3 << true;
}

void tst_ExportManager::saveWritesWholeConfiguration()
{
    QFETCH(int, generation);
    QFETCH(bool, heat);
    QVERIFY(startMenu(generation, heat));
    TavrinInstrument &instrument = m_menu->instrument();
    // Every site its own averaging and search zone, so that a site group read from the wrong
    // site shows.
    for (int site = 0; site < 4; ++site) {
        setSiteRegisters(instrument, site, 400137, uint16Bytes(quint16(10 + site)));
        setSiteRegisters(instrument, site, 400132, floatBytes(1.5f + site));
    }
    instrument.setCurrentSite(2);
    instrument.setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 2 &&
                   eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool();
        },
        3000));
    const QString stamp =
        eval(QStringLiteral("Qt.formatDateTime(deviceProps.time.value, 'yyyy-MM-dd_hh-mm-ss')"))
            .toString();
    instrument.clearRequests();
    // Busy once and idle once: a flicker between the run and its ending would let interval
    // reading and a waiting restart in.
    QSignalSpy activity(m_menu->object(QStringLiteral("exportManager")), SIGNAL(activeChanged()));

    const QString path = save();
    QVERIFY(!path.isEmpty());
    QCOMPARE(activity.count(), 2);
    QCOMPARE(QFileInfo(path).fileName(), stamp + QStringLiteral("_3000000001.xml"));
    QCOMPARE(eval(QStringLiteral("exportManager.configName")).toString(),
             stamp + QStringLiteral("_3000000001"));

    const QStringList lines = fileLines(path);
    QVERIFY(lines.size() > 4);
    QCOMPARE(lines.at(0), QStringLiteral("property ExportManagerVersion=1"));
    QVERIFY2(matches(lines.at(1),
                     QStringLiteral("property DevTime=") + stamp + QStringLiteral("\\.\\d{3}")),
             qPrintable(lines.at(1)));
    QCOMPARE(lines.at(2), QStringLiteral("property DevName=TAVRIN-T 23.06.00.27"));
    QCOMPARE(lines.at(3), QStringLiteral("property TVNGeneration=%1").arg(generation));

    // Device-wide: holding registers only, ascending, then the schedule entries' switches.
    const QList<int> base = itemAddresses(lines);
    QList<int> turn;
    for (int entry = 0; entry < 20; ++entry)
        turn << 403571 + 6 * entry;
    QVERIFY(base.size() > turn.size());
    QCOMPARE(base.mid(base.size() - turn.size()), turn);
    const QList<int> sorted = base.mid(0, base.size() - turn.size());
    for (int i = 1; i < sorted.size(); ++i)
        QVERIFY2(
            sorted.at(i - 1) < sorted.at(i) || sorted.at(i - 1) == 0,
            qPrintable(QStringLiteral("%1 before %2").arg(sorted.at(i - 1)).arg(sorted.at(i))));
    for (int address : sorted)
        QVERIFY2(address == 0 || address >= 400001, qPrintable(QString::number(address)));
    for (int address : {400001, 400128, 403001, 403572, 400041})
        QVERIFY2(sorted.contains(address), qPrintable(QString::number(address)));
    QCOMPARE(sorted.contains(401025), heat);
    // Site settings are in the site groups only.
    QVERIFY(!sorted.contains(400137));

    // Every slot's group, in order, each with its own site's values.
    QStringList groups;
    for (const QString &line : lines)
        if (line.startsWith(QLatin1String("group ")))
            groups << line.mid(6);
    QCOMPARE(groups, QStringList({"site0", "site1", "site2", "site3"}));
    const QList<int> siteAddresses = itemAddresses(lines, QStringLiteral("site0"));
    for (int address : {400129, 400132, 400134, 400137, 400147, 400152, 400168, 400206, 400225})
        QVERIFY2(siteAddresses.contains(address), qPrintable(QString::number(address)));
    QVERIFY(std::is_sorted(siteAddresses.begin(), siteAddresses.end()));
    for (int site = 0; site < 4; ++site) {
        const QString group = QStringLiteral("site%1").arg(site);
        QCOMPARE(itemAddresses(lines, group), siteAddresses);
        QCOMPARE(itemValue(lines, group, 400137), QString::number(10 + site));
        QCOMPARE(itemValue(lines, group, 400132).toDouble(), 1.5 + site);
    }
    QCOMPARE(eval(QStringLiteral("exportManager.total")).toInt(),
             sorted.size() + turn.size() + 4 * siteAddresses.size());

    // Measuring off, the slots in turn, the old site back, measuring on; no live block meanwhile.
    const QStringList requests = log();
    QCOMPARE(writesOf(requests, 400128), QStringList({"0000", "0001", "0002", "0003", "0002"}));
    QVERIFY2(inOrder(requests, {"W 400127 0000", "W 400128 0000", "W 400128 0003", "W 400128 0002",
                                "W 400127 0001", "W 402999 .*"}),
             qPrintable(requests.join('\n')));
    const qsizetype off = requests.indexOf(QStringLiteral("W 400127 0000"));
    const qsizetype on = requests.indexOf(QStringLiteral("W 400127 0001"));
    for (qsizetype i = off; i < on; ++i)
        QVERIFY2(!matches(requests.at(i), QStringLiteral("R 300701 .*")),
                 qPrintable(requests.at(i)));
    QCOMPARE(instrument.currentSite(), 2);
}

void tst_ExportManager::loadBringsBackSavedRegisters()
{
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    const int customPipe =
        eval(QStringLiteral("deviceProps.pipeMaterial.model.length - 1")).toInt();
    // Site 0 has a pipe and a fluid given by hand, site 1 neither.
    setSiteRegisters(instrument, 0, 400164, uint16Bytes(quint16(customPipe)));
    setSiteRegisters(instrument, 0, 400224, uint16Bytes(1));
    setSiteRegisters(instrument, 0, 400168, floatBytes(3100.0f));
    setSiteRegisters(instrument, 0, 400206, floatBytes(1450.0f));
    setSiteRegisters(instrument, 1, 400164, uint16Bytes(0));
    setSiteRegisters(instrument, 1, 400224, uint16Bytes(0));
    setSiteRegisters(instrument, 1, 400168, floatBytes(3200.0f));
    setSiteRegisters(instrument, 3, 400137, uint16Bytes(33));
    setSiteRegisters(instrument, 3, 400134, floatBytes(42.5f));
    instrument.setRegisters(403001, uint16Bytes(3));
    instrument.setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] { return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool(); },
        3000));
    const QString path = save();
    QVERIFY(!path.isEmpty());

    // Another client changes them all.
    setSiteRegisters(instrument, 0, 400168, floatBytes(1.0f));
    setSiteRegisters(instrument, 0, 400206, floatBytes(2.0f));
    setSiteRegisters(instrument, 1, 400168, floatBytes(3.0f));
    setSiteRegisters(instrument, 3, 400137, uint16Bytes(7));
    setSiteRegisters(instrument, 3, 400134, floatBytes(9.0f));
    instrument.setRegisters(403001, uint16Bytes(5));
    instrument.clearRequests();

    QSignalSpy completed(m_menu->object(QStringLiteral("exportManager")),
                         SIGNAL(importCompleted()));
    load(path);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(uint16At(instrument.registers(403001, 1), 0), quint16(3));
    QCOMPARE(siteUInt16(instrument, 3, 400137), quint16(33));
    QCOMPARE(siteFloat(instrument, 3, 400134), 42.5f);
    QCOMPARE(siteFloat(instrument, 0, 400168), 3100.0f);
    QCOMPARE(siteFloat(instrument, 0, 400206), 1450.0f);
    // Not a material given by hand: the sound speed is the material's, not the file's.
    QCOMPARE(siteFloat(instrument, 1, 400168), 3.0f);

    const QStringList requests = log();
    QVERIFY2(inOrder(requests, {"W 400127 0000", "W 403001 0003", "W 400128 0000", "W 400128 0001",
                                "W 400128 0002", "W 400128 0003", "W 400128 0000", "W 400127 0001",
                                "W 402999 .*"}),
             qPrintable(requests.join('\n')));
    QCOMPARE(writesOf(requests, 400168).size(), 1);
    QCOMPARE(instrument.currentSite(), 0);
}

void tst_ExportManager::loadRefusesAFileItCannotTake_data()
{
    // The saved file changed by a pattern (its first match replaced, "\1" the captured part),
    // or cut in half.
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("logged");

    const QString load = QStringLiteral("Error loading configuration");
    QTest::newRow("another generation") << "property name=\"TVNGeneration\" value=\"1\""
                                        << "property name=\"TVNGeneration\" value=\"2\""
                                        << "Incompatible Tavrin version"
                                        << ""
                                        << "wrong tvnGeneration";
    QTest::newRow("no generation") << "property name=\"TVNGeneration\" value=\"1\""
                                   << "property name=\"Other\" value=\"1\""
                                   << "Incompatible Tavrin version"
                                   << ""
                                   << "wrong tvnGeneration";
    QTest::newRow("a number that is no number")
        << "(address=\"403001\" count=\"1\">)3<"
        << "\\1abc<" << load << "register 403001: wrong value \"abc\""
        << "";
    QTest::newRow("a number beyond the register")
        << "(address=\"403001\" count=\"1\">)3<"
        << "\\170000<" << load << "register 403001: wrong value \"70000\""
        << "";
    QTest::newRow("the second site's number beyond the register")
        << "(<group name=\"site1\">[^$]*?address=\"400137\" count=\"1\">)21<"
        << "\\170000<" << load << "site 2, register 400137: wrong value \"70000\""
        << "";
    for (const char *text : {"nan", "inf", "-inf"})
        QTest::addRow("%s in the second site's float", text)
            << "(<group name=\"site1\">[^$]*?address=\"400134\" count=\"1\">)2.5<"
            << QStringLiteral("\\1%1<").arg(QLatin1String(text)) << load
            << QStringLiteral("site 2, register 400134: wrong value \"%1\"").arg(text) << "";
    QTest::newRow("a file cut in half") << ""
                                        << "" << load << "Parse error at line \\d+"
                                        << "";
    QTest::newRow("items of unknown types only")
        << "type=\"Modbus"
        << "type=\"Other" << load << "the file holds no setting of this instrument"
        << "";
    QTest::newRow("more sites than slots")
        << "</modbusitems>"
        << "<group name=\"site4\"/><group name=\"site7\"/></modbusitems>" << load
        << "the instrument has no slot for site 5, site 8"
        << "";
}

// A file that cannot be loaded whole writes nothing at all, and the operator is told why: the
// first refused item and value, the parse error's line, or what was left out.
void tst_ExportManager::loadRefusesAFileItCannotTake()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(QString, message);
    QFETCH(QString, detail);
    QFETCH(QString, logged);
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    instrument.setRegisters(403001, uint16Bytes(3));
    setSiteRegisters(instrument, 1, 400137, uint16Bytes(21));
    setSiteRegisters(instrument, 1, 400134, floatBytes(2.5f));
    const QString path = save();
    QVERIFY(!path.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    if (pattern.isEmpty()) {
        text.truncate(text.size() / 2);
    } else {
        const QRegularExpression expression(pattern);
        const QRegularExpressionMatch match = expression.match(text);
        QVERIFY2(match.hasMatch(), qPrintable(pattern));
        QString replaced = replacement;
        replaced.replace(QLatin1String("\\1"), match.captured(1));
        text.replace(match.capturedStart(), match.capturedLength(), replaced);
        if (pattern.startsWith(QLatin1String("type=")))
            text.replace(pattern, replacement);
    }
    const QString changed = configsDir() + QStringLiteral("changed.xml");
    QFile out(changed);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(text.toUtf8());
    out.close();

    instrument.setRegisters(403001, uint16Bytes(5));
    instrument.setCurrentSite(1);
    instrument.setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool() &&
                   eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 1;
        },
        3000));
    instrument.clearRequests();
    QSignalSpy error(m_menu->object(QStringLiteral("exportManager")), SIGNAL(error(QString)));
    QTest::ignoreMessage(
        QtDebugMsg,
        QRegularExpression(QStringLiteral("^(%1)$").arg(
            logged.isEmpty() ? QStringLiteral("error while importing: [\\s\\S]*") : logged)));
    eval(QStringLiteral("exportManager.showProgress(false); exportManager.importConfig(\"%1\")")
             .arg(changed));
    QVERIFY(waitIdle());
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), message);
    const QString shown = eval(QStringLiteral("exportManager.errorDetail")).toString();
    QVERIFY2(matches(shown, detail + (detail.startsWith("Parse") ? "[\\s\\S]*" : "")),
             qPrintable(shown));
    // The dialog says it in red.
    QVERIFY(waitCaption(message));
    QQuickItem *shownDetail = m_menu->item(QStringLiteral("exportImportDetail"));
    QVERIFY(shownDetail);
    QCOMPARE(shownDetail->property("text").toString(), shown);
    QCOMPARE(shownDetail->isVisible(), !shown.isEmpty());

    MenuDriver::settle(200);
    const QStringList requests = log();
    QVERIFY2(requests.filter(QRegularExpression(QStringLiteral("^W "))).isEmpty(),
             qPrintable(requests.join('\n')));
    QCOMPARE(uint16At(instrument.registers(403001, 1), 0), quint16(5));
    QCOMPARE(instrument.currentSite(), 1);
    QCOMPARE(eval(QStringLiteral("exportManager.state")).toString(), QStringLiteral("default"));
}

void tst_ExportManager::siteSwitchFaults_data()
{
    QTest::addColumn<bool>("saving");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("completes");
    for (const bool saving : {true, false}) {
        const char *run = saving ? "save" : "load";
        QTest::addRow("%s, switch refused once", run) << saving << "refused once" << true;
        QTest::addRow("%s, switch answer lost", run) << saving << "answer lost" << true;
        QTest::addRow("%s, switch refused always", run) << saving << "refused always" << false;
    }
}

// The switch to the second site goes wrong: once refused or its answer lost, it is sent again
// and every site's settings are its own; always refused, the run ends in its error with
// nothing of that site or the next touched.
void tst_ExportManager::siteSwitchFaults()
{
    QFETCH(bool, saving);
    QFETCH(QString, fault);
    QFETCH(bool, completes);
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    for (int site = 0; site < 4; ++site)
        setSiteRegisters(instrument, site, 400137, uint16Bytes(quint16(10 + site)));
    instrument.setCurrentSite(2);
    QString path;
    if (!saving) {
        path = save();
        QVERIFY(!path.isEmpty());
        for (int site = 0; site < 4; ++site)
            setSiteRegisters(instrument, site, 400137, uint16Bytes(quint16(50 + site)));
    }
    instrument.setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool() &&
                   eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 2;
        },
        3000));
    // The first site's wait after its switch leaves room to arm the fault.
    eval(QStringLiteral("exportManager.endingRetryDelay = 50; exportManager.sitePostDelay = 400"));
    const QStringList before = configFiles();
    instrument.clearRequests();
    QObject *manager = m_menu->object(QStringLiteral("exportManager"));
    QSignalSpy error(manager, SIGNAL(error(QString)));
    QSignalSpy completed(manager, saving ? SIGNAL(exportCompleted()) : SIGNAL(importCompleted()));
    if (!completes)
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression(QStringLiteral("^error while %1: can't switch to "
                                                               "site1$")
                                                    .arg(saving ? "exporting" : "importing")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^configuration step:.*")));
    if (saving)
        eval(QStringLiteral("exportManager.exportConfig(deviceProps.time.value)"));
    else
        eval(QStringLiteral("exportManager.importConfig(\"%1\")").arg(path));
    // Armed once the switch to the first site is confirmed: the next request for the current
    // site is the switch to the second.
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("exportManager.confirmedSite === 0 &&"
                                       " exportManager.currentSiteIndex === 0 &&"
                                       " (exportManager.state === 'exportingsites' ||"
                                       " exportManager.state === 'importingsite1')"))
                .toBool();
        },
        10000));
    if (fault == QLatin1String("answer lost"))
        instrument.setLostAnswers(400128, 1);
    else
        instrument.setException(400128, DorrikBus::IllegalDataValue,
                                fault == QLatin1String("refused once") ? 1 : -1);
    if (!completes) {
        // Refused until the run gives up; the ending's switch back is then taken.
        QVERIFY(MenuDriver::waitFor(
            [&] { return eval(QStringLiteral("exportManager.ending")).toBool(); }, 20000));
        instrument.clearExceptions();
    }
    QVERIFY(waitIdle(30000));
    instrument.clearExceptions();
    QCOMPARE(completed.size(), completes ? 1 : 0);
    QCOMPARE(error.size(), completes ? 0 : 1);
    if (!completes)
        QCOMPARE(error.at(0).at(0).toString(), saving
                                                   ? QStringLiteral("Error saving configuration")
                                                   : QStringLiteral("Error loading configuration"));
    if (saving) {
        if (completes) {
            const QStringList lines = fileLines(eval("exportManager.configFile").toString());
            for (int site = 0; site < 4; ++site)
                QCOMPARE(itemValue(lines, QStringLiteral("site%1").arg(site), 400137),
                         QString::number(10 + site));
        } else {
            QCOMPARE(configFiles(), before);
        }
    } else {
        for (int site = 0; site < 4; ++site)
            QCOMPARE(siteUInt16(instrument, site, 400137),
                     quint16(completes || site == 0 ? 10 + site : 50 + site));
        if (!completes)
            QCOMPARE(writesOf(log(), 400137).size(), 1);
    }
    QVERIFY(MenuDriver::waitFor([&] { return instrument.currentSite() == 2; }, 3000));
    QVERIFY(MenuDriver::waitFor(
        [&] { return writesOf(log(), 400127).endsWith(QStringLiteral("0001")); }, 3000));
}

void tst_ExportManager::endingWaitsForTheInstrument_data()
{
    QTest::addColumn<bool>("comesBack");
    QTest::newRow("instrument back") << true;
    QTest::newRow("instrument gone") << false;
}

// Silence from the second site on: the load fails, and its ending is sent again until the
// instrument answers (site and measuring back), or the operator is told what it was left in.
void tst_ExportManager::endingWaitsForTheInstrument()
{
    QFETCH(bool, comesBack);
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    instrument.setCurrentSite(2);
    const QString path = save();
    QVERIFY(!path.isEmpty());
    instrument.setCurrentSite(3);
    instrument.setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool() &&
                   eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 3;
        },
        3000));
    eval(QStringLiteral("exportManager.endingRetryDelay = 100; exportManager.endingRounds = %1")
             .arg(comesBack ? 100 : 3));
    instrument.clearRequests();
    QSignalSpy error(m_menu->object(QStringLiteral("exportManager")), SIGNAL(error(QString)));
    QTest::ignoreMessage(QtDebugMsg,
                         QRegularExpression(QStringLiteral("^error while importing:"
                                                           " can't (write|switch) .*")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^configuration step:.*")));
    if (!comesBack)
        QTest::ignoreMessage(QtDebugMsg, "configuration ending not answered; current site 1");
    eval(QStringLiteral("exportManager.importConfig(\"%1\")").arg(path));
    // Silent from the second site's first setting on: its switch was confirmed.
    QVERIFY(MenuDriver::waitFor([&] { return writesOf(log(), 400137).size() >= 2; }, 10000));
    instrument.setDropAnswers(-1);
    QVERIFY(MenuDriver::waitFor(
        [&] { return eval(QStringLiteral("exportManager.ending")).toBool(); }, 30000));
    if (comesBack) {
        MenuDriver::settle(300);
        instrument.setDropAnswers(0);
    }
    QVERIFY(waitIdle(60000));
    instrument.setDropAnswers(0);
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), QStringLiteral("Error loading configuration"));
    const QString detail = eval(QStringLiteral("exportManager.errorDetail")).toString();
    if (comesBack) {
        QCOMPARE(detail, QString());
        QCOMPARE(instrument.currentSite(), 2);
        QVERIFY(MenuDriver::waitFor(
            [&] { return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool(); },
            5000));
        QVERIFY(!writesOf(log(), 402999).isEmpty());
    } else {
        QCOMPARE(detail, QStringLiteral("The instrument does not answer: site 2 is current, "
                                        "measuring is off"));
        QCOMPARE(instrument.currentSite(), 1);
    }
}

// Home while a load runs sweeps its dialog away only for a moment: it comes back and shows the
// outcome. A restart asked for meanwhile (the language, the restart command) waits for the end.
void tst_ExportManager::homeAndRestartWaitForTheLoad()
{
    QVERIFY(startMenu());
    const QString path = save();
    QVERIFY(!path.isEmpty());
    QVERIFY(openFrame());
    eval(QStringLiteral("exportManager.sitePostDelay = 300; exportManager.restartDelay = 50"));
    m_context->clearCalls();
    eval(QStringLiteral("exportManager.showProgress(false); exportManager.importConfig(\"%1\")")
             .arg(path));
    QVERIFY(MenuDriver::waitFor([&] { return popupName() == QLatin1String("exportImportDialog"); },
                                3000));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("exportManager.state")).toString() ==
                   QLatin1String("importingsite1");
        },
        10000));
    QObject *dialog = m_menu->object(QStringLiteral("exportImportDialog"));
    m_menu->keyClick(Qt::Key_Home);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return m_menu->object(QStringLiteral("exportImportDialog")) != dialog &&
                   popupName() == QLatin1String("exportImportDialog");
        },
        3000));
    QVERIFY(active());

    QTest::ignoreMessage(QtDebugMsg, "restart deferred until the running work ends");
    QTest::ignoreMessage(QtDebugMsg, "restart deferred until the running work ends");
    // As the language choice announces a new language.
    eval(QStringLiteral("menuContext.languageIndexChanged()"));
    QCOMPARE(eval(QStringLiteral("menuContext.restartMenu()")).toBool(), false);
    MenuDriver::settle(100);
    QCOMPARE(m_context->calls().filter(QStringLiteral("replace:")), QStringList());
    QCOMPARE(popupName(), QStringLiteral("exportImportDialog"));

    QVERIFY(waitCaption(QStringLiteral("Loading successfully completed"), 30000));
    QVERIFY(eval(QStringLiteral("exportManager.itemsTaken")).toInt() > 0);
    QCOMPARE(m_menu->item(QStringLiteral("exportImportDetail"))->property("text").toString(),
             QStringLiteral("Items loaded: %1")
                 .arg(eval(QStringLiteral("exportManager.itemsTaken")).toInt()));
    QVERIFY(MenuDriver::waitFor(
        [&] { return m_context->calls().filter(QStringLiteral("replace:")).size() == 1; }, 5000));
}

// Stop in the middle of a site's batch: its queued writes are dropped, and nothing but the
// ending reaches the instrument afterwards.
void tst_ExportManager::stopCancelsQueuedWrites()
{
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    const QString path = save();
    QVERIFY(!path.isEmpty());
    instrument.clearRequests();
    instrument.setDelay(15);
    eval(QStringLiteral("exportManager.importConfig(\"%1\")").arg(path));
    QVERIFY(MenuDriver::waitFor([&] { return !writesOf(log(), 400137).isEmpty(); }, 20000));
    eval(QStringLiteral("exportManager.stop()"));
    const qsizetype stoppedAt = log().size();
    QVERIFY(waitIdle(20000));
    instrument.setDelay(0);
    MenuDriver::settle(300);
    const QStringList after = log().mid(stoppedAt);
    QStringList others;
    for (const QString &line : after)
        if (line.startsWith(QLatin1String("W ")) &&
            !matches(line, QStringLiteral("W (400128|400127|402999) .*")))
            others << line;
    // The one write already handed to the link when Stop came may still arrive.
    QVERIFY2(others.size() <= 1, qPrintable(after.join('\n')));
}

// A file from an instrument with another address and baud rate, holding one-shot commands:
// none of those registers is written, the link keeps working and the load completes.
void tst_ExportManager::linkSettingsAndCommandsNotLoaded()
{
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    instrument.setRegisters(403001, uint16Bytes(3));
    const QString path = save();
    QVERIFY(!path.isEmpty());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    const QList<int> notLoaded{400001, 400002, 400003, 400004, 400005,
                               400009, 400012, 400013, 403251, 403252};
    for (int address : notLoaded) {
        const QRegularExpression item(
            QStringLiteral("(address=\"%1\" count=\"1\">)[^<]*<").arg(address));
        QVERIFY2(text.contains(item), qPrintable(QString::number(address)));
        text.replace(item, QStringLiteral("\\1") + (address == 400001 ? "7<" : "1<"));
    }
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(text.toUtf8());
    out.close();
    instrument.setRegisters(403001, uint16Bytes(5));
    instrument.clearRequests();
    QSignalSpy completed(m_menu->object(QStringLiteral("exportManager")),
                         SIGNAL(importCompleted()));
    load(path);
    QCOMPARE(completed.size(), 1);
    const QStringList requests = log();
    for (int address : notLoaded)
        QVERIFY2(writesOf(requests, quint32(address)).isEmpty(),
                 qPrintable(QString::number(address)));
    // The rest of the file is in.
    QCOMPARE(QString::number(uint16At(instrument.registers(403001, 1), 0)),
             itemValue(fileLines(path), QString(), 403001));
    QCOMPARE(instrument.unit(), quint8(1));
}

void tst_ExportManager::loadOfOneSiteAndWithoutSearchZone()
{
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    for (int site = 0; site < 4; ++site)
        setSiteRegisters(instrument, site, 400137, uint16Bytes(quint16(20 + site)));
    setSiteRegisters(instrument, 2, 400132, floatBytes(4.0f));
    instrument.setCurrentSite(1);
    QVERIFY(MenuDriver::waitFor(
        [&] { return eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 1; }, 3000));
    const QString path = save();
    QVERIFY(!path.isEmpty());

    // Only site 2, and from an older menu: without the search zone.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    text.remove(QRegularExpression(QStringLiteral("<group name=\"site[013]\">.*?</group>\\s*"),
                                   QRegularExpression::DotMatchesEverythingOption));
    text.remove(QRegularExpression(
        QStringLiteral("<item [^>]*address=\"40013[24]\"[^>]*>[^<]*</item>\\s*")));
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(text.toUtf8());
    out.close();
    QCOMPARE(fileLines(path).filter(QStringLiteral("group ")), QStringList{"group site2"});

    for (int site = 0; site < 4; ++site)
        setSiteRegisters(instrument, site, 400137, uint16Bytes(quint16(50 + site)));
    setSiteRegisters(instrument, 2, 400132, floatBytes(8.0f));
    instrument.setCurrentSite(3);
    QVERIFY(MenuDriver::waitFor(
        [&] { return eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 3; }, 3000));
    instrument.clearRequests();
    load(path);

    QCOMPARE(siteUInt16(instrument, 2, 400137), quint16(22));
    for (int site : {0, 1, 3})
        QCOMPARE(siteUInt16(instrument, site, 400137), quint16(50 + site));
    QCOMPARE(siteFloat(instrument, 2, 400132), 8.0f);
    // The file's current site (1, written with the device-wide part) is the one it ends on.
    const QStringList requests = log();
    QCOMPARE(writesOf(requests, 400128), QStringList({"0001", "0002", "0001"}));
    QCOMPARE(instrument.currentSite(), 1);
}

void tst_ExportManager::stopLeavesInstrumentAsItWas_data()
{
    QTest::addColumn<bool>("saving");
    QTest::newRow("during a save") << true;
    QTest::newRow("during a load") << false;
}

void tst_ExportManager::stopLeavesInstrumentAsItWas()
{
    QFETCH(bool, saving);
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    instrument.setRegisters(403001, uint16Bytes(3));
    instrument.setCurrentSite(3);
    QVERIFY(MenuDriver::waitFor(
        [&] { return eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 3; }, 3000));
    QString path;
    if (!saving) {
        path = save();
        QVERIFY(!path.isEmpty());
        instrument.setRegisters(403001, uint16Bytes(5));
        // A load ends on the file's current site (3) once the device-wide part is in.
        instrument.setCurrentSite(1);
    }
    instrument.setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool() &&
                   eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == (saving ? 3 : 1);
        },
        3000));
    eval(QStringLiteral("exportManager.sitePreDelay = 400; exportManager.sitePostDelay = 400"));
    const QStringList before = configFiles();
    instrument.clearRequests();
    if (saving)
        eval(QStringLiteral("exportManager.exportConfig(deviceProps.time.value)"));
    else
        eval(QStringLiteral("exportManager.importConfig(\"%1\")").arg(path));
    // Stopped while it waits on the second site.
    QVERIFY(MenuDriver::waitFor([&] { return writesOf(log(), 400128).size() >= 2; }, 5000));
    eval(QStringLiteral("exportManager.stop()"));
    // The ending runs, then the manager is idle.
    QVERIFY(waitIdle(5000));
    QVERIFY(MenuDriver::waitFor([&] { return instrument.currentSite() == 3; }, 3000));
    QVERIFY(MenuDriver::waitFor(
        [&] { return writesOf(log(), 400127).contains(QStringLiteral("0001")); }, 3000));
    // Nothing follows once stopped.
    MenuDriver::settle(600);
    QCOMPARE(writesOf(log(), 400128).size(), 3);
    QCOMPARE(instrument.currentSite(), 3);
    if (saving) {
        QCOMPARE(configFiles(), before);
    } else {
        // What was written stays.
        QCOMPARE(uint16At(instrument.registers(403001, 1), 0), quint16(3));
    }
}

void tst_ExportManager::failureEndsInError_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("logged");
    QTest::newRow("save: an item the instrument refuses")
        << "refuse 403001"
        << "Error saving configuration"
        << "error while exporting: can't read ModbusUInt16 \\(403001 1\\): [\\s\\S]*";
    QTest::newRow("save: a file that cannot be written")
        << "file size"
        << "Error saving configuration"
        << "error while exporting: can't write file";
    QTest::newRow("save: an item refused inside site1")
        << "refuse site1"
        << "Error saving configuration"
        << "error while exporting site1: can't read ModbusUInt16 \\(400137 1\\): [\\s\\S]*";
    QTest::newRow("load: a file that is not there") << "load missing"
                                                    << "Error loading configuration"
                                                    << "error while importing: [\\s\\S]*";
    QTest::newRow("load: an item the instrument refuses")
        << "load refuse 403001"
        << "Error loading configuration"
        << "error while importing: can't write ModbusUInt16 \\(403001 1\\): [\\s\\S]*";
}

void tst_ExportManager::failureEndsInError()
{
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QFETCH(QString, logged);
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    QString path;
    if (fault.startsWith(QLatin1String("load"))) {
        path = save();
        QVERIFY(!path.isEmpty());
        if (fault == QLatin1String("load missing"))
            QVERIFY(QFile::remove(path));
    }
    instrument.setCurrentSite(2);
    instrument.setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] {
            return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool() &&
                   eval(QStringLiteral("deviceModbus.siteIndex")).toInt() == 2;
        },
        3000));
    const QStringList before = configFiles();
    instrument.clearRequests();
    QSignalSpy error(m_menu->object(QStringLiteral("exportManager")), SIGNAL(error(QString)));
    QTest::ignoreMessage(QtDebugMsg,
                         QRegularExpression(QLatin1Char('^') + logged + QLatin1Char('$')));
    std::unique_ptr<FileSizeLimit> limit;
    if (fault.endsWith(QLatin1String("refuse 403001")))
        instrument.setException(403001, DorrikBus::IllegalDataAddress);
    if (fault == QLatin1String("file size"))
        limit = std::make_unique<FileSizeLimit>(512);
    if (fault == QLatin1String("refuse site1"))
        eval(QStringLiteral("exportManager.sitePostDelay = 400"));

    if (path.isEmpty())
        eval(QStringLiteral("exportManager.exportConfig(deviceProps.time.value)"));
    else
        eval(QStringLiteral("exportManager.importConfig(\"%1\")").arg(path));
    if (fault == QLatin1String("refuse site1")) {
        QVERIFY(MenuDriver::waitFor(
            [&] { return eval(QStringLiteral("exportManager.currentSiteIndex")).toInt() == 1; },
            5000));
        instrument.setException(400137, DorrikBus::IllegalDataAddress);
    }
    QVERIFY(waitIdle());
    limit.reset();
    instrument.clearExceptions();
    QCOMPARE(error.size(), 1);
    QCOMPARE(error.at(0).at(0).toString(), message);
    if (fault == QLatin1String("load missing")) {
        // Refused before anything is written; the operator is told the reason.
        QVERIFY(!eval(QStringLiteral("exportManager.errorDetail")).toString().isEmpty());
        MenuDriver::settle(200);
        QVERIFY(log().filter(QRegularExpression(QStringLiteral("^W "))).isEmpty());
        return;
    }
    QVERIFY(MenuDriver::waitFor([&] { return instrument.currentSite() == 2; }, 3000));
    QVERIFY(MenuDriver::waitFor(
        [&] {
            const QStringList requests = log();
            return writesOf(requests, 400127).endsWith(QStringLiteral("0001")) &&
                   !writesOf(requests, 402999).isEmpty();
        },
        3000));
    QCOMPARE(configFiles(), before);
    if (fault == QLatin1String("refuse site1")) {
        const QStringList sites = writesOf(log(), 400128);
        QCOMPARE(sites, QStringList({"0000", "0001", "0002"}));
    }
}

// Calls that must not start anything: no time, no file, or while one runs.
void tst_ExportManager::refusedCalls()
{
    QVERIFY(startMenu());
    TavrinInstrument &instrument = m_menu->instrument();
    instrument.clearRequests();
    QTest::ignoreMessage(QtDebugMsg, "export config: please, specify export time");
    eval(QStringLiteral("exportManager.exportConfig(undefined)"));
    QTest::ignoreMessage(QtDebugMsg, "import config: please, specify import filename");
    eval(QStringLiteral("exportManager.importConfig(\"\")"));
    QVERIFY(!active());
    QVERIFY(writesOf(log(), 400127).isEmpty());

    eval(QStringLiteral("exportManager.sitePostDelay = 300"));
    eval(QStringLiteral("exportManager.exportConfig(deviceProps.time.value)"));
    QVERIFY(active());
    const QString name = eval(QStringLiteral("exportManager.configName")).toString();
    eval(QStringLiteral("exportManager.importConfig(\"%1\")").arg(configsDir() + "none.xml"));
    QCOMPARE(eval(QStringLiteral("exportManager.exportActive")).toBool(), true);
    QCOMPARE(eval(QStringLiteral("exportManager.configName")).toString(), name);
    QVERIFY(waitIdle());
    QCOMPARE(configFiles(), QStringList{name + QStringLiteral(".xml")});
}

bool tst_ExportManager::openFrame()
{
    QObject *frame = m_menu->object(QStringLiteral("exportImportFrame"));
    QObject *navigation = m_menu->object(QStringLiteral("navigationManager"));
    if (!frame || !navigation)
        return false;
    QMetaObject::invokeMethod(navigation, "gotoFrame", Q_ARG(QVariant, QVariant::fromValue(frame)),
                              Q_ARG(QVariant, true));
    return MenuDriver::waitFor([&] { return frame->property("active").toBool(); }, 3000);
}

QStringList tst_ExportManager::rows()
{
    QQuickItem *list = m_menu->item(QStringLiteral("configsList"));
    QStringList names;
    if (!list)
        return names;
    const int count = list->property("count").toInt();
    for (int i = 0; i < count; ++i) {
        QQuickItem *row = nullptr;
        QMetaObject::invokeMethod(list, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, row),
                                  Q_ARG(int, i));
        names << (row ? row->property("baseName").toString() : QString());
    }
    return names;
}

void tst_ExportManager::writeFile(const QString &name, const QDateTime &time)
{
    QDir().mkpath(configsDir());
    QFile file(configsDir() + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?>\n");
    QVERIFY(file.setFileTime(time, QFileDevice::FileModificationTime));
    file.close();
}

// The frame by keys alone: the list newest first, a save through its question and the progress
// dialog, the list refreshed, a load of the new file, a delete through its question.
void tst_ExportManager::frameSavesLoadsAndDeletesByKeys()
{
    QVERIFY(startMenu());
    const QDateTime now = QDateTime::currentDateTime();
    writeFile(QStringLiteral("older.xml"), now.addDays(-2));
    writeFile(QStringLiteral("newer.xml"), now.addDays(-1));
    writeFile(QStringLiteral("notes.txt"), now);
    QVERIFY(openFrame());
    QCOMPARE(rows(), QStringList({"newer", "older"}));
    QQuickItem *list = m_menu->item(QStringLiteral("configsList"));
    QVERIFY(list->hasActiveFocus());

    // Save, with the measuring note while measuring.
    m_menu->instrument().setMeasuring(true);
    QVERIFY(MenuDriver::waitFor(
        [&] { return eval(QStringLiteral("deviceProps.measureStatus.measuring")).toBool(); },
        3000));
    // Down past the last row onto Load, then Right over Load from file onto Save.
    m_menu->keyClick(Qt::Key_Down);
    m_menu->keyClick(Qt::Key_Down);
    QVERIFY(m_menu->item(QStringLiteral("configLoadButton"))->hasActiveFocus());
    m_menu->keyClick(Qt::Key_Right);
    m_menu->keyClick(Qt::Key_Right);
    QQuickItem *saveButton = m_menu->item(QStringLiteral("configSaveButton"));
    QVERIFY(saveButton->hasActiveFocus());
    m_menu->keyClick(Qt::Key_Return);
    QVERIFY(waitCaption(QStringLiteral("Save current device configuration?\n\n"
                                       "(measuring will be temporarily suspended)")));
    answerYes();
    QVERIFY(MenuDriver::waitFor([&] { return popupName() == QLatin1String("exportImportDialog"); },
                                3000));
    QCOMPARE(popupCaption(), QStringLiteral("Saving configuration ..."));
    QVERIFY(waitCaption(QStringLiteral("Saving successfully completed"), 15000));
    QQuickItem *button = m_menu->item(QStringLiteral("exportImportButton"));
    QCOMPARE(button->property("caption").toString(), QStringLiteral("Ok"));
    const QString saved = eval(QStringLiteral("exportManager.configName")).toString();
    m_menu->keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return popupName().isEmpty(); }, 3000));
    QCOMPARE(rows(), QStringList({saved, "newer", "older"}));

    // Load the new file: Up to the list, up to its first row, Enter on the name.
    m_menu->keyClick(Qt::Key_Up);
    QVERIFY(list->hasActiveFocus());
    m_menu->keyClick(Qt::Key_Up);
    m_menu->keyClick(Qt::Key_Up);
    QCOMPARE(list->property("currentIndex").toInt(), 0);
    m_menu->keyClick(Qt::Key_Return);
    QVERIFY(waitCaption(QStringLiteral("Load configuration \"%1\"\u00A0?\n\n"
                                       "(measuring will be temporarily suspended)")
                            .arg(saved)));
    answerYes();
    QVERIFY(waitCaption(QStringLiteral("Loading successfully completed"), 15000));
    m_menu->keyClick(Qt::Key_Return);
    QVERIFY(MenuDriver::waitFor([&] { return popupName().isEmpty(); }, 3000));
    QVERIFY(list->hasActiveFocus());

    // Delete the second row through the cursor's column: Right twice onto its delete button.
    m_menu->keyClick(Qt::Key_Down);
    m_menu->keyClick(Qt::Key_Right);
    m_menu->keyClick(Qt::Key_Right);
    m_menu->keyClick(Qt::Key_Return);
    QVERIFY(waitCaption(QStringLiteral("Are you sure want to delete config \"newer\"\u00A0?")));
    m_menu->keyClick(Qt::Key_Return); // No
    QVERIFY(MenuDriver::waitFor([&] { return popupName().isEmpty(); }, 3000));
    QCOMPARE(rows(), QStringList({saved, "newer", "older"}));
    m_menu->keyClick(Qt::Key_Delete);
    QVERIFY(waitCaption(QStringLiteral("Are you sure want to delete config \"newer\"\u00A0?")));
    answerYes();
    QVERIFY(MenuDriver::waitFor([&] { return popupName().isEmpty(); }, 3000));
    QCOMPARE(rows(), QStringList({saved, "older"}));
    QVERIFY(!QFile::exists(configsDir() + QStringLiteral("newer.xml")));

    // The file-manager column shows the folder that holds the file.
    m_context->clearCalls();
    m_menu->keyClick(Qt::Key_Left);
    m_menu->keyClick(Qt::Key_Return);
    QCOMPARE(m_context->calls().filter(QStringLiteral("openUrl")).size(), 1);
}

// Save and Load work only while connected and idle; Load needs a row.
void tst_ExportManager::frameButtonsFollowLinkAndWork()
{
    QVERIFY(startMenu());
    QVERIFY(openFrame());
    QQuickItem *load = m_menu->item(QStringLiteral("configLoadButton"));
    QQuickItem *fromFile = m_menu->item(QStringLiteral("configLoadFromFileButton"));
    QQuickItem *saveButton = m_menu->item(QStringLiteral("configSaveButton"));
    // No file yet: the focus is on Save.
    QVERIFY(saveButton->hasActiveFocus());
    QVERIFY(!load->isEnabled());
    QVERIFY(fromFile->isEnabled());
    QVERIFY(saveButton->isEnabled());
    eval(QStringLiteral("exportManager.sitePostDelay = 300"));
    eval(QStringLiteral("exportManager.exportConfig(deviceProps.time.value)"));
    QVERIFY(active());
    QVERIFY(!saveButton->isEnabled());
    QVERIFY(!fromFile->isEnabled());
    QVERIFY(waitIdle());
    QVERIFY(MenuDriver::waitFor([&] { return load->isEnabled(); }, 2000));
    QVERIFY(saveButton->isEnabled());
    m_menu->instrument().disconnectLink();
    QVERIFY(MenuDriver::waitFor([&] { return !saveButton->isEnabled(); }, 5000));
    QVERIFY(!load->isEnabled());
    QVERIFY(!fromFile->isEnabled());
}

void tst_ExportManager::frameRefusesWhileCalibrating_data()
{
    QTest::addColumn<bool>("saving");
    QTest::newRow("save") << true;
    QTest::newRow("load") << false;
}

// A calibration running: the message, and nothing reaches the instrument.
void tst_ExportManager::frameRefusesWhileCalibrating()
{
    QFETCH(bool, saving);
    QVERIFY(startMenu());
    if (!saving)
        writeFile(QStringLiteral("some.xml"), QDateTime::currentDateTime());
    m_menu->instrument().setRegisters(300769, uint16Bytes(1));
    QVERIFY(MenuDriver::waitFor(
        [&] { return eval(QStringLiteral("deviceProps.calibrationStarted")).toBool(); }, 3000));
    QVERIFY(openFrame());
    m_menu->instrument().clearRequests();
    if (saving) {
        QMetaObject::invokeMethod(m_menu->item(QStringLiteral("configSaveButton")), "click");
    } else {
        QVERIFY(m_menu->item(QStringLiteral("configsList"))->hasActiveFocus());
        m_menu->keyClick(Qt::Key_Return);
    }
    QVERIFY(MenuDriver::waitFor([&] { return !popupCaption().isEmpty(); }, 3000));
    answerYes();
    const QString message =
        saving ? QStringLiteral("Please, stop all adjustments before saving configuration")
               : QStringLiteral("Please, stop all adjustments before loading configuration");
    QVERIFY2(waitCaption(message), qPrintable(popupCaption()));
    QVERIFY(!active());
    MenuDriver::settle(200);
    QVERIFY(writesOf(log(), 400127).isEmpty());
    QVERIFY(writesOf(log(), 400128).isEmpty());
}

// On the instrument the stored files are trimmed at start-up and after each save.
void tst_ExportManager::embeddedTrimsStoredFiles()
{
    m_menu.reset();
    MenuContext::overrideEmbedded(1);
    m_menu = std::make_unique<MenuDriver>(QSize(640, 480));
    auto context = std::make_unique<MenuTestContext>();
    MenuContext::overrideEmbedded(-1);
    context->setMaxModbusConfigs(2);
    const QString dir = context->modbusConfigsDir();
    m_context = context.get();
    m_menu->setContext(std::move(context));
    QDir().mkpath(dir);
    const QDateTime now = QDateTime::currentDateTime();
    const QStringList names = {"a.xml", "b.xml", "c.xml"};
    for (int i = 0; i < names.size(); ++i) {
        QFile file(dir + names.at(i));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.setFileTime(now.addDays(i - 5), QFileDevice::FileModificationTime));
    }
    MenuContext::overrideEmbedded(1);
    const bool started = startMenu();
    MenuContext::overrideEmbedded(-1);
    QVERIFY(started);
    QCOMPARE(configFiles(), QStringList({"b.xml", "c.xml"}));
    const QString path = save();
    QVERIFY(!path.isEmpty());
    QCOMPARE(configFiles(), QStringList({QFileInfo(path).fileName(), "c.xml"}));
}

// The progress dialog by keys: the bar follows the work, Stop stops it, Escape while it runs
// closes the dialog and stops the work too; the keys act on the frame afterwards.
void tst_ExportManager::dialogFollowsAndStops()
{
    QVERIFY(startMenu());
    QVERIFY(openFrame());
    eval(QStringLiteral("exportManager.sitePostDelay = 400"));
    QQuickItem *saveButton = m_menu->item(QStringLiteral("configSaveButton"));
    QVERIFY(saveButton->hasActiveFocus());
    for (const bool byEscape : {false, true}) {
        m_menu->keyClick(Qt::Key_Return);
        QVERIFY(waitCaption(QStringLiteral("Save current device configuration?")));
        answerYes();
        QVERIFY(MenuDriver::waitFor(
            [&] {
                return eval(QStringLiteral("exportManager.state")).toString() ==
                       QLatin1String("exportingsites");
            },
            5000));
        QCOMPARE(popupCaption(), QStringLiteral("Saving configuration ..."));
        QQuickItem *bar = m_menu->item(QStringLiteral("exportImportProgress"));
        QQuickItem *button = m_menu->item(QStringLiteral("exportImportButton"));
        QVERIFY(bar && button);
        QCOMPARE(bar->property("maximumValue").toInt(),
                 eval(QStringLiteral("exportManager.total")).toInt());
        QVERIFY(bar->property("value").toInt() > 1);
        QCOMPARE(bar->property("value").toInt(),
                 eval(QStringLiteral("exportManager.processed")).toInt());
        QCOMPARE(button->property("caption").toString(), QStringLiteral("Stop"));
        if (byEscape) {
            m_menu->keyClick(Qt::Key_Escape);
            QVERIFY(MenuDriver::waitFor([&] { return popupName().isEmpty(); }, 3000));
            QVERIFY(waitIdle(5000));
        } else {
            m_menu->keyClick(Qt::Key_Return);
            QVERIFY(waitIdle(5000));
            QCOMPARE(button->property("caption").toString(), QStringLiteral("Ok"));
            m_menu->keyClick(Qt::Key_Return);
            QVERIFY(MenuDriver::waitFor([&] { return popupName().isEmpty(); }, 3000));
        }
        QVERIFY(MenuDriver::waitFor([&] { return saveButton->hasActiveFocus(); }, 2000));
    }
    QVERIFY(configFiles().isEmpty());
}

// "Load from file": the open dialog on the configurations folder, the chosen file's question,
// the load; a cancelled dialog asks nothing.
void tst_ExportManager::frameLoadsAChosenFile()
{
    QVERIFY(startMenu());
    const QString saved = save();
    QVERIFY(!saved.isEmpty());
    const QString chosen = QFileInfo(configsDir()).dir().absolutePath() + "/elsewhere.xml";
    QVERIFY(QFile::rename(saved, chosen));
    QVERIFY(openFrame());
    QQuickItem *fromFile = m_menu->item(QStringLiteral("configLoadFromFileButton"));
    QVERIFY(fromFile->isEnabled());

    m_context->openFileAnswer.clear();
    m_menu->click(fromFile);
    MenuDriver::settle(200);
    QVERIFY(popupName().isEmpty());
    QCOMPARE(m_context->calls(),
             QStringList{QStringLiteral("open dialog: Load from file | %1 | XML files (*.xml);;"
                                        "All files (*.*)")
                             .arg(configsDir())});

    m_context->openFileAnswer = chosen;
    m_menu->click(fromFile);
    QVERIFY(waitCaption(QStringLiteral("Load configuration \"elsewhere\"\u00A0?")));
    answerYes();
    QVERIFY(waitCaption(QStringLiteral("Loading successfully completed"), 15000));
    QCOMPARE(eval(QStringLiteral("exportManager.configName")).toString(),
             QStringLiteral("elsewhere"));
}

QTEST_MAIN(tst_ExportManager)
#include "tst_exportmanager.moc"
