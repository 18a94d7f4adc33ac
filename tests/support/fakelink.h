#ifndef FAKELINK_H
#define FAKELINK_H

#include "modbustarget.h"
#include "modbustransport.h"

#include <QElapsedTimer>
#include <QList>
#include <QPair>

#include <atomic>
#include <functional>
#include <mutex>

// A scripted Modbus link for tests: what each open attempt gives, what each exchange answers,
// and what each event read delivers. Every script may be fed from the test thread while the
// link is used from others (exchanges, event polls); all of it sits under m_scriptMutex.
class FakeLink : public ModbusTransport
{
    Q_OBJECT

public:
    // One event read: its result and the bytes it appends (also on failure).
    struct EventRead
    {
        bool ok = true;
        ModbusBytes bytes;
    };
    // Answers one exchange: fills the answer (when given) or sets the error text, gives the
    // result. Runs in the exchanging thread.
    using Answerer =
        std::function<bool(const ModbusBytes &request, ModbusBytes *answer, QString *error)>;
    using ParserFactory = std::function<ModbusParser *(QObject *parent)>;
    using DeparserFactory = std::function<ModbusDeparser *(QObject *parent)>;

    explicit FakeLink(DorrikBus::BusType busType = DorrikBus::ClientBus, QObject *parent = nullptr,
                      bool eventable = false);
    ~FakeLink() override;

    // Open and close. Scripted results are used in order, then the default one.
    void scriptConnects(const QList<bool> &results);
    void setDefaultConnectResult(bool ok);
    static QString connectErrorText() { return QStringLiteral("fake link refused to open"); }
    int connectAttempts() const;
    // Milliseconds since the link was built, one per open attempt.
    QList<qint64> connectAttemptTimes() const;
    void setDisconnectResult(bool ok);
    static QString disconnectErrorText() { return QStringLiteral("fake link refused to close"); }

    // Exchanges. Without an answerer, scripted answers are used in order; with none left the
    // answer is empty and the exchange still succeeds.
    void setAnswerer(Answerer answerer);
    void scriptAnswers(const QList<ModbusBytes> &answers);
    // Holds the link mutex this long inside every exchange, to widen races in tests.
    void setExchangeDelay(int ms);
    QList<ModbusBytes> sentBytes() const;
    QList<ModbusBytes> sentEventBytes() const;

    // Events. Scripted reads are used in order; with none left a read succeeds empty.
    void scriptEventReads(const QList<EventRead> &reads);
    int eventReads() const;

    // Targets: the link's own target, and optionally any target at all (null included).
    const ModbusTarget *target() const { return &m_target; }
    void setAcceptAnyTarget(bool on) { m_acceptAnyTarget = on; }

    void setCodecFactories(ParserFactory parser, DeparserFactory deparser);

    // Server side: plays one received request in as a server link does and sends a non-empty
    // answer back through sendBytes. Returns the answer.
    ModbusBytes playRequest(const ModbusBytes &request);

    bool sendBytes(const ModbusBytes &bytes, const Target *target, ModbusBytes *answer,
                   QString *error) override;
    bool sendEventBytes(const ModbusBytes &bytes, const Target *target) override;
    bool hasTarget(const Target *target) override;
    int targetsCount() const override { return 1; }
    qint64 bytesAvailable(const Target *) override { return 0; }
    const Target *clientTarget() override;
    ModbusParser *createParser(QObject *parent) override;
    ModbusDeparser *createDeparser(QObject *parent) override;
    bool readEventBytes(ModbusBytes &bytes, QString *error) override;
    QString toString(bool oneLine = false) const override;

protected:
    bool connectTransportInternal() override;
    bool disconnectTransportInternal() override;

private:
    ModbusTarget m_target;
    std::atomic<bool> m_acceptAnyTarget{false};
    QElapsedTimer m_clock;

    mutable std::mutex m_scriptMutex;
    QList<bool> m_connectScript;
    bool m_defaultConnectResult = true;
    QList<qint64> m_connectTimes;
    bool m_disconnectResult = true;
    Answerer m_answerer;
    QList<ModbusBytes> m_answers;
    int m_exchangeDelay = 0;
    QList<ModbusBytes> m_sent;
    QList<ModbusBytes> m_sentEvents;
    QList<EventRead> m_eventReads;
    int m_eventReadCount = 0;
    ParserFactory m_parserFactory;
    DeparserFactory m_deparserFactory;
};

#endif
