#include "modbusxmlimporter.h"

#include "modbusxmlengine.h"

ModbusXmlImporter::ModbusXmlImporter(QObject *parent)
    : ModbusImporter(parent), m_xmlEngine(new ModbusXmlEngine)
{
    m_xmlEngine->setFileName(m_fileName);
    setEngine(m_xmlEngine);
    connect(m_xmlEngine, &ModbusXmlEngine::documentLoaded, this, &ModbusXmlImporter::loaded);
}

void ModbusXmlImporter::load()
{
    m_xmlEngine->startLoading();
}

void ModbusXmlImporter::setFileName(const QString &fileName)
{
    if (m_fileName == fileName)
        return;
    m_fileName = fileName;
    m_xmlEngine->setFileName(fileName);
    emit fileNameChanged(m_fileName);
}
