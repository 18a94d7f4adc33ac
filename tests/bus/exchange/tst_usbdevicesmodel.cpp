#include "fakeusbbackend.h"
#include "libusbbackend.h"
#include "usbdevicesmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

FakeUsbBackend::Device device(quint16 vendorId, quint16 productId, const QByteArray &serial,
                              bool opens = true)
{
    FakeUsbBackend::Device d;
    d.vendorId = vendorId;
    d.productId = productId;
    d.serialNumber = serial;
    d.opens = opens;
    return d;
}

// The bus most cases share: two instruments, an FTDI adapter, a device that refuses to open,
// one of a near vendor id and one with a "/" in its serial number.
std::unique_ptr<FakeUsbBackend> sampleBus()
{
    auto bus = std::make_unique<FakeUsbBackend>();
    bus->addDevice(device(0x9812, 0x4001, "1001"));
    bus->addDevice(device(0x0403, 0x6001, "FT.1"));
    bus->addDevice(device(0x9812, 0x4001, "1002", false));
    bus->addDevice(device(0x9800, 0x0001, "9800"));
    bus->addDevice(device(0x1234, 0x5678, "AB/12"));
    return bus;
}

QStringList serials(const UsbDevicesModel &model)
{
    return model.getList(false, false, true, false);
}

} // namespace

class TestUsbDevicesModel : public QObject
{
    Q_OBJECT

private slots:
    void filters_data();
    void filters();
    void stringDescriptors();
    void refreshKeepsRows();
    void equalDevicesEachARow_data();
    void equalDevicesEachARow();
    void getList_data();
    void getList();
    void tableColumns();
    void normalID();
    void realBusWithoutDevices();
};

void TestUsbDevicesModel::filters_data()
{
    QTest::addColumn<QString>("vid");
    QTest::addColumn<QString>("pid");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QStringList>("listed");

    // The device that does not open is listed with an empty serial number.
    QTest::newRow("defaults list every device")
        << "*"
        << "*"
        << "*" << QStringList{"1001", "FT.1", "", "9800", "AB/12"};
    QTest::newRow("exact vendor") << "9812"
                                  << "*"
                                  << "*" << QStringList{"1001", ""};
    QTest::newRow("vendor prefix") << "98*"
                                   << "*"
                                   << "*" << QStringList{"1001", "", "9800"};
    QTest::newRow("unanchored") << "12"
                                << "*"
                                << "*" << QStringList{"1001", "", "AB/12"};
    QTest::newRow("question mark is one character") << "98?2"
                                                    << "*"
                                                    << "*" << QStringList{"1001", ""};
    QTest::newRow("dot is only a dot") << "9.12"
                                       << "*"
                                       << "*" << QStringList{};
    QTest::newRow("product") << "*"
                             << "6001"
                             << "*" << QStringList{"FT.1"};
    QTest::newRow("serial dot literal") << "*"
                                        << "*"
                                        << "T.1" << QStringList{"FT.1"};
    QTest::newRow("serial star crosses a slash") << "*"
                                                 << "*"
                                                 << "AB*12" << QStringList{"AB/12"};
    QTest::newRow("serial case-sensitive") << "*"
                                           << "*"
                                           << "ab" << QStringList{};
    QTest::newRow("serial filter drops unopenable") << "9812"
                                                    << "*"
                                                    << "?" << QStringList{"1001"};
    QTest::newRow("empty filter matches all")
        << ""
        << ""
        << "" << QStringList{"1001", "FT.1", "", "9800", "AB/12"};
}

void TestUsbDevicesModel::filters()
{
    QFETCH(QString, vid);
    QFETCH(QString, pid);
    QFETCH(QString, serial);
    QFETCH(QStringList, listed);

    auto bus = sampleBus();
    FakeUsbBackend *fake = bus.get();
    UsbDevicesModel model(std::move(bus));
    model.setVidFilter(vid);
    model.setPidFilter(pid);
    model.setSerialNumberFilter(serial);
    model.fill();
    QCOMPARE(serials(model), listed);
    // Every device opened was closed again.
    QCOMPARE(fake->openHandles(), 0);
}

