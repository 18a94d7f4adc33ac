#include "modbusarchreader.h"

#include <limits>

ModbusArchReader::ModbusArchReader(QObject *parent) : ErrObject(parent)
{
    connect(&m_labelsReader, &ModbusItemBase::afterRead, this, &ModbusArchReader::onLabelsRead);
    connect(&m_labelsReader, &ErrObject::error, this, &ModbusArchReader::setErrorString);
    connect(&m_labelsReader, &ErrObject::error, this, &ModbusArchReader::onLabelsError);
    connect(&m_recordReader, &ModbusItemBase::afterRead, this, &ModbusArchReader::onRecordRead);
    connect(&m_recordReader, &ErrObject::error, this, &ModbusArchReader::onRecordError);
    connect(&m_recordReader, &ErrObject::error, this, &ModbusArchReader::setErrorString);
}

ModbusArchReader::~ModbusArchReader()
{
    // The inner items go after this body; nothing they say then may reach a half-gone reader.
    m_labelsReader.disconnect(this);
    m_recordReader.disconnect(this);
}

void ModbusArchReader::setRecord(ModbusArchRecord *record)
{
    if (record == m_record)
        return;
    m_record = record;
    emit recordChanged(record);
}

void ModbusArchReader::setFrom(const QVariant &from)
{
    if (from == m_from)
        return;
    m_from = from;
    emit fromChanged(from);
}

void ModbusArchReader::setTo(const QVariant &to)
{
    if (to == m_to)
        return;
    m_to = to;
    emit toChanged(to);
}

void ModbusArchReader::setTotal(int value)
{
    if (value == m_total)
        return;
    m_total = value;
    emit totalChanged(value);
}

void ModbusArchReader::setProgress(int value)
{
    if (value == m_progress)
        return;
    m_progress = value;
    emit progressChanged(value);
}

void ModbusArchReader::setRecordsPerRequest(int value)
{
    if (value == m_recordsPerRequest)
        return;
    m_recordsPerRequest = value;
    emit recordsPerRequestChanged(value);
}

void ModbusArchReader::setRecordsPerRequestOptimization(bool value)
{
    if (value == m_recordsPerRequestOptimization)
        return;
    m_recordsPerRequestOptimization = value;
    emit recordsPerRequestOptimizationChanged(value);
}

void ModbusArchReader::setLiveResult(bool value)
{
    if (value == m_liveResult)
        return;
    m_liveResult = value;
    emit liveResultChanged(value);
}

void ModbusArchReader::setMaxRecords(int value)
{
    if (value == m_maxRecords)
        return;
    m_maxRecords = value;
    emit maxRecordsChanged(value);
}

void ModbusArchReader::setMaxRequestLabels(int value)
{
    if (value == m_maxRequestLabels)
        return;
    m_maxRequestLabels = value;
    emit maxRequestLabelsChanged(value);
}

void ModbusArchReader::setArchIndexes(const QVariantList &indexes)
{
    if (indexes == m_archIndexes)
        return;
    m_archIndexes = indexes;
    emit archIndexesChanged(indexes);
}

void ModbusArchReader::start()
{
    // A running reader only starts over its counts; the request in flight goes on.
    if (m_running)
        reset();
    else
        setRunning(true);
}

void ModbusArchReader::stop()
{
    setRunning(false);
}

void ModbusArchReader::setRunning(bool running)
{
    if (running == m_running)
        return;
    if (running && !m_record) {
        // The archive number, its settings and the client all come from the target.
        setErrorString(tr("you should assign 'record' - property"));
        return;
    }
    m_running = running;
    if (running) {
        emit started();
        reset();
        setNextArchIndex();
        m_archIndexRanges.insert(m_recordReader.archIndex(), qMakePair(0, 0));
        m_labelsReader.read();
        // A read that failed at once (no client) has stopped the reading already.
        if (m_running)
            emit runningChanged(true);
        return;
    }
    if (m_record)
        m_record->setBytesArray(m_results, ModbusItemBase::ExternalChange);
    emit runningChanged(false);
}

