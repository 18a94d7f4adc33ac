#include "dorrikbus.h"
#include "modbusbytes.h"

#include <QMetaEnum>
#include <QTranslator>
#include <QtTest>

#include <functional>

namespace {

// Marks every text with the context it was looked up in, so a test sees which context a text
// function uses.
class ContextTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        return QStringLiteral("[%1]%2").arg(QLatin1String(context), QLatin1String(sourceText));
    }
    bool isEmpty() const override { return false; }
};

using TextFunction = std::function<QString(int)>;

TextFunction textFunction(const QString &name)
{
    static const QHash<QString, TextFunction> functions = {
        {"busTypeStr", &DorrikBus::busTypeStr},
        {"archTypeStr", &DorrikBus::archTypeStr},
        {"archDirectionStr", &DorrikBus::archDirectionStr},
        {"packetStateStr", &DorrikBus::packetStateStr},
        {"packetKindStr", &DorrikBus::packetKindStr},
        {"modbusAddressTypeStr", &DorrikBus::modbusAddressTypeStr},
        {"exceptionCodeStr", &DorrikBus::exceptionCodeStr},
        {"functionCodeStr", &DorrikBus::functionCodeStr},
    };
    return functions.value(name);
}

} // namespace

class tst_DorrikBus : public QObject
{
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
    void logicalAddress_data();
    void logicalAddress();
    void logToAbs_data();
    void logToAbs();
    void absToLog_data();
    void absToLog();
    void registerTypeOfFunction_data();
    void registerTypeOfFunction();
    void devNameFromReportBytes_data();
    void devNameFromReportBytes();
    void devNameToReportBytes_data();
    void devNameToReportBytes();
    void normalizeBinary_data();
    void normalizeBinary();
    void seenByQml_data();
    void seenByQml();
    void version();
};

void tst_DorrikBus::texts_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("context"); // empty: the text is never translated

    const auto add = [](const char *function, int value, const char *text, const char *context) {
        QTest::addRow("%s(%d)", function, value)
            << QString::fromLatin1(function) << value << QString::fromLatin1(text)
            << QString::fromLatin1(context);
    };

    add("busTypeStr", DorrikBus::ClientBus, "modbus client", "");
    add("busTypeStr", DorrikBus::ServerBus, "modbus server", "");
    add("busTypeStr", 2, "?", "");
    add("archTypeStr", DorrikBus::IndexArch, "index archive", "");
    add("archTypeStr", DorrikBus::TimeArch, "time archive", "");
    add("archTypeStr", -1, "?", "");
    add("archDirectionStr", DorrikBus::Forward, "forward", "");
    add("archDirectionStr", DorrikBus::Backward, "backward", "");
    add("archDirectionStr", 2, "?", "");
    add("packetStateStr", DorrikBus::Request, "request", "");
    add("packetStateStr", DorrikBus::Response, "response", "");
    add("packetStateStr", 2, "?", "");
    add("packetKindStr", DorrikBus::RegistersPacket, "registers packet", "");
    add("packetKindStr", DorrikBus::ArchPacket, "archive packet", "");
    add("packetKindStr", DorrikBus::ReportPacket, "report slave packet", "");
    add("packetKindStr", DorrikBus::ArchPresencePacket, "?", "");
    add("packetKindStr", DorrikBus::FilePacket, "?", "");
    add("modbusAddressTypeStr", DorrikBus::DiscreteInputs, "discrete inputs", "QObject");
    add("modbusAddressTypeStr", DorrikBus::Coils, "coils", "QObject");
    add("modbusAddressTypeStr", DorrikBus::InputRegisters, "input registers", "QObject");
    add("modbusAddressTypeStr", DorrikBus::HoldingRegisters, "holding registers", "QObject");
    add("modbusAddressTypeStr", 4, "?", "");

    add("exceptionCodeStr", 0, "no exceptions", "DorrikBus");
    add("exceptionCodeStr", 1, "illegal function", "DorrikBus");
    add("exceptionCodeStr", 2, "illegal data address", "DorrikBus");
    add("exceptionCodeStr", 3, "illegal data value", "DorrikBus");
    add("exceptionCodeStr", 4, "slave device failure", "DorrikBus");
    add("exceptionCodeStr", 5, "acknowledge", "DorrikBus");
    add("exceptionCodeStr", 6, "slave device busy", "DorrikBus");
    add("exceptionCodeStr", 7, "?", "");
    add("exceptionCodeStr", 8, "memory parity error", "DorrikBus");
    add("exceptionCodeStr", 9, "?", "");
    add("exceptionCodeStr", 10, "gateway path unavailable", "DorrikBus");
    add("exceptionCodeStr", 11, "gateway target device failed to respond", "DorrikBus");
    add("exceptionCodeStr", 12, "?", "");

    add("functionCodeStr", 0, "unknown function code", "QObject");
    add("functionCodeStr", 1, "read coils", "QObject");
    add("functionCodeStr", 2, "read discrete inputs", "QObject");
    add("functionCodeStr", 3, "read holding registers", "QObject");
    add("functionCodeStr", 4, "read input registers", "QObject");
    add("functionCodeStr", 5, "write single coil", "QObject");
    add("functionCodeStr", 6, "write single register", "QObject");
    add("functionCodeStr", 7, "read exception status", "QObject");
    add("functionCodeStr", 8, "diagnostics", "QObject");
    add("functionCodeStr", 9, "?", "");
    add("functionCodeStr", 11, "get COM event counter", "QObject");
    add("functionCodeStr", 12, "get COM event log", "QObject");
    add("functionCodeStr", 15, "write multiple coils", "QObject");
    add("functionCodeStr", 16, "write multiple registers", "QObject");
    add("functionCodeStr", 17, "report salve ID", "QObject");
    add("functionCodeStr", 20, "read file record", "QObject");
    add("functionCodeStr", 21, "write file record", "QObject");
    add("functionCodeStr", 22, "mask write register", "QObject");
    add("functionCodeStr", 23, "read/write multiple registers", "QObject");
    add("functionCodeStr", 24, "read FIFO queue", "QObject");
    add("functionCodeStr", 43, "read device identification", "QObject");
    add("functionCodeStr", 65, "read arch record (65)", "QObject");
    add("functionCodeStr", 66, "read arch records presence", "QObject");
    add("functionCodeStr", 67, "read arch record (67)", "QObject");
    add("functionCodeStr", 68, "?", "");
    add("functionCodeStr", 69, "?", "");
    add("functionCodeStr", 0x83, "?", "");
}

