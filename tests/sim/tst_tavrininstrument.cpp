#include "modbusarchrecordtavrin.h"
#include "modbusclient.h"
#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "requestlog.h"
#include "siterecords.h"
#include "tavrinflowratehistoryitem.h"
#include "tavrinheathistoryitem.h"
#include "tavrininstrument.h"
#include "tavrinpressurehistoryitem.h"

#include <QtTest>

#include <algorithm>
#include <memory>

// The instrument of the menu's register map, as a master sees it over its link.
class tst_TavrinInstrument : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void defaults();
    void onlyMappedRegistersExist_data();
    void onlyMappedRegistersExist();
    void mirrorsAndCommands_data();
    void mirrorsAndCommands();
    void siteSettingsFollowTheCurrentSite();
    void siteCopyClearAndArchiveErase();
    void answersItsOwnUnitOnly();
    void otherClientChangesRevisionAndTable();
    void requestLogLines_data();
    void requestLogLines();
    void timeArchives_data();
    void timeArchives();
    void recordsWhileMeasuring();
    void historyMoves_data();
    void historyMoves();
    void signalCapture_data();
    void signalCapture();
    void registerSequences_data();
    void registerSequences();
    void periodicScheduleEnd_data();
    void periodicScheduleEnd();

private:
    quint32 readUInt32(quint32 address);
    quint16 readUInt16(quint32 address);
    bool lastLabels(quint16 archive, int count, QList<quint32> &labels);
    ModbusBytes readMany(quint32 address, int count);
    bool runStep(const QString &step);

    std::unique_ptr<TavrinInstrument> m_instrument;
    std::unique_ptr<Modbuser> m_master;
};

void tst_TavrinInstrument::init()
{
    m_instrument = std::make_unique<TavrinInstrument>();
    m_master = std::make_unique<Modbuser>();
    m_master->setClientTransport(m_instrument->link());
}

void tst_TavrinInstrument::cleanup()
{
    m_master.reset();
    m_instrument.reset();
}

quint32 tst_TavrinInstrument::readUInt32(quint32 address)
{
    quint32 value = 0;
    if (!m_master->readUInt32(address, value))
        qWarning() << "read" << address << m_master->errorString();
    return value;
}

quint16 tst_TavrinInstrument::readUInt16(quint32 address)
{
    quint16 value = 0;
    if (!m_master->readUInt16(address, value))
        qWarning() << "read" << address << m_master->errorString();
    return value;
}

void tst_TavrinInstrument::defaults()
{
    QCOMPARE(readUInt32(300044), TavrinInstrument::Generation1Firmware);
    QCOMPARE(readUInt16(300009), quint16(0));
    QCOMPARE(readUInt16(300767), quint16(20));
    QCOMPARE(readUInt16(300754), quint16(2));
    QCOMPARE(readUInt16(300746), quint16(4));
    QCOMPARE(readUInt16(400001), quint16(1));

    QString report;
    QVERIFY(m_master->getDevName(report));
    QVERIFY(!report.isEmpty());

    ModbusBytes table;
    QVERIFY(m_master->readFile(SiteRecords::File, 0, 122, table));
    QCOMPARE(table.left(SiteRecords::RecordSize).toHex(),
             encodeSiteRecord(QString(), QString(), QStringLiteral("Site 1")).toHex());
    QCOMPARE(table.mid(SiteRecords::RecordSize).toHex(),
             ModbusBytes::fromSize(SiteRecords::RecordSize, 0).toHex());
    QCOMPARE(m_instrument->file(SiteRecords::File).size(), SiteRecords::TableSize);
    // A mounting scheme the menu's list holds (1 Z-mount, 2 V-mount).
    QCOMPARE(readUInt16(400163), quint16(1));

    // The clock runs: two reads a second and a bit apart differ by about that.
    const quint32 first = readUInt32(300749);
    QTest::qWait(1100);
    const quint32 second = readUInt32(300749);
    QVERIFY2(second - first >= 1 && second - first <= 2,
             qPrintable(QString::number(second - first)));
    float flowRate = 0;
    QVERIFY(m_master->readFloat(300720, flowRate));
    QVERIFY(flowRate > 0);
}