void ModbusArchReader::reset()
{
    m_archIndexRanges.clear();
    if (!m_record)
        return;
    m_archIndexQueue = m_archIndexes;
    m_results.clear();
    m_delivered = 0;
    m_pendingLabels.clear();
    m_lastLabelsBatch = false;
    m_batchEndsRange = false;
    const QString format = m_record->timeFormat();
    m_toLabel = DorrikBus::getIntLabel(m_to, format);

    // `from` in the target's text format reads the same in the inner items.
    m_recordReader.setTimeFormat(format);
    m_recordReader.setVariantLabel(m_from);
    m_recordReader.setClient(m_record->client());
    m_recordReader.setDeviceAddress(m_record->deviceAddress());
    m_recordReader.setArchType(m_record->archType());
    m_recordReader.setUseNearLabel(true);
    m_recordReader.setUseNext(true);
    m_recordReader.setArchInterval(m_record->archInterval());
    // Records are always read from a given label.
    m_recordReader.setFunc(DorrikBus::Func65);
    m_recordReader.setCount(m_recordsPerRequest);
    m_requestRecords = m_recordsPerRequest;
    m_recordReader.setCheckRecordSize(true);

    m_labelsReader.setTimeFormat(format);
    m_labelsReader.setClient(m_record->client());
    m_labelsReader.setDeviceAddress(m_record->deviceAddress());
    m_labelsReader.setArchIndex(m_record->archIndex());
    // The instrument answers a presence question only for the archive's own type.
    m_labelsReader.setArchType(m_record->archType());
    m_labelsReader.setUseNext(true);
    m_labelsReader.setArchInterval(m_record->archInterval());
    m_labelsReader.setCount(62);
    m_labelsReader.setVariantLabel(m_from);
    m_labelsReader.setFunc(m_record->func());
    m_labelsReader.setMaxRequestLabels(m_maxRequestLabels);

    switch (m_record->func()) {
    case DorrikBus::Func65: {
        quint32 last = m_toLabel;
        qint64 expected = DorrikBus::getLabelsBetween(
            m_labelsReader.label(), last, m_record->archType(), m_record->archInterval());
        if (!m_archIndexes.isEmpty())
            expected *= m_archIndexes.size();
        setTotal(int(qMin<qint64>(expected, std::numeric_limits<int>::max())));
        break;
    }
    case DorrikBus::Func67:
        // Function 67 archives have gaps: the count is known only at the end.
        setTotal(-1);
        break;
    }
    setProgress(0);
}

bool ModbusArchReader::setNextArchIndex()
{
    int number = m_record ? m_record->archIndex() : 0;
    bool taken = false;
    if (!m_archIndexQueue.isEmpty()) {
        bool ok = false;
        const int next = m_archIndexQueue.first().toInt(&ok);
        if (ok) {
            m_archIndexQueue.removeFirst();
            number = next;
            taken = true;
        } else {
            number = 0;
        }
    }
    m_recordReader.setArchIndex(quint16(number));
    m_labelsReader.setArchIndex(quint16(number));
    return taken;
}

int ModbusArchReader::getArchIndexOf(int row) const
{
    for (auto it = m_archIndexRanges.constBegin(); it != m_archIndexRanges.constEnd(); ++it) {
        if (it.value().first <= row && row <= it.value().second)
            return it.key();
    }
    return -1;
}

void ModbusArchReader::onRecordError(const QString &)
{
    stop();
}

void ModbusArchReader::onLabelsError(const QString &)
{
    stop();
}

bool ModbusArchReader::acceptsAnswer()
{
    if (!m_running)
        return false;
    if (!m_record) {
        // The target is gone: nothing is left to deliver to.
        stop();
        return false;
    }
    return true;
}

bool ModbusArchReader::limitReached() const
{
    return m_maxRecords > 0 && m_results.size() >= m_maxRecords;
}

