#include "simulatedinstrument.h"

#include "modbuser.h"
#include "modbusloopbackclient.h"
#include "modbusloopbackserver.h"
#include "modbuspacketarch.h"
#include "modbuspacketarchpresence.h"
#include "modbuspacketfile.h"
#include "modbuspacketreg.h"
#include "modbusserialserver.h"
#include "modbustranslateoptions.h"
#include "siterecords.h"
#include "tavrinrecords.h"

#include <chrono>

SimulatedInstrument::SimulatedInstrument(QObject *parent) : QObject(parent)
{
    m_files.insert(SiteRecords::File, ModbusBytes::fromSize(SiteRecords::TableSize, 0));
    m_clock.start();
    m_thread.setObjectName(QStringLiteral("Simulated instrument thread"));
    m_thread.start();
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    runInThread([this] {
        m_slave = new Modbuser(m_context);
        m_server = new ModbusLoopbackServer;
        m_slave->translator().addTransport(*m_server, true, true);
        // The hook answers every request itself: it must see the function code first (the
        // slave signals merge functions 3 and 4 and leave out the file functions) and decide
        // on the faults before the request API's slave side answers.
        disconnect(&m_slave->translator(), &ModbusTranslator::packetRequestReceived, m_slave,
                   &Modbuser::onPacketRequestReceived);
        connect(
            &m_slave->translator(), &ModbusTranslator::packetRequestReceived, m_context,
            [this](ModbusPacket &request, ModbusTranslateOptions &options, ModbusPacket **answer) {
                onRequest(request, options, answer);
            },
            Qt::DirectConnection);
        connect(
            m_slave, &Modbuser::onReadRegisters, m_context,
            [this](quint32 address, quint16 count, ModbusBytes &bytes,
                   ModbusTranslateOptions &options,
                   bool &handled) { readRegisters(address, count, bytes, options, handled); },
            Qt::DirectConnection);
        connect(
            m_slave, &Modbuser::onWriteRegisters, m_context,
            [this](quint32 address, const ModbusBytes &bytes, ModbusTranslateOptions &options,
                   bool &handled) { writeRegisters(address, bytes, options, handled); },
            Qt::DirectConnection);
        connect(
            m_slave, &Modbuser::onGetDevName, m_context,
            [this](QString &name, ModbusTranslateOptions &options, bool &handled) {
                getDevName(name, options, handled);
            },
            Qt::DirectConnection);
        m_archives.serve(*m_slave);
        m_link = new ModbusLoopbackClient(*m_server, m_context);
        bringLinkUp();
    });
}

SimulatedInstrument::~SimulatedInstrument()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closing = true;
    }
    m_delayChanged.notify_all();
    runInThread([this] {
        delete m_link;
        m_link = nullptr;
        delete m_slave;
        m_slave = nullptr;
        m_server = nullptr;
        delete m_context;
        m_context = nullptr;
    });
    m_thread.quit();
    m_thread.wait();
}

void SimulatedInstrument::setRegisters(quint32 address, const ModbusBytes &bytes)
{
    if (DorrikBus::getAddressType(address) == DorrikBus::InputRegisters)
        m_inputRegisters.setRegisters(address, bytes);
    else
        m_holdingRegisters.setRegisters(address, bytes);
}

ModbusBytes SimulatedInstrument::registers(quint32 address, int count) const
{
    if (DorrikBus::getAddressType(address) == DorrikBus::InputRegisters)
        return m_inputRegisters.registers(address, count);
    return m_holdingRegisters.registers(address, count);
}

void SimulatedInstrument::fillCounting(quint32 address, int count)
{
    ModbusBytes bytes;
    for (int i = 0; i < count; ++i)
        bytes.appendReg(quint16(i));
    setRegisters(address, bytes);
}

void SimulatedInstrument::setReportText(const QString &text)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_reportText = text;
}

void SimulatedInstrument::setFile(quint8 file, const ModbusBytes &bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_files.insert(file, bytes);
}

void SimulatedInstrument::addTavrinArchive(quint16 index, DorrikBus::ArchType type, int generation,
                                           const QList<quint32> &labels, int seed)
{
    m_archives.addArchive(index, type);
    for (quint32 label : labels)
        m_archives.addRecord(index, label,
                             encodeTavrinRecord(TavrinRecord::sample(label, seed), generation));
}

ModbusBytes SimulatedInstrument::file(quint8 file) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_files.value(file);
}

void SimulatedInstrument::setException(quint32 address, DorrikBus::ExceptionCode code, int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exceptions.insert(address, Fault{code, times});
}

void SimulatedInstrument::setWriteException(quint32 address, DorrikBus::ExceptionCode code,
                                            int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exceptions.insert(address, Fault{code, times, true});
}

