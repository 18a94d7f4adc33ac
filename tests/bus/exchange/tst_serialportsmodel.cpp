#include "ptypair.h"
#include "serialportsmodel.h"

#include <QAbstractItemModelTester>
#include <QSerialPort>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Hands the model the ports a test sets up instead of the computer's.
class ListedPorts : public SerialPortEnumerator
{
public:
    QList<Port> list;
    QList<Port> ports() const override { return list; }
};

SerialPortEnumerator::Port ptyPort(const PtyPair &pty, const QString &vid = QString(),
                                   const QString &pid = QString())
{
    SerialPortEnumerator::Port port;
    port.name = pty.portName().section(QLatin1Char('/'), -1);
    port.systemLocation = pty.portName();
    port.description = QStringLiteral("pseudo-terminal");
    port.manufacturer = QStringLiteral("kernel");
    port.vendorIdentifier = vid;
    port.productIdentifier = pid;
    port.isNull = false;
    return port;
}

} // namespace

class TestSerialPortsModel : public QObject
{
    Q_OBJECT

private slots:
    void init() { SerialPortsModel::setEnumerator(&m_ports); }
    void cleanup()
    {
        SerialPortsModel::setEnumerator(nullptr);
        m_ports.list.clear();
    }

    void rolesAndHeaders();
    void busyPort();
    void fillResetsAndLists();
    void noPorts();
    void computersPorts();

private:
    ListedPorts m_ports;
};

void TestSerialPortsModel::rolesAndHeaders()
{
    PtyPair pty;
    QVERIFY2(pty.isValid(), qPrintable(pty.errorString()));
    m_ports.list = {ptyPort(pty, QStringLiteral("0403"), QStringLiteral("6001"))};
    SerialPortsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 7);
    const QModelIndex row = model.index(0, 3);
    QCOMPARE(model.rowCount(row), 0);
    QCOMPARE(model.columnCount(row), 0);

    const QHash<int, QByteArray> names = model.roleNames();
    const QList<QPair<QByteArray, QVariant>> expected = {
        {"name", pty.portName().section(QLatin1Char('/'), -1)},
        {"systemLocation", pty.portName()},
        {"description", QStringLiteral("pseudo-terminal")},
        {"manufacturer", QStringLiteral("kernel")},
        {"vendorIdentifier", QStringLiteral("0403")},
        {"productIdentifier", QStringLiteral("6001")},
        {"isBusy", false},
        {"isNull", false},
        {"isValid", true},
    };
    for (int role = 0; role < expected.size(); ++role) {
        QCOMPARE(names.value(role), expected.at(role).first);
        // Every column shows the same port.
        QCOMPARE(row.data(role), expected.at(role).second);
    }
    QCOMPARE(row.data(9), QVariant());
    QCOMPARE(model.data(model.index(1, 0), 0), QVariant());

    const QStringList headers = {"name",      "location",   "description", "manufacturer",
                                 "vendor ID", "product ID", "busy"};
    for (int section = 0; section < headers.size(); ++section)
        QCOMPARE(model.headerData(section, Qt::Horizontal).toString(), headers.at(section));
    QCOMPARE(model.headerData(7, Qt::Horizontal), QVariant());
    QCOMPARE(model.headerData(0, Qt::Vertical), QVariant());
    QCOMPARE(model.headerData(0, Qt::Horizontal, Qt::ToolTipRole), QVariant());
}

void TestSerialPortsModel::busyPort()
{
    PtyPair held;
    PtyPair free;
    QVERIFY(held.isValid() && free.isValid());
    QSerialPort other;
    other.setPortName(held.portName());
    QVERIFY2(other.open(QIODevice::ReadWrite), qPrintable(other.errorString()));
    m_ports.list = {ptyPort(held), ptyPort(free)};

    SerialPortsModel model;
    QCOMPARE(model.index(0, 0).data(SerialPortsModel::IsBusyRole).toBool(), true);
    QCOMPARE(model.index(1, 0).data(SerialPortsModel::IsBusyRole).toBool(), false);
    // Reading the list leaves the free port closed: another program can open it.
    QSerialPort after;
    after.setPortName(free.portName());
    QVERIFY2(after.open(QIODevice::ReadWrite), qPrintable(after.errorString()));
    after.close();

    other.close();
    model.fill();
    QCOMPARE(model.index(0, 0).data(SerialPortsModel::IsBusyRole).toBool(), false);
}

void TestSerialPortsModel::fillResetsAndLists()
{
    PtyPair first;
    PtyPair plugged;
    QVERIFY(first.isValid() && plugged.isValid());
    m_ports.list = {ptyPort(first)};
    SerialPortsModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 1);

    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    m_ports.list.append(ptyPort(plugged));
    QCOMPARE(model.rowCount(), 1); // nothing changes before a refresh
    model.fill();
    QCOMPARE(reset.size(), 1);
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(1, 0).data(SerialPortsModel::SystemLocationRole).toString(),
             plugged.portName());
    QCOMPARE(SerialPortsModel::getNewList(),
             (QStringList{ptyPort(first).name, ptyPort(plugged).name}));
}

void TestSerialPortsModel::noPorts()
{
    SerialPortsModel model;
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(SerialPortsModel::getNewList(), QStringList());

    // A record without a description: null and not valid, identifiers empty.
    SerialPortEnumerator::Port bare;
    bare.name = QStringLiteral("ttyX");
    m_ports.list = {bare};
    model.fill();
    QCOMPARE(model.index(0, 0).data(SerialPortsModel::IsNullRole).toBool(), true);
    QCOMPARE(model.index(0, 0).data(SerialPortsModel::IsValidRole).toBool(), false);
    QCOMPARE(model.index(0, 0).data(SerialPortsModel::VendorIdentifierRole).toString(), QString());
    QCOMPARE(model.index(0, 0).data(SerialPortsModel::IsBusyRole).toBool(), false);
}

void TestSerialPortsModel::computersPorts()
{
    // Whatever this machine has: the model and the name list agree.
    SerialPortsModel::setEnumerator(nullptr);
    SerialPortsModel model;
    const QStringList names = SerialPortsModel::getNewList();
    QCOMPARE(model.rowCount(), names.size());
    for (int row = 0; row < names.size(); ++row)
        QCOMPARE(model.index(row, 0).data(SerialPortsModel::NameRole).toString(), names.at(row));
}

QTEST_GUILESS_MAIN(TestSerialPortsModel)
#include "tst_serialportsmodel.moc"