void TestUsbDevicesModel::stringDescriptors()
{
    auto bus = std::make_unique<FakeUsbBackend>();
    FakeUsbBackend::Device d = device(0x9812, 0x4001, QByteArray("\t 77\0junk", 9));
    d.manufacturer = "  Maker";
    d.product = QByteArray(); // no product string: index 0, nothing read
    bus->addDevice(d);
    bus->addDevice(device(0x9812, 0x4001, QByteArray()));
    UsbDevicesModel model(std::move(bus));
    model.fill();

    QCOMPARE(model.rowCount(), 2);
    const QModelIndex first = model.index(0, 0);
    QCOMPARE(first.data(UsbDevicesModel::ManufacturerRole).toString(), QStringLiteral("Maker"));
    QCOMPARE(first.data(UsbDevicesModel::ProductRole).toString(), QString());
    QCOMPARE(first.data(UsbDevicesModel::SerialNumberRole).toString(), QStringLiteral("77"));
    QCOMPARE(first.data(UsbDevicesModel::IProductRole).toInt(), 0);
    QCOMPARE(first.data(UsbDevicesModel::VidRole).toString(), QStringLiteral("9812"));
    QCOMPARE(first.data(UsbDevicesModel::PidRole).toString(), QStringLiteral("4001"));
    QCOMPARE(model.index(1, 0).data(UsbDevicesModel::SerialNumberRole).toString(), QString());
    QCOMPARE(model.index(1, 0).data(UsbDevicesModel::ISerialNumberRole).toInt(), 0);

    const QHash<int, QByteArray> roles = model.roleNames();
    QCOMPARE(roles.value(UsbDevicesModel::DescriptorTypeRole), QByteArray("descriptorType"));
    QCOMPARE(roles.value(UsbDevicesModel::BcdUsbRole), QByteArray("bcdUSB"));
    QCOMPARE(roles.value(UsbDevicesModel::PidRole), QByteArray("pid"));
    QCOMPARE(model.index(0, 0).data(UsbDevicesModel::PidRole + 1), QVariant());
}

void TestUsbDevicesModel::refreshKeepsRows()
{
    auto bus = std::make_unique<FakeUsbBackend>();
    FakeUsbBackend *fake = bus.get();
    for (const char *serial : {"1", "2", "3"})
        fake->addDevice(device(0x9812, 0x4001, serial));
    UsbDevicesModel model(std::move(bus));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Nothing is read before the first fill.
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(fake->scans(), 0);
    model.fill();
    QCOMPARE(serials(model), (QStringList{"1", "2", "3"}));

    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    fake->removeDevice(1);
    model.fill();
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(removed.at(0).at(2).toInt(), 1);
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(reset.size(), 0);
    QCOMPARE(serials(model), (QStringList{"1", "3"}));

    // A new device is appended; the rows that stay keep their place.
    fake->addDevice(device(0x0403, 0x6001, "4"));
    model.fill();
    QCOMPARE(removed.size(), 1);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 2);
    QCOMPARE(serials(model), (QStringList{"1", "3", "4"}));
    QCOMPARE(reset.size(), 0);
}

void TestUsbDevicesModel::equalDevicesEachARow_data()
{
    QTest::addColumn<QByteArray>("secondPort");
    QTest::newRow("same place reported") << QByteArray();
    QTest::newRow("told apart by port") << QByteArray("\x02", 1);
}

