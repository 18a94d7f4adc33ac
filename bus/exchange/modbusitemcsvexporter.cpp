#include "modbusitemcsvexporter.h"

#include "internalitemmodel.h"
#include "modbusitembase.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QStringEncoder>
#include <QTextCodec>

#include <memory>

namespace {

// The plan of one output column.
struct CsvColumn
{
    QString caption;
    int modelColumn = -1;
    bool custom = false;
    int customField = -1;
    bool rowNumber = false;
};

void appendCell(QString &line, const QString &cell)
{
    if (!line.isEmpty())
        line += QLatin1Char(';');
    line += QLatin1Char('"');
    // A quote inside a cell is doubled, so that a reader finds where the cell ends.
    if (cell.contains(QLatin1Char('"')))
        line += QString(cell).replace(QLatin1Char('"'), QLatin1String("\"\""));
    else
        line += cell;
    line += QLatin1Char('"');
}

QString cellText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    case QMetaType::Float:
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'f', 3)
            .replace(QLatin1Char('.'), QLatin1Char(','));
    default:
        return value.toString();
    }
}

} // namespace

ModbusItemCSVExporter::ModbusItemCSVExporter(QObject *parent) : ModbusItemExporter(parent)
{
    m_sliceTimer.setSingleShot(true);
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, &ModbusItemCSVExporter::writeSlice);
}

ModbusItemCSVExporter::~ModbusItemCSVExporter() = default;

void ModbusItemCSVExporter::setFileName(const QString &fileName)
{
    if (m_fileName == fileName)
        return;
    m_fileName = fileName;
    emit fileNameChanged(m_fileName);
}

void ModbusItemCSVExporter::setCustomFields(const QVariantList &fields)
{
    if (m_customFields == fields)
        return;
    m_customFields = fields;
    emit customFieldsChanged(m_customFields);
}

void ModbusItemCSVExporter::setIndexColumn(bool on)
{
    if (m_indexColumn == on)
        return;
    m_indexColumn = on;
    emit indexColumnChanged(m_indexColumn);
}

void ModbusItemCSVExporter::setEncoding(const QString &encoding)
{
    if (m_encoding == encoding)
        return;
    m_encoding = encoding;
    emit encodingChanged(m_encoding);
}

void ModbusItemCSVExporter::setSliceDuration(int milliseconds)
{
    milliseconds = qMax(0, milliseconds);
    if (m_sliceDuration == milliseconds)
        return;
    m_sliceDuration = milliseconds;
    emit sliceDurationChanged(m_sliceDuration);
}

void ModbusItemCSVExporter::setProgress(int rows)
{
    if (m_progress == rows)
        return;
    m_progress = rows;
    emit progressChanged(m_progress);
}

void ModbusItemCSVExporter::setUseBom(bool on)
{
    if (m_useBom == on)
        return;
    m_useBom = on;
    emit useBomChanged(m_useBom);
}

namespace {

// The encodings that have a byte-order mark: UTF-8, UTF-16 and UTF-32 in every byte order.
bool isUnicodeCodec(const QTextCodec *codec)
{
    const int mib = codec->mibEnum();
    return mib == 106 || (mib >= 1013 && mib <= 1019 && mib != 1016);
}

} // namespace

void ModbusItemCSVExporter::convertUnicodeToWindows1251(QString &text)
{
    text.replace(QChar(0x00B2), QLatin1Char('2'));
    text.replace(QChar(0x00B3), QLatin1Char('3'));
}

// One export from its start to its commit.
struct ModbusItemCSVExporter::Run
{
    explicit Run(const QString &name) : file(name) {}

    QSaveFile file;
    QPointer<ModbusItemBase> source;
    QList<CsvColumn> plan;
    bool utf8 = true;
    QStringEncoder utf8Encoder;
    std::unique_ptr<QTextEncoder> codecEncoder;
    bool bomPending = false;
    int row = 0;
    QString line;

    // False once the file refused bytes: the rest is not worth writing.
    bool writeLine()
    {
        line += QLatin1Char('\n');
        QByteArray bytes;
        if (utf8) {
            bytes = utf8Encoder.encode(line);
        } else {
            convertUnicodeToWindows1251(line);
            if (bomPending) {
                line.prepend(QChar(QChar::ByteOrderMark));
                bomPending = false;
            }
            bytes = codecEncoder->fromUnicode(line);
        }
        // QSaveFile also remembers a failed write; commit() then refuses.
        return file.write(bytes) == bytes.size() && file.error() == QFileDevice::NoError;
    }
};