void SimulatedInstrument::setFileException(quint8 file, DorrikBus::ExceptionCode code, int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fileExceptions.insert(file, Fault{code, times});
}

void SimulatedInstrument::setFileWriteException(quint8 file, DorrikBus::ExceptionCode code,
                                                int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fileWriteExceptions.insert(file, Fault{code, times});
}

void SimulatedInstrument::clearExceptions()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_exceptions.clear();
    m_fileExceptions.clear();
    m_fileWriteExceptions.clear();
    m_lostAnswers.clear();
}

void SimulatedInstrument::setLostAnswers(quint32 address, int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_lostAnswers.insert(address, times);
}

void SimulatedInstrument::setDelay(int ms)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_delay = ms;
        ++m_delayGeneration;
    }
    m_delayChanged.notify_all();
}

void SimulatedInstrument::setDropAnswers(int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_dropAnswers = times;
}

void SimulatedInstrument::setShortAnswers(int registers, int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shortRegisters = registers;
    m_shortTimes = times;
}

void SimulatedInstrument::setCutArchAnswers(int bytes, int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cutArchBytes = bytes;
    m_cutArchTimes = times;
}

void SimulatedInstrument::setArchAnswerBytes(int bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_archAnswerBytes = bytes;
}

void SimulatedInstrument::setShortArchAnswers(int records, int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_shortRecords = records;
    m_shortRecordsTimes = times;
}

void SimulatedInstrument::setDisconnectOnRequest(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_disconnectOnRequest = on;
}

void SimulatedInstrument::disconnectLink()
{
    runInThread([this] { takeLinkDown(); });
}

void SimulatedInstrument::connectLink()
{
    runInThread([this] { bringLinkUp(); });
}

bool SimulatedInstrument::linkConnected() const
{
    return m_link && m_link->connected();
}

QList<InstrumentRequest> SimulatedInstrument::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int SimulatedInstrument::requestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_requests.size());
}

void SimulatedInstrument::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

DorrikBus::ExceptionCode SimulatedInstrument::prepareAnswer(const InstrumentRequest &)
{
    return DorrikBus::NoException;
}

void SimulatedInstrument::written(const InstrumentRequest &) {}

bool SimulatedInstrument::consume(int &times)
{
    if (times == 0)
        return false;
    if (times > 0)
        --times;
    return true;
}

InstrumentRequest SimulatedInstrument::describe(const ModbusPacket &request,
                                                const ModbusTranslateOptions &options)
{
    InstrumentRequest entry;
    entry.function = request.functionCode();
    entry.unit = options.requestAddress();
    switch (entry.function) {
    case DorrikBus::ReadHoldingRegisters:
    case DorrikBus::ReadInputRegisters:
    case DorrikBus::WriteSingleRegister:
    case DorrikBus::WriteMultipleRegisters: {
        const auto &reg = static_cast<const ModbusPacketReg &>(request);
        entry.address = DorrikBus::absToLog(reg.requestAddress(), entry.function);
        if (entry.function == DorrikBus::ReadHoldingRegisters ||
            entry.function == DorrikBus::ReadInputRegisters) {
            entry.count = reg.requestRegistersCount();
        } else {
            entry.count = reg.registersCount();
            entry.bytes = reg.regBytes();
        }
        break;
    }
    case DorrikBus::ReadFile:
    case DorrikBus::WriteFile: {
        const auto &fileRequest = static_cast<const ModbusPacketFile &>(request);
        entry.file = fileRequest.requestFile;
        entry.address = fileRequest.requestOffset;
        entry.count = entry.function == DorrikBus::ReadFile ? fileRequest.requestRegistersCount
                                                            : fileRequest.bytes.regsCount();
        if (entry.function == DorrikBus::WriteFile)
            entry.bytes = fileRequest.bytes;
        break;
    }
    case DorrikBus::ReadArchRecord65:
    case DorrikBus::ReadArchRecord67: {
        const auto &arch = static_cast<const ModbusPacketArch &>(request);
        entry.archIndex = arch.archIndex();
        entry.archType = arch.archType();
        entry.address = arch.requestLabel();
        entry.count = arch.requestRecordsCount();
        entry.direction = arch.direction();
        break;
    }
    case DorrikBus::ReadArchRecordsPresence: {
        const auto &presence = static_cast<const ModbusPacketArchPresence &>(request);
        entry.archIndex = presence.archIndex();
        entry.archType = presence.archType();
        entry.address = presence.requestLabel();
        entry.count = presence.requestLabelsCount();
        entry.direction = presence.direction();
        break;
    }
    default:
        break;
    }
    return entry;
}