void tst_DorrikBus::texts()
{
    QFETCH(QString, function);
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(QString, context);

    const TextFunction textOf = textFunction(function);
    QVERIFY(textOf);
    QCOMPARE(textOf(value), text);

    ContextTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const QString translated = textOf(value);
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(translated, context.isEmpty() ? text : QStringLiteral("[%1]%2").arg(context, text));
}

void tst_DorrikBus::logicalAddress_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<DorrikBus::ModbusAddressType>("addressType");
    QTest::addColumn<DorrikBus::RegisterType>("registerType");
    QTest::addColumn<DorrikBus::FunctionCode>("readFunction");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<bool>("readOnly");

    const auto coils = DorrikBus::Coils;
    const auto discrete = DorrikBus::DiscreteInputs;
    const auto input = DorrikBus::InputRegisters;
    const auto holding = DorrikBus::HoldingRegisters;
    const auto inputReg = DorrikBus::InputRegister;
    const auto holdingReg = DorrikBus::HoldingRegister;
    const auto fc3 = DorrikBus::ReadHoldingRegisters;
    const auto fc4 = DorrikBus::ReadInputRegisters;

    QTest::newRow("0") << 0u << coils << holdingReg << fc3 << 1 << false;
    QTest::newRow("1") << 1u << coils << holdingReg << fc3 << 1 << false;
    QTest::newRow("100000, last coil") << 100000u << coils << holdingReg << fc3 << 1 << false;
    QTest::newRow("100001, first discrete input")
        << 100001u << discrete << holdingReg << fc3 << 1 << true;
    QTest::newRow("250000") << 250000u << discrete << holdingReg << fc3 << 1 << true;
    QTest::newRow("299999") << 299999u << discrete << holdingReg << fc3 << 1 << true;
    // The two classifications disagree at 300000 and 400000.
    QTest::newRow("300000") << 300000u << discrete << inputReg << fc4 << 1 << true;
    QTest::newRow("300001, first input register")
        << 300001u << input << inputReg << fc4 << 2 << true;
    QTest::newRow("300533") << 300533u << input << inputReg << fc4 << 2 << true;
    QTest::newRow("399999") << 399999u << input << inputReg << fc4 << 2 << true;
    QTest::newRow("400000") << 400000u << input << holdingReg << fc3 << 2 << true;
    QTest::newRow("400001, first holding register")
        << 400001u << holding << holdingReg << fc3 << 2 << false;
    QTest::newRow("465536") << 465536u << holding << holdingReg << fc3 << 2 << false;
    QTest::newRow("0xFFFFFFFF") << 0xFFFFFFFFu << holding << holdingReg << fc3 << 2 << false;
}