void tst_TavrinInstrument::onlyMappedRegistersExist_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("held");
    QTest::newRow("live block without heat") << 300701u << 70 << true;
    QTest::newRow("live block with heat") << 300701u << 104 << true;
    QTest::newRow("one past the live block") << 300701u << 105 << false;
    QTest::newRow("firmware version") << 300044u << 2 << true;
    QTest::newRow("gap between registers") << 300002u << 1 << false;
    QTest::newRow("signal capture, last register") << 306096u << 1 << true;
    QTest::newRow("site settings") << 400129u << 98 << true;
    QTest::newRow("past the site settings") << 400227u << 1 << false;
    QTest::newRow("heat settings") << 401025u << 56 << true;
    QTest::newRow("last schedule entry") << 403685u << 6 << true;
    QTest::newRow("past the schedule") << 403692u << 1 << false;
    QTest::newRow("holding register nobody names") << 400100u << 1 << false;
}

void tst_TavrinInstrument::onlyMappedRegistersExist()
{
    QFETCH(quint32, address);
    QFETCH(int, count);
    QFETCH(bool, held);
    ModbusBytes bytes;
    QCOMPARE(m_master->readRegisters(address, quint16(count), bytes), held);
    if (!held) {
        QVERIFY2(m_master->errorString().contains(QLatin1String("illegal data address")),
                 qPrintable(m_master->errorString()));
    }
    if (address >= 400000) {
        QCOMPARE(m_master->writeRegisters(address, ModbusBytes::fromRegsCount(1)), held);
    }
}

void tst_TavrinInstrument::mirrorsAndCommands_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<quint32>("readAt");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("sites revision shows in the live block")
        << 402999u << QByteArray("12345678") << 300765u << QByteArray("12345678");
    QTest::newRow("measuring shows in the live block")
        << 400127u << QByteArray("0001") << 300752u << QByteArray("0001");
    QTest::newRow("current site shows in the live block")
        << 400128u << QByteArray("0003") << 300759u << QByteArray("0003");
    QTest::newRow("a current site past the slots is refused")
        << 400128u << QByteArray("0014") << 300759u << QByteArray("0000");
    QTest::newRow("site copy of a bad pair")
        << 403255u << QByteArray("00030003") << 403255u << QByteArray("ffffffff");
    QTest::newRow("site copy done")
        << 403255u << QByteArray("00030005") << 403255u << QByteArray("00000000");
    QTest::newRow("site clear done")
        << 403260u << QByteArray("8003") << 403260u << QByteArray("0000");
    QTest::newRow("archive erase done")
        << 400023u << QByteArray("aa550001") << 400023u << QByteArray("00000000");
    QTest::newRow("history reset over USB")
        << 400123u << QByteArray("0001") << 400123u << QByteArray("0000");
    QTest::newRow("calculate KP") << 403253u << QByteArray("0001") << 403253u << QByteArray("0000");
    QTest::newRow("initialise") << 400008u << QByteArray("0001") << 400008u << QByteArray("0000");
    QTest::newRow("plain setting stays")
        << 400168u << QByteArray("40490fdb") << 400168u << QByteArray("40490fdb");
}

void tst_TavrinInstrument::mirrorsAndCommands()
{
    QFETCH(quint32, address);
    QFETCH(QByteArray, written);
    QFETCH(quint32, readAt);
    QFETCH(QByteArray, expected);
    const ModbusBytes bytes = ModbusBytes::fromHex(written);
    QVERIFY2(m_master->writeRegisters(address, bytes), qPrintable(m_master->errorString()));
    ModbusBytes read;
    QVERIFY(m_master->readRegisters(readAt, quint16(expected.size() / 4), read));
    QCOMPARE(read.toHex(), expected);
    // The log has the bytes as they were sent.
    QCOMPARE(m_instrument->requests().first().bytes.toHex(), written);
}

void tst_TavrinInstrument::siteSettingsFollowTheCurrentSite()
{
    QVERIFY(m_master->writeFloat(400168, 2.5f)); // site 0's pipe sound speed
    QVERIFY(m_master->writeRegister(400128, 4));
    float value = 0;
    QVERIFY(m_master->readFloat(400168, value));
    QCOMPARE(value, 3.23f); // site 4 still has the defaults
    QVERIFY(m_master->writeFloat(400168, 6.0f));
    QVERIFY(m_master->writeRegister(400128, 0));
    QVERIFY(m_master->readFloat(400168, value));
    QCOMPARE(value, 2.5f);
    QCOMPARE(m_instrument->siteSettings(4).mid(2 * (400168 - 400129), 4).toHex(),
             ModbusBytes::fromFloat(6.0f).toHex());
    QCOMPARE(m_instrument->currentSite(), 0);
}