bool ModbusItemCSVExporter::startInternal()
{
    m_sliceTimer.stop();
    m_run.reset();
    setProgress(0);
    ModbusItemBase *source = item();
    // Checked before the file is touched: an export that cannot run leaves the old file alone.
    if (!source) {
        setErrorString(tr("item doesn't set"));
        return false;
    }
    // An existing file stays as it is until the new one is whole and takes its place; it must
    // be one that can be replaced: a plain file in a folder that may be written.
    const QFileInfo existing(m_fileName);
    if (existing.exists() &&
        (existing.isDir() || !QFileInfo(existing.absolutePath()).isWritable())) {
        setErrorString(tr("can't remove file %s").replace(QLatin1String("%s"), m_fileName));
        return false;
    }
    auto run = std::make_unique<Run>(m_fileName);
    if (!run->file.open(QIODevice::WriteOnly)) {
        setErrorString(tr("can't open file %s").replace(QLatin1String("%s"), m_fileName));
        return false;
    }
    run->source = source;
    emit started();

    run->utf8 = m_encoding.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0;
    run->utf8Encoder =
        QStringEncoder(QStringConverter::Utf8, m_useBom ? QStringConverter::Flag::WriteBom
                                                        : QStringConverter::Flag::Default);
    if (!run->utf8) {
        // An unknown name falls back to the system's encoding; the replacement still applies.
        QTextCodec *codec = QTextCodec::codecForName(m_encoding.toLatin1());
        if (!codec)
            codec = QTextCodec::codecForLocale();
        // The codec writes no mark by itself; a Unicode one gets it from us when asked, encoded
        // like the text, so that it also says the byte order (UTF-16 is in the host's).
        run->codecEncoder.reset(codec->makeEncoder(QTextCodec::IgnoreHeader));
        run->bomPending = m_useBom && isUnicodeCodec(codec);
    }

    const QAbstractItemModel *model = source->model();
    const int modelColumns = model ? model->columnCount() : 0;
    QList<CsvColumn> &plan = run->plan;
    if (m_indexColumn)
        plan.append(CsvColumn{QStringLiteral("#"), -1, false, -1, true});
    for (int c = 0; c < modelColumns; ++c)
        plan.append(CsvColumn{model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), c,
                              false, -1, false});
    for (int i = 0; i < m_customFields.size(); ++i) {
        const QVariant &entry = m_customFields.at(i);
        if (entry.typeId() != QMetaType::QVariantMap && entry.typeId() != QMetaType::QVariantHash)
            continue;
        QVariantMap field;
        if (entry.typeId() == QMetaType::QVariantMap) {
            field = entry.toMap();
        } else {
            const QVariantHash hash = entry.toHash();
            for (auto it = hash.cbegin(); it != hash.cend(); ++it)
                field.insert(it.key(), it.value());
        }
        const CsvColumn column{field.value(QStringLiteral("name")).toString(), -1, true, i, false};
        bool numeric = false;
        const int index = field.value(QStringLiteral("index")).toInt(&numeric);
        // An index out of range is clamped to the columns built so far.
        if (field.contains(QStringLiteral("index")) && numeric)
            plan.insert(qBound(0, index, int(plan.size())), column);
        else
            plan.append(column);
    }

    run->line.clear();
    for (const CsvColumn &column : plan)
        appendCell(run->line, column.caption);
    run->writeLine();
    m_run = std::move(run);

    if (m_sliceDuration > 0) {
        deferFinish();
        m_sliceTimer.start();
        return true;
    }
    return writeRows(-1) && commitFile();
}

bool ModbusItemCSVExporter::writeRows(qint64 budgetNs)
{
    Run &run = *m_run;
    // The item going away under the export: what was written is not its table.
    auto itemLost = [this] {
        setErrorString(tr("item doesn't set"));
        m_run.reset();
        return false;
    };
    if (!run.source)
        return itemLost();
    const QAbstractItemModel *model = run.source->model();
    QElapsedTimer clock;
    clock.start();
    // The row count is asked each row: rows the model lost meanwhile are not asked for.
    while (model && run.row < model->rowCount()) {
        const int r = run.row;
        run.line.clear();
        for (const CsvColumn &column : std::as_const(run.plan)) {
            QString cell;
            if (column.rowNumber) {
                cell = QString::number(r + 1);
            } else if (column.custom) {
                m_event.setIndex(column.customField);
                m_event.setValue(QString());
                m_event.setRowIndex(r);
                emit customField(&m_event);
                // A receiver may have stopped the export or destroyed the item.
                if (!m_run)
                    return false;
                if (!run.source)
                    return itemLost();
                cell = m_event.value();
            } else {
                cell = cellText(model->data(model->index(r, column.modelColumn), Qt::DisplayRole));
            }
            appendCell(run.line, cell);
        }
        if (!run.writeLine()) {
            setErrorString(tr("can't write file %s").replace(QLatin1String("%s"), m_fileName));
            m_run.reset();
            return false;
        }
        ++run.row;
        if (budgetNs >= 0 && clock.nsecsElapsed() >= budgetNs)
            break;
    }
    setProgress(run.row);
    // So may a receiver of the progress.
    if (m_run && !m_run->source)
        return itemLost();
    return true;
}

bool ModbusItemCSVExporter::commitFile()
{
    const bool committed = m_run->file.commit();
    m_run.reset();
    if (!committed) {
        setErrorString(tr("can't write file %s").replace(QLatin1String("%s"), m_fileName));
        return false;
    }
    return true;
}

void ModbusItemCSVExporter::writeSlice()
{
    if (!m_run)
        return;
    if (!writeRows(qint64(m_sliceDuration) * 1000000)) {
        finish(false);
        return;
    }
    // A receiver of the progress may have stopped the export.
    if (!m_run)
        return;
    const QAbstractItemModel *model = m_run->source->model();
    if (model && m_run->row < model->rowCount()) {
        m_sliceTimer.start();
        return;
    }
    finish(commitFile());
}

void ModbusItemCSVExporter::stopInternal()
{
    m_sliceTimer.stop();
    // The temporary file goes with the run; the file's own name was never written.
    m_run.reset();
    finish(false);
}
