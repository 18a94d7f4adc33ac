#ifndef MODBUSER_H
#define MODBUSER_H

#include "dorrikbus.h"
#include "dorrikbus_global.h"
#include "errobject.h"
#include "modbusbytes.h"
#include "modbusbytesarray.h"
#include "modbuspacket.h"
#include "modbustarget.h"
#include "modbustranslateoptions.h"
#include "modbustranslator.h"
#include "modbustransport.h"
#include "modbustransporter.h"
#include "qdorrikobject.h"

#include <QDateTime>
#include <QHostAddress>
#include <QList>
#include <QString>

#include <memory>

class ModbusC55Client;
class ModbusLibusbClient;
class ModbusPacketReg;
class ModbusParseInfo;
class ModbusTFtpClient;
class ModbusTFtpServer;
class ModbusTcpClient;
class ModbusTcpServer;

// The synchronous Modbus request API. As a master, each call is one request through the own
// translator on the calling thread: true on success, values through out-parameters, failures as
// the error text. As a slave, requests that a server link of the registry receives are offered
// to the on... signals; a handler fills the reference arguments and sets `handled`, so it must
// be connected directly.
//
// Addresses are logical (Modicon): input registers 300001.., holding registers 400001...
// Coils and discrete inputs are not spoken at all (functions 1, 2, 5 and 15 are not supported):
// such addresses, writes to input registers and offsets beyond 16 bits are refused before
// anything is sent.
//
// No lock of its own: calls on one object must not overlap.
class DORRIKBUS_EXPORT Modbuser : public ErrObject, public QDorrikObject
{
    Q_OBJECT

public:
    explicit Modbuser(QObject *parent = nullptr);
    ~Modbuser() override;

    QString toString(bool oneLine = false) const override;

    quint8 deviceAddress() const { return m_deviceAddress; }
    void setDeviceAddress(quint8 address) { m_deviceAddress = address; }

    // The translator that turns this object's packets into bytes; through it a server link is
    // added with its codecs (addTransport) for the slave side.
    ModbusTranslator &translator() { return m_translator; }

    ModbusTransporter &transporter() const;
    void setTransporter(ModbusTransporter &registry);
    ModbusTransport *clientTransport() const;
    // Also binds the link's own parser and deparser to the translator.
    void setClientTransport(ModbusTransport *transport);
    ModbusTransport *getTransport(ModbusTarget *target) const;
    bool connectTransports();
    bool disconnectTransports();

    // Link factories: each makes a link of one kind, adds it with its own codecs to the registry,
    // which owns it from then on, and returns it.
    ModbusTcpClient *addModbusTcpClient(const QHostAddress &address, int port);
    ModbusTcpServer *addModbusTcpServer(const QHostAddress &address, int port);
    ModbusTFtpClient *addModbusTFtpClient(const QHostAddress &address, int port);
    ModbusTFtpServer *addModbusTFtpServer(const QHostAddress &address, int port);
    ModbusLibusbClient *addModbusLibusbClient();
    ModbusC55Client *addModbusC55Client();

    // Register reads.
    bool readRegisters(quint32 address, quint16 count, ModbusBytes &bytes,
                       const ModbusTarget *target = nullptr);
    bool readRegisters(quint32 address, quint16 count, ModbusBytesArray &registers,
                       const ModbusTarget *target = nullptr);
    bool readRegister(quint32 address, ModbusBytesArray &registers,
                      const ModbusTarget *target = nullptr);
    bool readRegister(quint32 address, quint16 &value, const ModbusTarget *target = nullptr);
    bool readRegister(quint32 address, ModbusBytes &value, const ModbusTarget *target = nullptr);
    bool readUInt16(quint32 address, quint16 &value, const ModbusTarget *target = nullptr);
    bool readInt16(quint32 address, qint16 &value, const ModbusTarget *target = nullptr);
    bool readUInt32(quint32 address, quint32 &value, const ModbusTarget *target = nullptr);
    bool readInt32(quint32 address, qint32 &value, const ModbusTarget *target = nullptr);
    bool readFloat(quint32 address, float &value, const ModbusTarget *target = nullptr);
    bool readUInt64(quint32 address, quint64 &value, const ModbusTarget *target = nullptr);
    bool readInt64(quint32 address, qint64 &value, const ModbusTarget *target = nullptr);
    bool readDouble(quint32 address, double &value, const ModbusTarget *target = nullptr);
    bool readDoubleStruct(quint32 address, double &value, const ModbusTarget *target = nullptr);
    // One character per register, from its low byte.
    bool readString(quint32 address, quint16 count, QString &text,
                    const ModbusTarget *target = nullptr);
    bool readHoldingRegister(quint16 absolute, quint16 &value,
                             const ModbusTarget *target = nullptr);
    bool readInputRegister(quint16 absolute, quint16 &value, const ModbusTarget *target = nullptr);