SimulatedInstrument::Plan SimulatedInstrument::plan(const InstrumentRequest &request)
{
    Plan plan;
    plan.delay = m_delay;
    if (m_disconnectOnRequest) {
        m_disconnectOnRequest = false;
        plan.disconnect = true;
        return plan;
    }
    if (consume(m_dropAnswers)) {
        plan.drop = true;
        return plan;
    }
    const bool registerRequest = request.address > 300000;
    const bool fileRequest =
        request.function == DorrikBus::ReadFile || request.function == DorrikBus::WriteFile;
    if (fileRequest) {
        const auto fault = m_fileExceptions.find(request.file);
        if (fault != m_fileExceptions.end() && consume(fault->times))
            plan.exception = fault->code;
        const auto writeFault = m_fileWriteExceptions.find(request.file);
        if (plan.exception == DorrikBus::NoException && request.function == DorrikBus::WriteFile &&
            writeFault != m_fileWriteExceptions.end() && consume(writeFault->times))
            plan.exception = writeFault->code;
    }
    if (registerRequest && !fileRequest) {
        const bool registerWrite = request.function == DorrikBus::WriteSingleRegister ||
                                   request.function == DorrikBus::WriteMultipleRegisters;
        const auto covers = [&](quint32 address) {
            return address >= request.address &&
                   address < request.address + quint32(qMax(request.count, 1));
        };
        for (auto fault = m_exceptions.begin(); fault != m_exceptions.end(); ++fault) {
            if (fault->writesOnly && !registerWrite)
                continue;
            if (covers(fault.key()) && consume(fault->times)) {
                plan.exception = fault->code;
                break;
            }
        }
        for (auto lost = m_lostAnswers.begin(); lost != m_lostAnswers.end(); ++lost) {
            if (covers(lost.key()) && consume(lost.value())) {
                plan.loseAnswer = true;
                break;
            }
        }
    }
    const bool read = request.function == DorrikBus::ReadHoldingRegisters ||
                      request.function == DorrikBus::ReadInputRegisters ||
                      request.function == DorrikBus::ReadFile;
    if (read && m_shortRegisters > 0 && consume(m_shortTimes))
        plan.maxRegisters = m_shortRegisters;
    const bool records = request.function == DorrikBus::ReadArchRecord65 ||
                         request.function == DorrikBus::ReadArchRecord67;
    if (records && m_shortRecords > 0 && request.count > m_shortRecords &&
        consume(m_shortRecordsTimes))
        plan.maxRecords = m_shortRecords;
    if (records && m_cutArchBytes > 0 && consume(m_cutArchTimes))
        plan.cutBytes = m_cutArchBytes;
    if (records)
        plan.answerBytes = m_archAnswerBytes;
    return plan;
}

bool SimulatedInstrument::waitDelay(int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const quint64 generation = m_delayGeneration;
    m_delayChanged.wait_for(lock, std::chrono::milliseconds(ms),
                            [&] { return m_closing || m_delayGeneration != generation; });
    return !m_closing;
}

void SimulatedInstrument::onRequest(ModbusPacket &request, ModbusTranslateOptions &options,
                                    ModbusPacket **answer)
{
    if (request.state() != DorrikBus::Request || !answer || *answer)
        return;
    InstrumentRequest entry = describe(request, options);
    entry.time = m_clock.elapsed();
    Plan planned;
    std::function<void(const InstrumentRequest &)> observer;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.append(entry);
        planned = plan(entry);
        if (m_unit != 0 && entry.unit != m_unit)
            planned.drop = true;
        observer = m_answerObserver;
    }
    if (planned.delay > 0 && !waitDelay(planned.delay))
        return;
    if (planned.disconnect) {
        // After the exchange: the link must not go down under its own running exchange.
        QMetaObject::invokeMethod(
            m_context, [this] { takeLinkDown(); }, Qt::QueuedConnection);
        return;
    }
    if (planned.drop)
        return;
    if (observer)
        observer(entry);
    if (planned.exception == DorrikBus::NoException)
        planned.exception = prepareAnswer(entry);
    if (planned.exception != DorrikBus::NoException)
        options.setAnswerExceptionCode(planned.exception);
    const bool write = entry.function == DorrikBus::WriteSingleRegister ||
                       entry.function == DorrikBus::WriteMultipleRegisters ||
                       entry.function == DorrikBus::WriteFile;

    if (entry.function == DorrikBus::ReadFile || entry.function == DorrikBus::WriteFile) {
        m_currentMaxRegisters = planned.maxRegisters;
        *answer = answerFile(request, options);
        if (write && *answer && !(*answer)->hasException())
            written(entry);
        return;
    }
    // A short archive answer: the records of a smaller request from the same label.
    if (planned.maxRecords > 0)
        static_cast<ModbusPacketArch &>(request).setRequestRecordsCount(
            quint16(planned.maxRecords));
    m_currentFunction = entry.function;
    m_currentMaxRegisters = planned.maxRegisters;
    m_slave->onPacketRequestReceived(request, options, answer);
    m_currentFunction = DorrikBus::UnknownFunctionCode;
    if (write && *answer && !(*answer)->hasException())
        written(entry);
    if (planned.answerBytes > 0 && *answer && !(*answer)->hasException()) {
        if (auto *records = dynamic_cast<ModbusPacketArch *>(*answer)) {
            QList<ModbusBytes> kept;
            int size = 0;
            for (const ModbusBytes &record : records->records()) {
                size += int(record.size());
                if (!kept.isEmpty() && size > planned.answerBytes)
                    break;
                kept.append(record);
            }
            records->setRecords(kept);
        }
    }
    if (planned.cutBytes > 0 && *answer && !(*answer)->hasException()) {
        if (auto *records = dynamic_cast<ModbusPacketArch *>(*answer)) {
            ModbusBytes joined = ModbusBytes::fromList(records->records());
            joined.resize(int(qMax<qsizetype>(0, joined.size() - planned.cutBytes)));
            records->setRecords({joined});
        }
    }
    if (planned.loseAnswer && *answer) {
        delete *answer;
        *answer = nullptr;
    }
}

