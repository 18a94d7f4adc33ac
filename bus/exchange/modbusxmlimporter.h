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

    // Reads the file in a worker thread; loaded() tells the outcome (an error also through
    // error()). Import calls before it ends wait for it.
    Q_INVOKABLE void load();

public slots:
    void setFileName(const QString &fileName);

signals:
    void fileNameChanged(const QString &fileName);
    void loaded(bool ok);

private:
    ModbusXmlEngine *m_xmlEngine; // owned through the base
    QString m_fileName = QStringLiteral("export.xml");
};

#endif