    // Register writes: function 16, or 6 for writeRegister and what is built on it.
    bool writeRegisters(quint32 address, const ModbusBytes &data,
                        const ModbusTarget *target = nullptr);
    bool writeRegister(quint32 address, quint16 value, const ModbusTarget *target = nullptr);
    bool writeUInt16(quint32 address, quint16 value, const ModbusTarget *target = nullptr);
    bool writeInt16(quint32 address, qint16 value, const ModbusTarget *target = nullptr);
    bool writeUInt8(quint32 address, quint8 value, const ModbusTarget *target = nullptr);
    bool writeInt8(quint32 address, qint8 value, const ModbusTarget *target = nullptr);
    bool writeUInt(quint32 address, quint32 value, const ModbusTarget *target = nullptr);
    bool writeInt(quint32 address, qint32 value, const ModbusTarget *target = nullptr);
    bool writeUInt64(quint32 address, const quint64 &value, const ModbusTarget *target = nullptr);
    bool writeInt64(quint32 address, const qint64 &value, const ModbusTarget *target = nullptr);
    bool writeFloat(quint32 address, float value, const ModbusTarget *target = nullptr);
    bool writeDouble(quint32 address, double value, const ModbusTarget *target = nullptr);
    bool writeDoubleStruct(quint32 address, double value, const ModbusTarget *target = nullptr);
    bool writeStringUtf8(quint32 address, const QString &text,
                         const ModbusTarget *target = nullptr);
    bool writeStringAnsi(quint32 address, const QString &text, bool oneCharPerRegister,
                         const ModbusTarget *target = nullptr);
    bool writeStringAnsi(quint32 address, const char *text, bool oneCharPerRegister,
                         const ModbusTarget *target = nullptr);

    // Device report (function 17).
    bool getReport(ModbusBytes &report, const ModbusTarget *target = nullptr);
    bool getDevName(QString &name, const ModbusTarget *target = nullptr);

    // File records (functions 68 and 69); the offset and count are in registers.
    bool readFile(quint8 file, quint16 offset, quint8 count, ModbusBytes &bytes,
                  const ModbusTarget *target = nullptr);
    bool writeFile(quint8 file, quint16 offset, const ModbusBytes &data,
                   const ModbusTarget *target = nullptr);