// Two instruments that cannot be opened look alike: each still has its own row (one button
// each in the connection dialog), and unplugging one removes one row.
void TestUsbDevicesModel::equalDevicesEachARow()
{
    QFETCH(QByteArray, secondPort);
    auto bus = std::make_unique<FakeUsbBackend>();
    FakeUsbBackend *fake = bus.get();
    FakeUsbBackend::Device first = device(0x9812, 0x4001, "1001", false);
    first.portPath = QByteArray("\x01", 1);
    FakeUsbBackend::Device second = first;
    if (!secondPort.isEmpty())
        second.portPath = secondPort;
    fake->addDevice(first);
    fake->addDevice(second);
    UsbDevicesModel model(std::move(bus));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.fill();
    QCOMPARE(serials(model), (QStringList{"", ""}));

    model.fill();
    QCOMPARE(model.rowCount(), 2);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    fake->removeDevice(0);
    model.fill();
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(removed.size(), 1);
    // Told apart, the row of the device that went is the one removed.
    QCOMPARE(removed.at(0).at(1).toInt(), secondPort.isEmpty() ? 1 : 0);
}

void TestUsbDevicesModel::getList_data()
{
    QTest::addColumn<bool>("manufacturer");
    QTest::addColumn<bool>("product");
    QTest::addColumn<bool>("serialNumber");
    QTest::addColumn<bool>("vidPid");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("serial numbers") << false << false << true << false << QStringList{"1001", ""};
    QTest::newRow("ids in decimal")
        << false << false << false << true << QStringList{"38930:16385", "1027:24577"};
    QTest::newRow("everything") << true << true << true << true
                                << QStringList{"Maker Meter 1001  38930:16385", "1027:24577"};
    QTest::newRow("nothing") << false << false << false << false << QStringList{"", ""};
}

void TestUsbDevicesModel::getList()
{
    QFETCH(bool, manufacturer);
    QFETCH(bool, product);
    QFETCH(bool, serialNumber);
    QFETCH(bool, vidPid);
    QFETCH(QStringList, texts);

    auto bus = std::make_unique<FakeUsbBackend>();
    FakeUsbBackend::Device instrument = device(0x9812, 0x4001, "1001");
    instrument.manufacturer = "Maker";
    instrument.product = "Meter";
    bus->addDevice(instrument);
    bus->addDevice(device(0x0403, 0x6001, QByteArray()));
    UsbDevicesModel model(std::move(bus));
    model.fill();
    QCOMPARE(model.getList(manufacturer, product, serialNumber, vidPid), texts);
}

void TestUsbDevicesModel::tableColumns()
{
    auto bus = std::make_unique<FakeUsbBackend>();
    bus->addDevice(device(0x9812, 0x4001, "1001"));
    UsbDevicesModel model(std::move(bus));
    model.fill();
    QCOMPARE(model.columnCount(), 13);
    QCOMPARE(model.index(0, 6).data(Qt::DisplayRole).toInt(), 0x9812);
    QCOMPARE(model.index(0, 7).data(Qt::DisplayRole).toInt(), 0x4001);
    QCOMPARE(model.index(0, 0).data(Qt::DisplayRole).toInt(), 1);  // descriptor type
    QCOMPARE(model.index(0, 12).data(Qt::DisplayRole).toInt(), 1); // configurations
    QCOMPARE(model.data(QModelIndex(), UsbDevicesModel::IdVendorRole), QVariant());
}

void TestUsbDevicesModel::normalID()
{
    UsbDevicesModel model(std::make_unique<FakeUsbBackend>());
    QCOMPARE(model.normalID(0x403), QStringLiteral("0403"));
    QCOMPARE(model.normalID(0x9812), QStringLiteral("9812"));
    QCOMPARE(model.normalID(0xABCD), QStringLiteral("abcd"));
}

void TestUsbDevicesModel::realBusWithoutDevices()
{
    // This machine has no USB bus: libusb finds nothing or cannot start; either way no crash.
    UsbDevicesModel model;
    model.fill();
    QVERIFY(model.rowCount() >= 0);
    model.fill();
}

QTEST_GUILESS_MAIN(TestUsbDevicesModel)
#include "tst_usbdevicesmodel.moc"
