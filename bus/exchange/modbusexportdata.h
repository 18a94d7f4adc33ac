#ifndef MODBUSEXPORTDATA_H
#define MODBUSEXPORTDATA_H

#include "dorrikbus_global.h"

#include <QList>
#include <QMap>
#include <QString>

class ModbusItemBase;

// One register item as it travels between an exporter or importer and its engine. The
// properties are kept sorted by name, so that two records compare equal whatever order their
// source listed them in, and a file lists them in one fixed order.
struct DORRIKBUS_EXPORT ModbusExportData
{
    ModbusItemBase *item = nullptr; // not owned
    QMap<QString, QString> props;
    QString value; // export only
    QString type;
};

using ModbusExportDataList = QList<ModbusExportData>;

#endif