    // Archive presence and labels (function 66).
    bool readArchPresence(quint16 arch, quint32 label, DorrikBus::ArchType type,
                          ModbusBytes &labels, DorrikBus::ArchDirection direction, quint16 count,
                          const ModbusTarget *target = nullptr);
    bool readArchPresence(quint16 arch, quint32 label, DorrikBus::ArchType type,
                          ModbusBytesArray &labels, DorrikBus::ArchDirection direction,
                          quint16 count, const ModbusTarget *target = nullptr);
    bool readIndexArchLabels(quint16 arch, quint32 start, quint16 count, QList<quint32> &labels,
                             bool forward, const ModbusTarget *target = nullptr);
    bool readTimeArchLabels(quint16 arch, const QDateTime &start, quint16 count,
                            QList<QDateTime> &labels, bool forward,
                            const ModbusTarget *target = nullptr);
    bool getNearestLabel(quint16 arch, DorrikBus::ArchType type, quint32 start, quint32 &label,
                         DorrikBus::ArchDirection direction, bool *found = nullptr,
                         const ModbusTarget *target = nullptr);
    bool getFirstLabel(quint16 arch, DorrikBus::ArchType type, quint32 &label,
                       bool *found = nullptr, const ModbusTarget *target = nullptr);
    bool getLastLabel(quint16 arch, DorrikBus::ArchType type, quint32 &label, bool *found = nullptr,
                      const ModbusTarget *target = nullptr);
    bool getFirstIndexLabel(quint16 arch, quint32 &label, bool *found = nullptr,
                            const ModbusTarget *target = nullptr);
    bool getLastIndexLabel(quint16 arch, quint32 &label, bool *found = nullptr,
                           const ModbusTarget *target = nullptr);
    bool getFirstTimeLabel(quint16 arch, QDateTime &label, bool *found = nullptr,
                           const ModbusTarget *target = nullptr);
    bool getLastTimeLabel(quint16 arch, QDateTime &label, bool *found = nullptr,
                          const ModbusTarget *target = nullptr);

    // Archive records (functions 65 and 67).
    bool readArchRecords65(quint16 arch, quint32 label, quint16 count, QList<ModbusBytes> &records,
                           DorrikBus::ArchType type, const ModbusTarget *target = nullptr);
    bool readArchRecords67(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                           quint16 count, QList<ModbusBytes> &records, DorrikBus::ArchType type,
                           const ModbusTarget *target = nullptr);
    bool readArchRecord65(quint16 arch, quint32 label, ModbusBytes &record,
                          DorrikBus::ArchType type, const ModbusTarget *target = nullptr);
    bool readArchRecord67(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                          ModbusBytes &record, DorrikBus::ArchType type,
                          const ModbusTarget *target = nullptr);
    // Up to `count` records from `label`; both return the number of records received, 0 on
    // failure. An answer does not say where one record ends: with a `recordSize` it is cut into
    // records of that size, and one that is not a whole number of them, or holds more than were
    // asked for, fails. Without one it is cut into `count` equal records, which only a request
    // for one record can be sure of (an instrument may send fewer than asked for).
    int readArchRecords(quint16 arch, quint32 label, DorrikBus::ArchFunc func,
                        DorrikBus::ArchType type, ModbusBytes &records,
                        DorrikBus::ArchDirection direction, quint16 count,
                        const ModbusTarget *target = nullptr, int recordSize = 0);
    int readArchRecords(quint16 arch, quint32 label, DorrikBus::ArchFunc func,
                        DorrikBus::ArchType type, ModbusBytesArray &records,
                        DorrikBus::ArchDirection direction, quint16 count,
                        const ModbusTarget *target = nullptr, int recordSize = 0);