void tst_DorrikBus::logicalAddress()
{
    QFETCH(quint32, address);
    QFETCH(DorrikBus::ModbusAddressType, addressType);
    QFETCH(DorrikBus::RegisterType, registerType);
    QFETCH(DorrikBus::FunctionCode, readFunction);
    QFETCH(int, bytes);
    QFETCH(bool, readOnly);

    QCOMPARE(DorrikBus::getAddressType(address), addressType);
    QCOMPARE(DorrikBus::getRegisterType(address), registerType);
    QCOMPARE(DorrikBus::isHolding(address), registerType == DorrikBus::HoldingRegister);
    QCOMPARE(DorrikBus::isInput(address), registerType == DorrikBus::InputRegister);
    QCOMPARE(DorrikBus::getReadRegFunctionCode(address), readFunction);
    QCOMPARE(DorrikBus::getBytesInAddress(address), bytes);
    QCOMPARE(DorrikBus::isReadOnly(address), readOnly);
}

void tst_DorrikBus::logToAbs_data()
{
    QTest::addColumn<quint32>("logical");
    QTest::addColumn<quint32>("wire");

    QTest::newRow("40, a coil") << 40u << 0u;
    QTest::newRow("100000") << 100000u << 0u;
    QTest::newRow("100001") << 100001u << 0x20000u;
    QTest::newRow("200000") << 200000u << 0x20000u + 99999u;
    QTest::newRow("200001") << 200001u << 0x30000u;
    QTest::newRow("300000") << 300000u << 0x30000u + 99999u;
    QTest::newRow("300001") << 300001u << 0x50000u;
    QTest::newRow("300533") << 300533u << 0x50214u;
    QTest::newRow("400000") << 400000u << 0x50000u + 99999u;
    QTest::newRow("400001") << 400001u << 0x60000u;
    QTest::newRow("400010") << 400010u << 0x60009u;
    QTest::newRow("465536") << 465536u << 0x6FFFFu;
}

void tst_DorrikBus::logToAbs()
{
    QFETCH(quint32, logical);
    QFETCH(quint32, wire);
    QCOMPARE(DorrikBus::logToAbs(logical), wire);
}

void tst_DorrikBus::absToLog_data()
{
    QTest::addColumn<quint16>("address");
    QTest::addColumn<DorrikBus::RegisterType>("type");
    QTest::addColumn<quint32>("logical");

    QTest::newRow("input 0") << quint16(0) << DorrikBus::InputRegister << 300001u;
    QTest::newRow("input 9") << quint16(9) << DorrikBus::InputRegister << 300010u;
    QTest::newRow("input 65535") << quint16(65535) << DorrikBus::InputRegister << 365536u;
    QTest::newRow("holding 0") << quint16(0) << DorrikBus::HoldingRegister << 400001u;
    QTest::newRow("holding 9") << quint16(9) << DorrikBus::HoldingRegister << 400010u;
    QTest::newRow("holding 65535") << quint16(65535) << DorrikBus::HoldingRegister << 465536u;
}

void tst_DorrikBus::absToLog()
{
    QFETCH(quint16, address);
    QFETCH(DorrikBus::RegisterType, type);
    QFETCH(quint32, logical);

    QCOMPARE(DorrikBus::absToLog(address, type), logical);
    // Back to the wire: the low 16 bits are the address again.
    QCOMPARE(quint16(DorrikBus::logToAbs(logical)), address);
}

void tst_DorrikBus::registerTypeOfFunction_data()
{
    QTest::addColumn<DorrikBus::FunctionCode>("function");
    QTest::addColumn<DorrikBus::RegisterType>("type");
    QTest::addColumn<quint32>("logicalOfZero");

    const auto holding = DorrikBus::HoldingRegister;
    const auto input = DorrikBus::InputRegister;
    QTest::newRow("3") << DorrikBus::ReadHoldingRegisters << holding << 400001u;
    QTest::newRow("6") << DorrikBus::WriteSingleRegister << holding << 400001u;
    QTest::newRow("16") << DorrikBus::WriteMultipleRegisters << holding << 400001u;
    QTest::newRow("4") << DorrikBus::ReadInputRegisters << input << 300001u;
    QTest::newRow("1") << DorrikBus::ReadCoils << input << 300001u;
    QTest::newRow("17") << DorrikBus::ReportSlaveId << input << 300001u;
    QTest::newRow("65") << DorrikBus::ReadArchRecord65 << input << 300001u;
}

void tst_DorrikBus::registerTypeOfFunction()
{
    QFETCH(DorrikBus::FunctionCode, function);
    QFETCH(DorrikBus::RegisterType, type);
    QFETCH(quint32, logicalOfZero);

    QCOMPARE(DorrikBus::getRegisterType(function), type);
    QCOMPARE(DorrikBus::absToLog(quint16(0), function), logicalOfZero);
}

