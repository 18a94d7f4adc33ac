#ifndef MODBUSARCHREADER_H
#define MODBUSARCHREADER_H

#include "errobject.h"
#include "modbusarchlabel.h"
#include "modbusarchrecord.h"
#include "modbusbytesarray.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QVariant>
#include <QVariantList>

// Reads every record of one or several archives between two labels into a target record item.
// Each archive is walked in two alternating stages: a batch of existing labels, then the records
// of those labels (one or several per request), until `to`, the record limit or the end of the
// archive; then the next archive number of the list is walked from `from` again.
class DORRIKBUS_EXPORT ModbusArchReader : public ErrObject
{
    Q_OBJECT
    Q_PROPERTY(ModbusArchRecord *record READ record WRITE setRecord NOTIFY recordChanged)
    Q_PROPERTY(QVariant from READ from WRITE setFrom NOTIFY fromChanged)
    Q_PROPERTY(QVariant to READ to WRITE setTo NOTIFY toChanged)
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)
    Q_PROPERTY(int total READ total NOTIFY totalChanged)
    Q_PROPERTY(int progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(int recordsPerRequest READ recordsPerRequest WRITE setRecordsPerRequest NOTIFY
                   recordsPerRequestChanged)
    Q_PROPERTY(bool recordsPerRequestOptimization READ recordsPerRequestOptimization WRITE
                   setRecordsPerRequestOptimization NOTIFY recordsPerRequestOptimizationChanged)
    Q_PROPERTY(bool liveResult READ liveResult WRITE setLiveResult NOTIFY liveResultChanged)
    Q_PROPERTY(int maxRecords READ maxRecords WRITE setMaxRecords NOTIFY maxRecordsChanged)
    Q_PROPERTY(int maxRequestLabels READ maxRequestLabels WRITE setMaxRequestLabels NOTIFY
                   maxRequestLabelsChanged)
    Q_PROPERTY(
        QVariantList archIndexes READ archIndexes WRITE setArchIndexes NOTIFY archIndexesChanged)

public:
    explicit ModbusArchReader(QObject *parent = nullptr);
    ~ModbusArchReader() override;

    ModbusArchRecord *record() const { return m_record; }
    QVariant from() const { return m_from; }
    QVariant to() const { return m_to; }
    bool running() const { return m_running; }
    int total() const { return m_total; }
    int progress() const { return m_progress; }
    int recordsPerRequest() const { return m_recordsPerRequest; }
    bool recordsPerRequestOptimization() const { return m_recordsPerRequestOptimization; }
    bool liveResult() const { return m_liveResult; }
    int maxRecords() const { return m_maxRecords; }
    int maxRequestLabels() const { return m_maxRequestLabels; }
    QVariantList archIndexes() const { return m_archIndexes; }

    // The archive number whose rows hold `row`; -1 when none does.
    Q_INVOKABLE int getArchIndexOf(int row) const;

    void setTotal(int value);
    // Takes the next archive number of the queue (true), or the target's (false), and gives it
    // to both inner items.
    bool setNextArchIndex();

public slots:
    void setRecord(ModbusArchRecord *record);
    void setFrom(const QVariant &from);
    void setTo(const QVariant &to);
    void start();
    void stop();
    void setRunning(bool running);
    void reset();
    void setProgress(int value);
    void setRecordsPerRequest(int value);
    void setRecordsPerRequestOptimization(bool value);
    void setLiveResult(bool value);
    void setMaxRecords(int value);
    void setMaxRequestLabels(int value);
    void setArchIndexes(const QVariantList &indexes);

signals:
    void recordChanged(ModbusArchRecord *record);
    void fromChanged(const QVariant &from);
    void toChanged(const QVariant &to);
    void runningChanged(bool running);
    void totalChanged(int total);
    void progressChanged(int progress);
    void recordsPerRequestChanged(int value);
    void recordsPerRequestOptimizationChanged(bool value);
    void liveResultChanged(bool value);
    void maxRecordsChanged(int value);
    void maxRequestLabelsChanged(int value);
    void archIndexesChanged(const QVariantList &indexes);
    void started();
    void completed();

private slots:
    void onRecordError(const QString &text);
    void onLabelsError(const QString &text);
    void onLabelsRead();
    void onRecordRead();

private:
    // An answer is taken only while running with a target; a target destroyed meanwhile ends
    // the reading quietly.
    bool acceptsAnswer();
    bool limitReached() const;
    // Gives the target the records read so far, with live results.
    void deliverLive();
    void readRecordsFrom(quint32 label);
    void finishArchive(bool afterRecords);

    ModbusArchRecord m_recordReader;
    ModbusArchLabel m_labelsReader;
    QPointer<ModbusArchRecord> m_record;
    QVariant m_from;
    QVariant m_to;
    bool m_running = false;
    quint32 m_toLabel = 0;
    int m_recordsPerRequest = 1;
    // Records asked for in one request as set or learned; a request near the end of a batch
    // asks for fewer.
    int m_requestRecords = 1;
    ModbusBytesArray m_results;
    // How many of the results the target has been given live in this reading.
    int m_delivered = 0;
    QList<quint32> m_pendingLabels;
    bool m_lastLabelsBatch = false;
    // The current batch reaches `to` or the archive's end: no later batch follows it.
    bool m_batchEndsRange = false;
    int m_total = -1;
    int m_progress = 0;
    bool m_recordsPerRequestOptimization = false;
    bool m_liveResult = true;
    int m_maxRecords = 0;
    int m_maxRequestLabels = 62;
    QVariantList m_archIndexes;
    QVariantList m_archIndexQueue;
    QHash<int, QPair<int, int>> m_archIndexRanges;
};

#endif