    bool readIndexArchRecords(quint16 arch, quint32 label, quint16 count,
                              QList<ModbusBytes> &records, const ModbusTarget *target = nullptr);
    bool readTimeArchRecords(quint16 arch, const QDateTime &label, quint16 count,
                             QList<ModbusBytes> &records, const ModbusTarget *target = nullptr);
    bool readIndexArchRecords(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                              quint16 count, QList<ModbusBytes> &records,
                              const ModbusTarget *target = nullptr);
    bool readTimeArchRecords(quint16 arch, const QDateTime &label,
                             DorrikBus::ArchDirection direction, quint16 count,
                             QList<ModbusBytes> &records, const ModbusTarget *target = nullptr);
    bool readIndexArchRecord(quint16 arch, quint32 label, ModbusBytes &record,
                             const ModbusTarget *target = nullptr);
    bool readTimeArchRecord(quint16 arch, const QDateTime &label, ModbusBytes &record,
                            const ModbusTarget *target = nullptr);
    bool readIndexArchRecord(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                             ModbusBytes &record, const ModbusTarget *target = nullptr);
    bool readTimeArchRecord(quint16 arch, const QDateTime &label,
                            DorrikBus::ArchDirection direction, ModbusBytes &record,
                            const ModbusTarget *target = nullptr);

signals:
    // Slave side. Each ends in the request's options (a handler may set the answer's exception
    // code there) and the handled flag, false on entry.
    void onGetDevName(QString &name, ModbusTranslateOptions &options, bool &handled);
    void onReadRegisters(quint32 address, quint16 count, ModbusBytes &bytes,
                         ModbusTranslateOptions &options, bool &handled);
    void onWriteRegisters(quint32 address, const ModbusBytes &bytes,
                          ModbusTranslateOptions &options, bool &handled);
    void onReadArchRecords(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                           quint16 count, QList<ModbusBytes> &records,
                           ModbusTranslateOptions &options, bool &handled,
                           DorrikBus::ArchType type);
    void onReadTimeArchRecords(quint16 arch, const QDateTime &label,
                               DorrikBus::ArchDirection direction, quint16 count,
                               QList<ModbusBytes> &records, ModbusTranslateOptions &options,
                               bool &handled);
    void onReadIndexArchRecords(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                                quint16 count, QList<ModbusBytes> &records,
                                ModbusTranslateOptions &options, bool &handled);
    void onReadArchPresence(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                            quint16 count, QList<quint32> &labels, ModbusTranslateOptions &options,
                            bool &handled, DorrikBus::ArchType type);
    void onReadTimeArchPresence(quint16 arch, const QDateTime &label,
                                DorrikBus::ArchDirection direction, quint16 count,
                                QList<QDateTime> &labels, ModbusTranslateOptions &options,
                                bool &handled);
    void onReadIndexArchPresence(quint16 arch, quint32 label, DorrikBus::ArchDirection direction,
                                 quint16 count, QList<quint32> &labels,
                                 ModbusTranslateOptions &options, bool &handled);

public slots:
    // Runs inside the translator's emission, on the server link's thread. Without an answer
    // place the request is dropped: a handler must not change state for an answer nobody sends.
    void onPacketRequestReceived(ModbusPacket &request, ModbusTranslateOptions &options,
                                 ModbusPacket **answer = nullptr);

private:
    enum class Access { Read, Write };

    // The request offset of a logical address, or false with the refusal text.
    bool requestOffset(quint32 address, Access access, quint16 &offset);
    // One exchange: the answer when it is of the request's class, else null (the translator
    // has reported its own failures).
    template <typename P>
    std::unique_ptr<P> exchange(ModbusPacket &request, const ModbusTarget *target);
    template <typename P>
    std::unique_ptr<P> exchange(ModbusPacket &request, ModbusParseInfo &info,
                                const ModbusTarget *target);
    // The answer is cut into `pieces` equal records (-1: as many as asked for).
    bool readArchRecordsPacket(quint16 arch, quint32 label, DorrikBus::FunctionCode function,
                               DorrikBus::ArchDirection direction, quint16 count,
                               DorrikBus::ArchType type, QList<ModbusBytes> &records,
                               const ModbusTarget *target, int pieces = -1);
    void reportException(const ModbusPacket &answer, bool oneLine);

    // Whether a register request keeps the protocol's quantity and byte count limits.
    static bool withinProtocolLimits(const ModbusPacketReg &request);
    static ModbusBytes paddedToRegisters(ModbusBytes text);
    ModbusPacket *answerRegisters(ModbusPacket &request, ModbusTranslateOptions &options,
                                  bool &handled);
    ModbusPacket *answerReport(ModbusTranslateOptions &options, bool &handled);
    ModbusPacket *answerArchRecords(ModbusPacket &request, ModbusTranslateOptions &options,
                                    bool &handled);
    ModbusPacket *answerArchPresence(ModbusPacket &request, ModbusTranslateOptions &options,
                                     bool &handled);

    ModbusTranslator m_translator;
    const bool m_singleWrite = true;
    quint8 m_deviceAddress = 1;
};

#endif
