#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "siterecords.h"
#include "tavrininstrument.h"

#include <QtTest>

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

private:
    quint32 readUInt32(quint32 address);
    quint16 readUInt16(quint32 address);

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
    QTest::newRow("signal capture over USB")
        << 400126u << QByteArray("0001") << 400126u << QByteArray("0000");
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

    m_instrument->archives().addRecord(1, 1, ModbusBytes::fromUInt32(7));
    m_instrument->archives().addRecord(0x101, 1, ModbusBytes::fromUInt32(7));
    m_instrument->archives().addRecord(0, 1, ModbusBytes::fromUInt32(7));
    QVERIFY(m_master->writeUInt(400023, 0xAA550001));
    QCOMPARE(m_instrument->archives().recordCount(1), 0);
    QCOMPARE(m_instrument->archives().recordCount(0x101), 0);
    QCOMPARE(m_instrument->archives().recordCount(0), 1);
    // Without the key nothing is erased.
    QVERIFY(m_master->writeUInt(400023, 0x00000000));
    QCOMPARE(m_instrument->archives().recordCount(0), 1);
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

QTEST_GUILESS_MAIN(tst_TavrinInstrument)
#include "tst_tavrininstrument.moc"
