#include "modbusxmlexporter.h"

#include "modbusxmlengine.h"

ModbusXmlExporter::ModbusXmlExporter(QObject *parent)
    : ModbusExporter(parent), m_xmlEngine(new ModbusXmlEngine)
{
    setEngine(m_xmlEngine);
}

QString ModbusXmlExporter::version() const
{
    return m_xmlEngine->version();
}

void ModbusXmlExporter::setFileName(const QString &fileName)
{
    if (m_fileName == fileName)
        return;
    m_fileName = fileName;
    m_xmlEngine->setFileName(fileName);
    emit fileNameChanged(m_fileName);
}
