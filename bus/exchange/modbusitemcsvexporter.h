#ifndef MODBUSITEMCSVEXPORTER_H
#define MODBUSITEMCSVEXPORTER_H

#include "customfieldevent.h"
#include "modbusitemexporter.h"

#include <QString>
#include <QVariantList>

// Writes the rows of an item's table model as separated values: ";" between cells, every cell
// quoted, decimal commas, day-first dates, one line feed per line, an optional row-number column
// and extra columns whose cells a receiver of customField() fills in.
class DORRIKBUS_EXPORT ModbusItemCSVExporter : public ModbusItemExporter
{
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(QVariantList customFields READ customFields WRITE setCustomFields NOTIFY
                   customFieldsChanged)
    Q_PROPERTY(bool indexColumn READ indexColumn WRITE setIndexColumn NOTIFY indexColumnChanged)
    Q_PROPERTY(QString encoding READ encoding WRITE setEncoding NOTIFY encodingChanged)
    Q_PROPERTY(bool useBom READ useBom WRITE setUseBom NOTIFY useBomChanged)

public:
    explicit ModbusItemCSVExporter(QObject *parent = nullptr);

    QString fileName() const { return m_fileName; }
    QVariantList customFields() const { return m_customFields; }
    bool indexColumn() const { return m_indexColumn; }
    QString encoding() const { return m_encoding; }
    bool useBom() const { return m_useBom; }

    // Windows-1251 has no superscript two and three: they become plain digits.
    static void convertUnicodeToWindows1251(QString &text);

public slots:
    void setFileName(const QString &fileName);
    void setCustomFields(const QVariantList &fields);
    void setIndexColumn(bool on);
    void setEncoding(const QString &encoding);
    void setUseBom(bool on);

signals:
    void fileNameChanged(const QString &fileName);
    void customFieldsChanged(const QVariantList &fields);
    void indexColumnChanged(bool on);
    void encodingChanged(const QString &encoding);
    void useBomChanged(bool on);
    // One per custom cell, on the exporting thread; the receiver sets the event's value.
    void customField(CustomFieldEvent *event);

protected:
    bool startInternal() override;

private:
    QString m_fileName;
    QVariantList m_customFields;
    bool m_indexColumn = true;
    QString m_encoding = QStringLiteral("UTF-8");
    bool m_useBom = true;
    CustomFieldEvent m_event;
};

#endif