void tst_TavrinInstrument::siteCopyClearAndArchiveErase()
{
    QVERIFY(m_master->writeFloat(400168, 2.5f));
    QVERIFY(m_master->writeUInt(403255, 0x00000005)); // current site 0 to 5
    QCOMPARE(m_instrument->siteSettings(5), m_instrument->siteSettings(0));
    QVERIFY(m_master->writeRegister(403260, 0x8005));
    QCOMPARE(m_instrument->siteSettings(5), TavrinInstrument::defaultSiteSettings());
    QVERIFY(m_instrument->siteSettings(0) != TavrinInstrument::defaultSiteSettings());

    ArchiveStore &archives = m_instrument->archives();
    const auto index = DorrikBus::IndexArch;
    const auto time = DorrikBus::TimeArch;
    archives.addRecord(1, index, 1, ModbusBytes::fromUInt32(7));
    archives.addRecord(0x101, index, 1, ModbusBytes::fromUInt32(7));
    archives.addRecord(0, index, 1, ModbusBytes::fromUInt32(7));
    const int history = archives.recordCount(0, time);
    QVERIFY(history > 0);
    QCOMPARE(archives.recordCount(1, time), history);
    QVERIFY(m_master->writeUInt(400023, 0xAA550001));
    QCOMPARE(archives.recordCount(1), 0);
    QCOMPARE(archives.recordCount(0x101), 0);
    QCOMPARE(archives.recordCount(0, index), 1);
    QCOMPARE(archives.recordCount(0, time), history);
    // Without the key nothing is erased.
    QVERIFY(m_master->writeUInt(400023, 0x00000000));
    QCOMPARE(archives.recordCount(0, index), 1);
    QCOMPARE(archives.recordCount(0, time), history);
}

void tst_TavrinInstrument::answersItsOwnUnitOnly()
{
    QVERIFY(m_master->writeRegister(400001, 12));
    QCOMPARE(m_instrument->unit(), quint8(12));
    quint16 value = 0;
    m_master->setDeviceAddress(1);
    QVERIFY(!m_master->readUInt16(400001, value));
    m_master->setDeviceAddress(12);
    QVERIFY(m_master->readUInt16(400001, value));
    QCOMPARE(value, quint16(12));
    QCOMPARE(int(m_instrument->requests().last().unit), 12);
}

void tst_TavrinInstrument::otherClientChangesRevisionAndTable()
{
    m_instrument->setSitesRevision(0xFFFFFFF5);
    QCOMPARE(readUInt32(300765), 0xFFFFFFF5u);
    QCOMPARE(readUInt32(402999), 0xFFFFFFF5u);
    m_instrument->setSiteRecord(3, QStringLiteral("G"), QStringLiteral("S"), QStringLiteral("N"));
    ModbusBytes record;
    QVERIFY(m_master->readFile(SiteRecords::File, 3 * 61, 61, record));
    QCOMPARE(record.toHex(), encodeSiteRecord("G", "S", "N").toHex());
    QCOMPARE(m_instrument->requestCount(), 3); // the calls themselves send nothing
}

bool tst_TavrinInstrument::lastLabels(quint16 archive, int count, QList<quint32> &labels)
{
    ModbusBytes bytes;
    labels.clear();
    if (!m_master->readArchPresence(archive, 0xFFFFFFFF, DorrikBus::TimeArch, bytes,
                                    DorrikBus::Backward, quint16(count)))
        return false;
    for (int i = 0; i + 4 <= bytes.size(); i += 4)
        labels.append(bytes.toUInt32(i));
    return true;
}

ModbusBytes tst_TavrinInstrument::readMany(quint32 address, int count)
{
    ModbusBytes all;
    for (int done = 0; done < count;) {
        const int part = qMin(120, count - done);
        ModbusBytes bytes;
        if (!m_master->readRegisters(address + quint32(done), quint16(part), bytes)) {
            qWarning() << "read" << address + done << m_master->errorString();
            return {};
        }
        all += bytes;
        done += part;
    }
    return all;
}

namespace {

enum RequestKind {
    RegisterRead,
    RegisterWrite,
    FileRead,
    FileWrite,
    PresenceForward,
    PresenceBackward,
    Records67,
    IndexRecords65,
    Report
};

} // namespace

