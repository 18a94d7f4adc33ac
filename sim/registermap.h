#ifndef REGISTERMAP_H
#define REGISTERMAP_H

#include "modbusbytes.h"

#include <QMap>
#include <QObject>
#include <QString>

#include <mutex>

class Modbuser;
class ModbusPacket;
class ModbusTranslateOptions;

// A slave's registers, device name and file records, answering through a Modbuser's slave
// side. Registers exist only where they were added; a read or write that touches any other
// register is answered with exception 2 (illegal data address), as a device would.
//
// The slave handlers run on the server link's thread (a serial server's port thread) while the
// test reads the map on its own: every member is guarded by m_mutex.
class RegisterMap : public QObject
{
    Q_OBJECT

public:
    explicit RegisterMap(QObject *parent = nullptr);

    // Registers at logical addresses (the slave side sees 4xxxxx for functions 3 and 4 alike).
    void addRegisters(quint32 first, int count, quint16 fill = 0);
    void setRegisters(quint32 first, const ModbusBytes &bytes);
    ModbusBytes registers(quint32 first, int count) const;

    // Without a name the report request is left unhandled.
    void setDeviceName(const QString &name);

    // File records of 2-byte registers; offsets and counts are in registers.
    void setFile(quint8 file, const ModbusBytes &bytes);
    ModbusBytes file(quint8 file) const;

    // Connects directly to the slave's signals, and to its translator for the file functions,
    // which the request API's slave side does not dispatch. Handlers skip a request that an
    // earlier handler has already taken.
    void serve(Modbuser &slave);

private:
    bool holds(quint32 first, int count) const; // m_mutex held
    void readRegisters(quint32 address, quint16 count, ModbusBytes &bytes,
                       ModbusTranslateOptions &options, bool &handled);
    void writeRegisters(quint32 address, const ModbusBytes &bytes, ModbusTranslateOptions &options,
                        bool &handled);
    void getDevName(QString &name, ModbusTranslateOptions &options, bool &handled);
    void answerFile(ModbusPacket &request, ModbusTranslateOptions &options, ModbusPacket **answer);

    mutable std::mutex m_mutex;
    QMap<quint32, quint16> m_registers;
    QString m_deviceName;
    QMap<quint8, ModbusBytes> m_files;
};

#endif
