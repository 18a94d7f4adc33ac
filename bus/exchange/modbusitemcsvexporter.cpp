#include "modbusitemcsvexporter.h"

#include "internalitemmodel.h"
#include "modbusitembase.h"

#include <QDateTime>
#include <QFile>
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

ModbusItemCSVExporter::ModbusItemCSVExporter(QObject *parent) : ModbusItemExporter(parent) {}

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

bool ModbusItemCSVExporter::startInternal()
{
    ModbusItemBase *source = item();
    // Checked before the file is touched: an export that cannot run leaves the old file alone.
    if (!source) {
        setErrorString(tr("item doesn't set"));
        return false;
    }
    QFile file(m_fileName);
    if (file.exists() && !file.remove()) {
        setErrorString(tr("can't remove file %s").replace(QLatin1String("%s"), m_fileName));
        return false;
    }
    if (!file.open(QIODevice::WriteOnly)) {
        setErrorString(tr("can't open file %s").replace(QLatin1String("%s"), m_fileName));
        return false;
    }
    emit started();

    const bool utf8 = m_encoding.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0;
    QStringEncoder utf8Encoder(QStringConverter::Utf8, m_useBom ? QStringConverter::Flag::WriteBom
                                                                : QStringConverter::Flag::Default);
    std::unique_ptr<QTextEncoder> codecEncoder;
    bool bomPending = false;
    if (!utf8) {
        // An unknown name falls back to the system's encoding; the replacement still applies.
        QTextCodec *codec = QTextCodec::codecForName(m_encoding.toLatin1());
        if (!codec)
            codec = QTextCodec::codecForLocale();
        // The codec writes no mark by itself; a Unicode one gets it from us when asked, encoded
        // like the text, so that it also says the byte order (UTF-16 is in the host's).
        codecEncoder.reset(codec->makeEncoder(QTextCodec::IgnoreHeader));
        bomPending = m_useBom && isUnicodeCodec(codec);
    }
    bool written = true;
    auto writeLine = [&](QString &line) {
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
        if (file.write(bytes) != bytes.size())
            written = false;
    };

    const QAbstractItemModel *model = source->model();
    const int modelColumns = model ? model->columnCount() : 0;
    QList<CsvColumn> plan;
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

    QString line;
    for (const CsvColumn &column : plan)
        appendCell(line, column.caption);
    writeLine(line);

    const int rows = model ? model->rowCount() : 0;
    for (int r = 0; r < rows; ++r) {
        line.clear();
        for (const CsvColumn &column : plan) {
            QString cell;
            if (column.rowNumber) {
                cell = QString::number(r + 1);
            } else if (column.custom) {
                m_event.setIndex(column.customField);
                m_event.setValue(QString());
                m_event.setRowIndex(r);
                emit customField(&m_event);
                cell = m_event.value();
            } else {
                cell = cellText(model->data(model->index(r, column.modelColumn), Qt::DisplayRole));
            }
            appendCell(line, cell);
        }
        writeLine(line);
    }
    if (!file.flush())
        written = false;
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        setErrorString(tr("can't write file %s").replace(QLatin1String("%s"), m_fileName));
        return false;
    }
    return true;
}
