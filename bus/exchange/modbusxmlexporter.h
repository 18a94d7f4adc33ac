#ifndef MODBUSXMLEXPORTER_H
#define MODBUSXMLEXPORTER_H

#include "modbusexporter.h"

class ModbusXmlEngine;

// The exporter that QML declares: register items into an XML configuration file.
class DORRIKBUS_EXPORT ModbusXmlExporter : public ModbusExporter
{
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(QString version READ version CONSTANT)

public:
    explicit ModbusXmlExporter(QObject *parent = nullptr);

    QString fileName() const { return m_fileName; }
    QString version() const;

public slots:
    void setFileName(const QString &fileName);

signals:
    void fileNameChanged(const QString &fileName);

private:
    ModbusXmlEngine *m_xmlEngine; // owned through the base
    QString m_fileName;
};

#endif