void tst_TavrinInstrument::requestLogLines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("withUnit");
    QTest::addColumn<QString>("line");
    QTest::newRow("register read") << int(RegisterRead) << false << "R 300720 2";
    QTest::newRow("register read with the unit") << int(RegisterRead) << true << "R 300720 2 u1";
    QTest::newRow("register write") << int(RegisterWrite) << false << "W 400127 0001";
    QTest::newRow("file read") << int(FileRead) << false << "FR 0x80 61 61";
    QTest::newRow("file write") << int(FileWrite) << false << "FW 0x80 0 61";
    QTest::newRow("presence, forward")
        << int(PresenceForward) << false << "A66 0x0105 2026-12-10T12:00:00 10";
    QTest::newRow("presence, backward")
        << int(PresenceBackward) << false << "A66 0x0105 2026-12-10T12:00:00 10 back";
    QTest::newRow("records, function 67")
        << int(Records67) << false << "A67 0x0005 2026-12-10T12:00:00 1 back";
    QTest::newRow("index records, function 65") << int(IndexRecords65) << false << "A65 0x0001 7 2";
    QTest::newRow("report") << int(Report) << false << "F17";
}

// The log's text form of each kind of request, as the library's request API sends it.
void tst_TavrinInstrument::requestLogLines()
{
    QFETCH(int, kind);
    QFETCH(bool, withUnit);
    QFETCH(QString, line);
    const quint32 label =
        quint32(QDateTime(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC).toSecsSinceEpoch());
    ModbusBytes bytes;
    QList<ModbusBytes> records;
    QString text;
    // Whether a request is answered is not the point here: each is logged as it came.
    switch (RequestKind(kind)) {
    case RegisterRead:
        m_master->readRegisters(300720, 2, bytes);
        break;
    case RegisterWrite:
        m_master->writeRegister(400127, 1);
        break;
    case FileRead:
        m_master->readFile(SiteRecords::File, 61, 61, bytes);
        break;
    case FileWrite:
        m_master->writeFile(SiteRecords::File, 0, ModbusBytes::fromRegsCount(61));
        break;
    case PresenceForward:
    case PresenceBackward:
        m_master->readArchPresence(
            0x105, label, DorrikBus::TimeArch, bytes,
            kind == PresenceForward ? DorrikBus::Forward : DorrikBus::Backward, 10);
        break;
    case Records67:
        m_master->readArchRecords67(5, label, DorrikBus::Backward, 1, records, DorrikBus::TimeArch);
        break;
    case IndexRecords65:
        m_master->readArchRecords65(1, 7, 2, records, DorrikBus::IndexArch);
        break;
    case Report:
        m_master->getDevName(text);
        break;
    }
    QCOMPARE(RequestLog::described(m_instrument->requests(),
                                   withUnit ? RequestLog::WithUnit : RequestLog::WithoutUnit),
             QStringList{line});
}

void tst_TavrinInstrument::timeArchives_data()
{
    QTest::addColumn<int>("generation");
    QTest::addColumn<bool>("heat");
    QTest::addColumn<int>("slot");
    QTest::addColumn<int>("archive");
    QTest::addColumn<bool>("held");
    QTest::newRow("generation 1, slot 0") << 1 << false << 0 << 0 << true;
    QTest::newRow("generation 1, slot 5") << 1 << false << 5 << 5 << true;
    QTest::newRow("generation 1 has no archive 0x105") << 1 << false << 5 << 0x105 << false;
    QTest::newRow("generation 2 with heat, slot 3") << 2 << true << 3 << 3 << true;
    QTest::newRow("generation 2 without heat, slot 19") << 2 << false << 19 << 19 << true;
    QTest::newRow("generation 2 has no archive 0x103") << 2 << true << 3 << 0x103 << false;
    QTest::newRow("generation 3 with heat, slot 5") << 3 << true << 5 << 0x105 << true;
    QTest::newRow("generation 3 without heat, slot 0") << 3 << false << 0 << 0x100 << true;
    QTest::newRow("generation 3 has no time archive 5") << 3 << true << 5 << 5 << false;
    QTest::newRow("no slot 20") << 1 << false << 20 << 20 << false;
}

