#include "registermap.h"

#include "modbuser.h"
#include "modbuspacketfile.h"
#include "modbustranslateoptions.h"

RegisterMap::RegisterMap(QObject *parent) : QObject(parent) {}

void RegisterMap::addRegisters(quint32 first, int count, quint16 fill)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < count; ++i)
        m_registers.insert(first + quint32(i), fill);
}

void RegisterMap::setRegisters(quint32 first, const ModbusBytes &bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < bytes.regsCount(); ++i)
        m_registers.insert(first + quint32(i), bytes.toReg(2 * i));
}

ModbusBytes RegisterMap::registers(quint32 first, int count) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ModbusBytes bytes;
    for (int i = 0; i < count; ++i)
        bytes.appendReg(m_registers.value(first + quint32(i)));
    return bytes;
}

void RegisterMap::setDeviceName(const QString &name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deviceName = name;
}

void RegisterMap::setFile(quint8 file, const ModbusBytes &bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files.insert(file, bytes);
}

ModbusBytes RegisterMap::file(quint8 file) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files.value(file);
}

bool RegisterMap::holds(quint32 first, int count) const
{
    for (int i = 0; i < count; ++i) {
        if (!m_registers.contains(first + quint32(i)))
            return false;
    }
    return count > 0;
}

void RegisterMap::serve(Modbuser &slave)
{
    connect(&slave, &Modbuser::onReadRegisters, this, &RegisterMap::readRegisters,
            Qt::DirectConnection);
    connect(&slave, &Modbuser::onWriteRegisters, this, &RegisterMap::writeRegisters,
            Qt::DirectConnection);
    connect(&slave, &Modbuser::onGetDevName, this, &RegisterMap::getDevName, Qt::DirectConnection);
    connect(&slave.translator(), &ModbusTranslator::packetRequestReceived, this,
            &RegisterMap::answerFile, Qt::DirectConnection);
}

void RegisterMap::readRegisters(quint32 address, quint16 count, ModbusBytes &bytes,
                                ModbusTranslateOptions &options, bool &handled)
{
    if (handled)
        return;
    handled = true;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!holds(address, count)) {
        options.setAnswerExceptionCode(DorrikBus::IllegalDataAddress);
        return;
    }
    for (int i = 0; i < count; ++i)
        bytes.appendReg(m_registers.value(address + quint32(i)));
}

void RegisterMap::writeRegisters(quint32 address, const ModbusBytes &bytes,
                                 ModbusTranslateOptions &options, bool &handled)
{
    if (handled)
        return;
    handled = true;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!holds(address, bytes.regsCount())) {
        options.setAnswerExceptionCode(DorrikBus::IllegalDataAddress);
        return;
    }
    for (int i = 0; i < bytes.regsCount(); ++i)
        m_registers.insert(address + quint32(i), bytes.toReg(2 * i));
}

void RegisterMap::getDevName(QString &name, ModbusTranslateOptions &, bool &handled)
{
    if (handled)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_deviceName.isEmpty())
        return;
    name = m_deviceName;
    handled = true;
}

void RegisterMap::answerFile(ModbusPacket &request, ModbusTranslateOptions &options,
                             ModbusPacket **answer)
{
    const DorrikBus::FunctionCode function = request.functionCode();
    if (!answer || *answer || request.state() != DorrikBus::Request ||
        (function != DorrikBus::ReadFile && function != DorrikBus::WriteFile))
        return;
    const auto &fileRequest = static_cast<const ModbusPacketFile &>(request);
    auto *reply = new ModbusPacketFile;
    reply->setFunctionCode(function);
    reply->setState(DorrikBus::Response);
    reply->setAddress(options.requestAddress());
    reply->requestFile = fileRequest.requestFile;
    reply->requestOffset = fileRequest.requestOffset;
    *answer = reply;

    std::lock_guard<std::mutex> lock(m_mutex);
    const int start = 2 * fileRequest.requestOffset;
    const int size = function == DorrikBus::ReadFile ? 2 * fileRequest.requestRegistersCount
                                                     : int(fileRequest.bytes.size());
    const auto file = m_files.find(fileRequest.requestFile);
    if (file == m_files.end() || start + size > file->size()) {
        reply->setExceptionCode(DorrikBus::IllegalDataAddress);
        return;
    }
    if (function == DorrikBus::ReadFile) {
        reply->bytes = ModbusBytes::fromOther(*file, start, size);
    } else {
        file->setBytes(fileRequest.bytes, start);
        reply->registersWritten = quint8(fileRequest.bytes.regsCount());
    }
}
