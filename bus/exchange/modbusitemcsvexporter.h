#ifndef MODBUSITEMCSVEXPORTER_H
#define MODBUSITEMCSVEXPORTER_H

#include "customfieldevent.h"
#include "modbusitemexporter.h"

#include <QString>
#include <QTimer>
#include <QVariantList>

#include <memory>

// Writes the rows of an item's table model as separated values: ";" between cells, every cell
// quoted, decimal commas, day-first dates, one line feed per line, an optional row-number column
// and extra columns whose cells a receiver of customField() fills in. The file is written under a
// temporary name and takes its own name only when whole, so a failed or stopped export leaves the
// file of that name as it was, or none. With a slice duration the rows are written from the event
// loop, a slice at a time, so that a long export neither freezes the GUI nor ignores stop().
class DORRIKBUS_EXPORT ModbusItemCSVExporter : public ModbusItemExporter
{
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(QVariantList customFields READ customFields WRITE setCustomFields NOTIFY
                   customFieldsChanged)
    Q_PROPERTY(bool indexColumn READ indexColumn WRITE setIndexColumn NOTIFY indexColumnChanged)
    Q_PROPERTY(QString encoding READ encoding WRITE setEncoding NOTIFY encodingChanged)
    Q_PROPERTY(bool useBom READ useBom WRITE setUseBom NOTIFY useBomChanged)
    Q_PROPERTY(
        int sliceDuration READ sliceDuration WRITE setSliceDuration NOTIFY sliceDurationChanged)
    Q_PROPERTY(int progress READ progress NOTIFY progressChanged)

public:
    explicit ModbusItemCSVExporter(QObject *parent = nullptr);
    ~ModbusItemCSVExporter() override;

    QString fileName() const { return m_fileName; }
    QVariantList customFields() const { return m_customFields; }
    bool indexColumn() const { return m_indexColumn; }
    QString encoding() const { return m_encoding; }
    bool useBom() const { return m_useBom; }
    // Milliseconds of rows per turn of the event loop; 0: every row inside start().
    int sliceDuration() const { return m_sliceDuration; }
    // Rows written by the export that runs or ran last.
    int progress() const { return m_progress; }

    // Windows-1251 has no superscript two and three: they become plain digits.
    static void convertUnicodeToWindows1251(QString &text);

public slots:
    void setFileName(const QString &fileName);
    void setCustomFields(const QVariantList &fields);
    void setIndexColumn(bool on);
    void setEncoding(const QString &encoding);
    void setUseBom(bool on);
    void setSliceDuration(int milliseconds);

signals:
    void fileNameChanged(const QString &fileName);
    void customFieldsChanged(const QVariantList &fields);
    void indexColumnChanged(bool on);
    void encodingChanged(const QString &encoding);
    void useBomChanged(bool on);
    void sliceDurationChanged(int milliseconds);
    void progressChanged(int rows);
    // One per custom cell, on the exporting thread; the receiver sets the event's value.
    void customField(CustomFieldEvent *event);

protected:
    bool startInternal() override;
    void stopInternal() override;

private:
    struct Run;

    // Rows until the model's end or, with a budget, until it is spent; false on a failure,
    // which is reported.
    bool writeRows(qint64 budgetNs);
    void writeSlice();
    // Commits the whole file under its name; false on a failure, which is reported.
    bool commitFile();
    void setProgress(int rows);

    QString m_fileName;
    QVariantList m_customFields;
    bool m_indexColumn = true;
    QString m_encoding = QStringLiteral("UTF-8");
    bool m_useBom = true;
    int m_sliceDuration = 0;
    int m_progress = 0;
    CustomFieldEvent m_event;
    std::unique_ptr<Run> m_run; // the export under way
    QTimer m_sliceTimer;
};

#endif