// Each slot's time archive answers at its generation's number with a history at the logging
// interval, in the generation's layout as the library's record decoder reads it.
void tst_TavrinInstrument::timeArchives()
{
    QFETCH(int, generation);
    QFETCH(bool, heat);
    QFETCH(int, slot);
    QFETCH(int, archive);
    QFETCH(bool, held);
    m_instrument->setGeneration(generation);
    m_instrument->setHeatChannel(heat);
    m_instrument->setArchiveHistory(3600);
    if (held)
        QCOMPARE(int(TavrinInstrument::archiveIndex(slot, generation)), archive);

    QList<quint32> labels;
    QCOMPARE(lastLabels(quint16(archive), 10, labels), held);
    if (!held) {
        QVERIFY2(m_master->errorString().contains(QLatin1String("illegal data address")),
                 qPrintable(m_master->errorString()));
        return;
    }
    // An hour at 6 min: ten records, the newest within one interval of the clock.
    const quint32 interval = 360;
    QCOMPARE(labels.size(), 10);
    QVERIFY(m_instrument->clockLabel() - labels.first() < interval);
    for (int i = 1; i < labels.size(); ++i)
        QCOMPARE(labels.at(i - 1) - labels.at(i), interval);

    ModbusClient client;
    client.setTransport(m_instrument->link());
    ModbusArchRecordTavrin record;
    record.setTvnGeneration(generation);
    record.setContainsHeat(heat);
    record.setFunc(DorrikBus::Func67);
    record.setArchType(DorrikBus::TimeArch);
    record.setArchIndex(archive);
    record.setClient(&client);

    record.setLabel(labels.at(2));
    QVERIFY2(record.readSync(), qPrintable(record.errorString()));
    const quint32 olderWork = record.workTime();
    const double olderVolume = record.vPlus();
    record.setLabel(labels.at(1));
    QVERIFY2(record.readSync(), qPrintable(record.errorString()));

    QVERIFY(record.exists());
    QCOMPARE(record.recordSize(), tavrinRecordSize(generation));
    QCOMPARE(record.bytes().toUInt32(0), labels.at(1));
    QCOMPARE(record.containsHeat(), generation >= 2 && heat);
    QCOMPARE(record.dWorkTime(), quint16(interval));
    QCOMPARE(record.workTime() - olderWork, interval);
    // Site i's flow is site 0's times 1 + i / 4: 10 to 15 m³/h there.
    const float scale = 1.0f + float(slot) / 4.0f;
    QCOMPARE(record.dMinVolumeFlowRate(), 10.0f * scale);
    QCOMPARE(record.dMaxVolumeFlowRate(), 15.0f * scale);
    QVERIFY2(qAbs(record.vPlus() - olderVolume - record.dVPlus()) < 1e-3,
             qPrintable(QStringLiteral("%1 - %2 != %3")
                            .arg(record.vPlus())
                            .arg(olderVolume)
                            .arg(record.dVPlus())));
    QVERIFY(record.dVPlus() > 10.0f * scale * 0.1f && record.dVPlus() < 15.0f * scale * 0.1f);
    if (generation >= 2 && heat) {
        QVERIFY(qAbs(record.dMPlus() - record.dVPlus() * 0.9982f) < 1e-3f);
        QVERIFY(record.w() > 0);
    }
    if (generation >= 3 && heat) {
        QVERIFY(record.averagePressure() > 0.57f && record.averagePressure() < 0.63f);
        QVERIFY(record.averageTemperature1() > record.averageTemperature2());
    }
}

// While measuring, the current site's archive gains a record at each logging interval; the
// other sites' do not, nor does it once measuring stops; an erase restarts its counters.
void tst_TavrinInstrument::recordsWhileMeasuring()
{
    m_instrument->setArchiveHistory(600);
    QVERIFY(m_master->writeRegister(403001, 0)); // 1 s
    QVERIFY(m_master->writeRegister(400127, 1));
    const quint32 start = m_instrument->clockLabel();
    QList<quint32> labels;
    QTRY_VERIFY_WITH_TIMEOUT(
        lastLabels(0, 3, labels) && labels.size() == 3 && labels.last() > start, 10000);
    QCOMPARE(labels.at(0) - labels.at(1), 1u);
    QCOMPARE(labels.at(1) - labels.at(2), 1u);
    QList<ModbusBytes> records;
    QVERIFY(m_master->readArchRecords67(0, labels.first(), DorrikBus::Forward, 1, records,
                                        DorrikBus::TimeArch));
    ModbusArchRecordTavrin decoder;
    QCOMPARE(decoder.data(records.first(), 44).toInt(), 1); // dWorkTime
    QVERIFY(lastLabels(1, 1, labels));
    QVERIFY(labels.first() < start);

    QVERIFY(m_master->writeRegister(400127, 0));
    QVERIFY(lastLabels(0, 1, labels));
    const quint32 stopped = labels.first();
    QTest::qWait(1500);
    QVERIFY(lastLabels(0, 1, labels));
    QCOMPARE(labels.first(), stopped);

    QVERIFY(m_master->writeUInt(400023, 0xAA550000));
    QVERIFY(lastLabels(0, 10, labels));
    QVERIFY(labels.isEmpty());
    QVERIFY(m_master->writeRegister(400127, 1));
    QTRY_VERIFY_WITH_TIMEOUT(lastLabels(0, 1, labels) && !labels.isEmpty(), 10000);
    QVERIFY(m_master->readArchRecords67(0, labels.first(), DorrikBus::Forward, 1, records,
                                        DorrikBus::TimeArch));
    QVERIFY(decoder.data(records.first(), 37).toUInt() <= 1); // workTime
}

