#include "modbusclient.h"
#include "modbusfile.h"
#include "modbusloopbackclient.h"
#include "modbustaskfile.h"
#include "simulatedinstrument.h"

#include <QtTest>

#include <memory>

using Requests = QList<QPair<quint32, int>>;
Q_DECLARE_METATYPE(Requests)

namespace {

ModbusBytes hex(const char *text)
{
    return ModbusBytes::fromHex(text);
}

// Bytes 0x00, 0x01, 0x02, ... (wrapping), to tell records apart.
ModbusBytes counting(int size, int first = 0)
{
    ModbusBytes bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(quint8(first + i));
    return bytes;
}

const quint8 FileNumber = 3;
// Registers in the instrument's file.
const int FileRegisters = 300;

} // namespace

// The file item: its records read and written over the instrument's functions 68 and 69 in
// blocks, its text, and which results it takes.
class tst_ModbusFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readInBlocks_data();
    void readInBlocks();
    void writeInBlocks_data();
    void writeInBlocks();
    void resultsOfAnotherRange();
    void oddLengthIsPaddedInFront();
    void valueText();
    void tasksTakeTheSettingsOfTheirTime();

private:
    Requests fileRequests(DorrikBus::FunctionCode function) const;
    std::unique_ptr<ModbusFile> newItem(quint16 offset, int length, int blockSize);

    std::unique_ptr<SimulatedInstrument> m_instrument;
    std::unique_ptr<ModbusClient> m_client;
};

void tst_ModbusFile::init()
{
    m_instrument = std::make_unique<SimulatedInstrument>();
    m_instrument->setFile(FileNumber, counting(2 * FileRegisters));
    m_client = std::make_unique<ModbusClient>();
    m_client->setTransport(m_instrument->link());
    QVERIFY(m_client->connected());
}

void tst_ModbusFile::cleanup()
{
    m_client.reset();
    m_instrument.reset();
}

Requests tst_ModbusFile::fileRequests(DorrikBus::FunctionCode function) const
{
    Requests requests;
    const QList<InstrumentRequest> log = m_instrument->requests();
    for (const InstrumentRequest &request : log) {
        if (request.function == function && request.file == FileNumber)
            requests.append({request.address, request.count});
    }
    return requests;
}

std::unique_ptr<ModbusFile> tst_ModbusFile::newItem(quint16 offset, int length, int blockSize)
{
    auto item = std::make_unique<ModbusFile>();
    item->setFile(FileNumber);
    item->setOffset(offset);
    item->setLength(length);
    item->setModbusBlockSize(blockSize);
    item->setClient(m_client.get());
    return item;
}

void tst_ModbusFile::readInBlocks_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<Requests>("requests");

    QTest::newRow("one request") << 0 << 20 << 0 << Requests{{0, 10}};
    QTest::newRow("blocks of 8") << 4 << 40 << 8 << Requests{{4, 8}, {12, 8}, {20, 4}};
    QTest::newRow("odd length, blocks of 3") << 2 << 7 << 3 << Requests{{2, 3}, {5, 1}};
    QTest::newRow("whole block size") << 10 << 32 << 16 << Requests{{10, 16}};
    QTest::newRow("block size 0: 122 registers") << 0 << 250 << 0 << Requests{{0, 122}, {122, 3}};
    QTest::newRow("block size 200: 122 registers")
        << 1 << 246 << 200 << Requests{{1, 122}, {123, 1}};
}

void tst_ModbusFile::readInBlocks()
{
    QFETCH(int, offset);
    QFETCH(int, length);
    QFETCH(int, blockSize);
    QFETCH(Requests, requests);

    std::unique_ptr<ModbusFile> item = newItem(quint16(offset), length, blockSize);
    QSignalSpy valueChanged(item.get(), &ModbusFile::valueChanged);
    QVERIFY(item->read());
    QTRY_COMPARE(item->readCount(), quint64(1));
    QCOMPARE(fileRequests(DorrikBus::ReadFile), requests);
    // Whole registers: an odd length reads one byte more.
    const int size = length + length % 2;
    QCOMPARE(item->bytes(), counting(size, 2 * offset));
    QCOMPARE(item->value(), QString::fromLatin1(counting(size, 2 * offset).toHex()));
    QCOMPARE(valueChanged.size(), 1);
}

void tst_ModbusFile::writeInBlocks_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("blockSize");
    QTest::addColumn<Requests>("requests");

    QTest::newRow("one request") << 0 << 20 << 0 << Requests{{0, 10}};
    QTest::newRow("blocks of 8") << 4 << 40 << 8 << Requests{{4, 8}, {12, 8}, {20, 4}};
    QTest::newRow("blocks of 1") << 7 << 6 << 1 << Requests{{7, 1}, {8, 1}, {9, 1}};
    QTest::newRow("odd length, zero byte in front") << 2 << 5 << 0 << Requests{{2, 3}};
    QTest::newRow("block size 0: 122 registers") << 0 << 250 << 0 << Requests{{0, 122}, {122, 3}};
}

