#ifndef SIMULATEDINSTRUMENT_H
#define SIMULATEDINSTRUMENT_H

#include "archivestore.h"
#include "dorrikbus.h"
#include "modbusbytes.h"
#include "registermap.h"

#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QThread>

#include <condition_variable>
#include <functional>
#include <mutex>

class ModbusLoopbackClient;
class ModbusLoopbackServer;
class ModbusPacket;
class ModbusTranslateOptions;
class Modbuser;

// One request as the instrument saw it, before any fault was applied.
struct InstrumentRequest
{
    DorrikBus::FunctionCode function = DorrikBus::UnknownFunctionCode;
    // Registers: the logical address (3xxxxx for function 4, 4xxxxx for 3, 6 and 16).
    // Files: the first record. Archives: the label.
    quint32 address = 0;
    // Registers asked for or written; archive records or labels asked for; 0 for the report.
    int count = 0;
    quint8 unit = 0;
    // Files only.
    quint8 file = 0;
    // Archives only.
    quint16 archIndex = 0;
    DorrikBus::ArchType archType = DorrikBus::IndexArch;
    DorrikBus::ArchDirection direction = DorrikBus::Forward;
    // Writes only: the register or file bytes as sent.
    ModbusBytes bytes;
    // When the request came, in ms since the instrument was made.
    qint64 time = 0;
};

// The instrument at the far end of a loopback link, answering on its own thread through the
// library's slave side (a slave Modbuser and its translator on a ModbusLoopbackServer). The master
// end, link(), lives in that thread too, so its exchanges from another thread run there by a
// blocking call: the instrument's thread is never the caller's.
//
// It holds separate input and holding registers (a full register space, zero until set), a
// report text, file records (the sites table as file 0x80, zeros at start) and index and time
// archives (functions 65, 66 and 67, searched
// forward or backward; labels with gaps as the test adds them), logs every request, and can be
// told to misbehave: an exception
// per register address, a delay, a dropped answer, a short answer, a disconnect.
//
// Threads: the setters and readers run in the test's thread while requests are answered in the
// instrument's; the fault switches and the log sit under m_mutex, the registers in their maps.
class SimulatedInstrument : public QObject
{
    Q_OBJECT

public:
    explicit SimulatedInstrument(QObject *parent = nullptr);
    // Ends a delay under way first, so that a waiting exchange is answered at once.
    ~SimulatedInstrument() override;

    // The master end of the link, connected. It stays the instrument's.
    ModbusLoopbackClient *link() const { return m_link; }
    QThread *instrumentThread() { return &m_thread; }

    // Logical addresses: input registers from 300001, holding registers from 400001.
    void setRegisters(quint32 address, const ModbusBytes &bytes);
    ModbusBytes registers(quint32 address, int count) const;
    // Registers from `address` on holding 0, 1, 2, ... (wrapping at 65536), to tell blocks apart.
    void fillCounting(quint32 address, int count);

    // The device name that the report (function 17) carries.
    void setReportText(const QString &text);

    // File records of 2-byte registers; record numbers count registers.
    void setFile(quint8 file, const ModbusBytes &bytes);
    ModbusBytes file(quint8 file) const;

    // Requests for a register range that covers `address` get `code`, `times` times (-1: until
    // cleared). The request still goes into the log.
    void setException(quint32 address, DorrikBus::ExceptionCode code, int times = -1);
    // Likewise, but only the writes: the register still reads, as a device does that refuses a
    // command it cannot carry out now. Replaces setException's switch of the same address.
    void setWriteException(quint32 address, DorrikBus::ExceptionCode code, int times = -1);
    // Likewise every request for the file `file`.
    void setFileException(quint8 file, DorrikBus::ExceptionCode code, int times = -1);
    // Likewise the writes of the file `file` only; its reads are answered.
    void setFileWriteException(quint8 file, DorrikBus::ExceptionCode code, int times = -1);
    void clearExceptions();
    // Requests for a register range that covers `address` are carried out, but their answer is
    // lost, `times` times (-1: until cleared with clearExceptions).
    void setLostAnswers(quint32 address, int times);
    // Each answer waits this long. Changing it (to 0, say) also ends a wait under way.
    void setDelay(int ms);
    // The next `times` requests (-1: all until cleared, 0: none) get no answer.
    void setDropAnswers(int times);
    // Register and file reads answer at most `registers` registers (0: all asked for), `times`
    // times (-1: until cleared).
    void setShortAnswers(int registers, int times = -1);
    // Archive record answers carry at most `records` records (0: all asked for), `times` times
    // (-1: until cleared), as an instrument does whose records do not all fit one frame.
    void setShortArchAnswers(int records, int times = -1);
    // Archive record answers lose their last `bytes` bytes, `times` times (-1: until cleared
    // with 0), as from an instrument that cuts a record in two.
    void setCutArchAnswers(int bytes, int times = -1);
    // Archive record answers carry whole records of at most `bytes` bytes in all (at least one
    // record; 0: no limit), as the frame of a serial line holds no more.
    void setArchAnswerBytes(int bytes);
    // Records and labels of the instrument's archives; safe from any thread.
    ArchiveStore &archives() { return m_archives; }
    // An archive of the instrument's own records in the layout of `generation`: at each label
    // the encoded TavrinRecord::sample(label, seed).
    void addTavrinArchive(quint16 index, DorrikBus::ArchType type, int generation,
                          const QList<quint32> &labels, int seed = 0);