void tst_TavrinInstrument::historyMoves_data()
{
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("role");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("flow rate") << 0 << "flowRate" << 9.99 << 15.01;
    QTest::newRow("flow velocity") << 0 << "flowVelocity" << 0.35 << 0.54;
    QTest::newRow("mass flow rate") << 1 << "massFlowRate" << 9.97 << 14.98;
    QTest::newRow("thermal power") << 1 << "thermalPower" << 0.39 << 0.6;
    QTest::newRow("pressure") << 2 << "pressure" << 0.579 << 0.621;
    QTest::newRow("pressure current") << 2 << "pressureCurrent" << 9.78 << 10.22;
}

// Each history block hands over the samples of the last seconds in blocks of ten, then one
// more a second; a reset starts over from the oldest.
void tst_TavrinInstrument::historyMoves()
{
    QFETCH(int, block);
    QFETCH(QString, role);
    QFETCH(double, min);
    QFETCH(double, max);
    const int length = 25;
    m_instrument->setHistoryLength(length);
    ModbusClient client;
    client.setTransport(m_instrument->link());
    std::unique_ptr<ModbusItemBase> item;
    if (block == 0)
        item = std::make_unique<TavrinFlowRateHistoryItem>();
    else if (block == 1)
        item = std::make_unique<TavrinHeatHistoryItem>();
    else
        item = std::make_unique<TavrinPressureHistoryItem>();
    item->setClient(&client);
    // Asynchronous reads, as the menu's readers make them: the item reads again from within the
    // merge of a block whose "more" word is set, which a read of its own in progress would refuse.
    const auto settled = [&](int size) {
        return item->arraySize() >= size && !item->executing() && item->wasRead();
    };
    QVERIFY(item->read());
    QTRY_VERIFY2(settled(length),
                 qPrintable(RequestLog::described(m_instrument->requests()).join(' ') +
                            QStringLiteral(" size %1").arg(item->arraySize())));
    const int first = item->arraySize();
    QVERIFY2(first <= length + 2, qPrintable(QString::number(first)));
    for (int row = 0; row < first; ++row) {
        const double value = item->getModelValue(row, role).toDouble();
        QVERIFY2(value >= min && value <= max,
                 qPrintable(QStringLiteral("row %1: %2").arg(row).arg(value)));
    }
    // One more sample a second.
    QTRY_VERIFY_WITH_TIMEOUT((item->executing() || item->read()) && settled(first + 1), 5000);

    const int before = item->arraySize();
    QVERIFY(m_master->writeRegister(400123, 1)); // over USB
    QTRY_VERIFY(!item->executing());
    QVERIFY(item->read());
    QTRY_VERIFY(settled(before + length));
}

void tst_TavrinInstrument::signalCapture_data()
{
    QTest::addColumn<quint32>("command");
    QTest::newRow("RS-485") << 400124u;
    QTest::newRow("SPI") << 400125u;
    QTest::newRow("USB") << 400126u;
}