void ModbusArchReader::onLabelsRead()
{
    if (!acceptsAnswer())
        return;
    m_pendingLabels = m_labelsReader.bytesArray().toModbusBytes().toArchLabels(0, -1);
    // A batch other than the size asked for is the archive's last.
    m_lastLabelsBatch = m_pendingLabels.size() != m_labelsReader.count();
    bool trimmed = false;
    while (!m_pendingLabels.isEmpty() && m_pendingLabels.last() > m_toLabel) {
        m_pendingLabels.removeLast();
        trimmed = true;
    }
    m_batchEndsRange = m_lastLabelsBatch || trimmed ||
                       (!m_pendingLabels.isEmpty() && m_pendingLabels.last() == m_toLabel);
    if (m_pendingLabels.isEmpty()) {
        finishArchive(false);
        return;
    }
    readRecordsFrom(m_pendingLabels.takeFirst());
}

void ModbusArchReader::deliverLive()
{
    // Handing the whole list over at every answer made a long reading quadratic: the target's
    // copy, its views and the charts on them went over every record again. The target is given
    // only the new records as long as it still holds just what this reading gave it.
    const int known = int(m_record->bytesArray().size());
    const int now = int(m_results.size());
    if (m_delivered > 0 && known == m_delivered && now >= known)
        m_record->appendBytesArray(m_results.mid(known), ModbusItemBase::ExternalChange);
    else
        m_record->setBytesArray(m_results, ModbusItemBase::ExternalChange);
    m_delivered = now;
}

void ModbusArchReader::readRecordsFrom(quint32 label)
{
    // A request never reaches past the labels known to be in the range: past `to` its records
    // do not belong to the result, and past a batch that more batches follow it would cover the
    // next batch's start, so that the walk would stop there.
    const int known = int(m_pendingLabels.size());
    const int most = m_batchEndsRange ? known + 1 : qMax(known, 1);
    m_recordReader.setCount(qMin(m_requestRecords, most));
    m_recordReader.setLabel(label);
    m_recordReader.read();
}

void ModbusArchReader::onRecordRead()
{
    if (!acceptsAnswer())
        return;
    const ModbusBytesArray &records = m_recordReader.bytesArray();
    const int n = int(records.size());
    if (n > 0) {
        for (const ModbusBytes &record : records)
            m_results.append(record);
        if (m_maxRecords > 0) {
            while (m_results.size() > m_maxRecords)
                m_results.removeLast();
        }
        setProgress(int(m_results.size()));
        // Handlers of the progress and of the target may stop the reading or drop the target.
        if (m_liveResult && m_running && m_record)
            deliverLive();
        if (!acceptsAnswer())
            return;
    }
    if (m_recordsPerRequestOptimization && m_recordReader.recordSize() > 0) {
        // As many records as fit one answer, less one for safety.
        const int perRequest = 251 / m_recordReader.recordSize() - 1;
        if (perRequest >= 1) {
            m_requestRecords = perRequest;
            m_recordReader.setCount(perRequest);
        }
    }
    // The answer covered the label asked for and the next n - 1 existing labels.
    if (n == 0)
        m_pendingLabels.clear();
    else if (n > 1)
        m_pendingLabels.erase(m_pendingLabels.begin(),
                              m_pendingLabels.begin() +
                                  qMin<qsizetype>(n - 1, m_pendingLabels.size()));
    if (n == 0 || m_pendingLabels.isEmpty() || m_pendingLabels.first() > m_toLabel ||
        limitReached()) {
        finishArchive(true);
        return;
    }
    if (m_pendingLabels.size() == 1 && m_pendingLabels.first() != m_toLabel && !m_lastLabelsBatch) {
        // The batch's last label opens the next batch, where it is listed again and read.
        m_labelsReader.setLabel(m_pendingLabels.takeFirst());
        m_labelsReader.read();
        return;
    }
    readRecordsFrom(m_pendingLabels.takeFirst());
}

void ModbusArchReader::finishArchive(bool afterRecords)
{
    const int finished = m_recordReader.archIndex();
    m_archIndexRanges.insert(
        finished, qMakePair(m_archIndexRanges.value(finished).first, int(m_results.size()) - 1));
    if (!setNextArchIndex() || (afterRecords && limitReached())) {
        stop();
        emit completed();
        return;
    }
    const int rows = int(m_results.size());
    m_archIndexRanges.insert(m_recordReader.archIndex(), qMakePair(rows, rows));
    m_labelsReader.setVariantLabel(m_from);
    m_labelsReader.read();
}