void tst_DorrikBus::devNameFromReportBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");

    QTest::newRow("name, zero, more") << QByteArray("TV7\0\x01\x02", 6) << "TV7";
    QTest::newRow("name, zero at the end") << QByteArray("TV7\0", 4) << "TV7";
    QTest::newRow("no zero byte") << QByteArray("TV7") << "";
    QTest::newRow("zero first") << QByteArray("\0TV7\0", 5) << "";
    QTest::newRow("empty") << QByteArray() << "";
    QTest::newRow("latin-1 byte") << QByteArray("\xC4"
                                                "B\0",
                                                3)
                                  << QString::fromUtf8("\u00C4B");
}

void tst_DorrikBus::devNameFromReportBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QCOMPARE(DorrikBus::getDevNameFromReportBytes(ModbusBytes(bytes)), name);
}

void tst_DorrikBus::devNameToReportBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("result");

    QTest::newRow("10 bytes keep their size")
        << QByteArray(10, '\xFF') << "abc" << QByteArray("abc\0\xFF\xFF\xFF\xFF\xFF\xFF", 10);
    QTest::newRow("2 bytes grow") << QByteArray("\x01\x02") << "abc" << QByteArray("abc\0", 4);
    QTest::newRow("as long as the name") << QByteArray("xyz") << "abc" << QByteArray("abc\0", 4);
    QTest::newRow("one longer") << QByteArray("wxyz") << "abc" << QByteArray("abc\0", 4);
    QTest::newRow("empty bytes") << QByteArray() << "ab" << QByteArray("ab\0", 3);
    QTest::newRow("empty name") << QByteArray("xyz") << "" << QByteArray("\0yz", 3);
    QTest::newRow("empty both") << QByteArray() << "" << QByteArray(1, '\0');
}

void tst_DorrikBus::devNameToReportBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QFETCH(QByteArray, result);

    const ModbusBytes original(bytes);
    const ModbusBytes written = DorrikBus::setDevNameToReportBytes(original, name);
    QCOMPARE(QByteArray(written), result);
    QCOMPARE(QByteArray(original), bytes);
    QCOMPARE(DorrikBus::getDevNameFromReportBytes(written), name);
}

void tst_DorrikBus::normalizeBinary_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("result");

    QTest::newRow("101 to 8") << "101" << 8 << "00000101";
    QTest::newRow("exactly long") << "1010" << 4 << "1010";
    QTest::newRow("longer stays") << "110011" << 4 << "110011";
    QTest::newRow("empty") << "" << 3 << "000";
    QTest::newRow("length 0") << "1" << 0 << "1";
}

void tst_DorrikBus::normalizeBinary()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QFETCH(QString, result);

    QCOMPARE(DorrikBus::normalizeBinary(text, length), result);

    // QML calls it through the meta-object.
    DorrikBus bus;
    QString invoked;
    QVERIFY(QMetaObject::invokeMethod(&bus, "normalizeBinary", Q_RETURN_ARG(QString, invoked),
                                      Q_ARG(QString, text), Q_ARG(int, length)));
    QCOMPARE(invoked, result);
}

void tst_DorrikBus::seenByQml_data()
{
    QTest::addColumn<QByteArray>("enumName");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("value");

    QTest::newRow("BusType") << QByteArray("BusType") << QByteArray("ServerBus") << 1;
    QTest::newRow("ArchType") << QByteArray("ArchType") << QByteArray("TimeArch") << 1;
    QTest::newRow("ArchDirection") << QByteArray("ArchDirection") << QByteArray("Backward") << 1;
    QTest::newRow("ArchFunc") << QByteArray("ArchFunc") << QByteArray("Func67") << 67;
    QTest::newRow("ArchInterval") << QByteArray("ArchInterval") << QByteArray("Quarter") << 7;
}

void tst_DorrikBus::seenByQml()
{
    QFETCH(QByteArray, enumName);
    QFETCH(QByteArray, key);
    QFETCH(int, value);

    const QMetaObject &meta = DorrikBus::staticMetaObject;
    const int index = meta.indexOfEnumerator(enumName.constData());
    QVERIFY(index >= 0);
    bool ok = false;
    QCOMPARE(meta.enumerator(index).keyToValue(key.constData(), &ok), value);
    QVERIFY(ok);
}

void tst_DorrikBus::version()
{
    QCOMPARE(DorrikBus::version(), QStringLiteral("1.1.6505"));
}

QTEST_GUILESS_MAIN(tst_DorrikBus)
#include "tst_dorrikbus.moc"