// A capture holds 1 while it runs, then reads 0 with an echo in each direction's array inside
// the detection window its offsets give; the other connections' commands are not touched.
void tst_TavrinInstrument::signalCapture()
{
    QFETCH(quint32, command);
    m_instrument->setCaptureTime(60000);
    QVERIFY(m_master->writeRegister(command, 1));
    QCOMPARE(readUInt16(command), quint16(1));
    QCOMPARE(readMany(301988, 8).toHex(), ModbusBytes::fromRegsCount(8).toHex());
    m_instrument->setCaptureTime(0);
    QCOMPARE(readUInt16(command), quint16(0));
    for (quint32 other = 400124; other <= 400126; ++other)
        QCOMPARE(readUInt16(other), quint16(0));

    const ModbusBytes params = readMany(301988, 8);
    QCOMPARE(params.size(), 16);
    QList<ModbusBytes> arrays;
    for (const quint32 address : {302001u, 304049u}) {
        const ModbusBytes samples = readMany(address, TavrinInstrument::CaptureSamples);
        QCOMPARE(samples.size(), 2 * TavrinInstrument::CaptureSamples);
        arrays.append(samples);
        const int direction = address == 302001u ? 0 : 1;
        const qint64 window =
            qint64(params.toUInt32(8 + 4 * direction)) - qint64(params.toUInt32(4 * direction));
        QVERIFY2(window >= 0 && window + 500 <= TavrinInstrument::CaptureSamples,
                 qPrintable(QString::number(window)));
        int inside = 0, before = 0;
        for (int k = 0; k < TavrinInstrument::CaptureSamples; ++k) {
            const int value = qAbs(int(qint16(samples.toUInt16(2 * k))));
            if (k >= window && k < window + 500)
                inside = qMax(inside, value);
            else if (k < window)
                before = qMax(before, value);
        }
        QVERIFY2(inside > 1000 && inside < 2048, qPrintable(QString::number(inside)));
        QVERIFY2(before < 100, qPrintable(QString::number(before)));
    }

    // The next capture is another echo.
    QVERIFY(m_master->writeRegister(command, 1));
    QCOMPARE(readUInt16(command), quint16(0));
    QVERIFY(readMany(302001, TavrinInstrument::CaptureSamples) != arrays.first());
}

void tst_TavrinInstrument::registerSequences_data()
{
    QTest::addColumn<QStringList>("steps");
    // w: write, r: read back, f: read a float (to 0.0035), countdown: read until 0, seeing the
    // value fall from at most 15; the others set the instrument's durations and answers.
    QTest::newRow("additional delay: start and stop")
        << QStringList{"r 300768 0", "w 403251 1", "r 403251 1", "r 300768 1",
                       "w 403251 0", "r 403251 0", "r 300768 0", "f 400204 0"};
    QTest::newRow("additional delay: start and set") << QStringList{
        "w 403251 1", "r 300768 1", "w 403251 2", "r 403251 0", "r 300768 0", "f 400204 1.25"};
    QTest::newRow("additional delay set without a run")
        << QStringList{"w 403251 2", "r 403251 0", "r 300768 0", "f 400204 1.25"};
    QTest::newRow("zero offset: start and stop")
        << QStringList{"r 300769 0", "w 403252 1", "r 403252 1", "r 300769 1",
                       "w 403252 0", "r 403252 0", "r 300769 0", "f 400202 0"};
    QTest::newRow("zero offset: start and save") << QStringList{
        "w 403252 1", "r 300769 1", "w 403252 2", "r 403252 0", "r 300769 0", "f 400202 0.0062"};
    QTest::newRow("on-flow zero point refused")
        << QStringList{"refuse",     "w 403257 1", "r 403257 0", "r 300770 0",
                       "w 403258 1", "r 403258 1", "r 306124 0"};
    QTest::newRow("on-flow zero point: both stages and save") << QStringList{
        "tick 100",   "w 403258 0",       "w 403257 1",       "r 403257 1",      "r 300770 1",
        "w 403258 1", "countdown 306124", "f 306125 1.48",    "f 306127 0.0312", "f 306129 0",
        "w 403258 2", "countdown 306124", "f 306129 -0.0188", "f 306131 0.0062", "w 403258 3",
        "f 400202 0", "w 403258 4",       "f 400202 0.0062",  "r 403258 4",      "w 403257 0",
        "r 403257 0", "r 300770 0"};
    QTest::newRow("on-flow zero point stopped in a stage")
        << QStringList{"tick 60000", "w 403257 1", "w 403258 1", "r 306124 15",
                       "w 403258 0", "w 403257 0", "r 300770 0", "r 306124 0"};
    QTest::newRow("stage without the command") << QStringList{"w 403258 1", "r 306124 0"};
    QTest::newRow("schedule: start and stop")
        << QStringList{"schedule 60000", "r 300753 0", "w 403560 1", "r 300753 1",
                       "r 403560 1",     "w 403560 0", "r 300753 0"};
    QTest::newRow("schedule: done after its time, then reset")
        << QStringList{"schedule 60000", "w 403560 1", "r 300753 1", "schedule 0",
                       "r 300753 2",     "w 403691 1", "r 403691 0", "r 300753 0"};
    QTest::newRow("schedule reset while active")
        << QStringList{"schedule 60000", "w 403560 1", "w 403691 1", "r 403691 0", "r 300753 1"};
    QTest::newRow("signal capture stopped by 0")
        << QStringList{"capture 60000", "w 400124 1", "r 400124 1", "w 400124 0",
                       "capture 0",     "r 400124 0", "r 302001 0"};
    QTest::newRow("sleep register")
        << QStringList{"r 400013 0", "w 400013 1", "r 400013 1", "w 400013 0", "r 400013 0"};
    QTest::newRow("shutdown register") << QStringList{"r 400012 0", "w 400012 1", "r 400012 1"};
}