    // The next request gets no answer, and the link goes down right after it.
    void setDisconnectOnRequest(bool on);

    // The link, down and up again, now.
    void disconnectLink();
    void connectLink();
    bool linkConnected() const;

    QList<InstrumentRequest> requests() const;
    int requestCount() const;
    void clearRequests();

    // Also answers as an RTU slave on the serial port of that name (one end of a PtyLink, say),
    // beside the loopback link. False with the port's error text when it does not open.
    bool serveSerial(const QString &port, QString *error = nullptr);
    // Requests for another device address go unanswered (0: every address is answered).
    void setUnit(quint8 unit);
    // Called in the instrument's thread with each request it answers.
    void setAnswerObserver(std::function<void(const InstrumentRequest &)> observer);

protected:
    // Hooks of a derived instrument, called in the instrument's thread, never for a request that
    // a fault switch or the unit has already decided. Before the answer: the exception the request
    // gets (NoException to answer it normally). A read may bring its registers up to date here.
    virtual DorrikBus::ExceptionCode prepareAnswer(const InstrumentRequest &request);
    // After a register or file write that was answered without an exception.
    virtual void written(const InstrumentRequest &request);
    // The register maps, for a derived instrument's own registers.
    RegisterMap &inputRegisters() { return m_inputRegisters; }
    RegisterMap &holdingRegisters() { return m_holdingRegisters; }
    // Runs `work` in the instrument thread and waits for it.
    template <typename F> void runInThread(F work) const
    {
        if (QThread::currentThread() == &m_thread) {
            work();
            return;
        }
        QMetaObject::invokeMethod(m_context, work, Qt::BlockingQueuedConnection);
    }

private:
    struct Fault
    {
        DorrikBus::ExceptionCode code = DorrikBus::NoException;
        int times = -1;
        bool writesOnly = false;
    };
    // What the faults make of one request, decided under the lock.
    struct Plan
    {
        int delay = 0;
        bool drop = false;
        bool loseAnswer = false;
        bool disconnect = false;
        DorrikBus::ExceptionCode exception = DorrikBus::NoException;
        int maxRegisters = 0;
        int maxRecords = 0;
        int cutBytes = 0;
        int answerBytes = 0;
    };

    static bool consume(int &times);
    static InstrumentRequest describe(const ModbusPacket &request,
                                      const ModbusTranslateOptions &options);
    Plan plan(const InstrumentRequest &request); // m_mutex held
    bool waitDelay(int ms);

    // Instrument thread only.
    void onRequest(ModbusPacket &request, ModbusTranslateOptions &options, ModbusPacket **answer);
    void readRegisters(quint32 address, quint16 count, ModbusBytes &bytes,
                       ModbusTranslateOptions &options, bool &handled);
    void writeRegisters(quint32 address, const ModbusBytes &bytes, ModbusTranslateOptions &options,
                        bool &handled);
    void getDevName(QString &name, ModbusTranslateOptions &options, bool &handled);
    ModbusPacket *answerFile(const ModbusPacket &request, const ModbusTranslateOptions &options);
    void takeLinkDown();
    void bringLinkUp();

    QThread m_thread;
    // The instrument thread's context object: the slave side and the link are made, used and
    // deleted through it.
    QObject *m_context = nullptr;
    Modbuser *m_slave = nullptr;
    ModbusLoopbackServer *m_server = nullptr; // owned by the slave's registry
    ModbusLoopbackClient *m_link = nullptr;

    ArchiveStore m_archives;
    RegisterMap m_inputRegisters;
    RegisterMap m_holdingRegisters;

    // Instrument thread only: the request being answered, as the slave signals do not carry
    // its function or the plan.
    DorrikBus::FunctionCode m_currentFunction = DorrikBus::UnknownFunctionCode;
    int m_currentMaxRegisters = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_delayChanged;
    QString m_reportText;
    QMap<quint8, ModbusBytes> m_files;
    QMap<quint32, Fault> m_exceptions;
    QMap<quint8, Fault> m_fileExceptions;
    QMap<quint8, Fault> m_fileWriteExceptions;
    QMap<quint32, int> m_lostAnswers;
    QElapsedTimer m_clock;
    int m_delay = 0;
    int m_dropAnswers = 0;
    int m_shortRegisters = 0;
    int m_shortTimes = 0;
    int m_shortRecords = 0;
    int m_shortRecordsTimes = 0;
    int m_cutArchBytes = 0;
    int m_cutArchTimes = 0;
    int m_archAnswerBytes = 0;
    bool m_disconnectOnRequest = false;
    bool m_closing = false;
    // Raised by setDelay, so that a wait under way ends.
    quint64 m_delayGeneration = 0;
    QList<InstrumentRequest> m_requests;
    quint8 m_unit = 0;
    std::function<void(const InstrumentRequest &)> m_answerObserver;
};

#endif