void SimulatedInstrument::readRegisters(quint32 address, quint16 count, ModbusBytes &bytes,
                                        ModbusTranslateOptions &options, bool &handled)
{
    handled = true;
    if (options.answerExceptionCode() != DorrikBus::NoException)
        return;
    // The slave side hands every read over in the holding range.
    const quint32 offset = address - 400001;
    const int answered =
        m_currentMaxRegisters > 0 ? qMin<int>(count, m_currentMaxRegisters) : count;
    if (m_currentFunction == DorrikBus::ReadInputRegisters)
        bytes = m_inputRegisters.registers(300001 + offset, answered);
    else
        bytes = m_holdingRegisters.registers(address, answered);
}

void SimulatedInstrument::writeRegisters(quint32 address, const ModbusBytes &bytes,
                                         ModbusTranslateOptions &options, bool &handled)
{
    handled = true;
    if (options.answerExceptionCode() != DorrikBus::NoException)
        return;
    m_holdingRegisters.setRegisters(address, bytes);
}

void SimulatedInstrument::getDevName(QString &name, ModbusTranslateOptions &options, bool &handled)
{
    handled = true;
    if (options.answerExceptionCode() != DorrikBus::NoException)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    name = m_reportText;
}

ModbusPacket *SimulatedInstrument::answerFile(const ModbusPacket &request,
                                              const ModbusTranslateOptions &options)
{
    const auto &fileRequest = static_cast<const ModbusPacketFile &>(request);
    auto *reply = new ModbusPacketFile;
    reply->setFunctionCode(request.functionCode());
    reply->setState(DorrikBus::Response);
    reply->setAddress(options.requestAddress());
    reply->requestFile = fileRequest.requestFile;
    reply->requestOffset = fileRequest.requestOffset;
    if (options.answerExceptionCode() != DorrikBus::NoException) {
        reply->setExceptionCode(options.answerExceptionCode());
        return reply;
    }

    std::lock_guard<std::mutex> lock(m_mutex);
    const bool read = request.functionCode() == DorrikBus::ReadFile;
    int registers = read ? fileRequest.requestRegistersCount : fileRequest.bytes.regsCount();
    if (read && m_currentMaxRegisters > 0)
        registers = qMin(registers, m_currentMaxRegisters);
    const int start = 2 * fileRequest.requestOffset;
    const auto file = m_files.find(fileRequest.requestFile);
    if (file == m_files.end() || start + 2 * registers > file->size()) {
        reply->setExceptionCode(DorrikBus::IllegalDataAddress);
        return reply;
    }
    if (read) {
        reply->bytes = ModbusBytes::fromOther(*file, start, 2 * registers);
    } else {
        file->setBytes(fileRequest.bytes, start);
        reply->registersWritten = quint8(registers);
    }
    return reply;
}

void SimulatedInstrument::takeLinkDown()
{
    // The link follows its server down and forgets it.
    m_server->disconnectTransport();
}

void SimulatedInstrument::bringLinkUp()
{
    m_server->connectTransport(false);
    m_link->setServer(m_server);
    m_link->connectTransport(false);
}

bool SimulatedInstrument::serveSerial(const QString &port, QString *error)
{
    bool opened = false;
    runInThread([&] {
        auto *server = new ModbusSerialServer(port);
        m_slave->translator().addTransport(*server, true, true);
        opened = server->connectTransport(false);
        if (!opened && error)
            *error = server->errorString();
    });
    return opened;
}

void SimulatedInstrument::setUnit(quint8 unit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unit = unit;
}

void SimulatedInstrument::setAnswerObserver(std::function<void(const InstrumentRequest &)> observer)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answerObserver = std::move(observer);
}