void tst_ModbusFile::writeInBlocks()
{
    QFETCH(int, offset);
    QFETCH(int, length);
    QFETCH(int, blockSize);
    QFETCH(Requests, requests);

    std::unique_ptr<ModbusFile> item = newItem(quint16(offset), length, blockSize);
    const ModbusBytes records = counting(length, 0x80);
    item->setValue(QString::fromLatin1(records.toHex()));
    QVERIFY(item->write());
    QTRY_COMPARE(item->writeCount(), quint64(1));
    QCOMPARE(fileRequests(DorrikBus::WriteFile), requests);

    ModbusBytes expected = counting(2 * FileRegisters);
    expected.setBytes(records.alignedToWord(false), 2 * offset);
    QCOMPARE(m_instrument->file(FileNumber), expected);
    // A write is not read back into the item.
    QCOMPARE(item->bytes(), records);
}

void tst_ModbusFile::resultsOfAnotherRange()
{
    std::unique_ptr<ModbusFile> item = newItem(4, 4, 0);
    item->setValue(QStringLiteral("01020304"));
    std::unique_ptr<ModbusTask> read(item->createModbusTask(DorrikBus::ReadTask, 0));
    std::unique_ptr<ModbusTask> write(item->createModbusTask(DorrikBus::WriteTask, 0));
    for (ModbusTask *task : {read.get(), write.get()}) {
        task->setBytes(ModbusBytesArray(hex("aabbccdd"), 0, -1));
        task->setState(DorrikBus::GoodState);
    }

    item->setOffset(6);
    QVERIFY(!item->taskCompleted(read.get()));
    QCOMPARE(item->bytes(), hex("01020304"));
    QVERIFY(item->taskCompleted(write.get()));
    QCOMPARE(item->writeCount(), quint64(1));

    // Back on the range the read was made for, it is taken.
    item->setOffset(4);
    QVERIFY(item->taskCompleted(read.get()));
    QCOMPARE(item->value(), QStringLiteral("aabbccdd"));

    // Other file, other length: refused too.
    item->setFile(FileNumber + 1);
    QVERIFY(!item->checkValidResultTask(read.get()));
    item->setFile(FileNumber);
    item->setLength(6);
    QVERIFY(!item->checkValidResultTask(read.get()));
}

void tst_ModbusFile::oddLengthIsPaddedInFront()
{
    ModbusFile item;
    QSignalSpy lengthChanged(&item, &ModbusFile::lengthChanged);
    item.setLength(5);
    item.setLength(-1);
    QCOMPARE(item.length(), 5);
    QCOMPARE(lengthChanged.size(), 1);
    QCOMPARE(item.requestItemModbusBytesCount(), 6);
    const ModbusBytesArray elements(hex("0102030405"), 0, -1);
    QCOMPARE(item.getModbusBytes(elements).toModbusBytes(), hex("000102030405"));

    item.setLength(0);
    QCOMPARE(item.requestItemModbusBytesCount(), 0);
}

void tst_ModbusFile::valueText()
{
    ModbusFile item;
    QSignalSpy valueChanged(&item, &ModbusFile::valueChanged);
    QSignalSpy formatValueChanged(&item, &ModbusItemBase::formatValueChanged);
    item.setFormatValue(QStringLiteral("0A:Bc-zz 1f"));
    QCOMPARE(item.bytes(), hex("0abc1f"));
    QCOMPARE(item.value(), QStringLiteral("0abc1f"));
    QCOMPARE(item.formatValue(), QStringLiteral("0abc1f"));
    // No comparison of the text: the same text again is stored and announced again.
    item.setValue(QStringLiteral("0abc1f"));
    QCOMPARE(valueChanged.size(), 2);
    QCOMPARE(formatValueChanged.size(), 2);
    QCOMPARE(item.getTypedValue(hex("ff00")).toString(), QStringLiteral("ff00"));
}

void tst_ModbusFile::tasksTakeTheSettingsOfTheirTime()
{
    std::unique_ptr<ModbusFile> item = newItem(10, 8, 2);
    std::unique_ptr<ModbusTask> task(item->createModbusTask(DorrikBus::ReadTask, 250));
    item->setModbusBlockSize(5);
    item->setOffset(12);
    auto *fileTask = dynamic_cast<ModbusTaskFile *>(task.get());
    QVERIFY(fileTask);
    QCOMPARE(fileTask->file(), FileNumber);
    QCOMPARE(fileTask->offset(), quint16(10));
    QCOMPARE(fileTask->length(), 8);
    QCOMPARE(fileTask->modbusBlockSize(), 2);
    QCOMPARE(fileTask->interval(), 250);
    QCOMPARE(fileTask->requestBytesCount(), 8);
}

QTEST_GUILESS_MAIN(tst_ModbusFile)
#include "tst_modbusfile.moc"