bool tst_TavrinInstrument::runStep(const QString &step)
{
    const QStringList parts = step.split(QLatin1Char(' '));
    const QString &verb = parts.first();
    const quint32 address = parts.value(1).toUInt();
    const QString value = parts.value(2);
    if (verb == QLatin1String("refuse")) {
        m_instrument->setOnFlowCalibrationTaken(false);
    } else if (verb == QLatin1String("tick")) {
        m_instrument->setCalibrationTick(int(address));
    } else if (verb == QLatin1String("schedule")) {
        m_instrument->setScheduleDuration(int(address));
    } else if (verb == QLatin1String("capture")) {
        m_instrument->setCaptureTime(int(address));
    } else if (verb == QLatin1String("w")) {
        if (!m_master->writeRegister(address, quint16(value.toUInt()))) {
            qWarning() << step << m_master->errorString();
            return false;
        }
    } else if (verb == QLatin1String("r")) {
        quint16 read = 0;
        if (!m_master->readUInt16(address, read) || read != value.toUInt()) {
            qWarning() << step << "read" << read << m_master->errorString();
            return false;
        }
    } else if (verb == QLatin1String("f")) {
        float read = 0;
        if (!m_master->readFloat(address, read) || qAbs(read - value.toFloat()) > 0.0035f) {
            qWarning() << step << "read" << read << m_master->errorString();
            return false;
        }
    } else if (verb == QLatin1String("countdown")) {
        QList<quint16> seen;
        QElapsedTimer timer;
        timer.start();
        quint16 read = 0;
        do {
            if (!m_master->readUInt16(address, read))
                return false;
            if (seen.isEmpty() || seen.last() != read)
                seen.append(read);
        } while (read != 0 && timer.elapsed() < 20000);
        const bool falling = std::is_sorted(seen.rbegin(), seen.rend());
        if (read != 0 || seen.first() > 15 || seen.size() < 3 || !falling) {
            qWarning() << step << "saw" << seen;
            return false;
        }
    } else {
        qWarning() << "unknown step" << step;
        return false;
    }
    return true;
}

// What the instrument makes of the menu's calibration, schedule, capture and power writes.
void tst_TavrinInstrument::registerSequences()
{
    QFETCH(QStringList, steps);
    for (const QString &step : std::as_const(steps))
        QVERIFY2(runStep(step), qPrintable(step));
}

void tst_TavrinInstrument::periodicScheduleEnd_data()
{
    QTest::addColumn<quint32>("address"); // 0: nothing written
    QTest::addColumn<quint32>("value");
    QTest::newRow("as started") << 0u << 0u;
    QTest::newRow("start moved") << 403562u << 1700000000u;
    QTest::newRow("duration changed") << 403566u << 7200u;
}

// The periodic schedule's end follows its start and duration; at start it lies ahead, an hour
// after the next day's start.
void tst_TavrinInstrument::periodicScheduleEnd()
{
    QFETCH(quint32, address);
    QFETCH(quint32, value);
    const quint32 start = readUInt32(403562);
    QVERIFY(start > m_instrument->clockLabel());
    QCOMPARE(readUInt32(403566), 3600u);
    if (address != 0)
        QVERIFY(m_master->writeRegisters(address, ModbusBytes::fromUInt32(value)));
    QCOMPARE(readUInt32(403568), readUInt32(403562) + readUInt32(403566));
}

QTEST_GUILESS_MAIN(tst_TavrinInstrument)
#include "tst_tavrininstrument.moc"
