#ifndef MODBUSXMLIMPORTER_H
#define MODBUSXMLIMPORTER_H

#include "modbusimporter.h"

class ModbusXmlEngine;

// The importer that QML declares: register items from an XML configuration file.
class DORRIKBUS_EXPORT ModbusXmlImporter : public ModbusImporter
{
    Q_OBJECT
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)

public:
    explicit ModbusXmlImporter(QObject *parent = nullptr);

    QString fileName() const { return m_fileName; }

public slots:
    void setFileName(const QString &fileName);

signals:
    void fileNameChanged(const QString &fileName);

private:
    ModbusXmlEngine *m_xmlEngine; // owned through the base
    QString m_fileName = QStringLiteral("export.xml");
};

#endif
